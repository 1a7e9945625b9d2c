#include "app/replay.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <set>
#include <type_traits>

#include "core/digest.h"
#include "core/keys.h"
#include "core/settings.h"
#include "core/version.h"
#include "play/waves.h"
#include "scores/hiscores.h"
#include "screens/play_screen.h"

namespace sb {
namespace {

constexpr const char* kLastReplay = "replays/last.replay";
constexpr const char* kTableReplays = "scores/replays";
constexpr int kFastDivisor = 4;

template <class T>
std::string ValueText(const T& v) {
  if constexpr (std::is_floating_point_v<T>) {
    char b[32];
    std::snprintf(b, sizeof b, "%.9g", static_cast<double>(v));  // enough to come back exact
    return b;
  } else {
    return std::to_string(static_cast<int64_t>(v));
  }
}

template <class T>
bool ParseValue(const std::string& s, T& v) {
  if constexpr (std::is_floating_point_v<T>) {
    char* end = nullptr;
    const float f = std::strtof(s.c_str(), &end);
    if (s.empty() || *end != '\0') return false;
    v = f;
    return true;
  } else {
    int64_t n = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    if (ec != std::errc() || p != s.data() + s.size() || n < INT32_MIN || n > INT32_MAX)
      return false;
    v = static_cast<T>(n);
    return true;
  }
}

// The settings a player can set, with the ranges the options screen keeps to.
struct SettingRange {
  const char* name;
  int32_t lo, hi;
};
constexpr SettingRange kSettingRanges[] = {{"lives", 0, 99},     {"freeman", 5000, 200000},
                                           {"invincible", 0, 1}, {"sound", 0, 1},
                                           {"controls", 0, 7},   {"difficulty", 1, 5}};

// Applies one `set` or `player` value by name; false with a reason.
bool ApplyValue(Game& g, const ReplayValue& rv, std::string& why) {
  bool found = false, ok = false;
  auto take = [&](const char* name, auto& v) {
    if (found || rv.name != name) return;
    found = true;
    ok = ParseValue(rv.value, v);
  };
  if (rv.wave > 0) {
    kxwave* w = g.kxwave_list.First();
    for (int n = 1; w && n < rv.wave; ++n) w = g.kxwave_list.After(w);
    if (!w) {
      why = "there is no wave " + std::to_string(rv.wave);
      return false;
    }
    VisitFields(*w, take);
  } else if (rv.player) {
    VisitFields(*g.plyr, take);
  } else {
    VisitGlobals(g, take);
  }
  if (!found) {
    why = std::string("unknown ") +
          (rv.wave > 0 ? "wave field '"
           : rv.player ? "player field '"
                       : "value '") +
          rv.name + "'";
    return false;
  }
  if (!ok) {
    why = "value '" + rv.value + "' of '" + rv.name + "' is out of range";
    return false;
  }
  if (!rv.player && rv.wave == 0) {
    for (const SettingRange& s : kSettingRanges) {
      if (rv.name != s.name) continue;
      // Settings are 32-bit integers; a real global of the same name would be a
      // table fault, and casting an arbitrary real to int is undefined.
      int32_t v = 0;
      VisitGlobals(g, [&](const char* name, auto& x) {
        if constexpr (std::is_same_v<std::remove_cvref_t<decltype(x)>, int32_t>) {
          if (rv.name == name) v = x;
        }
      });
      if (v < s.lo || v > s.hi) {
        why = "setting " + rv.name + " " + rv.value + " is not " + std::to_string(s.lo) + ".." +
              std::to_string(s.hi);
        return false;
      }
    }
  }
  return true;
}

// Puts a started game where the replay's game started.
bool StartState(Game& g, const Replay& r, std::string& why) {
  g.gamestate = Screen::kPlay;
  if (r.has_random) {
    g.P.Rng().SetState(r.rng_state);
    g.P.Rng().SetDraws(r.rng_draws);
  } else {
    g.P.Rng().Seed(0);
    g.P.Rng().SetDraws(0);
  }
  g.startwave = r.startwave;
  if (r.curwave >= 0) {
    g.wave = nullptr;
    kxwave* w = g.kxwave_list.First();
    for (int n = 1; w && n <= r.curwave; ++n, w = g.kxwave_list.After(w)) {
      if (n == r.curwave) g.wave = w;
    }
    if (r.curwave > 0 && !g.wave) {
      why = "there is no wave " + std::to_string(r.curwave);
      return false;
    }
  }
  for (const ReplayValue& v : r.values) {
    if (!ApplyValue(g, v, why)) {
      why = "line " + std::to_string(v.line) + ": " + why;
      return false;
    }
  }
  return true;
}

std::string SafeName(const std::string& name) {
  std::string s;
  for (char c : name) s += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return s.empty() ? "_" : s;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) nl = text.size();
    out.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  return out;
}

// Plays a replay's input into a game; the back end's own changes are held
// away from it (and read for Escape and F when watching).
class Player : public FrameHooks, public InputHold {
 public:
  Player(Game& g, const Replay& r, bool watch) : g_(g), r_(r), watch_(watch) {}
  ~Player() override { Detach(); }

