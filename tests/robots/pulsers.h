// Spheroids and quarks share a life cycle: they pulse, count down to releasing
// a child (an enforcer, a tank) and, after the third, may leave. A kind names
// its list, counters, child list and turn threshold.
#pragma once

#include "robots/quarks.h"
#include "robots/spheroids.h"
#include "support/world.h"

namespace sbt {

struct SpheroidKind {
  using Rec = sb::kxspheroid;
  static constexpr double kKeepCourse = 980;  // a turn draw above this turns
  static constexpr int32_t kSeed = 99;
  static sb::TList<Rec>& List(sb::Game& g) { return g.kxspheroid_list; }
  static int Children(sb::Game& g) { return Count(g.kxenforcer_list); }
  static int32_t& Remaining(sb::Game& g) { return g.wave->spheroids_remaining; }
  static int32_t& Released(Rec& r) { return r.numenforcers; }
  static int32_t& Delay(Rec& r) { return r.enforcerdelay; }
  static void Update(sb::Game& g) { sb::UpdateSpheroids(g); }
};

struct QuarkKind {
  using Rec = sb::kxquark;
  static constexpr double kKeepCourse = 990;
  static constexpr int32_t kSeed = 42;
  static sb::TList<Rec>& List(sb::Game& g) { return g.kxquark_list; }
  static int Children(sb::Game& g) { return Count(g.kxtank_list); }
  static int32_t& Remaining(sb::Game& g) { return g.wave->quarks_remaining; }
  static int32_t& Released(Rec& r) { return r.numtanks; }
  static int32_t& Delay(Rec& r) { return r.tankdelay; }
  static void Update(sb::Game& g) { sb::UpdateQuarks(g); }
};

// A pulsing record at (x, y), its countdown far off, counted in the wave.
template <class K>
typename K::Rec* AddPulser(sb::Game& g, float x, float y) {
  typename K::Rec* r = At(K::List(g), x, y);
  K::Delay(*r) = 1000;
  r->animframe = 3;
  r->animdir = 1;
  K::Remaining(g) += 1;
  return r;
}

// The next direction draw (0..7) picks `d`.
inline Draw Direction(int d) {
  return {0, 8, [d](double v) { return int(v) == d; }};
}

// A newborn child stands at x through cells 4, 4, 5, 5, 6, 6, 7, one an update.
template <class R>
void ExpectGrowth(sb::Game& g, R* r, void (*update)(sb::Game&), float x) {
  int n = 0;
  for (int cell : {4, 4, 5, 5, 6, 6, 7}) {
    update(g);
    EXPECT_EQ(r->animframe, cell) << "update " << ++n;
    EXPECT_EQ(r->sx, x) << "update " << n;
  }
}

}  // namespace sbt
