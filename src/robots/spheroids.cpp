#include "robots/spheroids.h"

namespace sb {

void UpdateSpheroids(Game&) {}
void UpdateEnforcers(Game&) {}
void UpdatePluses(Game&) {}
void CreateEnforcer(Game&, int, int) {}
void CreatePlus(Game&, int, int) {}

}  // namespace sb
