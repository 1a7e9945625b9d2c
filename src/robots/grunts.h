// Grunts, hulks, electrodes and dying electrodes.
#pragma once

#include "core/game.h"

namespace sb {

void UpdateHulks(Game& g);
void UpdateGrunts(Game& g);
void UpdateElectrodes(Game& g);
void CreateShrinkle(Game& g, int x, int y, int design);
void UpdateShrinkles(Game& g);

}  // namespace sb
