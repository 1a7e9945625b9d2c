// A 64-bit FNV-1a hash of the whole game state, for golden replays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/game.h"

namespace sb {

class Fnv64 {
 public:
  void Bytes(const void* p, std::size_t n) {
    auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i) {
      h_ ^= b[i];
      h_ *= 0x100000001b3ULL;
    }
  }
  // Fixed little-endian widths, so the value does not depend on the host.
  void U32(uint32_t v) {
    unsigned char b[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                          static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    Bytes(b, 4);
  }
  void U64(uint64_t v) {
    U32(static_cast<uint32_t>(v));
    U32(static_cast<uint32_t>(v >> 32));
  }
  void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
  void F32(float v);  // by bit pattern
  void Str(std::string_view s) {
    U32(static_cast<uint32_t>(s.size()));
    Bytes(s.data(), s.size());
  }
  uint64_t Value() const { return h_; }

 private:
  uint64_t h_ = 0xcbf29ce484222325ULL;
};

// Every list with every field, the player and current-wave references, all
// globals and behaviour settings, sound requests, settings and tables, the
// high-score table and the random generator's state and draw count.
uint64_t StateDigest(Game& g);
// The same without the top-ten table and the name being entered: what a
// replay checks, since the table on the disk is no part of a game.
uint64_t PlayDigest(Game& g);

}  // namespace sb
