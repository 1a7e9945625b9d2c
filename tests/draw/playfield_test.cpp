// Playfield drawing: which cell lands where, the status line, free men, the
// ageing of score values and skulls, the border styles and the wave label.
// Images are probe images whose cells are solid colours naming the cell.
#include "draw/playfield.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/world.h"

namespace {

using sbt::World;

struct DrawWorld : World {
  DrawWorld() {
    P->SetScale(2, 2);
    g.img.imgplayer = ProbeImage(7, 12, 79);
    g.img.imgfont = ProbeImage(6, 7, 80);
    g.img.imgwave = ProbeImage(50, 8, 1);
    g.img.imgpoints = ProbeImage(12, 6, 30);
    g.img.imgdeath = ProbeImage(13, 12, 8);
    g.img.imggrunts = ProbeImage(9, 13, 12);
    g.img.imgprogs = ProbeImage(8, 16, 108);
    g.img.imgspheroids = ProbeImage(13, 13, 14);
    g.img.imgquarks = ProbeImage(13, 13, 14);
    g.img.imgcruises = ProbeImage(3, 3, 8);
    g.img.imgbits = ProbeImage(12, 1, 120);
    g.img.imgbitsv = ProbeImage(1, 12, 120);
    g.img.imgelectrodes = ProbeImage(18, 9, 50);
  }
  void Clear() { P->Cls(); }

