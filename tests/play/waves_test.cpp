// The wave table, random placement and wave set-up after a start and a lost life.
#include "play/waves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "support/world.h"

namespace {

using sbt::Count;
using sbt::World;

// Loads the real table into a fresh world's wave list (the fixture's own empty record dropped).
void LoadTable(World& w) {
  w.g.kxwave_list.Clear();
  sb::LoadWaves(w.g);
}

std::vector<sb::kxwave*> Records(World& w) {
  std::vector<sb::kxwave*> v;
  for (sb::kxwave* r : w.g.kxwave_list.Walk()) v.push_back(r);
  return v;
}

TEST(LoadWaves, MakesExactlyOneHundredRecordsInTableOrder) {
  World w;
  LoadTable(w);
  const auto recs = Records(w);
  ASSERT_EQ(recs.size(), 100u);
  const sb::kxwave& first = *recs.front();
  EXPECT_EQ(first.humans, 2);
  EXPECT_EQ(first.htype, 0);
  EXPECT_EQ(first.grunts, 15);
  EXPECT_EQ(first.hulks, 0);
  EXPECT_EQ(first.electrodes, 5);
  EXPECT_EQ(first.etype, 1);  // every electrode of style 0
  EXPECT_EQ(first.borderstyle, 1);
  EXPECT_EQ(first.grunts_remaining, 15);
  EXPECT_EQ(first.electrodes_remaining, 5);
  EXPECT_EQ(first.humans_remaining, 0);  // set by CreateWave, not here
  const sb::kxwave& last = *recs.back();
  EXPECT_EQ(last.humans, 20);
  EXPECT_EQ(last.grunts, 55);
  EXPECT_EQ(last.hulks, 15);
  EXPECT_EQ(last.brains, 25);
  EXPECT_EQ(last.spheroids, 4);
  EXPECT_EQ(last.quarks, 4);
  EXPECT_EQ(last.quarks_remaining, 4);
  EXPECT_EQ(last.etype, 10);
  const sb::kxwave& fiftieth = *recs[49];
  EXPECT_EQ(fiftieth.htype, 2);
  EXPECT_EQ(fiftieth.brains_remaining, 22);
  EXPECT_EQ(fiftieth.borderstyle, 0);
  // The current wave is left at the last record loaded.
  EXPECT_EQ(w.g.wave, recs.back());
}

// --- random spots ---

TEST(RandomSpot, NeverLandsInTheCentreBoxButMayTouchItsEdges) {
  World w;
  w.P->SeedRandom(77);
  bool edge_x = false, edge_y = false;
  for (int i = 0; i < 40000; ++i) {
    sb::RandomSpot(w.g, 0);
    const int x = w.g.spotx, y = w.g.spoty;
    ASSERT_FALSE(280 < x && x < 360 && 200 < y && y < 280) << x << "," << y;
    ASSERT_GE(x, 40);
    ASSERT_LT(x, 588);
    ASSERT_GE(y, 40);
    ASSERT_LT(y, 428);
    if (x == 280 && y > 200 && y < 280) edge_x = true;
    if (y == 200 && x > 280 && x < 360) edge_y = true;
  }
  EXPECT_TRUE(edge_x);
  EXPECT_TRUE(edge_y);
}

TEST(RandomSpot, EdgeKindsUseTheirEdgesAndDrawInTheirOwnOrder) {
  World w;
  w.P->SeedRandom(5);
  sb::Random ref;
  ref.Seed(5);
  for (int i = 0; i < 200; ++i) {
    sb::RandomSpot(w.g, 1);  // quarks: x first, then top or bottom
    const int x = sb::Trunc(ref.Real(40, 588));
    const int y = ref.Real(0, 10) > 5 ? 40 : 428;
    ASSERT_EQ(w.g.spotx, x);
    ASSERT_EQ(w.g.spoty, y);
    sb::RandomSpot(w.g, 2);  // spheroids: left or right first, then y
    const int x2 = ref.Real(0, 10) > 5 ? 40 : 588;
    const int y2 = sb::Trunc(ref.Real(40, 428));
    ASSERT_EQ(w.g.spotx, x2);
    ASSERT_EQ(w.g.spoty, y2);
  }
}

// --- creating a wave ---

TEST(CreateWave, HumanKindsTakeTurnsForTypeZeroAndAreFixedOtherwise) {
  World w;
  w.g.wave->humans = 7;
  w.g.wave->htype = 0;
  sb::CreateWave(w.g, w.g.wave);
  std::vector<int> kinds, cells;
  for (sb::kxhuman* h : w.g.kxhuman_list.Walk()) {
    kinds.push_back(h->frame);
    cells.push_back(h->animframe);
    EXPECT_EQ(h->animdir, 1);
  }
  EXPECT_EQ(kinds, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
  EXPECT_EQ(cells, (std::vector<int>{0, 12, 24, 0, 12, 24, 0}));
  EXPECT_EQ(w.g.wave->humans_remaining, 7);
  EXPECT_EQ(w.g.req[sb::kSndNewwave], 1);

  World w2;
  w2.g.wave->humans = 4;
  w2.g.wave->htype = 3;
  sb::CreateWave(w2.g, w2.g.wave);
  for (sb::kxhuman* h : w2.g.kxhuman_list.Walk()) EXPECT_EQ(h->frame, 2);
}

TEST(CreateWave, ElectrodeTypeTenGivesStyleNineWhichTheRandomChoiceNeverMakes) {
  World w;
  w.g.wave->electrodes = 12;
  w.g.wave->etype = 10;
  sb::CreateWave(w.g, w.g.wave);
  ASSERT_EQ(w.g.kxelectrode_list.Count(), 12u);
  for (sb::kxelectrode* e : w.g.kxelectrode_list.Walk()) {
    EXPECT_EQ(e->frame, 9);
    EXPECT_EQ(e->animframe, 9);
  }
  World r;
  r.g.wave->electrodes = 300;
  r.g.wave->etype = 0;
  sb::CreateWave(r.g, r.g.wave);
  bool seen[10] = {};
  for (sb::kxelectrode* e : r.g.kxelectrode_list.Walk()) {
    ASSERT_GE(e->frame, 0);
    ASSERT_LE(e->frame, 8);
    seen[e->frame] = true;
  }
  for (int s = 0; s <= 8; ++s) EXPECT_TRUE(seen[s]) << s;
}

// Replays every draw of a wave with one of each kind against a second
// generator: the order of draws is what makes a seed replay a game.
TEST(CreateWave, DrawsRandomNumbersInTheFixedOrderOfKindsAndFields) {
  World w;
  w.g.difficulty = 4;
  sb::ResetBehaviour(w.g);
  sb::kxwave& wv = *w.g.wave;
  wv.humans = wv.grunts = wv.hulks = wv.brains = wv.spheroids = wv.quarks = wv.electrodes = 1;
  wv.etype = 0;
  w.P->SeedRandom(4242);
  sb::CreateWave(w.g, &wv);

  sb::Random ref;
  ref.Seed(4242);
  auto spot0 = [&](int& x, int& y) {
    do {
      x = sb::Trunc(ref.Real(40, 588));
      y = sb::Trunc(ref.Real(40, 428));
    } while (280 < x && x < 360 && 200 < y && y < 280);
  };
  auto orth = [&] { return 2 * sb::Trunc(ref.Real(0, 4)); };
  const float* dx = w.g.dirx;
  const float* dy = w.g.diry;
  const sb::Behaviour& b = w.g.beh;
  int x, y, d;
  // A record placed at (x, y) and moving in direction d at twice `speed`.
  auto expect_moving = [&](const auto& r, float speed) {
    EXPECT_EQ(r.sx, x);
    EXPECT_EQ(r.sy, y);
    EXPECT_FLOAT_EQ(r.xv, dx[d] * speed * 2);
    EXPECT_FLOAT_EQ(r.yv, dy[d] * speed * 2);
  };

  const sb::kxhuman& h = *w.g.kxhuman_list.First();
  spot0(x, y);
  d = orth();
  expect_moving(h, b.humanspeed);

  const sb::kxgrunt& gr = *w.g.kxgrunt_list.First();
  spot0(x, y);
  d = orth();
  expect_moving(gr, b.gruntspeed);
  EXPECT_EQ(gr.animframe, 1);

  const sb::kxhulk& hu = *w.g.kxhulk_list.First();
  spot0(x, y);
  d = orth();
  EXPECT_EQ(hu.sx, x);
  EXPECT_FLOAT_EQ(hu.yv, dy[d] * b.hulkspeed * 2);

  const sb::kxbrain& br = *w.g.kxbrain_list.First();
  spot0(x, y);
  EXPECT_EQ(br.sx, x);
  EXPECT_EQ(br.sy, y);
  EXPECT_EQ(br.xv, 0);
  EXPECT_EQ(br.cruisedelay, sb::Trunc(ref.Real(0, 20) + b.cruisefirst));

  const sb::kxspheroid& sp = *w.g.kxspheroid_list.First();
  x = ref.Real(0, 10) > 5 ? 40 : 588;
  y = sb::Trunc(ref.Real(40, 428));
  d = orth();
  expect_moving(sp, b.spheroidspeed);
  EXPECT_EQ(sp.enforcerdelay, sb::Trunc(ref.Real(0, 20) + b.enforcerfirst));
  EXPECT_EQ(sp.animframe, 3);

  const sb::kxquark& q = *w.g.kxquark_list.First();
  x = sb::Trunc(ref.Real(40, 588));
  y = ref.Real(0, 10) > 5 ? 40 : 428;
  d = sb::Trunc(ref.Real(0, 8));
  expect_moving(q, b.quarkspeed);
  EXPECT_EQ(q.tankdelay, sb::Trunc(ref.Real(0, 20) + b.tankfirst));

  const sb::kxelectrode& e = *w.g.kxelectrode_list.First();
  spot0(x, y);
  EXPECT_EQ(e.sx, x);
  EXPECT_EQ(e.sy, y);
  EXPECT_EQ(e.frame, sb::Trunc(ref.Real(0, 9)));

  EXPECT_EQ(w.P->Rng().State(), ref.State());
}

// --- restarting after a lost life ---

TEST(RestartWave, TwentyFiveLeftoverTanksComeBackAsTwenty) {
  World w;
  w.g.wave->tanks_remaining = 25;
  sb::RestartWave(w.g, w.g.wave);
  EXPECT_EQ(w.g.kxtank_list.Count(), 20u);
  EXPECT_EQ(w.g.wave->tanks_remaining, 20);
  for (sb::kxtank* t : w.g.kxtank_list.Walk()) {
    EXPECT_EQ(t->animframe, 1);
    EXPECT_EQ(t->birth, 0);
    const float speed = std::fabs(t->xv) + std::fabs(t->yv);
    EXPECT_GT(speed, 0.0f);
  }
  EXPECT_EQ(w.g.req[sb::kSndNewwave], 0);  // no label, no sound on a restart
}

TEST(RestartWave, LooseEnforcersBringBackOneSpheroidWhenAllWereShot) {
  struct Case {
    const char* what;
    int killed, enforcers, spheroids_after;
  } cases[] = {
      {"all shot, enforcers loose", 3, 4, 1},
      {"all shot, no enforcers", 3, 0, 0},
      {"some alive, enforcers loose", 1, 2, 2},  // no extra one for the enforcers
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    World w;
    sb::kxwave& wv = *w.g.wave;
    wv.spheroids = 3;
    wv.spheroids_killed = c.killed;
    wv.enforcers_remaining = c.enforcers;
    sb::RestartWave(w.g, &wv);
    EXPECT_EQ(Count(w.g.kxspheroid_list), c.spheroids_after);
    EXPECT_EQ(wv.spheroids_remaining, c.spheroids_after);
    EXPECT_EQ(wv.enforcers_remaining, 0);
  }
}

TEST(RestartWave, ReplacesWhatIsLeftAndEveryHulkAndKeepsHumanKinds) {
  World w;
  sb::kxwave& wv = *w.g.wave;
  wv.grunts = 10;
  wv.grunts_remaining = 3;
  wv.hulks = 4;
  wv.brains = 5;
  wv.brains_remaining = 2;
  wv.electrodes_remaining = 6;
  wv.etype = 4;
  wv.humans_remaining = 2;
  sb::kxhuman* a = w.g.kxhuman_list.New();
  a->frame = 2;
  a->sx = 300;
  a->sy = 240;
  a->animstep = 2;
  a->animdir = -1;
  sb::RestartWave(w.g, &wv);
  EXPECT_EQ(w.g.kxgrunt_list.Count(), 3u);
  for (sb::kxgrunt* g : w.g.kxgrunt_list.Walk()) EXPECT_EQ(g->animframe, 0);
  EXPECT_EQ(w.g.kxhulk_list.Count(), 4u);
  EXPECT_EQ(w.g.kxbrain_list.Count(), 2u);
  EXPECT_EQ(w.g.kxelectrode_list.Count(), 6u);
  for (sb::kxelectrode* e : w.g.kxelectrode_list.Walk()) EXPECT_EQ(e->frame, 3);
  EXPECT_EQ(a->frame, 2);
  EXPECT_EQ(a->animframe, 24);
  EXPECT_EQ(a->animstep, 0);
  EXPECT_EQ(a->animdir, 1);
  EXPECT_FALSE(280 < a->sx && a->sx < 360 && 200 < a->sy && a->sy < 280);
  EXPECT_EQ(wv.grunts_remaining, 3);
  EXPECT_EQ(wv.humans_remaining, 2);
}

}  // namespace