  void Begin() {
    ApplyUpTo(1);
    g_.P.Input().SetHold(this);
    g_.P.SetFrameHooks(this);
  }
  void Detach() {
    g_.P.SetFrameHooks(nullptr);
    g_.P.Input().SetHold(nullptr);
  }

  void AfterFlip(int64_t shown) override {
    frames_ = shown;
    if (watch_) LiveKeys();
    while (check_ < r_.checkpoints.size() && r_.checkpoints[check_].frame <= shown) {
      const ReplayCheckpoint& c = r_.checkpoints[check_++];
      const uint64_t got = PlayDigest(g_);
      if (!watch_ && c.frame == shown && got != c.digest) {
        Fail("checkpoint at frame " + std::to_string(shown) + ": expected digest " +
             Hex64(c.digest) + ", got " + Hex64(got));
      }
    }
    if (shown > r_.end_frames) {
      Fail("end frames: expected " + std::to_string(r_.end_frames) + ", got more");
    }
    if (r_.cut && shown == r_.end_frames) throw StopRun{0};
    ApplyUpTo(shown + 1);
  }

  void OnWait(int64_t) override {
    if (watch_) LiveKeys();
    // The game waits for a key: the next change, whatever its frame.
    if (next_ >= r_.inputs.size()) throw StopRun{0};
    g_.P.Input().Apply(r_.inputs[next_++].change);
  }

  void Hold(const InputChange& c) override { live_.push_back(c); }

  bool Failed() const { return !failure_.empty(); }
  const std::string& Failure() const { return failure_; }
  int64_t Frames() const { return frames_; }
  bool Left() const { return left_; }
  bool CloseAsked() const { return close_; }

  // Waits (no frames) until a key or a close request comes from the back end.
  void WaitForKey() {
    g_.P.SetFrameHooks(nullptr);
    live_.clear();
    for (;;) {
      g_.P.Delay(20);
      g_.P.CloseRequested();  // pumps the back end into live_
      for (const InputChange& c : live_) {
        if (c.kind == InputChange::Kind::kClose) close_ = true;
        if (c.kind == InputChange::Kind::kClose || (c.kind == InputChange::Kind::kKey && c.value))
          return;
      }
      live_.clear();
    }
  }

 private:
  void ApplyUpTo(int64_t frame) {
    while (next_ < r_.inputs.size() && r_.inputs[next_].frame <= frame)
      g_.P.Input().Apply(r_.inputs[next_++].change);
  }

  void Fail(std::string why) {
    failure_ = std::move(why);
    throw StopRun{1};
  }

  void LiveKeys() {
    for (const InputChange& c : live_) {
      if (c.kind == InputChange::Kind::kClose) close_ = left_ = true;
      if (c.kind != InputChange::Kind::kKey || c.value == 0) continue;
      if (c.code == kCodeEscape) left_ = true;
      if (c.code == kCodeF) {
        fast_ = !fast_;
        g_.P.SetDelayDivisor(fast_ ? kFastDivisor : 1);
      }
    }
    live_.clear();
    if (left_) throw StopRun{0};
  }

  Game& g_;
  const Replay& r_;
  bool watch_;
  std::size_t next_ = 0, check_ = 0;
  int64_t frames_ = 0;
  std::string failure_;
  std::vector<InputChange> live_;
  bool left_ = false, close_ = false, fast_ = false;
};

template <class T>
void CompareEnd(std::string& why, bool has, const char* field, T expected, T got) {
  if (why.empty() && has && expected != got)
    why = std::string("end ") + field + ": expected " + std::to_string(expected) + ", got " +
          std::to_string(got);
}

}  // namespace

