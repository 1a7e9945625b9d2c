// Grunts, hulks, electrodes, explosion fragments and humans.
#include <gtest/gtest.h>

#include <cmath>

#include "play/collisions.h"
#include "robots/bits.h"
#include "robots/grunts.h"
#include "robots/humans.h"
#include "support/world.h"

namespace {

using sbt::World;

using sbt::At;

// The next draw from [0, 1000) is above (or not above) t.
auto Above(double t) {
  return [t](sb::Random& r) { return r.Real(0, 1000) > t; };
}
auto NotAbove(double t) {
  return [t](sb::Random& r) { return r.Real(0, 1000) <= t; };
}

// --- grunts ---

// A grunt at (x, y) after one update that retargets it.
sb::kxgrunt* Retargeted(World& w, float x, float y) {
  sb::kxgrunt* g = At(w.g.kxgrunt_list, x, y);
  w.ForceDraws(Above(700));
  sb::UpdateGrunts(w.g);
  return g;
}

TEST(Grunts, RetargetingLevelWithThePlayerMovesAlongOneAxisOnly) {
  World w;  // difficulty 3: gruntspeed 0.25
  const sb::kxgrunt* g = Retargeted(w, 220.0f, 240.0f);
  EXPECT_FLOAT_EQ(g->xv, 0.5f);
  EXPECT_FLOAT_EQ(g->yv, 0.0f);
}

TEST(Grunts, AGruntOnThePlayersSpotStops) {
  World w;
  const sb::kxgrunt* g = Retargeted(w, 320.0f, 240.0f);
  EXPECT_EQ(g->xv, 0.0f);
  EXPECT_EQ(g->yv, 0.0f);
}

TEST(Grunts, AStepOntoTheBoundIsRefusedOnThatAxisAndRetargetsAtOnce) {
  World w;
  sb::kxgrunt* g = At(w.g.kxgrunt_list, 601.0f, 200.0f);
  g->xv = 1.0f;
  g->yv = 1.0f;
  w.ForceDraws(NotAbove(700));  // the wall alone makes it turn
  sb::UpdateGrunts(w.g);
  EXPECT_FLOAT_EQ(g->sx, 601.0f);
  EXPECT_FLOAT_EQ(g->sy, 201.0f);
  EXPECT_FLOAT_EQ(g->xv, -0.5f);
  EXPECT_FLOAT_EQ(g->yv, 0.5f);
}

TEST(Grunts, SpeedRampsWithinAWaveAndNeverPassesEight) {
  World w;
  w.g.difficulty = 3;
  sb::ResetBehaviour(w.g);
  auto retarget_speed = [&] {
    const float v = Retargeted(w, 100.0f, 100.0f)->xv;
    w.g.kxgrunt_list.Clear();
    return v;
  };
  EXPECT_FLOAT_EQ(retarget_speed(), 0.5f);
  for (int i = 0; i < 1000; ++i) sb::RampBehaviour(w.g);
  EXPECT_NEAR(retarget_speed(), 2.5f, 0.01f);
  for (int i = 0; i < 10000; ++i) sb::RampBehaviour(w.g);
  EXPECT_FLOAT_EQ(retarget_speed(), 8.0f);
}

TEST(Grunts, StepsAndColourPhasesAdvanceEveryFourthFrame) {
  World w;
  sb::kxgrunt* g = At(w.g.kxgrunt_list, 100.0f, 100.0f);
  g->animframe = 1;
  g->animdir = 1;
  std::vector<int> steps, cols;
  for (int f = 0; f < 20; ++f) {
    sb::UpdateGrunts(w.g);
    if (g->animcounter == 0) {
      steps.push_back(g->animframe);
      cols.push_back(g->col);
    }
  }
  EXPECT_EQ(steps, (std::vector<int>{2, 1, 0, 1, 2}));
  EXPECT_EQ(cols, (std::vector<int>{1, 2, 3, 0, 1}));
}

TEST(Grunts, ADestroyedGruntIsGoneBeforeTheCollisionPass) {
  World w;
  w.g.wave->grunts_remaining = 5;
  sb::kxgrunt* g = At(w.g.kxgrunt_list, 100.0f, 200.0f);
  g->hit = 2;
  sb::UpdateGrunts(w.g);
  EXPECT_TRUE(w.g.kxgrunt_list.Empty());
  EXPECT_EQ(w.g.plyr->score, 100);
  EXPECT_EQ(w.g.wave->grunts_remaining, 4);
  ASSERT_EQ(w.g.kxbit_list.Count(), 12u);
  EXPECT_FLOAT_EQ(w.g.kxbit_list.First()->sx, 104.0f);
  EXPECT_FLOAT_EQ(w.g.kxbit_list.First()->sy, 208.0f);
}

// --- hulks ---

TEST(Hulks, AShotHulkStandsStillForExactlyThreeFrames) {
  World w;
  sb::kxhulk* h = At(w.g.kxhulk_list, 200.0f, 200.0f);
  h->xv = 0.6f;
  h->hit = 3;
  for (int f = 0; f < 3; ++f) {
    w.g.req[sb::kSndHulkhit] = 0;
    sb::UpdateHulks(w.g);
    EXPECT_FLOAT_EQ(h->sx, 200.0f) << f;
    EXPECT_FLOAT_EQ(h->sy, 200.0f) << f;
    EXPECT_EQ(w.g.req[sb::kSndHulkhit], 1);
  }
  EXPECT_EQ(h->hit, 0);
  w.g.req[sb::kSndHulkhit] = 0;
  w.ForceDraws(NotAbove(900));
  sb::UpdateHulks(w.g);
  EXPECT_FLOAT_EQ(h->sx, 200.6f);
  EXPECT_EQ(w.g.req[sb::kSndHulkhit], 0);
}

TEST(Hulks, ShotAgainWhileFrozenTheCountdownRestarts) {
  World w;
  w.PlacePlayer(560, 40);
  sb::kxhulk* h = At(w.g.kxhulk_list, 200.0f, 200.0f);
  h->hit = 3;
  sb::UpdateHulks(w.g);
  sb::UpdateHulks(w.g);
  EXPECT_EQ(h->hit, 1);
  At(w.g.kxshot_list, 210, 210);
  sb::CheckCollisions(w.g);
  EXPECT_EQ(h->hit, 3);
}

TEST(Hulks, WearTheWavesColourSetAndFlashTheNextOneWhileFrozen) {
  struct Case {
    int level, hit, first_cell;
  } cases[] = {{1, 0, 12}, {4, 0, 0}, {4, 3, 12}, {4, 2, 12}, {4, 1, 0}, {3, 0, 36}, {3, 3, 0}};
  for (const Case& c : cases) {
    World w;
    w.g.plyr->level = c.level;
    sb::kxhulk* h = At(w.g.kxhulk_list, 200.0f, 200.0f);
    h->hit = c.hit;
    w.ForceDraws(NotAbove(990));
    sb::UpdateHulks(w.g);
    const int base = h->animframe - 3 * 0 - h->animstep;
    EXPECT_EQ(base, c.first_cell) << c.level << "/" << c.hit;
  }
}

TEST(Hulks, FaceUpWheneverMovingUpAndDownWhenStill) {
  World w;
  sb::kxhulk* up = At(w.g.kxhulk_list, 200.0f, 200.0f);
  up->xv = 0.6f;
  up->yv = -0.6f;
  sb::kxhulk* still = At(w.g.kxhulk_list, 300.0f, 100.0f);
  sb::kxhulk* left = At(w.g.kxhulk_list, 300.0f, 300.0f);
  left->xv = -0.6f;
  w.ForceDraws([](sb::Random& r) {
    return r.Real(0, 1000) <= 900 && r.Real(0, 1000) <= 900 && r.Real(0, 1000) <= 900;
  });
  sb::UpdateHulks(w.g);
  const int c = 12;  // level 1
  EXPECT_EQ(up->animframe, c + 3 * 2 + up->animstep);
  EXPECT_EQ(still->animframe, c + 0 + still->animstep);
  EXPECT_EQ(left->animframe, c + 3 * 1 + left->animstep);
}

// --- electrodes ---

TEST(Electrodes, AHitDesignSevenShrinksThroughFourCellsAndIsGone) {
  World w;
  w.g.wave->electrodes_remaining = 3;
  sb::kxelectrode* e = At(w.g.kxelectrode_list, 50, 60);
  e->frame = 7;
  e->hit = 1;
  sb::UpdateElectrodes(w.g);
  EXPECT_TRUE(w.g.kxelectrode_list.Empty());
  EXPECT_EQ(w.g.wave->electrodes_remaining, 2);
  EXPECT_EQ(w.g.req[sb::kSndElectrodehit], 1);
  EXPECT_EQ(w.g.plyr->score, 0);
  ASSERT_EQ(w.g.kxshrinkle_list.Count(), 1u);
  sb::kxshrinkle* s = w.g.kxshrinkle_list.First();
  EXPECT_EQ(s->sx, 50);
  EXPECT_EQ(s->sy, 60);
  std::vector<int> cells;
  for (int f = 0; f < 5 && !w.g.kxshrinkle_list.Empty(); ++f) {
    sb::UpdateShrinkles(w.g);
    if (!w.g.kxshrinkle_list.Empty()) cells.push_back(w.g.kxshrinkle_list.First()->animframe);
  }
  EXPECT_EQ(cells, (std::vector<int>{17, 27, 37, 47}));
  EXPECT_TRUE(w.g.kxshrinkle_list.Empty());
}

// --- explosion fragments ---

TEST(Bits, AShotFlyingUpSplitsIntoVerticalSlicesFlyingSideways) {
  World w;
  sb::CreateBits(w.g, 109, 213, 0, 2);
  ASSERT_EQ(w.g.kxbit_list.Count(), 12u);
  int i = 0;
  for (sb::kxbit* b : w.g.kxbit_list.Walk()) {
    EXPECT_FLOAT_EQ(b->sx, 104.0f + i);
    EXPECT_FLOAT_EQ(b->sy, 208.0f);
    EXPECT_EQ(b->frame, i);
    EXPECT_EQ(b->vh, 1);
    EXPECT_EQ(b->yv, 0.0f);
    EXPECT_EQ(b->dur, 20);
    ++i;
  }
  sb::UpdateBits(w.g);
  EXPECT_FLOAT_EQ(w.g.kxbit_list.First()->sx, 104.0f - 3.2f);
}

TEST(Bits, AShotFlyingRightSplitsIntoHorizontalSlices) {
  World w;
  sb::CreateBits(w.g, 109, 213, 0, 6);
  int i = 0;
  for (sb::kxbit* b : w.g.kxbit_list.Walk()) {
    EXPECT_FLOAT_EQ(b->sx, 104.0f);
    EXPECT_FLOAT_EQ(b->sy, 208.0f + i);
    EXPECT_EQ(b->xv, 0.0f);
    EXPECT_FLOAT_EQ(b->yv, w.g.bitspeeds[i]);
    EXPECT_EQ(b->vh, 0);
    EXPECT_EQ(b->dur, 16);
    ++i;
  }
  EXPECT_EQ(i, 12);
}

TEST(Bits, DiagonalShotsSpreadAlongTheOtherDiagonal) {
  World w;
  sb::CreateBits(w.g, 50, 50, 3, 3);  // up-right: upper slices go up-left
  sb::kxbit* first = w.g.kxbit_list.First();
  EXPECT_FLOAT_EQ(first->xv, -2.0f);
  EXPECT_FLOAT_EQ(first->yv, -2.0f);
  EXPECT_EQ(first->frame, 36);
  w.g.kxbit_list.Clear();
  sb::CreateBits(w.g, 50, 50, 3, 9);  // down-right: upper slices go up-right
  first = w.g.kxbit_list.First();
  EXPECT_FLOAT_EQ(first->xv, 2.0f);
  EXPECT_FLOAT_EQ(first->yv, -2.0f);
  EXPECT_EQ(first->dur, 20);
}

TEST(Bits, CodesOutsideTheEightDirectionsMakeNoFragments) {
  World w;
  for (int code : {0, 5, 10, -1, 100}) sb::CreateBits(w.g, 50, 50, 0, code);
  EXPECT_TRUE(w.g.kxbit_list.Empty());
}

TEST(Bits, RowsSelectTheCellBlock) {
  struct Case {
    int row, code, first, last;
  } cases[] = {{8, 2, 96, 107}, {9, 4, 108, 119}};
  for (const Case& c : cases) {
    World w;
    sb::CreateBits(w.g, 50, 50, c.row, c.code);
    EXPECT_EQ(w.g.kxbit_list.First()->frame, c.first) << "row " << c.row;
    EXPECT_EQ(w.g.kxbit_list.Last()->frame, c.last) << "row " << c.row;
  }
}

TEST(Bits, FragmentsLiveForTheirDurationPlusOneUpdate) {
  World w;
  struct Case {
    int code, dur;
  } cases[] = {{8, 20}, {4, 16}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    sb::CreateBits(w.g, 50, 50, 0, c.code);
    for (int i = 0; i < c.dur; ++i) sb::UpdateBits(w.g);
    EXPECT_EQ(w.g.kxbit_list.Count(), 12u);
    sb::UpdateBits(w.g);
    EXPECT_TRUE(w.g.kxbit_list.Empty());
  }
}

// --- humans ---

sb::kxhuman* Rescued(World& w, float x, float y) {
  sb::kxhuman* h = At(w.g.kxhuman_list, x, y);
  h->rescued = 1;
  return h;
}

TEST(Humans, RescuesScoreOneToFiveThousandAndThenStayAtFive) {
  World w;
  w.g.wave->humans_remaining = 7;
  std::vector<int> gains, shown;
  for (int i = 0; i < 7; ++i) {
    const int before = w.g.plyr->score;
    Rescued(w, 100.0f, 100.0f);
    sb::UpdateHumans(w.g);
    gains.push_back(w.g.plyr->score - before);
    shown.push_back(w.g.kxpoint_list.Last()->frame);
  }
  EXPECT_EQ(gains, (std::vector<int>{1000, 2000, 3000, 4000, 5000, 5000, 5000}));
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4, 4, 4}));
  EXPECT_EQ(w.g.wave->humans_remaining, 0);
  EXPECT_EQ(w.g.req[sb::kSndHumansaved], 1);
}

