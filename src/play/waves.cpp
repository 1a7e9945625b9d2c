#include "play/waves.h"

namespace sb {

void LoadWaves(Game&) {}
void RandomSpot(Game&, int) {}
void CreateWave(Game&, kxwave*) {}
void RestartWave(Game&, kxwave*) {}

}  // namespace sb
