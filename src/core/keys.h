// Old-style key numbers (PC set-1 scan codes) translated to virtual-key codes.
#pragma once

#include "core/game.h"

namespace sb {

void FillKeyTable(Game& g);
int LegacyKeyDown(Game& g, int n);
int LegacyKeyHit(Game& g, int n);
// 1 when any fire input is held: S, F, E, D, Space or joystick button 4, 2, 3, 1.
int FirePressed(Game& g);

}  // namespace sb
