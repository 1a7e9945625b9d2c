// Death and wave transitions, and the wave label.
#pragma once

#include "shell/game.h"

namespace sb {

void PlayerDeath(Game& g);
void WaveIntro(Game& g, int restart);
void WaveOutro(Game& g);
void MakeWaveLabel(Game& g);

}  // namespace sb
