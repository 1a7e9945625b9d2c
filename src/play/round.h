// What a game does between frames and waves: the player's reset, the
// behaviour settings per wave and per frame, the end-of-wave test, clearing.
#pragma once

#include "core/game.h"

namespace sb {

void ResetPlayer(Game& g);
void ResetBehaviour(Game& g);
void RampBehaviour(Game& g);
bool WaveCleared(Game& g);
void ClearPlayfield(Game& g);

}  // namespace sb
