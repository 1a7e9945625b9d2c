// Times the heavy frame of bench/ (a real wave-100 game, recorded as its
// drawing calls and replayed on the renderer) the same way natively and in
// the browser, so the two builds can be compared in one session.
//   heavy_frame [GAME_DIR]      prints "heavy_frame_us <fastest of 101 rounds of 10>"
// The fastest round, not the median: on a shared machine the others carry
// other processes' time, and the two builds must be compared like for like.
// The browser build runs it from /game and hands the figure to the page.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "heavy.h"
#include "platform/renderer.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

double NowUs() {
  using namespace std::chrono;
  return duration<double, std::micro>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : "/game";
  if (::chdir(dir) != 0) {
    std::fprintf(stderr, "heavy_frame: cannot enter '%s'\n", dir);
    return 2;
  }
  auto h = bench::BuildHeavy();
  const std::vector<sb::DrawCall> calls = bench::RecordFrame(*h);
  constexpr int kRounds = 101, kPerRound = 10;
  bench::Replay(*h->P, calls);  // caches built once, as in play
  std::vector<double> us;
  for (int round = 0; round < kRounds; ++round) {
    const double t0 = NowUs();
    for (int i = 0; i < kPerRound; ++i) bench::Replay(*h->P, calls);
    us.push_back((NowUs() - t0) / kPerRound);
  }
  const double best = *std::min_element(us.begin(), us.end());
  std::printf("heavy_frame_us %.1f\n", best);
  std::printf("%zu calls; %s\n", calls.size(), bench::Describe(*h->g).c_str());
#ifdef __EMSCRIPTEN__
  EM_ASM({ window.heavyFrameUs = $0; }, best);
#endif
  return 0;
}
