// Explosion fragments.
#pragma once

#include "shell/game.h"

namespace sb {

void CreateBits(Game& g, int x, int y, int row, int code);
void UpdateBits(Game& g);

}  // namespace sb
