// Long unattended play: the simulator's bot plays an invincible game through
// the wave table and on into the next rounds, headless, while every frame is
// checked against the limits the rules put on each kind of record, and the
// heap and the resident memory are sampled from wave 10 on.
//
//   sb-soak [--difficulty D] [--to-level L] [--seed S] [--draw]
//   sb-soak --write-assets DIR
//
// Prints the maxima seen per kind and the memory figures; exit status 1 when
// a limit was broken or the heap grew after wave 10. --write-assets fills
// DIR with the test images and sounds and a score table that every score
// beats, for the flow run of the leak check.
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "bot.h"
#include "platform/headless_backend.h"
#include "platform/input.h"
#include "platform/mixer.h"
#include "screens/play_screen.h"
#include "support/world.h"

#if defined(__SANITIZE_ADDRESS__)
#define SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SOAK_ASAN 1
#endif
#endif
#ifdef SOAK_ASAN
// The sanitizer runtime's own count (its header is not shipped with every
// compiler).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Heap bytes in use (the sanitizer's allocator under ASan, whose quarantine
// makes the resident size meaningless there).
size_t HeapInUse() {
#ifdef SOAK_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}
size_t RssKb() {
  long pages = 0, rss = 0;
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (f) {
    if (std::fscanf(f, "%ld %ld", &pages, &rss) != 2) rss = 0;
    std::fclose(f);
  }
  return static_cast<size_t>(rss) * static_cast<size_t>(sysconf(_SC_PAGESIZE)) / 1024;
}
// The kernel updates its high-water mark lazily; the current size may be above it.
size_t PeakRssKb() {
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  return std::max(static_cast<size_t>(ru.ru_maxrss), RssKb());
}

struct Options {
  int difficulty = 3;
  int to_level = 102;
  int64_t seed = 1;
  bool draw = false;
  std::string assets_dir;
};

bool Parse(int argc, char** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&](long lo, long hi, auto& out) {
      if (i + 1 >= argc) return false;
      char* end = nullptr;
      const long v = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || v < lo || v > hi) return false;
      out = static_cast<std::remove_reference_t<decltype(out)>>(v);
      return true;
    };
    bool ok = true;
    if (a == "--difficulty")
      ok = next(1, 5, o.difficulty);
    else if (a == "--to-level")
      ok = next(2, 100000, o.to_level);
    else if (a == "--seed")
      ok = next(0, 0x7FFFFFFF, o.seed);
    else if (a == "--draw")
      o.draw = true;
    else if (a == "--write-assets" && i + 1 < argc)
      o.assets_dir = argv[++i];
    else
      ok = false;
    if (!ok) {
      std::fprintf(stderr,
                   "usage: sb-soak [--difficulty 1..5] [--to-level L] [--seed S] [--draw]\n"
                   "       sb-soak --write-assets DIR\n");
      return false;
    }
  }
  return true;
}

// A short tone for every sound, so the mixer has real voices to retire.
void WriteSounds() {
  std::vector<int16_t> tone(2205);
  for (size_t i = 0; i < tone.size(); ++i) tone[i] = static_cast<int16_t>((i * 613) % 9000);
  for (int s = 0; s < sb::kSndCount; ++s)
    if (!sb::WriteWav16(std::string("sounds/") + sb::kSoundNames[s] + ".wav", tone.data(),
                        tone.size(), 44100))
      std::abort();
}

struct Limits {
  std::map<std::string, size_t> max;  // absent: the rules set no bound
};

