#include "core/replay.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <cinttypes>
#include <cstdio>

namespace sb {
namespace {

using Kind = InputChange::Kind;

bool ParseInt(std::string_view s, int64_t& v) {
  if (s.empty()) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size();
}

bool ParseHex64(std::string_view s, uint64_t& v) {
  if (s.size() != 16) return false;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
  return ec == std::errc() && p == s.data() + s.size();
}

std::vector<std::string_view> Split(std::string_view line) {
  std::vector<std::string_view> t;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != '\r') ++j;
    if (j > i) t.push_back(line.substr(i, j - i));
    i = j;
  }
  return t;
}

std::string Quote(std::string_view s) {
  std::string r = "'";
  for (char c : s.substr(0, 40)) r += std::isprint(static_cast<unsigned char>(c)) ? c : '?';
  return r + (s.size() > 40 ? "...'" : "'");
}

// A number in [lo, hi]; false with a reason.
bool Number(std::string_view tok, int64_t lo, int64_t hi, const char* what, int64_t& v,
            std::string& why) {
  if (!ParseInt(tok, v) || v < lo || v > hi) {
    why = std::string(what) + " " + Quote(tok) + " is not a number from " + std::to_string(lo) +
          " to " + std::to_string(hi);
    return false;
  }
  return true;
}

bool InputLine(const std::vector<std::string_view>& t, ReplayInput& in, std::string& why) {
  int64_t v = 0;
  if (!Number(t[0], 0, kReplayMaxFrame, "frame", in.frame, why)) return false;
  const std::string_view verb = t.size() > 1 ? t[1] : "";
  InputChange& c = in.change;
  if ((verb == "close" || verb == "clear") && t.size() == 2) {
    c.kind = verb == "close" ? Kind::kClose : Kind::kClear;
    return true;
  }
  if (verb == "focus" && t.size() == 3 && (t[2] == "in" || t[2] == "out")) {
    c.kind = Kind::kFocus;
    c.value = t[2] == "in";
    return true;
  }
  if ((verb == "down" || verb == "up") && t.size() == 3) {
    c.kind = Kind::kKey;
    c.value = verb == "down";
    c.code = ReplayKeyCode(t[2]);
    if (c.code == 0) why = "unknown key " + Quote(t[2]);
    return c.code != 0;
  }
  if (verb == "joy" && t.size() == 5 && t[2] == "button") {
    if (!Number(t[3], 1, InputState::kJoyButtons, "joystick button", v, why)) return false;
    c.kind = Kind::kJoyButton;
    c.code = static_cast<int>(v);
    if (t[4] != "down" && t[4] != "up") {
      why = "expected 'down' or 'up', got " + Quote(t[4]);
      return false;
    }
    c.value = t[4] == "down";
    return true;
  }
  if (verb == "joy" && t.size() == 4 && (t[2] == "x" || t[2] == "y")) {
    if (!Number(t[3], -1, 1, "joystick direction", v, why)) return false;
    c.kind = t[2] == "x" ? Kind::kJoyX : Kind::kJoyY;
    c.value = static_cast<int>(v);
    return true;
  }
  why =
      "not an input change: expected 'FRAME down|up KEY', 'FRAME joy ...', 'FRAME close', "
      "'FRAME clear' or 'FRAME focus in|out'";
  return false;
}

// `end frames N [score S] [wave W] [men M] [digest D] [cut]`
bool EndLine(const std::vector<std::string_view>& t, Replay& r, std::string& why) {
  int64_t v = 0;
  bool frames = false;
  for (std::size_t i = 1; i < t.size(); ++i) {
    if (t[i] == "cut") {
      r.cut = true;
      continue;
    }
    if (i + 1 >= t.size()) {
      why = "end field " + Quote(t[i]) + " has no value";
      return false;
    }
    const std::string_view k = t[i], val = t[++i];
    if (k == "frames") {
      if (!Number(val, 0, kReplayMaxFrame, "frames", r.end_frames, why)) return false;
      frames = true;
    } else if (k == "digest") {
      if (!ParseHex64(val, r.end_digest)) {
        why = "digest " + Quote(val) + " is not 16 hexadecimal digits";
        return false;
      }
      r.has_digest = true;
    } else if (k == "score" || k == "wave" || k == "men") {
      if (!Number(val, INT32_MIN, INT32_MAX, std::string(k).c_str(), v, why)) return false;
      const auto n = static_cast<int32_t>(v);
      if (k == "score") r.score = n, r.has_score = true;
      if (k == "wave") r.wave = n, r.has_wave = true;
      if (k == "men") r.men = n, r.has_men = true;
    } else {
      why = "unknown end field " + Quote(k);
      return false;
    }
  }
  if (!frames) why = "the end line has no 'frames N'";
  return frames;
}

}  // namespace

