// Old-style key numbers (PC set-1 scan codes) translated to virtual-key codes.
#pragma once

#include "core/game.h"

namespace sb {

// Old-style key numbers the game reads through the key table.
enum LegacyKey : int {
  kKeyEscape = 1,
  kKeyE = 18,
  kKeyY = 21,
  kKeyI = 23,
  kKeyS = 31,
  kKeyD = 32,
  kKeyF = 33,
  kKeyJ = 36,
  kKeyK = 37,
  kKeyL = 38,
  kKeySpace = 57,
  kKeyUp = 200,
  kKeyLeft = 203,
  kKeyRight = 205,
  kKeyDown = 208,
};
// Virtual-key codes the screens read directly.
enum KeyCode : int { kCodeEscape = 27, kCodeF = 70, kCodeN = 78, kCodeO = 79, kCodeY = 89 };

// Game controller buttons, by position: the four face buttons are game
// buttons 1..4 (left X, bottom A, right B, top Y), then Back and Start.
enum PadButton : int { kPadX = 1, kPadA = 2, kPadB = 3, kPadY = 4, kPadBack = 5, kPadStart = 6 };

// True when any of the reads is true. Every read is made before the test:
// reading a press takes it, so a key and a button asked together must both
// be asked, whichever answers.
template <class... Reads>
bool AnyOf(Reads... reads) {
  return (... || reads);
}

void FillKeyTable(Game& g);
int LegacyKeyDown(Game& g, int n);
int LegacyKeyHit(Game& g, int n);
// 1 when any fire input is held: S, F, E, D, Space or joystick button 4, 2, 3, 1.
int FirePressed(Game& g);

}  // namespace sb
