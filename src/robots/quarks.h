// Quarks, tanks and shells.
#pragma once

#include "core/game.h"

namespace sb {

void UpdateQuarks(Game& g);
void UpdateTanks(Game& g);
void UpdateBalls(Game& g);
void CreateTank(Game& g, int x, int y);
void CreateBall(Game& g, int x, int y);

}  // namespace sb
