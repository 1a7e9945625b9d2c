// Brains hunt humans and fire cruise missiles; progs chase on one axis;
// cruise missiles zigzag in whole pixels.
#include "robots/brains.h"

#include <cmath>

#include "support/world.h"

namespace {

using sbt::Above;
using sbt::Any;
using sbt::AtMost;
using sbt::Count;

struct Brains : sbt::WorldTest {
  sb::kxbrain* AddBrain(float x, float y) {
    sb::kxbrain* b = sbt::At(g.kxbrain_list, x, y);
    b->cruisedelay = 1000;
    b->animdir = 1;
    return b;
  }
};

// --- retargeting ---

TEST_F(Brains, OneBrainsRandomTurnMakesEveryLaterBrainRetarget) {
  sb::kxbrain* first = AddBrain(100, 100);
  sb::kxbrain* second = AddBrain(300, 300);
  SeedSoThat({Above(0, 1000, 960), AtMost(0, 1000, 960)});

  sb::UpdateBrains(g);

  // Both now head for the player (no humans) at brainspeed * 2 = 0.5.
  EXPECT_NEAR(std::hypot(first->xv, first->yv), 0.5, 1e-6);
  EXPECT_NEAR(std::hypot(second->xv, second->yv), 0.5, 1e-6);
  EXPECT_NEAR(second->xv / second->yv, 20.0 / -60.0, 1e-6);
  EXPECT_GT(first->xv, 0);
  EXPECT_GT(first->yv, 0);
}

TEST_F(Brains, AWallRefusalAlsoTurnsTheBrainsAfterIt) {
  sb::kxbrain* walled = AddBrain(21, 100);
  walled->xv = -2;
  sb::kxbrain* other = AddBrain(300, 300);
  SeedSoThat({AtMost(0, 1000, 960), AtMost(0, 1000, 960)});

  sb::UpdateBrains(g);

  EXPECT_EQ(walled->sx, 21.0f);  // refused on x
  EXPECT_GT(walled->xv, 0);
  EXPECT_NEAR(std::hypot(other->xv, other->yv), 0.5, 1e-6);
}

TEST_F(Brains, ABrainOnePixelFromItsTargetCreepsByAQuarterPixel) {
  sb::kxbrain* b = AddBrain(100, 100);
  g.plyr->sx = 101;
  g.plyr->sy = 100;
  SeedSoThat({Above(0, 1000, 960), AtMost(0, 1000, 960)});

  sb::UpdateBrains(g);
  EXPECT_EQ(b->xv, 0.25f);
  EXPECT_EQ(b->yv, 0.25f);

  sb::UpdateBrains(g);
  EXPECT_EQ(b->sx, 100.25f);
  EXPECT_EQ(b->sy, 100.25f);
}

TEST_F(Brains, TheTargetIsTheOldestHumanAtItsTruncatedPosition) {
  sb::kxbrain* b = AddBrain(100.5f, 100.5f);
  sbt::At(g.kxhuman_list, 200.9f, 100.7f);  // the oldest
  sbt::At(g.kxhuman_list, 100, 400);
  SeedSoThat({Above(0, 1000, 960)});

  sb::UpdateBrains(g);

  // Truncated, the human stands at y 100, half a pixel above the brain.
  EXPECT_GT(b->xv, 0.49f);
  EXPECT_LT(b->yv, 0.0f);
}

// --- pausing and firing ---

TEST_F(Brains, AConvertingBrainStandsTenUpdatesAndStillFires) {
  sb::kxbrain* b = AddBrain(100, 100);
  b->xv = 1;
  b->prog = 10;
  b->cruisedelay = 5;
  std::vector<sbt::Draw> calm(11, AtMost(0, 1000, 960));
  SeedSoThat(calm);

  for (int i = 0; i < 10; ++i) {
    sb::UpdateBrains(g);
    EXPECT_EQ(b->sx, 100.0f) << "update " << i + 1;
  }
  EXPECT_EQ(b->prog, 0);
  EXPECT_EQ(Count(g.kxcruise_list), 1);

  sb::UpdateBrains(g);
  EXPECT_EQ(b->sx, 101.0f);
}

TEST_F(Brains, AnExpiredCountdownFiresAndReArmsWithTheWholeGap) {
  sb::kxbrain* b = AddBrain(100.8f, 200.6f);
  b->cruisedelay = 1;
  g.beh.cruisegap = 140.7f;
  SeedSoThat({AtMost(0, 1000, 960)});

  sb::UpdateBrains(g);

  ASSERT_EQ(Count(g.kxcruise_list), 1);
  EXPECT_EQ(b->cruisedelay, 140);
  sb::kxcruise* c = g.kxcruise_list.First();
  EXPECT_EQ(c->sx, 100.0f);
  EXPECT_EQ(c->sy, 200.0f);
  EXPECT_EQ(g.req[sb::kSndCruiseborn], 1);
}

// --- destruction, animation ---

TEST_F(Brains, ColourAdvancesAtEveryStepAndCyclesThroughFiveSets) {
  sb::kxbrain* b = AddBrain(300, 300);
  b->xv = -1;  // facing left
  std::vector<sbt::Draw> calm(20, AtMost(0, 1000, 960));
  SeedSoThat(calm);

  const int want_step[] = {1, 2, 1, 0, 1};
  const int want_col[] = {1, 2, 3, 4, 0};
  for (int s = 0; s < 5; ++s) {
    for (int f = 0; f < 4; ++f) sb::UpdateBrains(g);
    EXPECT_EQ(b->animstep, want_step[s]);
    EXPECT_EQ(b->col, want_col[s]);
    EXPECT_EQ(b->animframe, 3 * 1 + want_step[s] + 12 * want_col[s]);
  }
}

// --- cruise missiles ---

struct Cruises : sbt::WorldTest {};

TEST_F(Cruises, MissilesFlyInWholePixelsTowardThePlayer) {
  sb::CreateCruise(g, 100, 100);
  sb::CreateCruise(g, 400, 300);
  sb::CreateCruise(g, 320, 100);  // straight above the player

  sb::kxcruise* a = g.kxcruise_list.First();
  sb::kxcruise* b = g.kxcruise_list.After(a);
  sb::kxcruise* c = g.kxcruise_list.Last();
  EXPECT_EQ(a->xv, 2);  // 1.4 * 2 = 2.8, whole part
  EXPECT_EQ(a->yv, 2);
  EXPECT_EQ(b->xv, -2);
  EXPECT_EQ(b->yv, -2);
  EXPECT_EQ(c->xv, 0);
  EXPECT_EQ(c->yv, 2);
  EXPECT_EQ(a->dur, 110);
  EXPECT_EQ(a->psx, 100.0f);
  EXPECT_EQ(a->psy, 100.0f);
  EXPECT_EQ(g.req[sb::kSndCruiseborn], 1);

  g.beh.cruisespeed = 1.6f;
  sb::CreateCruise(g, 100, 100);
  EXPECT_EQ(g.kxcruise_list.Last()->xv, 3);
}

TEST_F(Cruises, AMissileLivesExactly110Updates) {
  sb::CreateCruise(g, 320, 100);
  P->SeedRandom(7);  // turning or not, the life is the same
  for (int i = 0; i < 109; ++i) sb::UpdateCruises(g);
  ASSERT_EQ(Count(g.kxcruise_list), 1);
  EXPECT_EQ(g.kxcruise_list.First()->dur, 1);
  sb::UpdateCruises(g);
  EXPECT_EQ(Count(g.kxcruise_list), 0);
}

TEST_F(Cruises, ATurnReAimsThenMayFlipAnAxisAndDropAnother) {
  sb::CreateCruise(g, 100, 100);
  sb::kxcruise* c = g.kxcruise_list.First();
  c->xv = -1;
  c->yv = 0;
  // turn; flip yv; drop xv
  SeedSoThat({Above(0, 1000, 750), Above(0, 1000, 700), Above(0, 100, 50), Above(0, 1000, 700),
              AtMost(0, 100, 50)});

  sb::UpdateCruises(g);

  EXPECT_EQ(c->sx, 99.0f);
  EXPECT_EQ(c->xv, 0);
  EXPECT_EQ(c->yv, -2);
  EXPECT_EQ(c->psx, 99.0f);
  EXPECT_EQ(c->psy, 100.0f);
  EXPECT_EQ(Draws(), 5u);
}

// --- progs ---

struct Progs : sbt::WorldTest {
  sb::kxprog* AddProg(float x, float y, int design) {
    sb::kxprog* p = g.kxprog_list.New();
    p->sx = p->psx = x;
    p->sy = p->psy = y;
    p->xv = sb::Sgn(static_cast<float>(g.plyr->sx) - x);
    p->yv = sb::Sgn(static_cast<float>(g.plyr->sy) - y);
    p->birth = 10;
    p->frame = design;
    p->animdir = 1;
    return p;
  }
};

TEST_F(Progs, ANewProgStandsTenFramesFacingDiagonally) {
  sb::kxprog* p = AddProg(100, 100, 2);  // heading down-right
  std::vector<sbt::Draw> calm;
  for (int i = 0; i < 11; ++i) {
    calm.push_back(AtMost(0, 1000, 840));
    if (i == 7) calm.push_back(Any(0, 100));  // footstep draw as the step turns at 2
  }
  SeedSoThat(calm);

  for (int i = 0; i < 10; ++i) sb::UpdateProgs(g);
  EXPECT_EQ(p->sx, 100.0f);
  EXPECT_EQ(p->birth, 0);
  EXPECT_EQ(p->animframe, 24 + 8 + p->animstep);

  sb::UpdateProgs(g);
  EXPECT_EQ(p->sx, 101.0f);
  EXPECT_EQ(p->sy, 101.0f);
}

TEST_F(Progs, ATurnChasesOnOneAxisAndStartsANewTrail) {
  sb::kxprog* p = AddProg(100, 240, 0);  // level with the player
  p->birth = 0;
  SeedSoThat({Above(0, 1000, 840), Above(0, 10, 5)});

  sb::UpdateProgs(g);

  EXPECT_EQ(p->xv, 1.7f * 2);
  EXPECT_EQ(p->yv, 0.0f);
  EXPECT_EQ(p->psx, 101.0f);
  EXPECT_EQ(p->psy, 240.0f);

  SeedSoThat({AtMost(0, 1000, 840)});
  sb::UpdateProgs(g);
  EXPECT_EQ(p->animframe, 5 + p->animstep);  // moving right: cells 5..7
}

}  // namespace