TEST(Humans, ALostLifeStartsTheRescueBonusAgain) {
  World w;
  Rescued(w, 100.0f, 100.0f);
  Rescued(w, 120.0f, 100.0f);
  sb::UpdateHumans(w.g);
  EXPECT_EQ(w.g.plyr->score, 3000);
  sb::ResetPlayer(w.g);
  Rescued(w, 100.0f, 100.0f);
  sb::UpdateHumans(w.g);
  EXPECT_EQ(w.g.plyr->score, 4000);
}

TEST(Humans, AKilledHumanLeavesASkullAtTheWholePartOfItsPosition) {
  World w;
  w.g.wave->humans_remaining = 1;
  sb::kxhuman* h = At(w.g.kxhuman_list, 100.7f, 200.2f);
  h->hit = 1;
  h->rescued = 1;  // the kill mark is examined first
  sb::UpdateHumans(w.g);
  ASSERT_EQ(w.g.kxdeath_list.Count(), 1u);
  const sb::kxdeath& d = *w.g.kxdeath_list.First();
  EXPECT_EQ(d.sx, 100);
  EXPECT_EQ(d.sy, 200);
  EXPECT_EQ(d.dur, 24);
  EXPECT_TRUE(w.g.kxhuman_list.Empty());
  EXPECT_TRUE(w.g.kxpoint_list.Empty());
  EXPECT_EQ(w.g.plyr->score, 0);
  EXPECT_EQ(w.g.req[sb::kSndHumanhit], 1);
}

