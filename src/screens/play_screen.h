// The play screen: one game's frame loop, wave changes, lost lives, the quit prompt.
#pragma once

#include "core/game.h"

namespace sb {

void PlayGame(Game& g);
// Shows the quit prompt and waits for the answer: true to quit.
bool ConfirmQuit(Game& g);

}  // namespace sb
