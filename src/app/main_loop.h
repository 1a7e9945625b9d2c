// Start-up, the screen loop and shutdown.
#pragma once

#include "core/game.h"

namespace sb {

// The whole program on the given platform; returns the process exit status.
// `seed` replaces the clock as the random seed when given (simulator).
int Main(Game& g, const int64_t* seed = nullptr);
// Start-up steps up to (not including) the screen loop. False when an image
// failed (errors.log written, 2 s waited) or no display could be opened.
bool StartUp(Game& g, const int64_t* seed = nullptr);
void RunScreenLoop(Game& g);
// One pass of the screen loop: the screen for `gamestate`, the state change
// after it, the 100 ms pause and the key clear.
void ScreenLoopStep(Game& g);
void ShutDown(Game& g);

}  // namespace sb