TEST(Humans, AConvertedHumanBecomesAProgOfItsKindHeadingForThePlayer) {
  World w;
  w.PlacePlayer(100, 50);
  sb::kxhuman* h = At(w.g.kxhuman_list, 100.9f, 300.0f);
  h->frame = 2;
  h->prog = 1;
  h->rescued = 1;  // conversion is examined before rescue
  sb::UpdateHumans(w.g);
  ASSERT_EQ(w.g.kxprog_list.Count(), 1u);
  const sb::kxprog& p = *w.g.kxprog_list.First();
  EXPECT_FLOAT_EQ(p.sx, 100.0f);
  EXPECT_FLOAT_EQ(p.psx, 100.0f);
  EXPECT_FLOAT_EQ(p.sy, 300.0f);
  EXPECT_EQ(p.xv, 0.0f);
  EXPECT_EQ(p.yv, -1.0f);
  EXPECT_EQ(p.frame, 2);
  EXPECT_EQ(p.birth, 10);
  EXPECT_EQ(p.animdir, 1);
  EXPECT_EQ(w.g.req[sb::kSndProgborn], 1);
  EXPECT_EQ(w.g.plyr->score, 0);
  EXPECT_EQ(w.g.rescues, 0);
}

TEST(Humans, AHumanAtTheRightBoundTurnsButFacesRightThisFrame) {
  World w;
  sb::kxhuman* h = At(w.g.kxhuman_list, 603.5f, 200.0f);
  h->xv = 0.5f;
  h->frame = 1;
  w.ForceDraws(NotAbove(990));
  sb::UpdateHumans(w.g);
  EXPECT_FLOAT_EQ(h->sx, 603.5f);
  EXPECT_EQ(h->animframe, 12 + 3 * 3 + h->animstep);
  EXPECT_FLOAT_EQ(std::fabs(h->xv) + std::fabs(h->yv), 0.5f);
}

