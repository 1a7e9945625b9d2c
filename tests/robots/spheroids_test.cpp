// Spheroids release enforcers and may leave; enforcers grow, chase and fire
// sparks; sparks slow down and slide along walls.
#include "robots/spheroids.h"

#include <cmath>

#include "pulsers.h"

namespace {

using sbt::Above;
using sbt::Any;
using sbt::AtMost;
using sbt::Count;

struct Spheroids : sbt::WorldTest {
  sb::kxspheroid* AddSpheroid(float x, float y) {
    return sbt::AddPulser<sbt::SpheroidKind>(g, x, y);
  }
};

// --- releasing (leaving: leaving_test.cpp) ---

TEST_F(Spheroids, AnExpiringCountdownReleasesAnEnforcerSeenAtCell4ThisFrame) {
  sb::kxspheroid* s = AddSpheroid(200.7f, 150.2f);
  s->enforcerdelay = 1;
  g.beh.enforcergap = 54.9f;
  SeedSoThat({Any(0, 20), AtMost(0, 1000, 980)});

  sb::UpdateSpheroids(g);
  sb::UpdateEnforcers(g);

  ASSERT_EQ(Count(g.kxenforcer_list), 1);
  sb::kxenforcer* e = g.kxenforcer_list.First();
  EXPECT_EQ(e->sx, 200.0f);
  EXPECT_EQ(e->sy, 150.0f);
  EXPECT_EQ(e->animframe, 4);
  EXPECT_EQ(g.wave->enforcers_remaining, 1);
  EXPECT_EQ(s->enforcerdelay, 54);
  EXPECT_EQ(s->numenforcers, 1);
}

TEST_F(Spheroids, EnforcersHaveNoLimit) {
  for (int i = 0; i < 40; ++i) g.kxenforcer_list.New()->birth = 7;
  g.wave->enforcers_remaining = 40;
  sb::kxspheroid* s = AddSpheroid(200, 150);
  s->enforcerdelay = 0;
  SeedSoThat({Any(0, 20), AtMost(0, 1000, 980)});

  sb::UpdateSpheroids(g);

  EXPECT_EQ(Count(g.kxenforcer_list), 41);
  EXPECT_EQ(g.wave->enforcers_remaining, 41);
}

// --- movement ---

TEST_F(Spheroids, OneSpheroidsRandomTurnTurnsEveryLaterSpheroid) {
  AddSpheroid(100, 100);
  sb::kxspheroid* second = AddSpheroid(300, 300);
  second->xv = 0;
  second->yv = 0;
  // first: turn, direction 1 (up-right); second: no turn of its own, direction 4 (down)
  SeedSoThat({Above(0, 1000, 980), sbt::Direction(1), AtMost(0, 1000, 980), sbt::Direction(4)});

  sb::UpdateSpheroids(g);

  EXPECT_EQ(second->xv, 0.0f);
  EXPECT_EQ(second->yv, 1.1f * 2);
  EXPECT_EQ(g.kxspheroid_list.First()->xv, 1.1f * 2);
  EXPECT_EQ(g.kxspheroid_list.First()->yv, -1.1f * 2);
}

// --- enforcers ---

struct Enforcers : sbt::WorldTest {};

TEST_F(Enforcers, ANewEnforcerAimsAtThePlayerButGrowsSevenFramesFirst) {
  g.plyr->sx = 300;
  g.plyr->sy = 100;
  SeedSoThat({{0, 20, [](double v) { return v >= 7 && v < 8; }}});
  sb::CreateEnforcer(g, 100, 100);
  sb::kxenforcer* e = g.kxenforcer_list.First();
  EXPECT_EQ(e->xv, 1.2f * 2);
  EXPECT_EQ(e->yv, 0.0f);
  EXPECT_EQ(e->plusdelay, 32);
  EXPECT_EQ(e->birth, 7);

  sbt::ExpectGrowth(g, e, sb::UpdateEnforcers, 100.0f);
  EXPECT_EQ(Draws(), 1u);  // nothing drawn while growing

  SeedSoThat({AtMost(0, 1000, 870)});
  sb::UpdateEnforcers(g);
  EXPECT_EQ(e->sx, 100.0f + 1.2f * 2);
  EXPECT_EQ(e->plusdelay, 31);
}

TEST_F(Enforcers, ATurnMayDodgeAwayOnOneAxis) {
  sb::CreateEnforcer(g, 100, 100);
  sb::kxenforcer* e = g.kxenforcer_list.First();
  e->birth = 0;
  e->plusdelay = 100;
  SeedSoThat({Above(0, 1000, 870), Above(0, 1000, 700), Above(0, 10, 5)});

  sb::UpdateEnforcers(g);

  EXPECT_EQ(e->xv, 1.2f * 2);
  EXPECT_EQ(e->yv, -1.2f * 2);  // dodging up, away from the player below

  SeedSoThat({Above(0, 1000, 870), Above(0, 1000, 700), AtMost(0, 10, 5)});
  sb::UpdateEnforcers(g);
  EXPECT_EQ(e->xv, -1.2f * 2);
  EXPECT_EQ(e->yv, 1.2f * 2);
}

// --- sparks ---

struct Sparks : sbt::WorldTest {
  sb::kxplus* AddSpark(float x, float y, float xv, float yv) {
    sb::kxplus* p = sbt::At(g.kxplus_list, x, y);
    p->xv = xv;
    p->yv = yv;
    p->dur = 75;
    p->animdir = 1;
    return p;
  }
};

TEST_F(Sparks, ASparkIsAimedStraightAtThePlayer) {
  sb::CreatePlus(g, 20, 240);
  sb::CreatePlus(g, 20, 640);
  sb::kxplus* level = g.kxplus_list.First();
  sb::kxplus* below = g.kxplus_list.Last();
  EXPECT_EQ(level->xv, 4.4f * 2);
  EXPECT_EQ(level->yv, 0.0f);
  EXPECT_NEAR(std::hypot(below->xv, below->yv), 8.8, 1e-5);
  EXPECT_NEAR(below->xv / below->yv, 300.0 / -400.0, 1e-6);
  EXPECT_EQ(level->dur, 75);
  EXPECT_EQ(g.req[sb::kSndPlusborn], 1);
}

TEST_F(Sparks, ASparkFiredWithinAPixelOfThePlayerSitsFor75Frames) {
  sb::CreatePlus(g, 321, 240);
  sb::kxplus* p = g.kxplus_list.First();
  EXPECT_EQ(p->xv, 0.0f);
  EXPECT_EQ(p->yv, 0.0f);

  for (int i = 0; i < 74; ++i) sb::UpdatePluses(g);
  ASSERT_EQ(Count(g.kxplus_list), 1);
  EXPECT_EQ(p->sx, 321.0f);
  EXPECT_EQ(p->sy, 240.0f);
  sb::UpdatePluses(g);
  EXPECT_EQ(Count(g.kxplus_list), 0);
  EXPECT_EQ(Draws(), 0u);
}

TEST_F(Sparks, AtASideWallItSlidesTowardThePlayersRowAtTwoThirdsSpeed) {
  sb::kxplus* p = AddSpark(600, 100, 6, 3);  // player below
  SeedSoThat({AtMost(0, 100, 80)});

  sb::UpdatePluses(g);

  EXPECT_EQ(p->sx, 600.0f);
  EXPECT_EQ(p->sy, 103.0f);
  EXPECT_EQ(p->xv, 0.0f);
  EXPECT_EQ(p->yv, 2.0f * 0.97f);
}

TEST_F(Sparks, InACornerTheFloorOrCeilingWins) {
  sb::kxplus* p = AddSpark(604, 444, 6, 6);
  SeedSoThat({AtMost(0, 100, 80)});

  sb::UpdatePluses(g);

  EXPECT_EQ(p->yv, 0.0f);
  EXPECT_EQ(p->xv, -4.0f * 0.97f);
}

TEST_F(Sparks, SometimesItStopsDeadAtTheWall) {
  sb::kxplus* p = AddSpark(600, 100, 6, 3);
  SeedSoThat({Above(0, 100, 80)});

  sb::UpdatePluses(g);

  EXPECT_EQ(p->xv, 0.0f);
  EXPECT_EQ(p->yv, 0.0f);
}

}  // namespace
