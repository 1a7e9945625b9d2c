// Drawing of the playfield, every sprite, the status line and the border.
#pragma once

#include "core/game.h"

namespace sb {

void DrawPlayer(Game& g);
void DrawShots(Game& g);
void DrawHumans(Game& g);
void DrawRobots(Game& g);
// DrawRobots is these, in this order:
void DrawHulks(Game& g);
void DrawGrunts(Game& g);
void DrawProgs(Game& g);
void DrawBrains(Game& g);
void DrawCruises(Game& g);
void DrawSpheroids(Game& g);
void DrawEnforcers(Game& g);
void DrawQuarks(Game& g);
void DrawTanks(Game& g);
void DrawBalls(Game& g);
void DrawPluses(Game& g);
void DrawElectrodes(Game& g);
void DrawBits(Game& g);
void DrawPoints(Game& g);
void DrawDeaths(Game& g);
void DrawShrinkles(Game& g);
void DrawHud(Game& g);
void DrawBorder(Game& g);
// Fragments, score values, skulls, shrinking humans, the status line and the
// border: the layers over the playfield, in the order every frame draws them.
void DrawEffectsAndHud(Game& g);
// Draws "WAVE" and the level into the wave label image.
void MakeWaveLabel(Game& g);

}  // namespace sb
