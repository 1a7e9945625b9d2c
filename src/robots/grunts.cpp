#include "robots/grunts.h"

namespace sb {

void UpdateRobots(Game&) {}
void UpdateHulks(Game&) {}
void UpdateGrunts(Game&) {}
void UpdateElectrodes(Game&) {}
void CreateShrinkle(Game&, int, int, int) {}
void UpdateShrinkles(Game&) {}

}  // namespace sb
