// Shared bits of the platform tests: a scratch folder and image builders.
#pragma once

#include <SDL.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/headless_backend.h"
#include "platform/image_store.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "platform/platform.h"
#include "platform/renderer.h"

namespace pt {

struct TempDir {
  std::filesystem::path path;
  TempDir() {
    char tmpl[] = "/tmp/sb_platform_XXXXXX";
    path = mkdtemp(tmpl);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

// Writes a 24-bit BMP through SDL; px(x, y) gives 0x00RRGGBB.
template <class F>
inline bool SaveBmp24(const std::string& path, int w, int h, F px) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 24, SDL_PIXELFORMAT_RGB24);
  if (!s) return false;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint32_t c = px(x, y);
      auto* p = static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * 3;
      p[0] = uint8_t(c >> 16);
      p[1] = uint8_t(c >> 8);
      p[2] = uint8_t(c);
    }
  bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

// A PCM WAV file with the given header values around raw sample bytes. Byte by
// byte: GCC 12 at -O3 misreads inserts into a growing vector as overflows.
inline std::vector<uint8_t> Wav(int channels, int rate, int bits,
                                const std::vector<uint8_t>& data) {
  std::vector<uint8_t> b;
  auto put = [&](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> (8 * i)));
  };
  auto tag = [&](const char* t) {
    for (int i = 0; t[i] != 0; ++i) b.push_back(uint8_t(t[i]));
  };
  tag("RIFF");
  put(36 + uint32_t(data.size()), 4);
  tag("WAVEfmt ");
  put(16, 4);
  put(1, 2);
  put(uint32_t(channels), 2);
  put(uint32_t(rate), 4);
  put(uint32_t(rate * channels * bits / 8), 4);
  put(uint32_t(channels * bits / 8), 2);
  put(uint32_t(bits), 2);
  tag("data");
  put(uint32_t(data.size()), 4);
  for (uint8_t v : data) b.push_back(v);
  return b;
}

// An image with the given texels (0 = masked), masked + filtered unless
// flags say otherwise.
inline int MakeImage(sb::Platform& p, int w, int h, const std::vector<uint32_t>& rgb,
                     int flags = -1) {
  int img = p.CreateImage(w, h, 1, flags);
  sb::Image* im = p.Images().Get(img);
  for (size_t i = 0; i < rgb.size(); ++i)
    im->frames[0].texels[i] = (im->masked && rgb[i] == 0) ? 0u : (rgb[i] | sb::kOpaque);
  return img;
}

inline uint32_t Px(const sb::Platform& p, int x, int y) {
  return p.Framebuffer()[y * 640 + x];
}

// JoyButtonDown of buttons 0..5 on a port, one digit each ("010010": 1 and 4).
inline std::string ButtonsDown(sb::Platform& p, int port = 0) {
  std::string s;
  for (int b = 0; b <= 5; ++b) s += std::to_string(p.JoyButtonDown(b, port));
  return s;
}

}  // namespace pt
