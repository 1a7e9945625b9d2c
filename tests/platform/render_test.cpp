// Drawing: coverage and sampling of images, the alpha test, tint, viewport,
// lines, rectangles, capture, and the cached blits against the per-pixel path.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "helpers.h"

namespace {

constexpr uint32_t kSentinel = 0xFF00FF;  // no test image can produce it

struct Canvas {
  std::unique_ptr<sb::Platform> p = sb::MakeHeadlessPlatform();
  Canvas() {
    p->OpenDisplay(640, 480, 0, 0, 0);
    Fill(kSentinel);
  }
  void Fill(uint32_t c) {
    float sx, sy;
    int r, g, b;
    p->GetScale(sx, sy);
    p->GetColor(r, g, b);
    p->SetScale(1, 1);
    p->SetColor(c >> 16, c >> 8 & 255, c & 255);
    p->DrawRect(0, 0, 640, 480);
    p->SetScale(sx, sy);
    p->SetColor(r, g, b);
  }
  uint32_t At(int x, int y) const { return pt::Px(*p, x, y); }
  bool Written(int x, int y) const { return At(x, y) != kSentinel; }
  std::vector<uint32_t> Pixels() const {
    return std::vector<uint32_t>(p->Framebuffer(), p->Framebuffer() + 640 * 480);
  }
};

// A cell with random texels in 32..200 per channel, about a third masked.
std::vector<uint32_t> RandomCell(std::mt19937& rng, int w, int h) {
  std::vector<uint32_t> px(static_cast<size_t>(w) * h);
  std::uniform_int_distribution<int> ch(32, 200), coin(0, 2);
  for (auto& c : px)
    c = coin(rng) == 0 ? 0u : uint32_t(ch(rng)) << 16 | uint32_t(ch(rng)) << 8 | uint32_t(ch(rng));
  return px;
}

// A one-frame masked image of such texels, made opaque where not masked.
sb::Image RandomImage(std::mt19937& rng, int w, int h, bool filtered) {
  sb::Image img;
  img.cw = w;
  img.ch = h;
  img.masked = true;
  img.filtered = filtered;
  img.frames.resize(1);
  for (uint32_t c : RandomCell(rng, w, h)) img.frames[0].texels.push_back(c ? c | sb::kOpaque : 0u);
  return img;
}

TEST(DrawImage, SevenByTwelveAtScaleTwoCoversFourteenByTwentyFour) {
  Canvas c;
  int img = pt::MakeImage(*c.p, 7, 12, std::vector<uint32_t>(84, 0x808080));
  c.p->SetScale(2, 2);
  c.p->DrawImage(img, 100, 50, 0);
  for (int y = 40; y < 85; ++y)
    for (int x = 90; x < 125; ++x)
      EXPECT_EQ(c.Written(x, y), x >= 100 && x <= 113 && y >= 50 && y <= 73) << x << "," << y;
}

TEST(DrawImage, AtScaleTwoWritesExactlyTheNearestNeighbourMask) {
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    Canvas c;
    auto cell = RandomCell(rng, 7, 12);
    int img = pt::MakeImage(*c.p, 7, 12, cell);
    c.p->SetScale(2, 2);
    c.p->DrawImage(img, 100, 50, 0);
    for (int y = 50; y < 74; ++y)
      for (int x = 100; x < 114; ++x)
        ASSERT_EQ(c.Written(x, y), cell[(y - 50) / 2 * 7 + (x - 100) / 2] != 0) << x << "," << y;
  }
}

