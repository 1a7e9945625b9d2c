#include "run.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "app/main_loop.h"
#include "app/replay.h"
#include "bot.h"
#include "digest.h"
#include "platform/frame_moments.h"
#include "platform/headless_backend.h"
#include "platform/image_write.h"
#include "platform/input.h"
#include "screens/play_screen.h"
#include "verify.h"

namespace fs = std::filesystem;

static_assert(sim::kMaxJoyButton <= sb::InputState::kJoyButtons);

namespace sim {
namespace {

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
  if (s.size() < suffix.size()) return false;
  for (std::size_t i = 0; i < suffix.size(); ++i) {
    char c = s[s.size() - suffix.size() + i];
    if (std::tolower(static_cast<unsigned char>(c)) != suffix[i]) return false;
  }
  return true;
}

// The file may be created: its folder exists and is writable, and it is not a folder itself.
bool CanCreate(const std::string& path, std::string& why) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  if (ec) {
    why = "bad path";
    return false;
  }
  if (fs::is_directory(p, ec)) {
    why = "is a folder";
    return false;
  }
  fs::path dir = p.parent_path();
  if (!fs::is_directory(dir, ec)) {
    why = "folder '" + dir.string() + "' does not exist";
    return false;
  }
  if (::access(dir.c_str(), W_OK) != 0 || (fs::exists(p, ec) && ::access(p.c_str(), W_OK) != 0)) {
    why = "not writable";
    return false;
  }
  return true;
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

// Watches the game through its platform: every Flip is one frame (the
// presents that open a display are not), and a Delay reached by polling
// input without presenting anything is a wait for a key.
class Runner {
 public:
  Runner(const Options& o, Prepared& p, std::FILE* err)
      : o_(o), p_(p), err_(err), script_(std::move(p.script)) {}

  void Attach(sb::Game* g) {
    g_ = g;
    sink_ = std::make_unique<InputStateSink>(g->P.Input());
  }

  // Input for the first frame.
  void Begin() {
    script_.ApplyUpTo(1, *sink_);
    if (o_.bot) {
      bot_.Decide(*g_, 0);
      SyncBot();
    }
  }

  void OnFlip(const uint32_t* pixels) {
    if (o_.frames && frame_ >= *o_.frames) throw sb::StopRun{0};  // --frames 0
    ++frame_;
    if (p_.trace && !p_.trace->Write(*g_, frame_) && !trace_failed_) {
      trace_failed_ = true;
      std::fprintf(err_, "swarmbreak-sim: writing the trace failed at frame %lld\n",
                   static_cast<long long>(frame_));
    }
    for (const ShotRequest& s : o_.shots) {
      if (s.frame == frame_) SaveShot(s.path, pixels);
    }
    if (o_.shots_every > 0 && frame_ % o_.shots_every == 0) {
      char name[64];
      std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(frame_));
      SaveShot(o_.shots_dir + name, pixels);
    }
    if (o_.frames && frame_ >= *o_.frames) throw sb::StopRun{0};
    script_.ApplyUpTo(frame_ + 1, *sink_);
    if (o_.bot) {
      bot_.Decide(*g_, frame_);
      SyncBot();
    }
  }

  // The moments a back end sees: a pump, a present, a pause.
  void OnPump() {
    if (moments_.Pumped()) Wait();
  }
  void OnPresent(const uint32_t* pixels) {
    if (moments_.Presented()) OnFlip(pixels);
  }
  void OnDelay() {
    if (moments_.Paused()) Wait();
  }
  void OnOpen() { moments_.Opened(); }

  int64_t Frames() const { return frame_; }
  bool Failed() const { return trace_failed_ || shot_failed_; }

 private:
  // The game waits for a key without presenting frames: the script's next
  // change (whatever its frame), or the bot's answer; nothing left ends the run.
  void Wait() {
    if (o_.bot) {
      bot_.AnswerWait();
      SyncBot();
      return;
    }
    if (!script_.ApplyNext(*sink_)) throw sb::StopRun{0};
  }

