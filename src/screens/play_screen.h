// The play screen: one game's frame loop, wave changes, lost lives, the quit prompt.
#pragma once

#include "core/game.h"

namespace sb {

void PlayGame(Game& g);
int ConfirmQuit(Game& g);

}  // namespace sb
