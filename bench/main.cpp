// What a frame costs, side by side with the floor (copying a frame) in one
// run: our renderer on a heavy wave-100 frame, SDL's software renderer on
// the same calls, a whole play frame, presenting, start-up and the
// simulator's speed. Prints medians and their ratios at the end; with
// --guard runs a short version and fails when a ratio is more than twice
// its target.
//
//   swarmbreak-bench [--guard] [--assets DIR] [google-benchmark flags]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/assets.h"
#include "heavy.h"
#include "options.h"
#include "platform/headless_backend.h"
#include "platform/image_store.h"
#include "platform/renderer.h"
#include "run.h"
#include "screens/transitions.h"
#include "sdl_peer.h"

namespace {

using bench::Heavy;

constexpr size_t kPixels = size_t{sb::kScreenW} * sb::kScreenH;
bool g_guard = false;

// Frames played on one rebuilt state before the next rebuild.
constexpr int kFramesPerState = 200;

struct Scene {
  std::unique_ptr<Heavy> h;
  std::vector<sb::DrawCall> calls;
  size_t images = 0;
};

Scene& TheScene() {
  static Scene s = [] {
    Scene s;
    s.h = bench::BuildHeavy();
    s.calls = bench::RecordFrame(*s.h);
    for (const auto& c : s.calls) s.images += c.kind == sb::DrawCall::kImage;
    return s;
  }();
  return s;
}

void BM_Memcpy(benchmark::State& st) {
  std::vector<uint32_t> a(kPixels, 0x123456u), b(kPixels, 0u);
  for (auto _ : st) {
    std::memcpy(b.data(), a.data(), kPixels * 4);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  st.SetBytesProcessed(static_cast<int64_t>(st.iterations() * kPixels * 4));
}

void BM_Clear(benchmark::State& st) {
  sb::Renderer r;
  for (auto _ : st) {
    r.Cls();
    benchmark::DoNotOptimize(r.Pixels());
    benchmark::ClobberMemory();
  }
}

void BM_HeavyDraw(benchmark::State& st) {
  Scene& s = TheScene();
  for (auto _ : st) {
    bench::Replay(*s.h->P, s.calls);
    benchmark::ClobberMemory();
  }
  st.counters["images"] = static_cast<double>(s.images);
}

void BM_HeavyDrawGeneral(benchmark::State& st) {
  Scene& s = TheScene();
  for (auto _ : st) {
    bench::Replay(*s.h->P, s.calls, true);
    benchmark::ClobberMemory();
  }
}

void BM_HeavyDrawSdl(benchmark::State& st) {
  Scene& s = TheScene();
  static bench::SdlPeer peer(s.h->P->Images());
  if (!peer.Ok()) {
    st.SkipWithError("SDL software renderer unavailable");
    return;
  }
  for (auto _ : st) {
    peer.Draw(s.calls);
    benchmark::ClobberMemory();
  }
}

void BM_PlayFrame(benchmark::State& st) {
  std::unique_ptr<Heavy> h = bench::BuildHeavy();
  int n = 0;
  for (auto _ : st) {
    if (n == kFramesPerState) {
      st.PauseTiming();
      h = bench::BuildHeavy();
      n = 0;
      st.ResumeTiming();
    }
    if (!bench::PlayFrame(*h)) {
      st.SkipWithError("the wave ended while measuring");
      return;
    }
    ++n;
  }
}

void BM_Present(benchmark::State& st) {
  static std::unique_ptr<sb::Backend> be = bench::OpenDummyWindow();
  if (!be) {
    st.SkipWithError("no SDL dummy video driver");
    return;
  }
  Scene& s = TheScene();
  bench::Replay(*s.h->P, s.calls);  // a real frame to show
  const uint32_t* px = s.h->P->Framebuffer();
  for (auto _ : st) {
    be->Present(px, 0);
    benchmark::ClobberMemory();
  }
}

void BM_LoadAssets(benchmark::State& st) {
  for (auto _ : st) {
    st.PauseTiming();
    auto P = sb::MakeHeadlessPlatform();
    auto g = std::make_unique<sb::Game>(*P);
    st.ResumeTiming();
    const std::string errors = sb::LoadAssets(*g);
    benchmark::DoNotOptimize(errors.data());
    st.PauseTiming();
    if (!errors.empty()) st.SkipWithError(errors.c_str());
    g.reset();
    P.reset();
    st.ResumeTiming();
  }
}

// The simulator's bot at wave 100, difficulty 5 (invincible, so the run
// goes on through the following waves and their transitions).
void SimRun(benchmark::State& st, bool draw) {
  const int64_t frames = g_guard ? 1000 : 5000;
  int64_t shown = 0;
  for (auto _ : st) {
    std::vector<std::string> args = {
        "--bot",  "--wave", "100",          "--difficulty", "5",
        "--seed", "1",      "--invincible", "--frames",     std::to_string(frames)};
    if (!draw) args.push_back("--no-draw");
    sim::Options o;
    std::string err;
    sim::Prepared p;
    if (sim::ParseOptions(args, o, err) != sim::ParseResult::kRun || !sim::PrepareRun(o, p, err)) {
      st.SkipWithError(err.c_str());
      return;
    }
    const sim::RunResult r = sim::Run(o, p, stderr);
    shown += r.frames;
  }
  st.counters["fps"] = benchmark::Counter(static_cast<double>(shown), benchmark::Counter::kIsRate);
  st.counters["frames"] = static_cast<double>(frames);
}
void BM_SimBot(benchmark::State& st) {
  SimRun(st, true);
}
void BM_SimBotNoDraw(benchmark::State& st) {
  SimRun(st, false);
}

void Register() {
  using benchmark::kMicrosecond;
  using benchmark::kMillisecond;
  const double t = g_guard ? 0.05 : 0.5;
  benchmark::RegisterBenchmark("memcpy_frame", BM_Memcpy)->Unit(kMicrosecond)->MinTime(t);
  benchmark::RegisterBenchmark("clear", BM_Clear)->Unit(kMicrosecond)->MinTime(t);
  benchmark::RegisterBenchmark("heavy_draw", BM_HeavyDraw)->Unit(kMicrosecond)->MinTime(t);
  benchmark::RegisterBenchmark("heavy_draw_sdl", BM_HeavyDrawSdl)->Unit(kMicrosecond)->MinTime(t);
  if (!g_guard)
    benchmark::RegisterBenchmark("heavy_draw_per_pixel", BM_HeavyDrawGeneral)
        ->Unit(kMicrosecond)
        ->MinTime(t);
  benchmark::RegisterBenchmark("play_frame", BM_PlayFrame)->Unit(kMicrosecond)->MinTime(t);
  benchmark::RegisterBenchmark("present", BM_Present)->Unit(kMicrosecond)->MinTime(t);
  benchmark::RegisterBenchmark("load_assets", BM_LoadAssets)->Unit(kMillisecond)->MinTime(t);
  benchmark::RegisterBenchmark("sim_bot", BM_SimBot)->Unit(kMillisecond)->Iterations(1);
  benchmark::RegisterBenchmark("sim_bot_no_draw", BM_SimBotNoDraw)
      ->Unit(kMillisecond)
      ->Iterations(g_guard ? 3 : 10);
}

// Keeps the console output and notes each benchmark's median CPU time per
// iteration (seconds) and median counters.
class Collector : public benchmark::ConsoleReporter {
 public:
  struct Result {
    double seconds = 0;
    std::map<std::string, double> counters;
    bool median = false;
  };
  std::map<std::string, Result> results;

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type == Run::RT_Aggregate && !median) continue;
      Result& out = results[r.run_name.function_name];
      if (out.median && !median) continue;  // a median beats single runs
      out.median = median;
      out.seconds = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
      for (const auto& [name, c] : r.counters) out.counters[name] = c.value;
    }
  }
};

