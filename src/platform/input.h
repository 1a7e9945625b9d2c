// Keyboard, joystick and close-request state as the game reads it. The back
// ends (and scripted tests) feed it through the setters.
#pragma once

#include <array>
#include <cstdint>

namespace sb {

class InputState {
 public:
  static constexpr int kKeys = 256;  // virtual-key codes 0..255
  static constexpr int kJoyButtons = 4;

  // --- game side ---
  int KeyDown(int code) const { return Valid(code) && down_[code] ? 1 : 0; }
  // Presses since the last call for this key, then zero.
  int KeyPresses(int code);
  // Forgets held keys and press counts (the close request stays).
  void ClearKeys();
  // 1 once per close request.
  int TakeCloseRequest();
  int JoyButtonDown(int button) const {
    return button >= 1 && button <= kJoyButtons && joy_[button - 1] ? 1 : 0;
  }
  int JoyX() const { return jx_; }
  int JoyY() const { return jy_; }

  // --- back end / script side ---
  // A change from up to down counts one press; down while down (auto-repeat)
  // counts nothing.
  void SetKey(int code, bool down);
  void SetJoyButton(int button, bool down);  // button 1..4
  void SetJoyAxes(int x, int y);             // each -1, 0 or +1
  void RequestClose() { close_ = true; }
  // Focus loss or gain: as ClearKeys.
  void FocusChanged() { ClearKeys(); }
  bool ClosePending() const { return close_; }

 private:
  static bool Valid(int code) { return code >= 0 && code < kKeys; }
  std::array<bool, kKeys> down_{};
  std::array<int32_t, kKeys> presses_{};
  std::array<bool, kJoyButtons> joy_{};
  int jx_ = 0, jy_ = 0;
  bool close_ = false;
};

}  // namespace sb