  // The cell at (x, y) after each drawing of `list` on a clear screen, until
  // the list is empty (40 drawings at most).
  template <class L, class Draw>
  std::vector<int> CellsUntilGone(L& list, Draw draw, int x, int y) {
    std::vector<int> cells;
    while (!list.Empty() && cells.size() < 40) {
      Clear();
      draw(g);
      cells.push_back(CellAt(x, y));
    }
    return cells;
  }
};

// A record of a trail-drawing kind moved from (px, py) to (x, y) this frame.
template <class R>
R* Moved(sb::TList<R>& list, float px, float py, float x, float y, int animframe) {
  R* r = list.New();
  r->psx = px;
  r->psy = py;
  r->sx = x;
  r->sy = y;
  r->animframe = animframe;
  return r;
}

// --- the status line ---

std::vector<int> ScoreCells(DrawWorld& w) {
  std::vector<int> cells;
  for (int i = 7; i >= 0; --i) cells.push_back(w.CellAt(112 - 12 * i + 6, 1 + 7));
  return cells;
}

TEST(Hud, ScoreShowsEightDigitsWithLeadingZeros) {
  DrawWorld w;
  w.g.plyr->score = 1234;
  sb::DrawHud(w.g);
  EXPECT_EQ(ScoreCells(w), (std::vector<int>{40, 40, 40, 40, 41, 42, 43, 44}));
}

TEST(Hud, OnlyTheLowEightDigitsOfALargerScoreShow) {
  DrawWorld w;
  w.g.plyr->score = 123456789;
  w.g.plyr->numfreemen = 100000;  // no award in this frame
  sb::DrawHud(w.g);
  EXPECT_EQ(ScoreCells(w), (std::vector<int>{42, 43, 44, 45, 46, 47, 48, 49}));
}

TEST(Hud, TwentyFiveMenDrawTwentyIconsAndNoneForZero) {
  DrawWorld w;
  w.g.plyr->men = 25;
  w.g.plyr->numfreemen = 1000;
  sb::DrawHud(w.g);
  int icons = 0;
  for (int i = 0; i < 30; ++i) {
    if (w.CellAt(126 + 16 * i + 7, 12) == 78) ++icons;
  }
  EXPECT_EQ(icons, 20);
  EXPECT_EQ(w.CellAt(430 + 7, 12), 78);
  EXPECT_EQ(w.CellAt(446 + 7, 12), -1);
  EXPECT_EQ(w.g.plyr->men, 25);

  DrawWorld none;
  none.g.plyr->men = 0;
  none.g.plyr->numfreemen = 1000;
  sb::DrawHud(none.g);
  EXPECT_EQ(none.CellAt(126 + 7, 12), -1);
}

// --- free men ---

TEST(FreeMen, TheFirstComesAtTheIntervalAndTheNextAtTwiceIt) {
  DrawWorld w;
  w.g.freeman = 25000;
  w.g.plyr->numfreemen = 1;
  w.g.plyr->men = 3;
  w.g.plyr->score = 24999;
  sb::DrawHud(w.g);
  EXPECT_EQ(w.g.plyr->men, 3);
  EXPECT_EQ(w.g.req[sb::kSndBonus], 0);
  w.g.plyr->score = 25000;
  sb::DrawHud(w.g);
  EXPECT_EQ(w.g.plyr->men, 4);
  EXPECT_EQ(w.g.plyr->numfreemen, 2);
  EXPECT_EQ(w.g.req[sb::kSndBonus], 1);
  w.g.plyr->score = 49999;
  sb::DrawHud(w.g);
  EXPECT_EQ(w.g.plyr->men, 4);
}

TEST(FreeMen, AScoreJumpingPastTwoThresholdsEarnsOneMenPerFrame) {
  DrawWorld w;
  w.g.freeman = 25000;
  w.g.plyr->numfreemen = 1;
  w.g.plyr->men = 0;
  w.g.plyr->score = 60000;
  std::vector<int> men;
  for (int f = 0; f < 3; ++f) {
    sb::DrawHud(w.g);
    men.push_back(w.g.plyr->men);
  }
  EXPECT_EQ(men, (std::vector<int>{1, 2, 2}));
}

TEST(FreeMen, AScoreNearTheTopOfTheRangeDoesNotAwardEveryFrame) {
  DrawWorld w;
  w.g.freeman = 25000;
  w.g.plyr->score = 2147480000;
  w.g.plyr->numfreemen = 85900;  // 85900 * 25000 is past the 32-bit range
  w.g.plyr->men = 2;
  for (int f = 0; f < 5; ++f) sb::DrawHud(w.g);
  EXPECT_EQ(w.g.plyr->men, 2);
}

// --- ageing records ---

TEST(Skulls, ShowCellsSixDownToZeroOverTwentyFiveFrames) {
  DrawWorld w;
  sb::kxdeath* d = sbt::At(w.g.kxdeath_list, 100, 100);
  d->dur = 24;
  const std::vector<int> cells = w.CellsUntilGone(w.g.kxdeath_list, sb::DrawDeaths, 110, 110);
  ASSERT_EQ(cells.size(), 25u);
  EXPECT_EQ(cells.front(), 6);
  EXPECT_EQ(cells[4], 5);
  EXPECT_EQ(cells.back(), 0);
}

TEST(Skulls, AMarkerWithDurationZeroIsDrawnOnceAndRemoved) {
  DrawWorld w;
  sbt::At(w.g.kxdeath_list, 100, 100);
  sb::DrawDeaths(w.g);
  EXPECT_EQ(w.CellAt(110, 110), 0);
  EXPECT_TRUE(w.g.kxdeath_list.Empty());
}

TEST(Points, AValueIsRemovedAfterItsThirtiethDrawingAndAnimatesEverySecondFrame) {
  DrawWorld w;
  sb::kxpoint* p = sbt::At(w.g.kxpoint_list, 200, 100);
  p->frame = 2;  // 3000
  const std::vector<int> cells = w.CellsUntilGone(w.g.kxpoint_list, sb::DrawPoints, 210, 105);
  ASSERT_EQ(cells.size(), 30u);
  const std::vector<int> start(cells.begin(), cells.begin() + 12);
  EXPECT_EQ(start, (std::vector<int>{2, 2, 7, 7, 12, 12, 17, 17, 22, 22, 2, 2}));
  EXPECT_EQ(cells.back(), 22);
}

// --- sprites ---

TEST(Sprites, GruntsShowTheirColourPhase) {
  DrawWorld w;
  sb::kxgrunt* g = sbt::At(w.g.kxgrunt_list, 100.0f, 100.0f);
  g->animframe = 2;
  g->col = 3;
  sb::DrawRobots(w.g);
  EXPECT_EQ(w.CellAt(108, 112), 11);
}

TEST(Sprites, AProgStandingStillShowsItsLastTrailCell) {
  DrawWorld w;
  Moved(w.g.kxprog_list, 200.0f, 100.0f, 200.0f, 100.0f, 5);
  sb::DrawRobots(w.g);
  EXPECT_EQ(w.CellAt(208, 116), 77);
}

TEST(Sprites, AMovingProgLeavesItsTrailInThreeCellBlocks) {
  DrawWorld w;
  Moved(w.g.kxprog_list, 100.0f, 100.0f, 160.0f, 100.0f, 1);  // copies every 10 pixels, 16 wide
  sb::DrawRobots(w.g);
  EXPECT_EQ(w.CellAt(102, 110), 1);        // copy 0
  EXPECT_EQ(w.CellAt(132, 110), 37);       // copy 3
  EXPECT_EQ(w.CellAt(160 + 15, 110), 73);  // the last copy, on top
}

TEST(Sprites, ACruiseMissileDrawsItsTrailThenItsHead) {
  DrawWorld w;
  Moved(w.g.kxcruise_list, 100.0f, 100.0f, 132.0f, 100.0f, 3);
  sb::DrawRobots(w.g);
  EXPECT_EQ(w.CellAt(101, 101), 3);
  EXPECT_EQ(w.CellAt(120, 101), 3);
  EXPECT_EQ(w.CellAt(134, 101), 7);
}

TEST(Sprites, SpheroidsAndQuarksAddTheirPhaseBlock) {
  DrawWorld w;
  sb::kxspheroid* s = sbt::At(w.g.kxspheroid_list, 100.0f, 100.0f);
  s->animframe = 4;
  s->animcounter = 1;
  sb::kxquark* q = sbt::At(w.g.kxquark_list, 300.0f, 100.0f);
  q->animframe = 2;
  q->animcounter = 3;
  sb::DrawRobots(w.g);
  EXPECT_EQ(w.CellAt(112, 112), 11);
  EXPECT_EQ(w.CellAt(312, 112), 9);
}

TEST(Sprites, FragmentsUseTheCutOfTheirSlice) {
  DrawWorld w;
  sb::kxbit* v = sbt::At(w.g.kxbit_list, 100.0f, 100.0f);
  v->frame = 5;
  v->vh = 1;
  sb::kxbit* h = sbt::At(w.g.kxbit_list, 200.0f, 100.0f);
  h->frame = 6;
  sb::DrawBits(w.g);
  // A vertical slice is 2 x 24 on screen, a horizontal one 24 x 2.
  EXPECT_EQ(w.CellAt(100, 120), 5);
  EXPECT_EQ(w.CellAt(103, 100), -1);
  EXPECT_EQ(w.CellAt(220, 100), 6);
  EXPECT_EQ(w.CellAt(200, 103), -1);
}

// --- the border ---

TEST(Border, StyleZeroDrawsNothingAndStylesTwoAndThreeCycleOnceAndTwice) {
  DrawWorld w;
  w.g.wave->borderstyle = 0;
  const int r0 = w.g.cycr;
  sb::DrawBorder(w.g);
  EXPECT_EQ(w.Pixel(19, 19), 0u);
  EXPECT_EQ(w.g.cycr, r0);

  w.g.wave->borderstyle = 1;
  sb::DrawBorder(w.g);
  EXPECT_EQ(w.g.cycr, r0);
  const uint32_t c = (uint32_t(w.g.cycr) << 16) | (uint32_t(w.g.cycg) << 8) | uint32_t(w.g.cycb);
  EXPECT_EQ(w.Pixel(19, 19), c);
  EXPECT_EQ(w.Pixel(622, 462), c);
  EXPECT_EQ(w.Pixel(20, 240), c);
  EXPECT_EQ(w.Pixel(21, 240), 0u);

  const int g0 = w.g.cycg;
  w.g.wave->borderstyle = 2;
  sb::DrawBorder(w.g);
  EXPECT_EQ(w.g.cycg, g0 + 5);
  w.g.wave->borderstyle = 3;
  sb::DrawBorder(w.g);
  EXPECT_EQ(w.g.cycg, g0 + 15);
}

// --- wave label ---

struct LabelCase {
  int level;
  std::vector<std::pair<int, int>> digits_at;  // glyph cell, x
  int ink_from, ink_to;                        // blank from x 18 up to ink_from
};

struct WaveLabel : sbt::WorldTest, ::testing::WithParamInterface<LabelCase> {
  WaveLabel() { P->OpenDisplay(640, 480, 0, 60, 0); }
  bool LoadFont() {
    const std::string path = std::string(SB_GAME_DIR) + "/images/kelfont.bmp";
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
      std::fclose(f);
    } else {
      return false;
    }
    g.img.imgfont = P->LoadImageStrip(path, 6, 7, 0, 80, -1);
    g.img.imgwave = P->CreateImage(50, 8, 1, -1);
    return g.img.imgfont != 0 && g.img.imgwave != 0;
  }

