// The quick ways of drawing against the plain ones they stand in for: every
// cell of every game image through the sub-pixel path and the cached
// pictures, lines stepped by additions, and a headless run's sound voices
// leaving when their time is up.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/assets.h"
#include "core/game.h"
#include "platform/headless_backend.h"
#include "platform/image_store.h"
#include "platform/mixer.h"
#include "platform/renderer.h"

namespace {

constexpr uint32_t kSentinel = 0xFF00FF;

// The game's images, loaded the way the game loads them.
struct GameImages {
  std::unique_ptr<sb::Platform> p = sb::MakeHeadlessPlatform();
  sb::Game g{*p};
  std::string errors = "not loaded";
  GameImages() {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd) || chdir(SB_GAME_DIR) != 0) return;
    errors = sb::LoadAssets(g);
    if (chdir(cwd) != 0) errors = "cannot return to " + std::string(cwd);
  }
};

struct Pair {
  sb::Renderer fast, slow;
  Pair() {
    std::fill_n(fast.Pixels(), 640 * 480, kSentinel);
    std::fill_n(slow.Pixels(), 640 * 480, kSentinel);
  }
  // Draws with both, compares the rows the cell can touch, then clears them
  // for the next draw. True when they agree.
  bool Same(sb::Image& img, float x, float y, int frame, float s) {
    fast.DrawImage(img, x, y, frame);
    slow.DrawImageGeneral(img, x, y, frame);
    const int y0 = std::clamp(static_cast<int>(std::floor(y)) - 1, 0, 480);
    const int y1 = std::clamp(static_cast<int>(std::ceil(y + img.ch * s)) + 1, 0, 480);
    const size_t at = static_cast<size_t>(y0) * 640, n = static_cast<size_t>(y1 - y0) * 640;
    const bool same = std::memcmp(fast.Pixels() + at, slow.Pixels() + at, n * 4) == 0;
    std::fill_n(fast.Pixels() + at, n, kSentinel);
    std::fill_n(slow.Pixels() + at, n, kSentinel);
    return same;
  }
  void Set(float s, int r, int g, int b) {
    for (sb::Renderer* rd : {&fast, &slow}) {
      rd->SetScale(s, s);
      rd->SetColor(r, g, b);
    }
  }
  void Viewport(int x, int y, int w, int h) {
    fast.SetViewport(x, y, w, h);
    slow.SetViewport(x, y, w, h);
  }
};

TEST(FastPath, EveryCellOfEveryGameImageMatchesThePerPixelPath) {
  GameImages gi;
  ASSERT_EQ(gi.errors, "");
  sb::ImageStore& images = gi.p->Images();
  ASSERT_GE(images.Count(), 23);
  const sb::Renderer::Kernel best = sb::Renderer::BestKernel();
  std::mt19937 rng(99);
  std::uniform_real_distribution<float> frac(0.0f, 1.0f);
  int draws = 0;
  for (auto kernel : {sb::Renderer::Kernel::kPortable, sb::Renderer::Kernel::kSse2,
                      sb::Renderer::Kernel::kAvx2, sb::Renderer::Kernel::kAvx512}) {
    if (sb::Renderer::UseKernel(kernel) != kernel) continue;
    Pair pair;
    for (int h = 1; h <= images.Count(); ++h) {
      sb::Image& img = *images.Get(h);
      for (int f = 0; f < static_cast<int>(img.frames.size()); ++f) {
        for (float s : {2.0f, 1.0f}) {
          const bool tinted = (f + h) % 5 == 0;
          pair.Set(s, tinted ? 250 : 255, tinted ? 20 : 255, tinted ? 130 : 255);
          const float w = img.cw * s, hgt = img.ch * s;
          // Inside, at a whole-pixel place, and cut by each screen edge.
          const float xs[] = {101 + frac(rng), 200, -w / 2 + frac(rng), 640 - w / 2 + frac(rng)};
          const float ys[] = {53 + frac(rng), 120, 480 - hgt / 2 + frac(rng), -hgt / 2 + frac(rng)};
          for (int k = 0; k < 4; ++k) {
            ++draws;
            ASSERT_TRUE(pair.Same(img, xs[k], ys[k], f, s))
                << "image " << h << " frame " << f << " scale " << s << " at " << xs[k] << ","
                << ys[k] << " kernel " << int(kernel);
          }
          // A viewport cutting through the middle of the cell.
          pair.Viewport(300 + static_cast<int>(w / 3), 200 + static_cast<int>(hgt / 3), 100, 100);
          const float x = 300 + frac(rng), y = 200 + frac(rng);
          ASSERT_TRUE(pair.Same(img, x, y, f, s))
              << "image " << h << " frame " << f << " scale " << s << " clipped at " << x << ","
              << y << " kernel " << int(kernel);
          pair.Viewport(0, 0, 640, 480);
        }
      }
    }
  }
  sb::Renderer::UseKernel(best);
  EXPECT_GT(draws, 10000);
}

