#include "robots/brains.h"

namespace sb {

void UpdateBrains(Game&) {}
void UpdateProgs(Game&) {}
void UpdateCruises(Game&) {}
void CreateCruise(Game&, int, int) {}

}  // namespace sb
