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
  joy_presses_.fill(0);
}

int InputState::JoyButtonPresses(int button) {
  if (button < 1 || button > kJoyButtons) return 0;
  int n = joy_presses_[button - 1];
  joy_presses_[button - 1] = 0;
  return n;
}

int InputState::TakeCloseRequest() {
  bool c = close_;
  close_ = false;
  return c ? 1 : 0;
}

void InputState::SetKey(int code, bool down) {
  if (hold_) return hold_->Hold({InputChange::Kind::kKey, code, down ? 1 : 0});
  if (!Valid(code)) return;
  if (down && !down_[code] && presses_[code] < INT32_MAX) ++presses_[code];
  down_[code] = down;
}

void InputState::SetJoyButton(int button, bool down) {
  if (hold_) return hold_->Hold({InputChange::Kind::kJoyButton, button, down ? 1 : 0});
  if (button < 1 || button > kJoyButtons) return;
  int32_t& n = joy_presses_[button - 1];
  if (down && !joy_[button - 1] && n < INT32_MAX) ++n;
  joy_[button - 1] = down;
}

void InputState::SetJoyAxes(int x, int y) {
  if (hold_) {
    hold_->Hold({InputChange::Kind::kJoyX, 0, std::clamp(x, -1, 1)});
    return hold_->Hold({InputChange::Kind::kJoyY, 0, std::clamp(y, -1, 1)});
  }
  jx_ = std::clamp(x, -1, 1);
  jy_ = std::clamp(y, -1, 1);
}

bool InputState::Apply(const InputChange& c) {
  InputHold* h = hold_;
  hold_ = nullptr;
  bool changed = true;
  switch (c.kind) {
    case InputChange::Kind::kKey:
      changed = Valid(c.code) && down_[c.code] != (c.value != 0);
      SetKey(c.code, c.value != 0);
      break;
    case InputChange::Kind::kJoyButton:
      changed =
          c.code >= 1 && c.code <= kJoyButtons && JoyButtonDown(c.code) != (c.value != 0 ? 1 : 0);
      SetJoyButton(c.code, c.value != 0);
      break;
    case InputChange::Kind::kJoyX:
      changed = jx_ != std::clamp(c.value, -1, 1);
      SetJoyAxes(c.value, jy_);
      break;
    case InputChange::Kind::kJoyY:
      changed = jy_ != std::clamp(c.value, -1, 1);
      SetJoyAxes(jx_, c.value);
      break;
    case InputChange::Kind::kClose:
      RequestClose();
      break;
    case InputChange::Kind::kClear:
      FocusChanged();
      break;
    case InputChange::Kind::kFocus:
      changed = focus_ != (c.value != 0);
      SetFocus(c.value != 0);
      break;
  }
  hold_ = h;
  return changed;
}

namespace {
// The letters the game asks for by name ("Hit Y to quit", "Press O").
bool ReadByLetter(int code) {
  return code == 'Y' || code == 'N' || code == 'O';
}
}  // namespace

int VirtualKeysOfPress(int position, int letter, int codes[2]) {
  int n = 0;
  if (position != 0 && (!ReadByLetter(position) || letter == 0)) codes[n++] = position;
  if (letter != 0 && ReadByLetter(letter)) codes[n++] = letter;
  return n;
}

}  // namespace sb
