// The robot update order, grunts, hulks, electrodes and dying electrodes.
#pragma once

#include "shell/game.h"

namespace sb {

void UpdateRobots(Game& g);
void UpdateHulks(Game& g);
void UpdateGrunts(Game& g);
void UpdateElectrodes(Game& g);
void CreateShrinkle(Game& g, int x, int y, int design);
void UpdateShrinkles(Game& g);

}  // namespace sb
