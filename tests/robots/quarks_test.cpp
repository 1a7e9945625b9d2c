// Quarks bounce and release tanks up to a limit of twenty; tanks grow, zigzag
// in and fire shells; shells fly diagonally and bounce.
#include "robots/quarks.h"

#include "pulsers.h"

namespace {

using sbt::Above;
using sbt::Any;
using sbt::AtMost;
using sbt::Count;

struct Quarks : sbt::WorldTest {
  sb::kxquark* AddQuark(float x, float y) { return sbt::AddPulser<sbt::QuarkKind>(g, x, y); }
  sb::kxtank* AddActiveTank(float x, float y) {
    sb::kxtank* t = sbt::At(g.kxtank_list, x, y);
    t->balldelay = 1000;
    t->animdir = 1;
    g.wave->tanks_remaining += 1;
    return t;
  }
};

// --- the twenty-tank limit ---

TEST_F(Quarks, AtTwentyTanksTheCountdownWaitsAtZero) {
  sb::kxquark* q = AddQuark(200, 150);
  q->tankdelay = 1;
  g.wave->tanks_remaining = 20;
  SeedSoThat({AtMost(0, 1000, 990), AtMost(0, 1000, 990)});

  sb::UpdateQuarks(g);
  sb::UpdateQuarks(g);

  EXPECT_EQ(Count(g.kxtank_list), 0);
  EXPECT_EQ(q->tankdelay, 0);
  EXPECT_EQ(q->numtanks, 0);
  EXPECT_EQ(Draws(), 2u);  // no tank, so no shell-delay draw

  g.wave->tanks_remaining = 19;
  g.beh.tankgap = 49.5f;
  SeedSoThat({Any(0, 20), AtMost(0, 1000, 990)});
  sb::UpdateQuarks(g);
  EXPECT_EQ(Count(g.kxtank_list), 1);
  EXPECT_EQ(g.wave->tanks_remaining, 20);
  EXPECT_EQ(q->tankdelay, 49);
  EXPECT_EQ(q->numtanks, 1);
}

TEST_F(Quarks, AWaitingQuarkReleasesTwoFramesAfterATankIsMarkedShot) {
  for (int i = 0; i < 20; ++i) AddActiveTank(100 + 20 * i, 300);
  sb::kxquark* q = AddQuark(200, 150);
  q->tankdelay = 0;
  P->SeedRandom(3);

  // The collision pass of frame 1 marks a tank.
  sb::UpdateQuarks(g);
  sb::UpdateTanks(g);
  g.kxtank_list.First()->hit = 4;
  // Frame 2: the quark still sees twenty; the tank update counts the loss.
  sb::UpdateQuarks(g);
  EXPECT_EQ(q->numtanks, 0);
  sb::UpdateTanks(g);
  EXPECT_EQ(g.wave->tanks_remaining, 19);
  // Frame 3: the quark releases.
  sb::UpdateQuarks(g);
  EXPECT_EQ(q->numtanks, 1);
  EXPECT_EQ(g.wave->tanks_remaining, 20);
  EXPECT_EQ(Count(g.kxtank_list), 20);
}

// --- movement ---

TEST_F(Quarks, AWallReversesTheAxisWithoutTurningLaterQuarks) {
  sb::kxquark* walled = AddQuark(20.5f, 100);
  walled->xv = -3.1f;
  walled->yv = 1;
  sb::kxquark* other = AddQuark(300, 300);
  other->xv = 1;
  other->yv = 1;
  SeedSoThat({AtMost(0, 1000, 990), AtMost(0, 1000, 990)});

  sb::UpdateQuarks(g);

  EXPECT_EQ(walled->sx, 20.5f);
  EXPECT_EQ(walled->xv, 3.1f);
  EXPECT_EQ(walled->sy, 101.0f);
  EXPECT_EQ(other->xv, 1.0f);
  EXPECT_EQ(other->yv, 1.0f);
  EXPECT_EQ(other->sx, 301.0f);
}

TEST_F(Quarks, OneQuarksRandomTurnTurnsEveryLaterQuark) {
  AddQuark(100, 100);
  sb::kxquark* second = AddQuark(300, 300);
  second->xv = 1;
  SeedSoThat({Above(0, 1000, 990), sbt::Direction(2), AtMost(0, 1000, 990), sbt::Direction(7)});

  sb::UpdateQuarks(g);

  EXPECT_EQ(second->xv, -1.55f * 2);
  EXPECT_EQ(second->yv, -1.55f * 2);
  EXPECT_EQ(g.kxquark_list.First()->xv, 1.55f * 2);
  EXPECT_EQ(g.kxquark_list.First()->yv, 0.0f);
}

// --- tanks ---

struct Tanks : Quarks {};

TEST_F(Tanks, ANewTankAimsDiagonallyAndGrowsSevenFrames) {
  SeedSoThat({{0, 20, [](double v) { return v >= 12 && v < 13; }}});
  sb::CreateTank(g, 100, 100);
  sb::kxtank* t = g.kxtank_list.First();
  EXPECT_EQ(t->xv, 1.1f * 2);
  EXPECT_EQ(t->yv, 1.1f * 2);
  EXPECT_EQ(t->balldelay, 92);
  EXPECT_EQ(t->animframe, 1);

  sbt::ExpectGrowth(g, t, sb::UpdateTanks, 100.0f);
  EXPECT_EQ(Draws(), 1u);
}

TEST_F(Tanks, TheFirstTreadStepAfterBirthIsCell0WhicheverWayTheTankMoves) {
  const float headings[] = {1.1f * 2, -1.1f * 2, 0.0f};
  for (float yv : headings) {
    sb::kxtank* t = AddActiveTank(300, 200);
    t->yv = yv;
    t->xv = 1;
    t->birth = 1;
    SeedSoThat({AtMost(0, 1000, 930), AtMost(0, 1000, 930)});
    sb::UpdateTanks(g);
    EXPECT_EQ(t->animframe, 7);
    sb::UpdateTanks(g);
    sb::UpdateTanks(g);
    EXPECT_EQ(t->animframe, 0) << "yv " << yv;
    g.kxtank_list.Remove(t);
  }
}

TEST_F(Tanks, TreadsCountUpGoingUpDownGoingDownAndStandStillSideways) {
  sb::kxtank* up = AddActiveTank(300, 400);
  up->yv = -2.2f;
  sb::kxtank* down = AddActiveTank(100, 30);
  down->yv = 2.2f;
  sb::kxtank* sideways = AddActiveTank(100, 200);
  sideways->xv = 2.2f;
  sideways->animframe = 2;
  std::vector<sbt::Draw> calm(30, AtMost(0, 1000, 930));
  SeedSoThat(calm);

  const int want_up[] = {1, 2, 3, 0, 1};
  const int want_down[] = {3, 2, 1, 0, 3};
  for (int s = 0; s < 5; ++s) {
    sb::UpdateTanks(g);
    sb::UpdateTanks(g);
    EXPECT_EQ(up->animframe, want_up[s]);
    EXPECT_EQ(down->animframe, want_down[s]);
    EXPECT_EQ(sideways->animframe, 2);
  }
}

TEST_F(Tanks, ATurnReAimsOneAxisAndMayGrowl) {
  sb::kxtank* t = AddActiveTank(100, 100);
  t->xv = -2.2f;
  t->yv = -2.2f;
  // turn, re-aim x, no dodge, growl
  SeedSoThat({Above(0, 1000, 930), Above(0, 10, 5), AtMost(0, 1000, 700), Above(0, 100, 50)});

  sb::UpdateTanks(g);

  EXPECT_EQ(t->xv, 1.1f * 2);
  EXPECT_EQ(t->yv, -2.2f);
  EXPECT_EQ(g.req[sb::kSndTank], 1);
  EXPECT_EQ(Draws(), 4u);
}

// --- shells ---

struct Shells : Quarks {};

TEST_F(Shells, LevelWithThePlayerAnAxisGetsFullSpeedWithARandomSign) {
  SeedSoThat({AtMost(0, 10, 5)});
  sb::CreateBall(g, 500, 240);
  sb::kxball* b = g.kxball_list.Last();
  EXPECT_EQ(b->xv, -3.45f * 2);
  EXPECT_EQ(b->yv, 3.45f * 2);
  EXPECT_EQ(Draws(), 1u);

  SeedSoThat({Above(0, 10, 5)});
  sb::CreateBall(g, 500, 240);
  EXPECT_EQ(g.kxball_list.Last()->yv, -3.45f * 2);
}

TEST_F(Shells, OnThePlayerEachAxisDrawsItsOwnSign) {
  SeedSoThat({Above(0, 10, 5), AtMost(0, 10, 5)});
  sb::CreateBall(g, 320, 240);
  sb::kxball* b = g.kxball_list.Last();
  EXPECT_EQ(b->xv, -3.45f * 2);
  EXPECT_EQ(b->yv, 3.45f * 2);
  EXPECT_EQ(Draws(), 2u);
}

TEST_F(Shells, AShellBouncesAndLivesExactly100Updates) {
  sb::CreateBall(g, 605, 100);
  sb::kxball* b = g.kxball_list.First();
  b->xv = 6.9f;
  b->yv = 0;

  sb::UpdateBalls(g);
  EXPECT_EQ(b->sx, 605.0f);
  EXPECT_EQ(b->xv, -6.9f);

  for (int i = 1; i < 99; ++i) sb::UpdateBalls(g);
  ASSERT_EQ(Count(g.kxball_list), 1);
  sb::UpdateBalls(g);
  EXPECT_EQ(Count(g.kxball_list), 0);
}

}  // namespace