struct Check {
  const char* what;
  double value;
  double target;
  bool at_most;  // value must stay at or under target (else at or over)
  const char* unit;
};

int Report(const Collector& c) {
  auto sec = [&](const char* name) {
    auto it = c.results.find(name);
    return it == c.results.end() ? double(NAN) : it->second.seconds;
  };
  auto counter = [&](const char* name, const char* counter) {
    auto it = c.results.find(name);
    if (it == c.results.end()) return double(NAN);
    auto jt = it->second.counters.find(counter);
    return jt == it->second.counters.end() ? double(NAN) : jt->second;
  };
  const double floor = sec("memcpy_frame");
  std::printf("\nMedians (us per iteration) and ratios:\n");
  const char* names[] = {"memcpy_frame",         "clear",      "heavy_draw", "heavy_draw_sdl",
                         "heavy_draw_per_pixel", "play_frame", "present",    "load_assets"};
  for (const char* n : names) {
    if (std::isnan(sec(n))) continue;
    std::printf("  %-20s %10.1f us  %6.2f x floor\n", n, sec(n) * 1e6, sec(n) / floor);
  }
  const Check checks[] = {
      {"heavy draw / floor", sec("heavy_draw") / floor, 4, true, "x"},
      {"SDL draw / ours", sec("heavy_draw_sdl") / sec("heavy_draw"), 8, false, "x"},
      {"play frame / floor", sec("play_frame") / floor, 6, true, "x"},
      {"present / floor", sec("present") / floor, 1.5, true, "x"},
      {"load assets", sec("load_assets") * 1e3, 50, true, "ms"},
      {"sim fps, drawing", counter("sim_bot", "fps"), 5000, false, "fps"},
      {"sim fps, no drawing", counter("sim_bot_no_draw", "fps"), 50000, false, "fps"},
  };
  int failed = 0;
  std::printf("\n  %-22s %10s %10s   %s\n", "check", "measured", "target", g_guard ? "guard" : "");
  for (const Check& k : checks) {
    const bool missing = std::isnan(k.value);
    const bool meets = !missing && (k.at_most ? k.value <= k.target : k.value >= k.target);
    // The guard allows twice the target, so only a real regression fails.
    const double limit = k.at_most ? 2 * k.target : k.target / 2;
    const bool passes = !missing && (k.at_most ? k.value <= limit : k.value >= limit);
    std::printf("  %-22s %10.2f %s%9.1f %s %s%s\n", k.what, k.value,
                k.at_most ? "<=" : ">=", k.target, k.unit, meets ? "met" : "MISSED",
                g_guard ? (passes ? "  (guard ok)" : "  (GUARD FAILED)") : "");
    failed += !passes;
  }
  if (const Scene* s = &TheScene()) {
    std::printf("\nHeavy frame: %zu images; %s\n", s->images, bench::Describe(*s->h->g).c_str());
  }
  return failed;
}

