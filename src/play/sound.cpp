#include "play/sound.h"

namespace sb {

// Every raised request starts its sound once, in load order; the flags stay
// raised until ClearSoundRequests, so a caller may inspect them afterwards.
void PlaySoundRequests(Game& g) {
  if (g.sound != 1) return;
  for (int i = 0; i < kSndCount; ++i) {
    if (g.req[i] > 0) g.P.PlaySound(g.snd[i]);
  }
}

void ClearSoundRequests(Game& g) {
  for (int i = 0; i < kSndCount; ++i) g.req[i] = 0;
}

void PlayMenuSound(Game& g, Snd s) {
  if (g.sound == 1) g.P.PlaySound(g.snd[s]);
}

}  // namespace sb