std::string ReplayKeyName(int code) {
  switch (code) {
    case 37:
      return "left";
    case 38:
      return "up";
    case 39:
      return "right";
    case 40:
      return "down";
    case 32:
      return "space";
    case 27:
      return "escape";
    case 13:
      return "enter";
    default:
      break;
  }
  if (code >= 65 && code <= 90) return std::string(1, static_cast<char>('a' + code - 65));
  if (code >= 48 && code <= 57) return std::string(1, static_cast<char>(code));
  // Other keys by code, in at least two digits: a single digit names the digit key.
  return (code >= 0 && code < 10 ? "0" : "") + std::to_string(code);
}

int ReplayKeyCode(std::string_view n) {
  int64_t v = 0;
  if (n.size() > 1 && ParseInt(n, v)) return v >= 1 && v < InputState::kKeys ? int(v) : 0;
  if (n.size() == 1 && ((n[0] >= 'a' && n[0] <= 'z') || (n[0] >= '0' && n[0] <= '9')))
    return n[0] >= 'a' ? 65 + (n[0] - 'a') : n[0];
  for (int c : {37, 38, 39, 40, 32, 27, 13}) {
    if (ReplayKeyName(c) == n) return c;
  }
  return 0;
}

std::string Hex64(uint64_t v) {
  char b[20];
  std::snprintf(b, sizeof b, "%016" PRIx64, v);
  return b;
}

std::string ReplayInputLine(int64_t frame, const InputChange& c) {
  std::string s = std::to_string(frame) + " ";
  switch (c.kind) {
    case Kind::kKey:
      return s + (c.value ? "down " : "up ") + ReplayKeyName(c.code);
    case Kind::kJoyButton:
      return s + "joy button " + std::to_string(c.code) + (c.value ? " down" : " up");
    case Kind::kJoyX:
      return s + "joy x " + std::to_string(c.value);
    case Kind::kJoyY:
      return s + "joy y " + std::to_string(c.value);
    case Kind::kClose:
      return s + "close";
    case Kind::kClear:
      return s + "clear";
    case Kind::kFocus:
      return s + (c.value ? "focus in" : "focus out");
  }
  return s;
}