  // Screens clear held keys, so the bot's keys are set from what the game sees.
  void SyncBot() {
    sb::InputState& in = g_->P.Input();
    for (int code : Bot::kKeys) {
      const bool want = bot_.Held(code);
      if ((in.KeyDown(code) != 0) != want) in.SetKey(code, want);
    }
  }

  void SaveShot(const std::string& path, const uint32_t* pixels) {
    const bool ok = EndsWithNoCase(path, ".bmp")
                        ? sb::WriteBmp(path, pixels, sb::kScreenW, sb::kScreenH)
                        : sb::WritePng(path, pixels, sb::kScreenW, sb::kScreenH);
    if (!ok) {
      shot_failed_ = true;
      std::fprintf(err_, "swarmbreak-sim: cannot write frame %lld to '%s'\n",
                   static_cast<long long>(frame_), path.c_str());
    }
  }

  const Options& o_;
  Prepared& p_;
  std::FILE* err_;
  ScriptPlayer script_;
  Bot bot_;
  sb::Game* g_ = nullptr;
  std::unique_ptr<InputStateSink> sink_;
  int64_t frame_ = 0;
  sb::FrameMoments moments_;
  bool trace_failed_ = false;
  bool shot_failed_ = false;
};

// The headless back end, reporting what it sees to the runner.
class SimBackend : public sb::HeadlessBackend {
 public:
  explicit SimBackend(Runner& r) : r_(r) {}
  bool OpenWindow(bool fullscreen) override {
    r_.OnOpen();
    return HeadlessBackend::OpenWindow(fullscreen);
  }
  void PumpEvents(sb::InputState& input) override {
    HeadlessBackend::PumpEvents(input);
    r_.OnPump();
  }
  void Present(const uint32_t* pixels, int sync) override {
    HeadlessBackend::Present(pixels, sync);
    r_.OnPresent(pixels);
  }
  void Delay(int ms) override {
    HeadlessBackend::Delay(ms);
    r_.OnDelay();
  }

 private:
  Runner& r_;
};

void ApplySettings(const Options& o, sb::Game& g) {
  if (o.difficulty) g.difficulty = *o.difficulty;
  if (o.lives) g.lives = *o.lives;
  if (o.controls) g.controls = *o.controls;
  if (o.sound) g.sound = *o.sound;
  if (o.freeman) g.freeman = *o.freeman;
  if (o.invincible) g.invincible = 1;
  if (o.wave) g.startwave = *o.wave;
  if (o.bot) g.controls = 4;  // the bot's keys are J L I K and S F E D
}

}  // namespace

bool PrepareRun(Options& o, Prepared& p, std::string& err) {
  std::string why;
  if (!o.input.empty()) {
    std::ifstream in(o.input, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || fs::is_directory(o.input)) {
      err = "cannot read input script '" + o.input + "'";
      return false;
    }
    ScriptError se;
    if (!ParseScript(text.str(), p.script, se)) {
      err = o.input + ":" + std::to_string(se.line) + ": " + se.reason;
      return false;
    }
    p.has_script = true;
  }
  if (!o.assets.empty()) {
    std::error_code ec;
    if (!fs::is_directory(o.assets, ec)) {
      err = "assets folder '" + o.assets + "' does not exist";
      return false;
    }
    o.assets = Absolute(o.assets);
  }
  for (ShotRequest& s : o.shots) {
    if (!CanCreate(s.path, why)) {
      err = "cannot write shot '" + s.path + "': " + why;
      return false;
    }
    s.path = Absolute(s.path);
  }
  if (o.shots_every > 0) {
    std::error_code ec;
    fs::create_directories(o.shots_dir, ec);
    if (!fs::is_directory(o.shots_dir, ec) || ::access(o.shots_dir.c_str(), W_OK) != 0) {
      err = "cannot write shots to folder '" + o.shots_dir + "'";
      return false;
    }
    o.shots_dir = Absolute(o.shots_dir);
  }
  if (!o.audio.empty()) {
    if (!CanCreate(o.audio, why)) {
      err = "cannot write audio '" + o.audio + "': " + why;
      return false;
    }
    o.audio = Absolute(o.audio);
  }
  if (!o.trace.empty()) {
    p.trace = std::make_unique<TraceWriter>();
    if (fs::is_directory(o.trace) || !p.trace->Open(o.trace, err)) {
      err = "cannot write trace file '" + o.trace + "'";
      p.trace.reset();
      return false;
    }
  }
  return true;
}

