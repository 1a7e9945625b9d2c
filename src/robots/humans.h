// Humans, floating score values, skull markers and the birth of progs.
#pragma once

#include "core/game.h"

namespace sb {

void UpdateHumans(Game& g);
void CreatePoint(Game& g, int x, int y, int n);
void CreateDeath(Game& g, int x, int y);
void CreateProg(Game& g, int x, int y, int design);

}  // namespace sb