TEST(DrawImage, FilteringBlendsNeighboursAndClampsAtTheEdge) {
  Canvas c;
  // Two opaque texels side by side, drawn at 2x: the outer pixels take the
  // edge texel, the inner ones 3:1 mixtures.
  int img = pt::MakeImage(*c.p, 2, 1, {0xC80000, 0x0000C8});
  c.p->SetScale(2, 2);
  c.p->DrawImage(img, 10, 10, 0);
  EXPECT_EQ(c.At(10, 10), 0xC80000u);
  EXPECT_EQ(c.At(11, 10), 0x960032u);  // 0.75 * 200, 0.25 * 200
  EXPECT_EQ(c.At(12, 10), 0x320096u);
  EXPECT_EQ(c.At(13, 10), 0x0000C8u);
  EXPECT_EQ(c.At(13, 11), 0x0000C8u);

  // Unfiltered images repeat texels.
  int sharp = pt::MakeImage(*c.p, 2, 1, {0xC80000, 0x0000C8}, sb::kImageMasked);
  c.p->DrawImage(sharp, 10, 20, 0);
  EXPECT_EQ(c.At(11, 20), 0xC80000u);
  EXPECT_EQ(c.At(12, 20), 0x0000C8u);
}

TEST(DrawImage, FractionalPositionCoversPixelsWhoseCentresLieInside) {
  Canvas c;
  int img = pt::MakeImage(*c.p, 7, 12, std::vector<uint32_t>(84, 0x808080));
  c.p->SetScale(2, 2);
  c.p->DrawImage(img, 100.5f, 50.25f, 0);  // [100.5, 114.5) x [50.25, 74.25)
  EXPECT_TRUE(c.Written(100, 50));
  EXPECT_TRUE(c.Written(113, 73));
  EXPECT_FALSE(c.Written(99, 60));
  EXPECT_FALSE(c.Written(114, 60));
  EXPECT_FALSE(c.Written(105, 74));
  EXPECT_FALSE(c.Written(105, 49));
}

TEST(DrawImage, AlphaUnderHalfDrawsNothingAndAboveDrawsAsOpaque) {
  std::mt19937 rng(11);
  auto cell = RandomCell(rng, 7, 12);
  for (float scale : {1.0f, 2.0f, 1.5f}) {
    auto drawn = [&](double alpha) {
      Canvas c;
      c.p->SetScale(scale, scale);
      c.p->SetAlpha(alpha);
      c.p->DrawImage(pt::MakeImage(*c.p, 7, 12, cell), 100, 50, 0);
      return c.Pixels();
    };
    EXPECT_EQ(drawn(0.6), drawn(1.0)) << scale;
    EXPECT_EQ(drawn(0.4), Canvas().Pixels()) << scale;
  }
}

TEST(DrawImage, ColourTintsEveryChannel) {
  Canvas c;
  int img = pt::MakeImage(*c.p, 1, 1, {0xFFFFFF});
  c.p->SetColor(255, 128, 0);
  c.p->DrawImage(img, 5, 5, 0);
  EXPECT_EQ(c.At(5, 5), 0xFF8000u);

  int grey = pt::MakeImage(*c.p, 1, 1, {0xC86432});
  c.p->SetColor(128, 300, -5);  // clamped to 128, 255, 0
  int r, g, b;
  c.p->GetColor(r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{128, 255, 0}));
  c.p->SetScale(2, 2);
  c.p->DrawImage(grey, 20, 20, 0);
  for (int y = 20; y < 22; ++y)
    for (int x = 20; x < 22; ++x) {
      uint32_t px = c.At(x, y);
      EXPECT_NEAR(int(px >> 16), 200 * 128 / 255, 1);
      EXPECT_EQ(px >> 8 & 255, 0x64u);
      EXPECT_EQ(px & 255, 0u);
    }
}

TEST(DrawImage, BadHandlesAndFramesDrawNothing) {
  Canvas c, blank;
  int img = pt::MakeImage(*c.p, 4, 4, std::vector<uint32_t>(16, 0x404040));
  for (int frame : {-1, 1, 1 << 30}) c.p->DrawImage(img, 10, 10, frame);
  for (int handle : {0, -3, img + 1, 1 << 30}) c.p->DrawImage(handle, 10, 10, 0);
  c.p->DrawImage(img, std::nanf(""), 10, 0);
  c.p->DrawImage(img, 1e30f, -1e30f, 0);
  EXPECT_EQ(c.Pixels(), blank.Pixels());
}