Recorder::Recorder(Game& g) : g_(g) {
  Random& rng = g.P.Rng();
  text_ = std::string(kReplayMagic) + " " + std::to_string(kReplayFormat) + "\n";
  text_ += "rules " + std::to_string(kRulesVersion) + "\ngame " + kGameVersion + "\n";
  text_ += "random " + std::to_string(rng.State()) + " " + std::to_string(rng.Draws()) + "\n";
  text_ += "startwave " + std::to_string(g.startwave) + "\n";
  int cur = 0, n = 1;
  for (kxwave* w = g.kxwave_list.First(); w; w = g.kxwave_list.After(w), ++n) {
    if (w == g.wave) cur = n;
  }
  text_ += "curwave " + std::to_string(cur) + "\n";
  VisitGlobals(g, [&](const char* name, const auto& v) {
    text_ += std::string("set ") + name + " " + ValueText(v) + "\n";
  });
  VisitFields(*g.plyr, [&](const char* name, const auto& v) {
    text_ += std::string("player ") + name + " " + ValueText(v) + "\n";
  });
  // Wave records that earlier games left changed (counts of what is left).
  {
    auto fresh = std::make_unique<Game>(g.P);
    LoadWaves(*fresh);
    kxwave* b = fresh->kxwave_list.First();
    int n = 1;
    for (kxwave* a = g.kxwave_list.First(); a && b; a = g.kxwave_list.After(a), ++n) {
      std::vector<std::string> base;
      VisitFields(*b, [&](const char*, const auto& v) { base.push_back(ValueText(v)); });
      std::size_t i = 0;
      VisitFields(*a, [&](const char* name, const auto& v) {
        if (ValueText(v) != base[i++])
          text_ += "wave " + std::to_string(n) + " " + name + " " + ValueText(v) + "\n";
      });
      b = fresh->kxwave_list.After(b);
    }
  }
  text_ += "start " + Hex64(PlayDigest(g)) + "\n";
  // What is already held when the game starts.
  InputState& in = g.P.Input();
  using K = InputChange::Kind;
  for (int c = 0; c < InputState::kKeys; ++c) {
    if (in.KeyDown(c)) text_ += ReplayInputLine(1, {K::kKey, c, 1}) + "\n";
  }
  for (int b = 1; b <= InputState::kJoyButtons; ++b) {
    if (in.JoyButtonDown(b)) text_ += ReplayInputLine(1, {K::kJoyButton, b, 1}) + "\n";
  }
  if (in.JoyX() != 0) text_ += ReplayInputLine(1, {K::kJoyX, 0, in.JoyX()}) + "\n";
  if (in.JoyY() != 0) text_ += ReplayInputLine(1, {K::kJoyY, 0, in.JoyY()}) + "\n";
  in.SetHold(this);
  g.P.SetFrameHooks(this);
  attached_ = true;
}

Recorder::~Recorder() {
  Detach();
}

void Recorder::Detach() {
  if (!attached_) return;
  attached_ = false;
  g_.P.SetFrameHooks(nullptr);
  InputState& in = g_.P.Input();
  in.SetHold(nullptr);
  for (const InputChange& c : held_) in.Apply(c);  // the live game keeps them
  held_.clear();
}

void Recorder::AfterFlip(int64_t shown) {
  frames_ = shown;
  InputState& in = g_.P.Input();
  for (const InputChange& c : held_) {
    if (in.Apply(c)) text_ += ReplayInputLine(shown + 1, c) + "\n";
  }
  held_.clear();
  if (shown % kCheckpointEvery == 0)
    text_ += "checkpoint " + std::to_string(shown) + " " + Hex64(PlayDigest(g_)) + "\n";
}

