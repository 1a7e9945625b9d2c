// The collision pass: boxes, marks and the consequences of its fixed order.
#include "play/collisions.h"

#include <gtest/gtest.h>

#include "robots/grunts.h"
#include "robots/humans.h"
#include "support/world.h"

namespace {

using sbt::At;
using sbt::World;

// A world whose player stays far away unless a test moves it.
struct Parked : World {
  Parked() { PlacePlayer(560, 40); }
};

sb::kxshot* Shot(World& w, int x, int y, int frame) {
  sb::kxshot* s = At(w.g.kxshot_list, x, y);
  s->frame = frame;
  w.g.numshots += 1;
  return s;
}

TEST(Overlap, IsInclusiveAndSymmetric) {
  EXPECT_EQ(sb::Overlap(0, 0, 10, 10, 10, 10, 5, 5), 1);  // corners touch
  EXPECT_EQ(sb::Overlap(10, 10, 5, 5, 0, 0, 10, 10), 1);
  EXPECT_EQ(sb::Overlap(0, 0, 10, 10, 11, 0, 5, 5), 0);
  EXPECT_EQ(sb::Overlap(0, 0, 10, 10, 0, 11, 5, 5), 0);
  EXPECT_EQ(sb::Overlap(0, 0, 10, 10, -5, 10, 5, 5), 1);
}

TEST(ShotsAgainstGrunts, TwoShotsInOneGruntAreBothSpentAndItScoresOnce) {
  Parked w;
  sb::kxgrunt* g = At(w.g.kxgrunt_list, 100.0f, 200.0f);
  Shot(w, 100, 200, 1);  // flying up
  Shot(w, 110, 210, 5);  // flying right: the last shot's code stays
  sb::CheckCollisions(w.g);
  EXPECT_TRUE(w.g.kxshot_list.Empty());
  EXPECT_EQ(w.g.numshots, 0);
  EXPECT_EQ(g->hit, 6);

  w.g.wave->grunts_remaining = 1;
  sb::UpdateGrunts(w.g);
  EXPECT_EQ(w.g.plyr->score, 100);
  EXPECT_EQ(w.g.wave->grunts_remaining, 0);
  EXPECT_TRUE(w.g.kxgrunt_list.Empty());
  EXPECT_EQ(w.g.kxbit_list.Count(), 12u);
  EXPECT_EQ(w.g.req[sb::kSndGrunthit], 1);
}

TEST(ShotsAgainstGrunts, TheShotBoxIsInsetByOnePixel) {
  Parked w;
  sb::kxgrunt* g = At(w.g.kxgrunt_list, 100.0f, 200.0f);
  Shot(w, 93, 200, 1);  // its box 94..100 touches the grunt's left edge
  Shot(w, 80, 200, 1);  // far left: untouched
  sb::CheckCollisions(w.g);
  EXPECT_EQ(g->hit, 2);
  EXPECT_EQ(w.g.kxshot_list.Count(), 1u);
  EXPECT_EQ(w.g.numshots, 1);
}

TEST(CollisionOrder, AShotSpentOnAGruntDoesNotFreezeTheHulkBehindIt) {
  Parked w;
  sb::kxgrunt* g = At(w.g.kxgrunt_list, 100.0f, 100.0f);
  sb::kxhulk* h = At(w.g.kxhulk_list, 100.0f, 100.0f);
  Shot(w, 104, 104, 3);
  sb::CheckCollisions(w.g);
  EXPECT_EQ(g->hit, 4);
  EXPECT_EQ(h->hit, 0);
}

TEST(CollisionOrder, HulksUseTheSmallShotBoxAndFreezeForThree) {
  Parked w;
  sb::kxhulk* h = At(w.g.kxhulk_list, 100.0f, 100.0f);
  Shot(w, 93, 100, 5);  // the 6x6 box would touch; the 4x4 box (95..99) does not
  sb::CheckCollisions(w.g);
  EXPECT_EQ(h->hit, 0);
  EXPECT_EQ(w.g.kxshot_list.Count(), 1u);
  w.g.kxshot_list.First()->sx = 94;  // 96..100 touches
  sb::CheckCollisions(w.g);
  EXPECT_EQ(h->hit, 3);
  EXPECT_TRUE(w.g.kxshot_list.Empty());
}

TEST(CollisionOrder, RescueBeatsAHulkAndABrainInTheSamePass) {
  World w;
  w.PlacePlayer(200, 200);
  sb::kxhuman* man = At(w.g.kxhuman_list, 205.0f, 205.0f);
  At(w.g.kxhulk_list, 215.0f, 215.0f);
  At(w.g.kxbrain_list, 210.0f, 210.0f);
  sb::CheckCollisions(w.g);
  EXPECT_EQ(man->rescued, 1);
  EXPECT_EQ(man->hit, 0);
  EXPECT_EQ(man->prog, 0);
}

TEST(CollisionOrder, ABrainAndAHulkTogetherMarkBothAndTheSkullWins) {
  Parked w;
  sb::kxhuman* man = At(w.g.kxhuman_list, 205.0f, 205.0f);
  sb::kxbrain* b = At(w.g.kxbrain_list, 210.0f, 210.0f);
  At(w.g.kxhulk_list, 215.0f, 215.0f);
  sb::CheckCollisions(w.g);
  EXPECT_EQ(man->prog, 1);
  EXPECT_EQ(man->hit, 1);
  EXPECT_EQ(b->prog, 10);
  w.g.wave->humans_remaining = 1;
  sb::UpdateHumans(w.g);
  EXPECT_EQ(w.g.kxdeath_list.Count(), 1u);
  EXPECT_TRUE(w.g.kxprog_list.Empty());
  EXPECT_EQ(w.g.wave->humans_remaining, 0);
}

TEST(CollisionOrder, AHumanAlreadyMarkedIsNotConverted) {
  Parked w;
  sb::kxhuman* killed = At(w.g.kxhuman_list, 205.0f, 205.0f);
  killed->hit = 1;
  sb::kxhuman* saved = At(w.g.kxhuman_list, 205.0f, 205.0f);
  saved->rescued = 1;
  sb::kxbrain* b = At(w.g.kxbrain_list, 210.0f, 210.0f);
  sb::CheckCollisions(w.g);
  EXPECT_EQ(killed->prog, 0);
  EXPECT_EQ(saved->prog, 0);
  EXPECT_EQ(b->prog, 0);
}

TEST(BrainReach, TheHumanBoxIsOffsetByTwoBeforeTruncation) {
  Parked w;
  // Brain reach (100..116, 100..130); human box from trunc(sx + 2).
  sb::kxbrain* b = At(w.g.kxbrain_list, 100.0f, 100.0f);
  sb::kxhuman* near = At(w.g.kxhuman_list, 114.9f, 100.0f);  // 116.9 -> 116: touches
  sb::kxhuman* far = At(w.g.kxhuman_list, 115.0f, 100.0f);   // 117: misses
  sb::CheckCollisions(w.g);
  EXPECT_EQ(near->prog, 1);
  EXPECT_EQ(far->prog, 0);
  EXPECT_EQ(b->prog, 10);
}

TEST(Electrodes, DoubleWidthDesignsReachAlongAllThirtySixPixels) {
  for (int design : {7, 8}) {
    Parked w;
    sb::kxelectrode* e = At(w.g.kxelectrode_list, 100, 100);
    e->frame = design;
    sb::kxgrunt* g = At(w.g.kxgrunt_list, 130.0f, 100.0f);
    sb::CheckCollisions(w.g);
    const int expect = design > 7 ? 1 : 0;
    EXPECT_EQ(g->hit, expect) << design;
    EXPECT_EQ(e->hit, expect) << design;
  }
  World p;
  sb::kxelectrode* e = At(p.g.kxelectrode_list, 100, 100);
  e->frame = 9;
  p.PlacePlayer(136, 118);  // corner to corner
  sb::CheckCollisions(p.g);
  EXPECT_EQ(p.g.plyr->dead, 1);
}

TEST(Electrodes, AGruntMeetsThemWithItsTallBody) {
  for (float y : {74.0f, 73.0f}) {
    Parked w;
    sb::kxelectrode* e = At(w.g.kxelectrode_list, 100, 100);
    sb::kxgrunt* g = At(w.g.kxgrunt_list, 100.0f, y);  // 26 tall against electrodes
    sb::CheckCollisions(w.g);
    EXPECT_EQ(g->hit, y == 74.0f ? 1 : 0) << y;
    EXPECT_EQ(e->hit, g->hit) << y;
  }
}

TEST(Electrodes, ShotAndTrampledElectrodesAreMarked) {
  Parked w;
  sb::kxelectrode* shot = At(w.g.kxelectrode_list, 300, 100);
  Shot(w, 300, 100, 7);
  sb::kxelectrode* trodden = At(w.g.kxelectrode_list, 100, 300);
  sb::kxhulk* h = At(w.g.kxhulk_list, 110.0f, 290.0f);
  sb::CheckCollisions(w.g);
  EXPECT_EQ(shot->hit, 8);
  EXPECT_EQ(trodden->hit, 1);
  EXPECT_EQ(h->hit, 1);
}

TEST(PulsingBoxes, FollowTheAnimationPhase) {
  // a = 0: a 1x1 box at (sx + 12, sy + 12) against shots.
  Parked w;
  sb::kxspheroid* s = At(w.g.kxspheroid_list, 100.0f, 100.0f);
  s->animframe = 0;
  Shot(w, 104, 104, 1);  // box 105..111 misses 112
  sb::CheckCollisions(w.g);
  EXPECT_EQ(s->hit, 0);
  w.g.kxshot_list.First()->sx = 105;  // 106..112 touches
  w.g.kxshot_list.First()->sy = 105;
  sb::CheckCollisions(w.g);
  EXPECT_EQ(s->hit, 2);

  // a = 6: against the player the box is (sx, sy, 13, 13), not the 25-pixel shot box.
  World p;
  sb::kxquark* q = At(p.g.kxquark_list, 100.0f, 100.0f);
  q->animframe = 6;
  p.PlacePlayer(114, 100);
  sb::CheckCollisions(p.g);
  EXPECT_EQ(p.g.plyr->dead, 0);
  p.g.plyr->sx = 113;
  sb::CheckCollisions(p.g);
  EXPECT_EQ(p.g.plyr->dead, 1);
}

TEST(PlayerDeath, EveryDeadlyKindMarksThePlayer) {
  auto touches = [](auto add) {
    World w;
    w.PlacePlayer(200, 200);
    add(w);
    sb::CheckCollisions(w.g);
    return w.g.plyr->dead;
  };
  EXPECT_EQ(touches([](World& w) { At(w.g.kxgrunt_list, 190.0f, 180.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxprog_list, 210.0f, 210.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxcruise_list, 214.0f, 224.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxenforcer_list, 182.0f, 178.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxtank_list, 174.0f, 168.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxball_list, 190.0f, 190.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxplus_list, 186.0f, 186.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxhulk_list, 174.0f, 174.0f); }), 1);
  // A grunt's body reaches 26 pixels down against the player, only 18 against shots.
  EXPECT_EQ(touches([](World& w) { At(w.g.kxgrunt_list, 200.0f, 174.0f); }), 1);
  EXPECT_EQ(touches([](World& w) { At(w.g.kxgrunt_list, 200.0f, 173.0f); }), 0);
  // Humans, skulls, values and fragments are harmless.
  EXPECT_EQ(touches([](World& w) {
              At(w.g.kxbit_list, 200.0f, 200.0f);
              w.g.kxdeath_list.New()->sx = 200;
            }),
            0);
}

}  // namespace