RunResult Run(const Options& o, Prepared& p, std::FILE* err) {
  RunResult res;
  if (!o.assets.empty() && ::chdir(o.assets.c_str()) != 0) {
    std::fprintf(err, "swarmbreak-sim: cannot enter assets folder '%s'\n", o.assets.c_str());
    res.status = 2;
    return res;
  }
  Runner runner(o, p, err);
  auto backend = std::make_unique<SimBackend>(runner);
  SimBackend* hb = backend.get();
  if (!o.audio.empty()) hb->SetAudioCapture(true);
  sb::Platform platform(std::move(backend));
  platform.SetDrawingEnabled(!o.no_draw);
  sb::Game g(platform);
  runner.Attach(&g);

  const int64_t seed = o.seed.value_or(0);
  const int64_t* seedp = o.seed ? &seed : nullptr;
  std::optional<sb::Recorder> recorder;
  bool played = false;
  try {
    if (o.mode == Mode::kFlow) {
      // Start-up leaves the settings alone, so they may be set first.
      ApplySettings(o, g);
      g.record_replays = o.keep_replays;
      runner.Begin();
      res.status = sb::Main(g, seedp);
    } else if (!sb::StartUp(g, seedp)) {
      res.status = 1;
    } else {
      ApplySettings(o, g);
      g.gamestate = sb::Screen::kPlay;
      runner.Begin();
      if (!o.record.empty()) recorder.emplace(g);
      sb::PlayGame(g);
      played = true;
    }
  } catch (const sb::StopRun& s) {
    res.status = s.status;
  }
  if (recorder) {
    // Stopped by --frames: the replay is cut there; a script that ran out
    // while the game waited ends the replay the same way when it is played.
    const bool cut = !played && o.frames && runner.Frames() >= *o.frames;
    const std::string text = recorder->Finish(cut, runner.Frames());
    recorder.reset();
    if (!sb::WriteReplayFile(platform, o.record, text)) res.status = 2;
  }
  res.started = g.plyr != nullptr;
  res.frames = runner.Frames();
  if (res.started) {
    res.digest = StateDigest(g);
    res.score = g.plyr->score;
    res.level = g.plyr->level;
    res.men = g.plyr->men;
  }
  bool failed = runner.Failed();
  if (p.trace && !p.trace->Close()) {
    std::fprintf(err, "swarmbreak-sim: writing the trace failed\n");
    failed = true;
  }
  if (!o.audio.empty() && !hb->SaveCapturedWav(o.audio)) {
    std::fprintf(err, "swarmbreak-sim: cannot write audio '%s'\n", o.audio.c_str());
    failed = true;
  }
  if (failed && res.status == 0) res.status = 2;
  return res;
}

int SimMain(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
  Options o;
  std::string why;
  switch (ParseOptions(args, o, why)) {
    case ParseResult::kHelp:
      std::fputs(UsageText(), out);
      return 0;
    case ParseResult::kError:
      std::fprintf(err, "swarmbreak-sim: %s\n", why.c_str());
      return 2;
    case ParseResult::kRun:
      break;
  }
  if (!o.verify.empty()) return VerifyFile(o.verify, o.assets, out, err);
  if (!o.verify_table.empty()) return VerifyTable(o.verify_table, out, err);
  Prepared p;
  if (!o.record.empty()) o.record = Absolute(o.record);
  if (!PrepareRun(o, p, why)) {
    std::fprintf(err, "swarmbreak-sim: %s\n", why.c_str());
    return 2;
  }
  RunResult r = Run(o, p, err);
  if (o.digest && r.started) {
    std::fprintf(out, "digest %016llx\n", static_cast<unsigned long long>(r.digest));
    std::fprintf(out, "frames %lld score %d level %d men %d\n", static_cast<long long>(r.frames),
                 r.score, r.level, r.men);
  }
  std::fflush(out);
  return r.status;
}

}  // namespace sim
