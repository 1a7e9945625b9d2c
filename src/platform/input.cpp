#include "platform/input.h"

#include <algorithm>

namespace sb {

int InputState::KeyPresses(int code) {
  if (!Valid(code)) return 0;
  int n = presses_[code];
  presses_[code] = 0;
  return n;
}

void InputState::ClearKeys() {
  down_.fill(false);
  presses_.fill(0);
}

int InputState::TakeCloseRequest() {
  bool c = close_;
  close_ = false;
  return c ? 1 : 0;
}

void InputState::SetKey(int code, bool down) {
  if (!Valid(code)) return;
  if (down && !down_[code] && presses_[code] < INT32_MAX) ++presses_[code];
  down_[code] = down;
}

void InputState::SetJoyButton(int button, bool down) {
  if (button >= 1 && button <= kJoyButtons) joy_[button - 1] = down;
}

void InputState::SetJoyAxes(int x, int y) {
  jx_ = std::clamp(x, -1, 1);
  jy_ = std::clamp(y, -1, 1);
}

}  // namespace sb
