#include "draw/playfield.h"

namespace sb {

void DrawPlayer(Game&) {}
void DrawShots(Game&) {}
void DrawHumans(Game&) {}
void DrawRobots(Game&) {}
void DrawHulks(Game&) {}
void DrawGrunts(Game&) {}
void DrawProgs(Game&) {}
void DrawBrains(Game&) {}
void DrawCruises(Game&) {}
void DrawSpheroids(Game&) {}
void DrawEnforcers(Game&) {}
void DrawQuarks(Game&) {}
void DrawTanks(Game&) {}
void DrawBalls(Game&) {}
void DrawPluses(Game&) {}
void DrawElectrodes(Game&) {}
void DrawBits(Game&) {}
void DrawPoints(Game&) {}
void DrawDeaths(Game&) {}
void DrawShrinkles(Game&) {}
void DrawHud(Game&) {}
void DrawBorder(Game&) {}

}  // namespace sb
