// Scripted input for the simulator: one input change per line, tied to the
// frame whose production first sees it.
//
//   FRAME down|up KEY          KEY: left right up down space escape enter a..z 0..9,
//                                   or a virtual-key code
//   FRAME joy button N|NAME down|up   N 1..6, or a controller button by
//                                    position: x a b y (game buttons 1..4),
//                                    back (5), start (6)
//   FRAME joy x|y -1|0|1
//   FRAME close                a window-close request
//   # comment (anywhere on a line)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/input.h"

namespace sim {

struct Change {
  enum class Kind { kKey, kJoyButton, kJoyX, kJoyY, kClose };
  int64_t frame = 0;
  Kind kind = Kind::kKey;
  int code = 0;   // key code or joystick button (from 1)
  int value = 0;  // 1 down / 0 up, or the axis direction
  int line = 0;   // source line, for messages
};

struct ScriptError {
  int line = 0;
  std::string reason;
};

inline constexpr int kMaxJoyButton = 6;  // 1..4 the face buttons, 5 Back, 6 Start

// Button number for a controller button's name (x, a, b, y, back, start) or
// a number 1..kMaxJoyButton; nothing otherwise.
std::optional<int> JoyButtonFromName(std::string_view name);

// Key code for a key name ("left", "a", "7", "enter"...) or a decimal code;
// nothing for an unknown name or an out-of-range code.
std::optional<int> KeyCodeFromName(std::string_view name);

// Parses a whole script. Frame numbers may not decrease from line to line,
// because waits consume changes in file order.
bool ParseScript(std::string_view text, std::vector<Change>& out, ScriptError& err);

// Where applied changes go (the platform's input state, or a test double).
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void Key(int code, bool down) = 0;
  virtual void JoyButton(int button, bool down) = 0;
  virtual void JoyAxes(int x, int y) = 0;
  virtual void Close() = 0;
};

// The sink the game uses: changes go straight into the platform's input state.
class InputStateSink : public InputSink {
 public:
  explicit InputStateSink(sb::InputState& in) : in_(in) {}
  void Key(int code, bool down) override { in_.SetKey(code, down); }
  void JoyButton(int button, bool down) override { in_.SetJoyButton(button, down); }
  void JoyAxes(int x, int y) override { in_.SetJoyAxes(x, y); }
  void Close() override { in_.RequestClose(); }

 private:
  sb::InputState& in_;
};

// Feeds parsed changes to a sink, either by frame or one at a time (a game
// waiting for a key without presenting frames).
class ScriptPlayer {
 public:
  explicit ScriptPlayer(std::vector<Change> changes) : changes_(std::move(changes)) {}

  // Applies every change not yet applied whose frame is at most `frame`.
  void ApplyUpTo(int64_t frame, InputSink& sink);
  // Applies the next change whatever its frame; false when none is left.
  bool ApplyNext(InputSink& sink);
  bool Exhausted() const { return next_ >= changes_.size(); }
  std::size_t Applied() const { return next_; }

 private:
  void Apply(const Change& c, InputSink& sink);

  std::vector<Change> changes_;
  std::size_t next_ = 0;
  int joyx_ = 0, joyy_ = 0;
};

}  // namespace sim