TEST(FastPath, SubPixelPhasesAcrossAWholeStepAllMatch) {
  // A grunt-sized cell walked across two pixels in 1/64 steps on both axes:
  // every weight pattern of the scale-2 taps, through each kernel.
  std::mt19937 rng(5);
  sb::Image img;
  img.cw = 9;
  img.ch = 13;
  img.masked = img.filtered = true;
  img.frames.resize(1);
  std::uniform_int_distribution<int> ch(1, 255), coin(0, 2);
  for (int i = 0; i < 9 * 13; ++i)
    img.frames[0].texels.push_back(
        coin(rng)
            ? (uint32_t(ch(rng)) << 16 | uint32_t(ch(rng)) << 8 | uint32_t(ch(rng))) | sb::kOpaque
            : 0u);
  const sb::Renderer::Kernel best = sb::Renderer::BestKernel();
  for (auto kernel : {sb::Renderer::Kernel::kPortable, sb::Renderer::Kernel::kSse2,
                      sb::Renderer::Kernel::kAvx2, sb::Renderer::Kernel::kAvx512}) {
    if (sb::Renderer::UseKernel(kernel) != kernel) continue;
    Pair pair;
    pair.Set(2, 255, 255, 255);
    for (int i = 0; i < 128; ++i) {
      const float x = 100 + i / 64.0f, y = 70 + (127 - i) / 64.0f;
      ASSERT_TRUE(pair.Same(img, x, y, 0, 2)) << x << "," << y << " kernel " << int(kernel);
    }
  }
  sb::Renderer::UseKernel(best);
}

// Lines step by additions; they must land on round(delta * i / n), halves
// up, exactly as computed one division at a time.
TEST(Lines, SteppedLinesLandOnTheRoundedPoints) {
  std::mt19937 rng(17);
  std::uniform_int_distribution<int> coord(-200, 840);
  sb::Renderer r;
  for (int round = 0; round < 300; ++round) {
    const int a = coord(rng), b = coord(rng) * 3 / 4, c = coord(rng), d = coord(rng) * 3 / 4;
    std::fill_n(r.Pixels(), 640 * 480, 0u);
    r.DrawLine(float(a), float(b), float(c), float(d));
    std::vector<uint32_t> want(640 * 480, 0u);
    const int64_t dx = c - a, dy = d - b, n = std::max(std::llabs(dx), std::llabs(dy));
    auto step = [n](int64_t delta, int64_t i) {
      const double v = std::floor((2.0 * delta * i + n) / (2.0 * n));
      return static_cast<int64_t>(v);
    };
    for (int64_t i = 0; i <= n; ++i) {
      const int64_t px = n ? a + step(dx, i) : a, py = n ? b + step(dy, i) : b;
      if (px >= 0 && px < 640 && py >= 0 && py < 480) want[py * 640 + px] = 0xFFFFFF;
    }
    ASSERT_EQ(0, std::memcmp(r.Pixels(), want.data(), 640 * 480 * 4))
        << a << "," << b << " to " << c << "," << d;
  }
}

// Without capture nobody listens, yet the voices play on with the virtual
// clock and leave when done: long headless runs keep no pile of them.
TEST(HeadlessSound, VoicesLeaveWhenTheirTimeHasPassedWithoutCapture) {
  auto p = sb::MakeHeadlessPlatform();
  sb::Mixer& m = p->GetMixer();
  const int short_one = m.AddSound(std::vector<int16_t>(441, 7));   // 10 ms
  const int long_one = m.AddSound(std::vector<int16_t>(44100, 7));  // 1 s
  p->PlaySound(short_one);
  p->PlaySound(long_one);
  p->PlaySound(short_one);
  p->Delay(9);
  EXPECT_EQ(m.ActiveVoices(), 3);
  p->Delay(1);
  EXPECT_EQ(m.ActiveVoices(), 1);  // both short ones have ended
  for (int i = 0; i < 28; ++i) p->Delay(35);
  EXPECT_EQ(m.ActiveVoices(), 1);  // 990 ms in
  p->Delay(10);
  EXPECT_EQ(m.ActiveVoices(), 0);
  EXPECT_EQ(m.Started(), 3u);
  EXPECT_EQ(m.Started(short_one), 2u);
  EXPECT_EQ(m.Started(long_one), 1u);
  // A frame's worth of sounds every frame for a long run stays bounded.
  for (int frame = 0; frame < 20000; ++frame) {
    p->PlaySound(short_one);
    p->Delay(35);
  }
  EXPECT_EQ(m.ActiveVoices(), 0);
}

}  // namespace
