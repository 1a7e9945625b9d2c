// The wave table and wave set-up.
#pragma once

#include "core/game.h"

namespace sb {

void LoadWaves(Game& g);
void RandomSpot(Game& g, int kind);
void CreateWave(Game& g, kxwave* w);
void RestartWave(Game& g, kxwave* w);

}  // namespace sb