  // The label as stored, 50 x 8, read back by drawing it at scale 1.
  std::vector<uint32_t> LabelPixels() {
    Clear();
    P->DrawImage(g.img.imgwave, 0, 0, 0);
    return Region();
  }
  // The 50 x 8 corner with glyph cells drawn at the given x positions.
  std::vector<uint32_t> Glyphs(const std::vector<std::pair<int, int>>& cells_at) {
    Clear();
    for (auto [cell, x] : cells_at) P->DrawImage(g.img.imgfont, static_cast<float>(x), 0, cell);
    return Region();
  }
  void Clear() {
    P->SetScale(1, 1);
    P->Cls();
    P->SetColor(255, 255, 255);
  }
  std::vector<uint32_t> Region() {
    std::vector<uint32_t> out;
    const uint32_t* fb = P->Framebuffer();
    for (int y = 0; y < 8; ++y) {
      for (int x = 0; x < 50; ++x) out.push_back(fb[y * 640 + x]);
    }
    return out;
  }
  static bool Blank(const std::vector<uint32_t>& px, int x0, int x1) {
    for (int y = 0; y < 8; ++y) {
      for (int x = x0; x < x1; ++x) {
        if (px[static_cast<size_t>(y * 50 + x)] != 0) return false;
      }
    }
    return true;
  }
};

