#include "robots/humans.h"

namespace sb {

void UpdateHumans(Game&) {}
void CreatePoint(Game&, int, int, int) {}
void CreateDeath(Game&, int, int) {}
void CreateProg(Game&, int, int, int) {}

}  // namespace sb
