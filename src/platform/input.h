// Keyboard, joystick and close-request state as the game reads it. The back
// ends (and scripted tests) feed it through the setters.
#pragma once

#include <array>
#include <cstdint>

namespace sb {

// One change of the input state, as a back end or a replay makes it.
struct InputChange {
  enum class Kind { kKey, kJoyButton, kJoyX, kJoyY, kClose, kClear, kFocus };
  Kind kind = Kind::kKey;
  int code = 0;   // key code or joystick button (from 1)
  int value = 0;  // 1 down / 0 up, or the axis direction
};

// Takes the back end's changes while set (recording or watching a replay):
// they reach the game only when the holder applies them, at frame boundaries.
class InputHold {
 public:
  virtual ~InputHold() = default;
  virtual void Hold(const InputChange& c) = 0;
};

class InputState {
 public:
  static constexpr int kKeys = 256;  // virtual-key codes 0..255
  // 1..4 the face buttons (left, bottom, right, top), 5 Back, 6 Start.
  static constexpr int kJoyButtons = 6;

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
  // Presses of a button since the last call for it, then zero (ClearKeys
  // forgets them too, so a button held when a screen opens is no press).
  int JoyButtonPresses(int button);
  // False from a focus loss until the window has the focus again.
  bool HasFocus() const { return focus_; }
  int JoyX() const { return jx_; }
  int JoyY() const { return jy_; }

  // --- back end / script side ---
  // A change from up to down counts one press; down while down (auto-repeat)
  // counts nothing.
  void SetKey(int code, bool down);
  void SetJoyButton(int button, bool down);  // button 1..kJoyButtons
  void SetJoyAxes(int x, int y);             // each -1, 0 or +1
  void RequestClose() {
    if (hold_) return hold_->Hold({InputChange::Kind::kClose, 0, 0});
    close_ = true;
  }
  // Focus loss or gain: as ClearKeys.
  void FocusChanged() {
    if (hold_) return hold_->Hold({InputChange::Kind::kClear, 0, 0});
    ClearKeys();
  }
  // The window lost or got the focus: noted, then as FocusChanged.
  void SetFocus(bool has) {
    if (hold_) return hold_->Hold({InputChange::Kind::kFocus, 0, has ? 1 : 0});
    focus_ = has;
    FocusChanged();
  }
  bool ClosePending() const { return close_; }
  // While a hold is set, the setters above hand their changes to it.
  void SetHold(InputHold* h) { hold_ = h; }
  // Applies a change past the hold; true when the state changed (a close
  // request always counts).
  bool Apply(const InputChange& c);

 private:
  static bool Valid(int code) { return code >= 0 && code < kKeys; }
  std::array<bool, kKeys> down_{};
  std::array<int32_t, kKeys> presses_{};
  std::array<bool, kJoyButtons> joy_{};
  std::array<int32_t, kJoyButtons> joy_presses_{};
  bool focus_ = true;
  int jx_ = 0, jy_ = 0;
  bool close_ = false;
  InputHold* hold_ = nullptr;
};

// The virtual-key codes one key press sets, into codes; returns how many.
// Keys count by their position (`position`, 0 for none), so play and menus
// keep their shape on any layout, except the letters the game asks for by
// name (Y, N, O), which count by the upper-case letter the layout puts on
// the key (`letter`, 0 when it is no Latin letter: then by position too).
int VirtualKeysOfPress(int position, int letter, int codes[2]);

}  // namespace sb