TEST(Viewport, ClipsDrawingAndClearing) {
  Canvas c;
  c.p->SetViewport(10, 20, 30, 40);
  c.p->SetColor(0, 255, 0);
  c.p->DrawRect(0, 0, 640, 480);
  for (int y = 0; y < 80; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(c.At(x, y) == 0x00FF00, x >= 10 && x < 40 && y >= 20 && y < 60) << x << "," << y;

  c.p->SetViewport(15, 25, 5, 5);
  c.p->Cls();
  EXPECT_EQ(c.At(15, 25), 0u);
  EXPECT_EQ(c.At(19, 29), 0u);
  EXPECT_EQ(c.At(20, 29), 0x00FF00u);
  EXPECT_EQ(c.At(14, 25), 0x00FF00u);

  // A viewport reaching off the screen is cut to it.
  c.p->SetViewport(600, 460, 100, 100);
  c.p->Cls();
  EXPECT_EQ(c.At(639, 479), 0u);
  EXPECT_EQ(c.At(599, 479), kSentinel);
}

TEST(Lines, EndPixelIncludedAndScaledFromTheStart) {
  Canvas c;
  c.p->SetColor(255, 255, 255);
  c.p->DrawLine(10, 10, 20, 10);
  for (int x = 8; x < 23; ++x) EXPECT_EQ(c.At(x, 10) == 0xFFFFFF, x >= 10 && x <= 20) << x;

  c.p->SetScale(2, 2);
  c.p->DrawLine(100, 100, 103, 103);  // ends at (106, 106)
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(c.At(100 + i, 100 + i), 0xFFFFFFu) << i;
  EXPECT_FALSE(c.At(107, 107) == 0xFFFFFF);

  c.p->SetScale(1, 1);
  c.p->DrawLine(50, 60, 50, 60);  // a single pixel
  EXPECT_EQ(c.At(50, 60), 0xFFFFFFu);

  // A line from far off the screen only touches its visible part.
  c.p->DrawLine(-1e7f, 300, 1e7f, 300);
  for (int x = 0; x < 640; ++x) ASSERT_EQ(c.At(x, 300), 0xFFFFFFu) << x;
  EXPECT_EQ(c.At(320, 301), kSentinel);
}

TEST(Rects, SizeIsScaledButPositionIsNot) {
  Canvas c;
  c.p->SetColor(0, 0, 255);
  c.p->DrawRect(30, 40, 5, 3);
  int n = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) n += c.At(x, y) == 0x0000FF;
  EXPECT_EQ(n, 15);
  EXPECT_EQ(c.At(30, 40), 0x0000FFu);
  EXPECT_EQ(c.At(34, 42), 0x0000FFu);

  c.p->SetScale(2, 2);
  c.p->SetColor(255, 0, 0);
  c.p->DrawRect(200, 100, 3, 4);
  for (int y = 95; y < 115; ++y)
    for (int x = 195; x < 210; ++x)
      ASSERT_EQ(c.At(x, y) == 0xFF0000, x >= 200 && x < 206 && y >= 100 && y < 108);
}

TEST(Capture, BlackBecomesTransparentForMaskedImages) {
  Canvas c;
  c.p->SetColor(0, 0, 0);
  c.p->DrawRect(0, 0, 4, 2);
  c.p->SetColor(10, 20, 30);
  c.p->DrawRect(1, 0, 1, 1);
  c.p->DrawRect(3, 1, 1, 1);
  int masked = c.p->CreateImage(4, 2, 1, -1);
  int solid = c.p->CreateImage(4, 2, 1, 0);
  c.p->CaptureImage(masked, 0, 0, 0);
  c.p->CaptureImage(solid, 0, 0, 0);
  c.p->SetColor(255, 255, 255);
  c.p->DrawImage(masked, 100, 100, 0);
  c.p->DrawImage(solid, 100, 110, 0);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) {
      bool lit = (x == 1 && y == 0) || (x == 3 && y == 1);
      EXPECT_EQ(c.At(100 + x, 100 + y), lit ? 0x0A141Eu : kSentinel) << x << "," << y;
      EXPECT_EQ(c.At(100 + x, 110 + y), lit ? 0x0A141Eu : 0u) << x << "," << y;
    }
}

