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
#include "platform/image_store.h"
#include "platform/renderer.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

namespace {

void Replay(sb::Platform& P, const std::vector<sb::DrawCall>& calls) {
  sb::Renderer& r = P.GetRenderer();
  for (const sb::DrawCall& c : calls) {
    const auto f = [&](int i) { return static_cast<float>(c.v[i]); };
    switch (c.kind) {
      case sb::DrawCall::kCls:
        r.Cls();
        break;
      case sb::DrawCall::kColor:
        r.SetColor(c.n[0], c.n[1], c.n[2]);
        break;
      case sb::DrawCall::kAlpha:
        r.SetAlpha(c.v[0]);
        break;
      case sb::DrawCall::kScale:
        r.SetScale(f(0), f(1));
        break;
      case sb::DrawCall::kViewport:
        r.SetViewport(c.n[0], c.n[1], c.n[2], c.n[3]);
        break;
      case sb::DrawCall::kImage:
        if (sb::Image* img = P.Images().Get(c.n[0])) r.DrawImage(*img, f(0), f(1), c.n[1]);
        break;
      case sb::DrawCall::kLine:
        r.DrawLine(f(0), f(1), f(2), f(3));
        break;
      case sb::DrawCall::kRect:
        r.DrawRect(f(0), f(1), f(2), f(3));
        break;
    }
  }
}

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
  Replay(*h->P, calls);  // caches built once, as in play
  std::vector<double> us;
  for (int round = 0; round < kRounds; ++round) {
    const double t0 = NowUs();
    for (int i = 0; i < kPerRound; ++i) Replay(*h->P, calls);
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
