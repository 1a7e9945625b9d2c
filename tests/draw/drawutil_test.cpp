// Boxes, the bitmap font and the cycling colour, checked on the framebuffer.
#include "draw/drawutil.h"

#include <gtest/gtest.h>

#include "support/frame_read.h"

using namespace sbt;

namespace {

struct Canvas : World {
  Canvas() : World(kBare) {
    WriteTestAssets();
    P->OpenDisplay(640, 480, 0, 0, 0);
    P->SetScale(2, 2);
    g.img.imgfont = P->LoadImageStrip("images/kelfont.bmp", 6, 7, 0, 80, -1);
  }
  Shot Frame() const { return Shot(P->Framebuffer(), P->Framebuffer() + 640 * 480); }
};

TEST(DrawBox, ScreenFrameColoursOnlyTheOuterTwoRowsAndColumns) {
  Canvas c;
  sb::DrawBox(c.g, 0, 0, 639, 479, 0, 10, 200, 30, 2);
  const Shot s = c.Frame();
  int wrong = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      const bool edge = x < 2 || x > 637 || y < 2 || y > 477;
      wrong += s[y * 640 + x] != (edge ? 0x0AC81Eu : 0u);
    }
  EXPECT_EQ(wrong, 0);
}

TEST(DrawBox, OutlineSpansWPlusOneByHPlusOneWithRingsInside) {
  Canvas c;
  sb::DrawBox(c.g, 10, 20, 30, 40, 0, 255, 255, 255, 3);
  const Shot s = c.Frame();
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool in = x >= 10 && x <= 40 && y >= 20 && y <= 60;
      const int ring = std::min({x - 10, 40 - x, y - 20, 60 - y});
      const bool on = in && ring < 3;
      EXPECT_EQ(s[y * 640 + x] != 0, on) << x << "," << y;
    }
}

TEST(DrawBox, NoThicknessDrawsNothingAndFilledCoversExactlyWByH) {
  Canvas c;
  sb::DrawBox(c.g, 10, 10, 30, 30, 0, 255, 0, 0, 0);
  sb::DrawBox(c.g, 10, 10, 30, 30, 0, 255, 0, 0, -2);
  EXPECT_TRUE(Ink(c.Frame(), 0, 0, 639, 479).Empty());
  // Drawn unscaled although the scale is 2.
  sb::DrawBox(c.g, 100, 200, 5, 3, 1, 0, 0, 255, 1);
  const Box b = Ink(c.Frame(), 0, 0, 639, 479);
  EXPECT_EQ(b.x0, 100);
  EXPECT_EQ(b.x1, 104);
  EXPECT_EQ(b.y0, 200);
  EXPECT_EQ(b.y1, 202);
}

TEST(DrawBox, LeavesScaleAlphaAndColourAsItFoundThem) {
  Canvas c;
  c.P->SetColor(1, 2, 3);
  sb::DrawBox(c.g, 5, 5, 10, 10, 0, 200, 100, 50, 2);
  int r, g, b;
  c.P->GetColor(r, g, b);
  EXPECT_EQ((std::array<int, 3>{r, g, b}), (std::array<int, 3>{1, 2, 3}));
  float sx, sy;
  c.P->GetScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_EQ(sy, 2.0f);
  EXPECT_EQ(c.P->GetAlpha(), 1.0);
  // A sprite afterwards is still drawn at scale 2: 12 x 14 pixels.
  c.P->SetColor(255, 255, 255);
  c.P->Cls();
  sb::DrawFontText(c.g, 300, 300, "H");
  const Box glyph = Ink(c.Frame(), 0, 0, 639, 479);
  EXPECT_EQ(glyph.x1 - glyph.x0 + 1, 12);
  EXPECT_EQ(glyph.y1 - glyph.y0 + 1, 14);
}

TEST(DrawBox, NegativeRedUsesAndKeepsTheCurrentColour) {
  Canvas c;
  c.P->SetColor(0, 255, 0);
  sb::DrawBox(c.g, 10, 10, 4, 4, 1, -1, -1, -1, 1);
  EXPECT_EQ(c.Frame()[10 * 640 + 10], 0x00FF00u);
  int r, g, b;
  c.P->GetColor(r, g, b);
  EXPECT_EQ(g, 255);
  EXPECT_EQ(r + b, 0);
}

TEST(DrawFontText, CellsAdvanceAndCaseFollowTheFontLayout) {
  Canvas c;
  sb::DrawFontText(c.g, 100, 50, "Hi 7");
  Shot s = c.Frame();
  EXPECT_EQ(FontCellAt(s.data(), 100, 50), 57);  // 'H'
  EXPECT_EQ(FontCellAt(s.data(), 114, 50), 58);  // 'i' upper-cased
  EXPECT_TRUE(Ink(s, 126, 50, 141, 63).Empty()) << "a space draws nothing but moves on";
  EXPECT_EQ(FontCellAt(s.data(), 142, 50), 47);  // '7'
  EXPECT_EQ(FontCellAt(s.data(), 153, 63), 47);  // 12 x 14 pixels per glyph
  EXPECT_EQ(Ink(s, 0, 0, 639, 479).x1, 153);

  c.P->Cls();
  // Minus sign, lower-case beyond z, '_' and a Latin-1 byte all show the '0' glyph;
  // '[' is the colon, '^' the last glyph.
  sb::DrawFontText(c.g, 0, 0, std::string("A-1[^_{") + '\xE9' + "z");
  s = c.Frame();
  const int want[] = {50, 40, 41, 76, 79, 40, 40, 40, 75};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(FontCellAt(s.data(), 14 * k + 3, 3), want[k]) << k;

  c.P->Cls();
  sb::DrawFontText(c.g, 10, 10, "");
  EXPECT_TRUE(Ink(c.Frame(), 0, 0, 639, 479).Empty());
}

TEST(CycleColour, ComponentsBounceAtTheEndsWithAFreshSpeed) {
  World w(kBare);
  sb::Game& g = w.g;
  g.cycr = 2;
  g.cycdr = -3;
  g.cycg = 253;
  g.cycdg = 5;
  g.cycb = 100;
  g.cycdb = 7;
  sb::Random expect = w.P->Rng();
  const int32_t dr = sb::Trunc(expect.Real(1, 10));
  const int32_t dg = sb::Trunc(-expect.Real(1, 10));
  sb::CycleColour(g);
  EXPECT_EQ(g.cycr, 0);
  EXPECT_EQ(g.cycdr, dr);
  EXPECT_GE(dr, 1);
  EXPECT_LE(dr, 9);
  EXPECT_EQ(g.cycg, 255);
  EXPECT_EQ(g.cycdg, dg);
  EXPECT_GE(dg, -9);
  EXPECT_LE(dg, -1);
  EXPECT_EQ(g.cycb, 107);
  EXPECT_EQ(g.cycdb, 7);
  EXPECT_EQ(w.P->Rng().State(), expect.State()) << "exactly two draws, red first";

  // Inside the range nothing is drawn; landing exactly on 0 or 255 is no bounce.
  g.cycr = 3;
  g.cycdr = -3;
  g.cycg = 250;
  g.cycdg = 5;
  const uint64_t draws = w.P->Rng().Draws();
  sb::CycleColour(g);
  EXPECT_EQ(w.P->Rng().Draws(), draws);
  EXPECT_EQ(g.cycr, 0);
  EXPECT_EQ(g.cycg, 255);
}

}  // namespace
