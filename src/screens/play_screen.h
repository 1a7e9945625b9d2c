// One game: the frame loop, wave completion, loss of lives, the quit prompt.
#pragma once

#include "shell/game.h"

namespace sb {

void PlayGame(Game& g);
void ResetPlayer(Game& g);
void ResetBehaviour(Game& g);
void RampBehaviour(Game& g);
bool WaveCleared(Game& g);
void ClearPlayfield(Game& g);
int ConfirmQuit(Game& g);

}  // namespace sb
