// Death and wave transitions.
#pragma once

#include "core/game.h"

namespace sb {

void PlayerDeath(Game& g);
void WaveIntro(Game& g, bool restart);
void WaveOutro(Game& g);

}  // namespace sb
