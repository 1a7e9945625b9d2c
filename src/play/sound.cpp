#include "play/sound.h"

namespace sb {

void PlaySoundRequests(Game&) {}
void ClearSoundRequests(Game&) {}
void PlayMenuSound(Game&, Snd) {}

}  // namespace sb