bool ParseReplay(std::string_view text, Replay& r, ReplayError& err) {
  r = Replay{};
  if (static_cast<int64_t>(text.size()) > kReplayMaxBytes) {
    err = {0, "larger than " + std::to_string(kReplayMaxBytes) + " bytes"};
    return false;
  }
  if (text.find('\0') != std::string_view::npos) {
    const auto at = text.find('\0');
    int line = 1;
    for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n';
    err = {line, "NUL byte in the text"};
    return false;
  }
  int lineno = 0;
  int64_t last_frame = 0, last_check = 0;  // inputs may pass the end (a final wait)
  bool magic = false;
  std::size_t pos = 0;
  std::string why;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string_view::npos) nl = text.size();
    std::string_view line = text.substr(pos, nl - pos);
    pos = nl + 1;
    if (++lineno > kReplayMaxLines) {
      err = {lineno, "more than " + std::to_string(kReplayMaxLines) + " lines"};
      return false;
    }
    if (auto h = line.find('#'); h != std::string_view::npos) line = line.substr(0, h);
    const auto t = Split(line);
    if (t.empty()) continue;
    auto fail = [&](std::string w) {
      err = {lineno, std::move(w)};
      return false;
    };
    if (!magic) {
      if (line.substr(0, line.find_last_not_of(" \t\r") + 1) !=
          std::string(kReplayMagic) + " " + std::to_string(kReplayFormat)) {
        if (t.size() == 3 && t[0] == "swarmbreak" && t[1] == "replay")
          return fail("replay format " + Quote(t[2]) + " is not " + std::to_string(kReplayFormat));
        return fail("not a replay: the first line must be '" + std::string(kReplayMagic) + " " +
                    std::to_string(kReplayFormat) + "'");
      }
      magic = true;
      continue;
    }
    if (r.has_end && t[0] != "name") return fail("nothing but 'name' may follow the end line");
    int64_t v = 0;
    const std::string_view k = t[0];
    if (k == "rules" && t.size() == 2) {
      if (!Number(t[1], 1, 1'000'000, "rules version", v, why)) return fail(why);
      r.rules = static_cast<int>(v);
    } else if (k == "game" && t.size() == 2) {
      r.game = std::string(t[1].substr(0, 64));
    } else if (k == "random" && t.size() == 3) {
      if (!Number(t[1], 1, 0x7FFFFFFE, "generator state", v, why)) return fail(why);
      r.rng_state = static_cast<int32_t>(v);
      if (!Number(t[2], 0, INT64_MAX, "draw count", v, why)) return fail(why);
      r.rng_draws = static_cast<uint64_t>(v);
      r.has_random = true;
    } else if (k == "startwave" && t.size() == 2) {
      if (!Number(t[1], 1, 1000, "start wave", v, why)) return fail(why);
      r.startwave = static_cast<int32_t>(v);
    } else if ((k == "set" || k == "player") && t.size() == 3) {
      r.values.push_back({k == "player", 0, std::string(t[1].substr(0, 64)),
                          std::string(t[2].substr(0, 64)), lineno});
    } else if (k == "curwave" && t.size() == 2) {
      if (!Number(t[1], 0, 1000, "current wave", v, why)) return fail(why);
      r.curwave = static_cast<int>(v);
    } else if (k == "wave" && t.size() == 4) {
      if (!Number(t[1], 1, 1000, "wave record", v, why)) return fail(why);
      r.values.push_back({false, static_cast<int>(v), std::string(t[2].substr(0, 64)),
                          std::string(t[3].substr(0, 64)), lineno});
    } else if (k == "start" && t.size() == 2) {
      if (!ParseHex64(t[1], r.start_digest)) return fail("start digest is not 16 hex digits");
      r.has_start = true;
    } else if (k == "checkpoint" && t.size() == 3) {
      ReplayCheckpoint c;
      if (!Number(t[1], 1, kReplayMaxFrame, "checkpoint frame", c.frame, why)) return fail(why);
      if (!ParseHex64(t[2], c.digest)) return fail("checkpoint digest is not 16 hex digits");
      if (c.frame <= last_check) return fail("checkpoint frames must rise");
      last_check = c.frame;
      r.checkpoints.push_back(c);
    } else if (k == "end") {
      if (!EndLine(t, r, why)) return fail(why);
      r.has_end = true;
      r.end_line = lineno;
    } else if (k == "name" && t.size() == 2) {
      if (!r.has_end) return fail("'name' comes after the end line");
      r.name = std::string(t[1].substr(0, 16));
    } else if (!k.empty() && std::isdigit(static_cast<unsigned char>(k[0]))) {
      ReplayInput in;
      in.line = lineno;
      if (!InputLine(t, in, why)) return fail(why);
      if (in.frame < last_frame)
        return fail("frame " + std::to_string(in.frame) + " comes after frame " +
                    std::to_string(last_frame) + " (frames may not go backwards)");
      last_frame = in.frame;
      r.inputs.push_back(in);
    } else {
      return fail("unknown record " + Quote(k));
    }
  }
  if (!magic) {
    err = {0, "empty: not a replay"};
    return false;
  }
  if (r.rules == 0) {
    err = {lineno, "no 'rules N' line"};
    return false;
  }
  if (!r.has_end) {
    err = {lineno, "truncated: no end line"};
    return false;
  }
  if (last_check > r.end_frames) {
    err = {r.end_line, "the end comes before the last checkpoint"};
    return false;
  }
  return true;
}

std::string ReplayErrorText(const std::string& path, const ReplayError& e) {
  return path + (e.line > 0 ? ":" + std::to_string(e.line) : "") + ": " + e.what;
}

bool ReadReplayFile(const std::string& path, Replay& out, ReplayError& err) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    err = {0, "cannot be read (no such file)"};
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    err = {0, S_ISDIR(st.st_mode) ? "is a folder, not a file" : "is not a regular file"};
    return false;
  }
  if (st.st_size > kReplayMaxBytes) {
    err = {0, "larger than " + std::to_string(kReplayMaxBytes) + " bytes"};
    return false;
  }
  // Non-blocking, so a pipe swapped in after the check cannot hang the read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    err = {0, "cannot be opened"};
    return false;
  }
  std::string text;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) break;
    text.append(buf, static_cast<std::size_t>(n));
    if (static_cast<int64_t>(text.size()) > kReplayMaxBytes) break;
  }
  ::close(fd);
  return ParseReplay(text, out, err);
}

}  // namespace sb
