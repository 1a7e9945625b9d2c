// The real back end: an SDL window showing the 640x480 frame (letterboxed
// and nearest-neighbour scaled in full screen), the audio device fed by the
// mixer, keyboard, game controllers and joysticks, the system clock.
#pragma once

#include <memory>

#include "platform/backend.h"
#include "platform/platform.h"

namespace sb {

// Null only when SDL itself cannot start. A missing display or audio device
// is not a failure here: OpenWindow reports the one, the game runs silent
// without the other.
std::unique_ptr<Backend> MakeSdlBackend();

// The virtual-key code of an SDL scancode (a physical key), 0 for keys the
// game has no code for.
int VirtualKeyFromScancode(int scancode);

// The virtual-key codes one key (SDL scancode and keycode) sets, into codes;
// returns how many (by position, Y N O by letter: VirtualKeysOfPress).
int VirtualKeysOfKey(int scancode, int keycode, int codes[2]);

}  // namespace sb
