// The game's one random generator: minimal-standard Park-Miller with
// multiplier 48271, two steps per draw. Bit-exact, so a seed replays a game.
#pragma once

#include <cstdint>

namespace sb {

class Random {
 public:
  static constexpr int32_t kUnseeded = 0x1234;

  void Seed(int32_t seed);
  // Uniform over [min(lo, hi), max(lo, hi)).
  double Real(double lo, double hi);
  int32_t State() const { return state_; }
  void SetState(int32_t s) { state_ = s; }
  // Number of Real() draws since construction (for traces).
  uint64_t Draws() const { return draws_; }
  // The full state (a replay starts a game from it).
  void SetDraws(uint64_t d) { draws_ = d; }

 private:
  int32_t Next();
  int32_t state_ = kUnseeded;
  uint64_t draws_ = 0;
};

}  // namespace sb
