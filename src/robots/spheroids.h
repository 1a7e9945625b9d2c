// Spheroids, enforcers and sparks.
#pragma once

#include "core/game.h"

namespace sb {

void UpdateSpheroids(Game& g);
void UpdateEnforcers(Game& g);
void UpdatePluses(Game& g);
void CreateEnforcer(Game& g, int x, int y);
void CreatePlus(Game& g, int x, int y);

}  // namespace sb