TEST(Humans, AHumanThatNeverTurnsKeepsItsSetUpSpeed) {
  World w;
  sb::kxhuman* h = At(w.g.kxhuman_list, 200.0f, 200.0f);
  h->yv = -0.7f;
  w.ForceDraws([](sb::Random& r) {
    for (int i = 0; i < 10; ++i)
      if (r.Real(0, 1000) > 990) return false;
    return true;
  });
  for (int i = 0; i < 10; ++i) sb::UpdateHumans(w.g);
  EXPECT_FLOAT_EQ(h->yv, -0.7f);
  EXPECT_NEAR(h->sy, 193.0f, 0.001f);
  EXPECT_EQ(h->animframe / 3 % 4, 2);  // facing up
}

TEST(Humans, CreatePointAwardsWhatItShows) {
  World w;
  w.g.plyr->score = 2147483000;  // wraps like a 32-bit integer
  sb::CreatePoint(w.g, 10, 20, 1);
  EXPECT_EQ(w.g.plyr->score, static_cast<int32_t>(2147483000u + 1000u));
  const sb::kxpoint& p = *w.g.kxpoint_list.First();
  EXPECT_EQ(p.frame, 0);
  EXPECT_EQ(p.dur, 0);
  EXPECT_EQ(p.sx, 10);
}

}  // namespace
