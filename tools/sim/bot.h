// A simple deterministic autopilot: steps away from what threatens the
// player, fires at the nearest robot, answers the screens' prompts. It reads
// the game state directly and plays in control mode 4 (J L I K move, S F E D
// fire).
#pragma once

#include <array>
#include <cstdint>

#include "core/game.h"

namespace sim {

class Bot {
 public:
  // Key codes the bot may hold.
  static constexpr std::array<int, 10> kKeys = {74, 76, 73, 75, 83, 70, 69, 68, 89, 78};

  // The keys to hold while the next frame is produced; `frame` is the number
  // of the frame just presented.
  void Decide(const sb::Game& g, int64_t frame);
  bool Held(int code) const;

  // A prompt waits without presenting frames: answer "continue" (N), pressing
  // and releasing on alternate polls.
  void AnswerWait();

  // Direction the bot chose (for tests): -1, 0 or 1 per axis.
  int movex = 0, movey = 0, firex = 0, firey = 0;

 private:
  void Clear();
  void Play(const sb::Game& g);

  bool left_ = false, right_ = false, up_ = false, down_ = false;
  bool fleft_ = false, fright_ = false, fup_ = false, fdown_ = false;
  bool yes_ = false, no_ = false;
};

}  // namespace sim