TEST(Capture, ReplacesWhatTheCachedScaledPictureShows) {
  Canvas c;
  int img = c.p->CreateImage(3, 3, 1, -1);
  c.p->SetScale(2, 2);
  c.p->DrawImage(img, 50, 50, 0);  // blank: builds (empty) cached pictures
  EXPECT_EQ(c.At(52, 52), kSentinel);
  c.p->SetScale(1, 1);
  c.p->SetColor(90, 90, 90);
  c.p->DrawRect(0, 0, 3, 3);
  c.p->CaptureImage(img, 0, 0, 0);
  c.p->SetColor(255, 255, 255);
  c.p->SetScale(2, 2);
  c.p->DrawImage(img, 50, 50, 0);
  EXPECT_EQ(c.At(52, 52), 0x5A5A5Au);
}

TEST(DrawingSwitch, OffMakesEveryDrawCallANoOp) {
  Canvas c, blank;
  int img = pt::MakeImage(*c.p, 2, 2, {1, 2, 3, 4});
  int cap = c.p->CreateImage(2, 2, 1, 0);
  c.p->SetDrawingEnabled(false);
  c.p->Cls();
  c.p->DrawImage(img, 0, 0, 0);
  c.p->DrawLine(0, 0, 100, 100);
  c.p->DrawRect(0, 0, 100, 100);
  c.p->CaptureImage(cap, 0, 0, 0);
  EXPECT_EQ(c.Pixels(), blank.Pixels());
  c.p->SetDrawingEnabled(true);
  c.p->DrawImage(cap, 0, 0, 0);  // still blank black: the capture did not happen
  EXPECT_EQ(c.At(0, 0), 0u);
}

TEST(Display, ReopeningKeepsImagesAndResetsTheDrawingState) {
  auto p = sb::MakeHeadlessPlatform();
  auto& hb = sb::Headless(*p);
  p->OpenDisplay(640, 480, 0, 0, 0);
  EXPECT_FALSE(p->FullScreen());
  int img = pt::MakeImage(*p, 2, 2, std::vector<uint32_t>(4, 0x123456));
  p->SetScale(2, 2);
  p->SetColor(1, 2, 3);
  p->SetAlpha(0.7);
  p->SetViewport(5, 5, 5, 5);
  p->DrawRect(0, 0, 640, 480);
  const int shown = hb.Frames();
  p->OpenDisplay(640, 480, 32, 0, 0);
  EXPECT_TRUE(p->DisplayOpen());
  EXPECT_TRUE(p->FullScreen());
  EXPECT_EQ(hb.Frames(), shown + 2);  // a new display is cleared and shown twice
  EXPECT_EQ(pt::Px(*p, 6, 6), 0u);
  float sx, sy;
  int r, g, b;
  p->GetScale(sx, sy);
  p->GetColor(r, g, b);
  EXPECT_EQ(sx, 1.0f);
  EXPECT_EQ(sy, 1.0f);
  EXPECT_EQ(r + g + b, 765);
  EXPECT_EQ(p->GetAlpha(), 1.0);
  p->DrawImage(img, 600, 400, 0);  // the viewport is the whole screen again
  EXPECT_EQ(pt::Px(*p, 601, 401), 0x123456u);
}

