// Brains, progs and cruise missiles.
#pragma once

#include "core/game.h"

namespace sb {

void UpdateBrains(Game& g);
void UpdateProgs(Game& g);
void UpdateCruises(Game& g);
void CreateCruise(Game& g, int x, int y);

}  // namespace sb