// "WAVE" and then the level's digits drawn right to left from x 28, no
// leading zeros (the E ends at x 17).
TEST_P(WaveLabel, ShowsWaveAndTheLevelsDigitsRightToLeftFromX28) {
  if (!LoadFont()) GTEST_SKIP() << "images/kelfont.bmp not generated yet (build game_assets)";
  const LabelCase& c = GetParam();
  g.plyr->level = c.level;

  sb::MakeWaveLabel(g);

  float sx = 0, sy = 0;
  P->GetScale(sx, sy);
  EXPECT_EQ(sx, 2.0f);
  EXPECT_EQ(sy, 2.0f);
  auto label = LabelPixels();
  std::vector<std::pair<int, int>> want = {{32, 0}, {10, 6}, {31, 10}, {14, 14}};
  want.insert(want.end(), c.digits_at.begin(), c.digits_at.end());
  EXPECT_EQ(label, Glyphs(want));
  EXPECT_TRUE(Blank(label, 18, c.ink_from));
  EXPECT_FALSE(Blank(label, c.ink_from, c.ink_to));
}

INSTANTIATE_TEST_SUITE_P(Levels, WaveLabel,
                         ::testing::Values(LabelCase{7, {{7, 28}}, 28, 34},
                                           LabelCase{105, {{5, 28}, {0, 24}, {1, 20}}, 20, 24}),
                         [](const auto& info) {
                           return "Level" + std::to_string(info.param.level);
                         });

}  // namespace