// Cached pictures (whole-pixel positions at scale 1 and 2) and the
// sub-pixel path (any other position at scales 1 and 2) must write the very
// pixels the per-pixel path writes, clipping and tint included, whichever
// vector instructions the sub-pixel path uses.
TEST(FastPath, MatchesThePerPixelPathOnRandomCellsAndPositions) {
  const sb::Renderer::Kernel best = sb::Renderer::BestKernel();
  for (auto kernel : {sb::Renderer::Kernel::kPortable, sb::Renderer::Kernel::kSse2,
                      sb::Renderer::Kernel::kAvx2, sb::Renderer::Kernel::kAvx512}) {
    if (sb::Renderer::UseKernel(kernel) != kernel) continue;
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> size(1, 20), pos(-50, 660), vp(-20, 400), tint(0, 255),
        coin(0, 3);
    const float scales[] = {1.0f, 2.0f, 2.0f, 1.5f, 3.0f, 0.75f};
    const float fractions[] = {0.0f, 0.0f, 0.25f, 0.5f, 0.37f, 0.875f};
    std::uniform_int_distribution<int> pick(0, 5);
    sb::Renderer fast, slow;
    int whole = 0;  // rounds that went through the cached pictures
    for (int round = 0; round < 600; ++round) {
      const int w = size(rng), h = size(rng);  // drawn in this order
      const bool filtered = coin(rng) != 0;
      sb::Image img = RandomImage(rng, w, h, filtered);
      const float sx = scales[pick(rng)], sy = coin(rng) ? sx : scales[pick(rng)];
      const bool on_grid = coin(rng) < 2;
      const float fx = on_grid ? 0.0f : fractions[pick(rng)];
      const float fy = on_grid ? 0.0f : fractions[pick(rng)];
      const int vx = vp(rng), vy = vp(rng), vw = vp(rng) + 40, vh = vp(rng) + 40;
      const int r = coin(rng) ? 255 : tint(rng), g = tint(rng) | 1, b = tint(rng);
      for (sb::Renderer* rd : {&fast, &slow}) {
        rd->SetViewport(0, 0, 640, 480);
        std::fill_n(rd->Pixels(), 640 * 480, kSentinel);
        rd->SetScale(sx, sy);
        rd->SetViewport(vx, vy, vw, vh);
        rd->SetColor(r, g, b);
      }
      for (int k = 0; k < 5; ++k) {
        const float x = float(pos(rng)) + fx, y = float(pos(rng) * 3 / 4) + fy;
        fast.DrawImage(img, x, y, 0);
        slow.DrawImageGeneral(img, x, y, 0);
      }
      whole += (img.frames[0].at1 || img.frames[0].at2);
      ASSERT_EQ(0, std::memcmp(fast.Pixels(), slow.Pixels(), 640 * 480 * 4))
          << "round " << round << " kernel " << int(kernel);
    }
    EXPECT_GT(whole, 50);
  }
  sb::Renderer::UseKernel(best);
}

// Pictures are cached up to the screen's size; a larger image (a hostile
// logo near the loader's cap) is sampled where it shows, with the same pixels.
TEST(FastPath, ImagesLargerThanTheScreenAreDrawnWithoutACachedPicture) {
  std::mt19937 rng(7);
  struct Case {
    int w, h;
    float scale;
    bool cached;
  } cases[] = {{320, 240, 2.0f, true}, {321, 240, 2.0f, false}, {640, 481, 1.0f, false},
               {640, 480, 1.0f, true}, {2000, 3, 2.0f, false},  {2048, 2048, 2.0f, false}};
  for (const Case& c : cases) {
    sb::Image img = RandomImage(rng, c.w, c.h, true);
    sb::Renderer fast, slow;
    for (sb::Renderer* rd : {&fast, &slow}) {
      std::fill_n(rd->Pixels(), 640 * 480, kSentinel);
      rd->SetScale(c.scale, c.scale);
    }
    fast.DrawImage(img, -3, 5, 0);
    slow.DrawImageGeneral(img, -3, 5, 0);
    const bool cached = img.frames[0].at1 || img.frames[0].at2;
    EXPECT_EQ(c.cached, cached) << c.w << "x" << c.h << " at scale " << c.scale;
    EXPECT_EQ(0, std::memcmp(fast.Pixels(), slow.Pixels(), 640 * 480 * 4))
        << c.w << "x" << c.h << " at scale " << c.scale;
  }
}

}  // namespace
