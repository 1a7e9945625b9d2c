// Death and wave transitions, and the wave label.
#pragma once

#include "shell/game.h"

namespace sb {

void PlayerDeath(Game& g);
// Fragments, score values, skulls, shrinking humans, the status line and the
// border: the layers over the playfield, in the order every frame draws them.
void DrawEffectsAndHud(Game& g);
void WaveIntro(Game& g, int restart);
void WaveOutro(Game& g);
void MakeWaveLabel(Game& g);

}  // namespace sb
