// Player control and shots.
#pragma once

#include "core/game.h"

namespace sb {

void ReadControls(Game& g);
void MovePlayer(Game& g);
void CreateShot(Game& g);
void MoveShots(Game& g);

}  // namespace sb