void Recorder::OnWait(int64_t shown) {
  // One change per wait, as a replay gives it; changes that change nothing
  // are dropped on the way.
  InputState& in = g_.P.Input();
  std::size_t i = 0;
  while (i < held_.size()) {
    const InputChange c = held_[i++];
    if (in.Apply(c)) {
      text_ += ReplayInputLine(shown + 2, c) + "\n";
      break;
    }
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string Recorder::Finish(bool cut, int64_t frames) {
  Detach();
  if (frames >= 0) frames_ = frames;
  kxplyr& p = *g_.plyr;
  text_ += "end frames " + std::to_string(frames_) + " score " + std::to_string(p.score) +
           " wave " + std::to_string(p.level) + " men " + std::to_string(p.men) + " digest " +
           Hex64(PlayDigest(g_)) + (cut ? " cut" : "") + "\n";
  return text_;
}

bool WriteReplayFile(Platform& P, const std::string& path, const std::string& text) {
  const auto slash = path.rfind('/');
  if (slash != std::string::npos) {
    std::error_code ec;
    std::filesystem::create_directories(path.substr(0, slash), ec);
  }
  if (WriteLinesSafely(P, path, path + ".tmp", Lines(text), nullptr) == WriteFault::kNone)
    return true;
  std::fprintf(stderr, "swarmbreak: replay not saved: cannot write \"%s\"\n", path.c_str());
  return false;
}

void PlayRecordedGame(Game& g) {
  if (!g.record_replays) return PlayGame(g);
  std::string text;
  {
    Recorder rec(g);
    PlayGame(g);
    text = rec.Finish(false);
  }
  g.last_replay = text;
  WriteReplayFile(g.P, kLastReplay, text);
}

std::string TableReplayPath(const Game& g, int i) {
  return std::string(kTableReplays) + "/" + std::to_string(g.hiscores[i]) + "-" +
         std::to_string(g.hiwaves[i]) + "-" + SafeName(g.hinames[i]) + ".replay";
}

void KeepTopTenReplay(Game& g) {
  if (!g.record_replays || g.last_replay.empty()) return;
  // The new entry is the lowest row with its score and wave (older equal
  // scores keep the higher rows).
  int row = -1;
  for (int i = 0; i < 10; ++i) {
    if (g.hiscores[i] == g.plyr->score && g.hiwaves[i] == g.plyr->level) row = i;
  }
  if (row >= 0) {
    const std::string text = g.last_replay + "name " + SafeName(g.hinames[row]) + "\n";
    WriteReplayFile(g.P, TableReplayPath(g, row), text);
  }
  // Replays of scores that left the table go.
  std::set<std::string> keep;
  for (int i = 0; i < 10; ++i) keep.insert(TableReplayPath(g, i));
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(kTableReplays, ec)) {
    const std::string p = std::string(kTableReplays) + "/" + e.path().filename().string();
    if (e.path().extension() == ".replay" && !keep.count(p)) g.P.RemoveFile(p);
  }
}

std::string RulesMismatch(const Replay& r) {
  return "replay of rules version " + std::to_string(r.rules) +
         ", but this game plays rules version " + std::to_string(kRulesVersion);
}

void ReadyForReplay(Game& g) {
  FillKeyTable(g);
  g.speedmul = 2;
  CreateSettingsTables(g);
  ReadDirectionTables(g);
  LoadWaves(g);
  g.plyr = g.kxplyr_list.New();
}

ReplayVerdict VerifyReplay(Game& g, const Replay& r) {
  ReplayVerdict v;
  if (r.rules != kRulesVersion) {
    v.status = 3;
    v.message = RulesMismatch(r);
    return v;
  }
  if (!StartState(g, r, v.message)) {
    v.status = 2;
    return v;
  }
  if (r.has_start && PlayDigest(g) != r.start_digest) {
    v.status = 1;
    v.message = "start: expected digest " + Hex64(r.start_digest) + ", got " + Hex64(PlayDigest(g));
    return v;
  }
  Player pl(g, r, false);
  pl.Begin();
  try {
    PlayGame(g);
  } catch (const StopRun&) {
  }
  pl.Detach();
  const kxplyr& p = *g.plyr;
  v.frames = pl.Frames();
  v.score = p.score;
  v.wave = p.level;
  v.men = p.men;
  std::string why = pl.Failure();
  CompareEnd<int64_t>(why, true, "frames", r.end_frames, v.frames);
  CompareEnd(why, r.has_score, "score", r.score, v.score);
  CompareEnd(why, r.has_wave, "wave", r.wave, v.wave);
  CompareEnd(why, r.has_men, "men", r.men, v.men);
  if (why.empty() && r.has_digest && r.end_digest != PlayDigest(g))
    why = "end digest: expected " + Hex64(r.end_digest) + ", got " + Hex64(PlayDigest(g));
  v.status = why.empty() ? 0 : 1;
  v.message = why;
  return v;
}

void WatchReplay(Game& live, const Replay& r) {
  Platform& P = live.P;
  if (r.rules != kRulesVersion) {
    std::fprintf(stderr, "swarmbreak: %s\n", RulesMismatch(r).c_str());
    return;
  }
  const int32_t state = P.Rng().State();
  const uint64_t draws = P.Rng().Draws();
  float sx = 1, sy = 1;
  P.GetScale(sx, sy);
  bool close = false;
  {
    // A fresh game over the live platform, with the images and sounds loaded.
    auto g = std::make_unique<Game>(P);
    g->img = live.img;
    for (int i = 0; i < kSndCount; ++i) g->snd[i] = live.snd[i];
    ReadyForReplay(*g);
    std::string why;
    if (!StartState(*g, r, why)) {
      std::fprintf(stderr, "swarmbreak: bad replay: %s\n", why.c_str());
    } else {
      P.ClearKeys();
      Player pl(*g, r, true);
      pl.Begin();
      try {
        PlayGame(*g);
      } catch (const StopRun&) {
      }
      P.SetDelayDivisor(1);
      if (!pl.Left()) pl.WaitForKey();
      close = pl.CloseAsked();
      pl.Detach();
    }
  }
  P.Rng().SetState(state);
  P.Rng().SetDraws(draws);
  P.SetScale(sx, sy);
  P.SetDelayDivisor(1);
  P.ClearKeys();
  if (close) P.Input().RequestClose();
}

void WatchTableEntry(Game& g, int i) {
  if (i < 0 || i > 9) return;
  const std::string path = TableReplayPath(g, i);
  if (!g.P.FileExists(path)) return;
  Replay r;
  ReplayError e;
  if (!ReadReplayFile(path, r, e)) {
    std::fprintf(stderr, "swarmbreak: %s\n", ReplayErrorText(path, e).c_str());
    return;
  }
  WatchReplay(g, r);
}

}  // namespace sb
