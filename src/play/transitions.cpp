#include "play/transitions.h"

namespace sb {

void PlayerDeath(Game&) {}
void WaveIntro(Game&, int) {}
void WaveOutro(Game&) {}
void MakeWaveLabel(Game&) {}

}  // namespace sb
