// The heavy frame the benchmarks draw and play: a real wave-100 game on the
// headless platform, rebuilt from a fixed seed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bot.h"
#include "core/game.h"
#include "platform/platform.h"

namespace bench {

struct Heavy {
  std::unique_ptr<sb::Platform> P;
  std::unique_ptr<sb::Game> g;
  sim::Bot bot;
  int64_t frame = 0;     // frames shown so far
  int64_t stop_at = -1;  // throw StopRun when this frame is shown
  int64_t bot_from = 0;  // the bot plays from this frame on; before, no keys
};

// Runs the game (wave 100, difficulty 5, invincible) for a few hundred
// frames with the player standing still while the robots close in and
// multiply, then the bot shooting into them; then brings the grunts up to
// 85. Returns with the state between two frames, as the play loop leaves
// it after its Delay. Needs the working folder to hold images/ and sounds/.
std::unique_ptr<Heavy> BuildHeavy();

// One frame exactly as the play loop runs it (updates, collisions, every
// draw, Flip, sound requests, Cls, Delay) on the headless back end, which
// never sleeps. False when the frame would have needed a wave change; the
// state should then be rebuilt.
bool PlayFrame(Heavy& h);

// The drawing calls of one frame of this state, in order: the clear, then
// DrawPlayer ... DrawBorder.
std::vector<sb::DrawCall> RecordFrame(Heavy& h);

// Draws the recorded calls onto P's renderer. general: every image through
// the per-pixel reference path (how sprites off the pixel grid were drawn
// before the fast paths), for comparison.
void Replay(sb::Platform& P, const std::vector<sb::DrawCall>& calls, bool general = false);

// What the state holds, e.g. "grunts 85, brains 22, ...".
std::string Describe(const sb::Game& g);

}  // namespace bench
