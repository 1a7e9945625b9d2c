#include "script.h"

#include <cctype>
#include <charconv>

#include "core/replay.h"

namespace sim {
namespace {

std::string Lower(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

// Whole-token decimal integer (optional leading '-'), no overflow.
bool ParseInt(std::string_view s, int64_t& v) {
  if (s.empty()) return false;
  const char* b = s.data();
  const char* e = b + s.size();
  auto [p, ec] = std::from_chars(b, e, v);
  return ec == std::errc() && p == e;
}

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> toks;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    std::size_t j = i;
    while (j < line.size() && !std::isspace(static_cast<unsigned char>(line[j]))) ++j;
    if (j > i) toks.push_back(line.substr(i, j - i));
    i = j;
  }
  return toks;
}

bool ParseUpDown(std::string_view tok, int& v) {
  std::string t = Lower(tok);
  if (t == "down")
    v = 1;
  else if (t == "up")
    v = 0;
  else
    return false;
  return true;
}

// One non-empty, comment-free line; false with a reason on a fault.
bool ParseLine(const std::vector<std::string_view>& t, Change& c, std::string& why) {
  int64_t frame = 0;
  if (!ParseInt(t[0], frame) || frame < 0) {
    why = "frame number '" + std::string(t[0]) + "' is not a non-negative integer";
    return false;
  }
  c.frame = frame;
  if (t.size() < 2) {
    why = "missing action after the frame number";
    return false;
  }
  std::string verb = Lower(t[1]);
  if (verb == "close") {
    if (t.size() != 2) {
      why = "'close' takes no arguments";
      return false;
    }
    c.kind = Change::Kind::kClose;
    return true;
  }
  if (verb == "down" || verb == "up") {
    if (t.size() != 3) {
      why = "expected 'FRAME " + verb + " KEY'";
      return false;
    }
    auto code = KeyCodeFromName(t[2]);
    if (!code) {
      why = "unknown key '" + std::string(t[2]) + "'";
      return false;
    }
    c.kind = Change::Kind::kKey;
    c.code = *code;
    c.value = verb == "down" ? 1 : 0;
    return true;
  }
  if (verb == "joy") {
    if (t.size() < 3) {
      why = "expected 'joy button N down|up' or 'joy x|y -1|0|1'";
      return false;
    }
    std::string what = Lower(t[2]);
    if (what == "button") {
      if (t.size() != 5) {
        why = "expected 'FRAME joy button N down|up'";
        return false;
      }
      const std::optional<int> b = JoyButtonFromName(t[3]);
      if (!b) {
        why = "joystick button '" + std::string(t[3]) + "' is not 1.." +
              std::to_string(kMaxJoyButton) + " or one of x a b y back start";
        return false;
      }
      if (!ParseUpDown(t[4], c.value)) {
        why = "expected 'down' or 'up', got '" + std::string(t[4]) + "'";
        return false;
      }
      c.kind = Change::Kind::kJoyButton;
      c.code = *b;
      return true;
    }
    if (what == "x" || what == "y") {
      int64_t d = 0;
      if (t.size() != 4) {
        why = "expected 'FRAME joy " + what + " -1|0|1'";
        return false;
      }
      if (!ParseInt(t[3], d) || d < -1 || d > 1) {
        why = "joystick direction '" + std::string(t[3]) + "' is not -1, 0 or 1";
        return false;
      }
      c.kind = what == "x" ? Change::Kind::kJoyX : Change::Kind::kJoyY;
      c.value = static_cast<int>(d);
      return true;
    }
    why = "unknown joystick input '" + std::string(t[2]) + "'";
    return false;
  }
  why = "unknown action '" + std::string(t[1]) + "'";
  return false;
}

}  // namespace

std::optional<int> KeyCodeFromName(std::string_view name) {
  // The replay format's key names, in any case.
  const int code = sb::ReplayKeyCode(Lower(name));
  if (code != 0) return code;
  return std::nullopt;
}

std::optional<int> JoyButtonFromName(std::string_view name) {
  static constexpr std::string_view kNames[kMaxJoyButton] = {"x", "a", "b", "y", "back", "start"};
  const std::string n = Lower(name);
  for (int i = 0; i < kMaxJoyButton; ++i)
    if (n == kNames[i]) return i + 1;
  int64_t v = 0;
  if (ParseInt(n, v) && v >= 1 && v <= kMaxJoyButton) return static_cast<int>(v);
  return std::nullopt;
}

bool ParseScript(std::string_view text, std::vector<Change>& out, ScriptError& err) {
  out.clear();
  int lineno = 0;
  int64_t last = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    ++lineno;
    if (std::size_t h = line.find('#'); h != std::string_view::npos) line = line.substr(0, h);
    auto toks = Split(line);
    if (toks.empty()) continue;
    Change c;
    c.line = lineno;
    std::string why;
    if (!ParseLine(toks, c, why)) {
      err = {lineno, why};
      return false;
    }
    if (c.frame < last) {
      err = {lineno, "frame " + std::to_string(c.frame) + " comes after frame " +
                         std::to_string(last) + " (frames may not decrease)"};
      return false;
    }
    last = c.frame;
    out.push_back(c);
  }
  return true;
}

void ScriptPlayer::Apply(const Change& c, InputSink& sink) {
  switch (c.kind) {
    case Change::Kind::kKey:
      sink.Key(c.code, c.value != 0);
      break;
    case Change::Kind::kJoyButton:
      sink.JoyButton(c.code, c.value != 0);
      break;
    case Change::Kind::kJoyX:
      joyx_ = c.value;
      sink.JoyAxes(joyx_, joyy_);
      break;
    case Change::Kind::kJoyY:
      joyy_ = c.value;
      sink.JoyAxes(joyx_, joyy_);
      break;
    case Change::Kind::kClose:
      sink.Close();
      break;
  }
}

void ScriptPlayer::ApplyUpTo(int64_t frame, InputSink& sink) {
  while (next_ < changes_.size() && changes_[next_].frame <= frame) Apply(changes_[next_++], sink);
}

bool ScriptPlayer::ApplyNext(InputSink& sink) {
  if (next_ >= changes_.size()) return false;
  Apply(changes_[next_++], sink);
  return true;
}

}  // namespace sim