// What the rules allow per kind. Wave set-up alone creates grunts, hulks,
// brains, spheroids, quarks, electrodes and humans (and no lives are lost,
// so nothing is re-placed); the rest follow from them:
//   progs, skulls      one per human of the wave
//   floating scores    one per rescue, spheroid or quark
//   dying electrodes   one per electrode
//   cruise missiles    a brain fires at most every 10 frames, a missile
//                      lives 110: at most 12 per brain of the wave
//   shots 30, tanks 20, the player 1, wave records 100
// Enforcers have no limit, so neither have sparks; fragments and shells are
// bounded by the kills and tanks of the last 21 / 100 frames only.
Limits RuleLimits(sb::Game& g) {
  size_t humans = 0, grunts = 0, hulks = 0, brains = 0, spheroids = 0, quarks = 0, electrodes = 0;
  for (sb::kxwave* w : g.kxwave_list.Walk()) {
    humans = std::max<size_t>(humans, w->humans);
    grunts = std::max<size_t>(grunts, w->grunts);
    hulks = std::max<size_t>(hulks, w->hulks);
    brains = std::max<size_t>(brains, w->brains);
    spheroids = std::max<size_t>(spheroids, w->spheroids);
    quarks = std::max<size_t>(quarks, w->quarks);
    electrodes = std::max<size_t>(electrodes, w->electrodes);
  }
  Limits l;
  l.max = {{"kxshot", 30},
           {"kxplyr", 1},
           {"kxhuman", humans},
           {"kxprog", humans},
           {"kxdeath", humans},
           {"kxhulk", hulks},
           {"kxgrunt", grunts},
           {"kxbrain", brains},
           {"kxcruise", 12 * brains},
           {"kxspheroid", spheroids},
           {"kxquark", quarks},
           {"kxtank", 20},
           {"kxelectrode", electrodes},
           {"kxshrinkle", electrodes},
           {"kxpoint", humans + spheroids + quarks},
           {"kxwave", 100}};
  return l;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, o)) return 2;
  if (!o.assets_dir.empty()) {
    if (chdir(o.assets_dir.c_str()) != 0) return 2;
    sbt::WriteTestAssets();
    WriteSounds();
    std::string low;
    for (int i = 0; i < 10; ++i) low += "-1\r\n1\r\nLOW\r\n";
    sbt::WriteBytes("scores/hiscores.dat", low);
    return 0;
  }
  sbt::TempDir dir;
  sbt::WriteTestAssets();
  WriteSounds();

  auto platform = sb::MakeHeadlessPlatform();
  sb::HeadlessBackend& hb = sb::Headless(*platform);
  platform->SetDrawingEnabled(o.draw);
  sb::Game g(*platform);
  if (!sb::StartUp(g, &o.seed)) {
    std::fprintf(stderr, "soak: start-up failed\n");
    return 1;
  }
  g.difficulty = o.difficulty;
  g.invincible = 1;
  g.controls = 4;  // the bot's keys
  g.gamestate = sb::Screen::kPlay;
  const Limits limits = RuleLimits(g);

  // The audio device's part: mixing retires finished voices.
  std::vector<int16_t> mixbuf;
  int64_t mixed_ms = 0, mixed_samples = 0;
  hb.on_delay = [&](int ms) {
    mixed_ms += ms;
    const int64_t want = mixed_ms * sb::Mixer::kRate / 1000;
    mixbuf.resize(static_cast<size_t>(want - mixed_samples));
    platform->GetMixer().Mix(mixbuf.data(), static_cast<int>(mixbuf.size()));
    mixed_samples = want;
  };

  sim::Bot bot;
  auto sync_keys = [&] {
    sb::InputState& in = platform->Input();
    for (int code : sim::Bot::kKeys) {
      const bool want = bot.Held(code);
      if ((in.KeyDown(code) != 0) != want) in.SetKey(code, want);
    }
  };

  std::map<std::string, size_t> seen;
  std::vector<std::string> broken;
  int64_t frames = 0;
  int last_level = 0;
  size_t heap10 = 0, rss10 = 0, peak10 = 0, heap_max = 0, heap100 = 0;
  int64_t frames100 = 0;
  std::map<std::string, size_t> seen10;  // maxima up to wave 10
  size_t voices_max = 0;
  bool shots_consistent = true;

  hb.on_present = [&](int, const uint32_t*) {
    ++frames;
    sb::VisitLists(g, [&](const char* name, auto& list) {
      const size_t n = list.Count();
      size_t& m = seen[name];
      m = std::max(m, n);
      auto it = limits.max.find(name);
      if (it != limits.max.end() && n > it->second && broken.size() < 20)
        broken.push_back(std::string(name) + " " + std::to_string(n) + " > " +
                         std::to_string(it->second) + " at frame " + std::to_string(frames));
    });
    if (static_cast<size_t>(g.numshots) != g.kxshot_list.Count()) shots_consistent = false;
    voices_max = std::max<size_t>(voices_max, platform->GetMixer().ActiveVoices());
    const int level = g.plyr->level;
    if (level != last_level) {
      last_level = level;
      if (level == 10) {
        heap10 = HeapInUse();
        seen10 = seen;
        rss10 = RssKb();
        peak10 = PeakRssKb();
      }
      if (level == 100) {
        heap100 = HeapInUse();
        frames100 = frames;
      }
      if (level >= o.to_level) throw sb::StopRun{0};
    }
    if (level >= 10 && frames % 500 == 0) heap_max = std::max(heap_max, HeapInUse());
    bot.Decide(g, frames);
    sync_keys();
  };

  const auto t0 = std::chrono::steady_clock::now();
  bot.Decide(g, 0);
  sync_keys();
  try {
    sb::PlayGame(g);
  } catch (const sb::StopRun&) {
  }
  const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const size_t heap_end = HeapInUse(), rss_end = RssKb(), peak_end = PeakRssKb();
  heap_max = std::max(heap_max, heap_end);

  std::printf("soak: difficulty %d (now %d), seed %lld, levels 1..%d, %lld frames, %.1f s%s\n",
              o.difficulty, g.difficulty, static_cast<long long>(o.seed), g.plyr->level,
              static_cast<long long>(frames), secs, o.draw ? ", drawn" : "");
  std::printf("max live records per kind (limit):\n");
  sb::VisitLists(g, [&](const char* name, auto&) {
    auto it = limits.max.find(name);
    std::printf("  %-12s %6zu", name, seen[name]);
    if (it != limits.max.end())
      std::printf("  (%zu)\n", it->second);
    else
      std::printf("  (no rule limit)\n");
  });
  std::printf("max mixer voices %zu\n", voices_max);
  std::printf(
      "heap in use: wave 10 %zu KB, wave 100 %zu KB, end %zu KB, max after wave 10 %zu KB\n",
      heap10 / 1024, heap100 / 1024, heap_end / 1024, heap_max / 1024);
  std::printf("resident: wave 10 %zu KB (peak %zu KB), end %zu KB (peak %zu KB)\n", rss10, peak10,
              rss_end, peak_end);

  bool ok = true;
  if (g.plyr->level < o.to_level) {
    std::printf("FAIL: the game stopped at level %d\n", g.plyr->level);
    ok = false;
  }
  for (const std::string& b : broken) {
    std::printf("FAIL: %s\n", b.c_str());
    ok = false;
  }
  if (!shots_consistent) {
    std::printf("FAIL: numshots and the shot list disagreed\n");
    ok = false;
  }
  // Lists keep the nodes of the most records ever alive at once, so the heap
  // may grow after wave 10 by exactly what new maxima need, and no more
  // (plus a little for the buffers of the mixer and the lists' free lists).
  size_t pools = 0;
  sb::VisitLists(g, [&](const char* name, auto& list) {
    using T = std::remove_reference_t<decltype(*list.First())>;
    const size_t more = seen[name] - std::min(seen[name], seen10[name]);
    pools += more * (sizeof(T) + sizeof(sb::TKXLink) + 32);
  });
  constexpr size_t kBuffers = 32 * 1024;
  std::printf("heap growth after wave 10: %zu KB (new list maxima need %zu KB)\n",
              (heap_max - std::min(heap_max, heap10)) / 1024, pools / 1024);
  if (!o.draw && (heap10 == 0 || heap_max > heap10 + pools + kBuffers)) {
    std::printf("FAIL: the heap grew after wave 10 beyond the new list maxima\n");
    ok = false;
  }
  // Drawing fills the renderer's picture caches as sprite frames and
  // sub-pixel positions are first seen; they are bounded per frame, so by the
  // end of the wave table their growth has all but stopped. A leak of one
  // allocation per frame would be 16 bytes or more per frame.
  if (o.draw && heap100 != 0) {
    const size_t budget = 8 * static_cast<size_t>(frames - frames100);
    std::printf("drawn: heap growth after wave 100 %zu KB in %lld frames (leak budget %zu KB)\n",
                (heap_max - std::min(heap_max, heap100)) / 1024,
                static_cast<long long>(frames - frames100), budget / 1024);
    if (heap_max > heap100 + budget) {
      std::printf("FAIL: the heap grew after wave 100\n");
      ok = false;
    }
  }
  std::printf("%s\n", ok ? "soak: ok" : "soak: FAILED");
  return ok ? 0 : 1;
}
