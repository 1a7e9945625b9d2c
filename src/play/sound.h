// Sound requests: raised by events, played once per frame.
#pragma once

#include "core/game.h"

namespace sb {

void PlaySoundRequests(Game& g);
void ClearSoundRequests(Game& g);
// Plays a sound directly (menu screens); nothing when the sound setting is off.
void PlayMenuSound(Game& g, Snd s);

}  // namespace sb