// --by-image: the heavy frame's drawing time split by image (each image's
// calls replayed alone, the state changes kept), for finding where it goes.
void ByImage() {
  Scene& s = TheScene();
  std::map<int, int> draws, whole;
  for (const auto& c : s.calls)
    if (c.kind == sb::DrawCall::kImage) {
      ++draws[c.n[0]];
      whole[c.n[0]] += c.v[0] == std::floor(c.v[0]) && c.v[1] == std::floor(c.v[1]);
    }
  for (auto k : {sb::Renderer::Kernel::kPortable, sb::Renderer::Kernel::kSse2,
                 sb::Renderer::Kernel::kAvx2, sb::Renderer::Kernel::kAvx512}) {
    if (sb::Renderer::UseKernel(k) != k) continue;
    std::vector<double> t;
    for (int rep = 0; rep < 301; ++rep) {
      const auto t0 = std::chrono::steady_clock::now();
      bench::Replay(*s.h->P, s.calls);
      t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    std::printf("kernel %d: min %8.1f us, median %8.1f us\n", int(k), t[0] * 1e6, t[150] * 1e6);
  }
  sb::Renderer::UseKernel(sb::Renderer::BestKernel());
  {
    std::vector<sb::DrawCall> no_cls;
    for (const auto& c : s.calls)
      if (c.kind != sb::DrawCall::kCls) no_cls.push_back(c);
    std::vector<double> t;
    for (int rep = 0; rep < 301; ++rep) {
      const auto t0 = std::chrono::steady_clock::now();
      bench::Replay(*s.h->P, no_cls);
      t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    std::printf("without the clear: min %8.1f us, median %8.1f us\n", t[0] * 1e6, t[150] * 1e6);
  }
  draws[0] = 0;  // 0: everything
  for (const auto& [image, n] : draws) {
    std::vector<sb::DrawCall> only;
    for (const auto& c : s.calls)
      if (c.kind != sb::DrawCall::kImage || c.n[0] == image || image == 0) only.push_back(c);
    const sb::Image* img = s.h->P->Images().Get(image == 0 ? 1 : image);
    std::vector<double> t;
    for (int rep = 0; rep < 201; ++rep) {
      const auto t0 = std::chrono::steady_clock::now();
      bench::Replay(*s.h->P, only);
      t.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    std::sort(t.begin(), t.end());
    std::printf("image %2d (%3dx%-3d) %4d draws (%4d whole-pixel): min %8.1f us, median %8.1f us\n",
                image, img->cw, img->ch, n, whole[image], t[0] * 1e6, t[100] * 1e6);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args = {argv[0]};
  std::string assets = SB_GAME_DIR;
  bool by_image = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--guard") == 0) {
      g_guard = true;
    } else if (std::strcmp(argv[i], "--by-image") == 0) {
      by_image = true;
    } else if (std::strcmp(argv[i], "--assets") == 0 && i + 1 < argc) {
      assets = argv[++i];
    } else {
      args.push_back(argv[i]);
    }
  }
  if (::chdir(assets.c_str()) != 0) {
    std::fprintf(stderr, "swarmbreak-bench: cannot enter the game folder '%s'\n", assets.c_str());
    return 2;
  }
  if (by_image) {
    ByImage();
    return 0;
  }
  // Defaults first, so that flags given on the command line win.
  static char reps_guard[] = "--benchmark_repetitions=3";
  static char reps[] = "--benchmark_repetitions=9";
  static char aggregates[] = "--benchmark_report_aggregates_only=true";
  // Repetitions of the different benchmarks in random turns: a burst of
  // other work on the machine then spreads over all of them instead of
  // spoiling one, and the ratios hold.
  static char interleave[] = "--benchmark_enable_random_interleaving=true";
  args.insert(args.begin() + 1, {g_guard ? reps_guard : reps, aggregates, interleave});
  int n = static_cast<int>(args.size());
  args.push_back(nullptr);
  benchmark::Initialize(&n, args.data());
  if (benchmark::ReportUnrecognizedArguments(n, args.data())) return 2;
  Register();
  Collector collector;
  benchmark::RunSpecifiedBenchmarks(&collector);
  const int failed = Report(collector);
  benchmark::Shutdown();
  if (g_guard && failed > 0) {
    std::printf("\n%d guard check(s) failed: a ratio is more than twice its target.\n", failed);
    return 1;
  }
  return 0;
}
