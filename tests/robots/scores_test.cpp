// What each kind is worth when shot, the fragments it leaves and the sound it
// raises: one table, one frame each.
#include <functional>
#include <string>

#include "robots/brains.h"
#include "robots/quarks.h"
#include "robots/spheroids.h"
#include "support/world.h"

namespace {

struct Kill {
  std::string kind;
  std::function<void(sb::Game&)> place;  // one record at (100.7, 200.2), hit by an upward shot
  void (*update)(sb::Game&);
  int points;
  int bit_row;                   // -1: no fragments
  int ox, oy;                    // fragment origin
  int sound;                     // -1: none
  int32_t sb::kxwave::*counter;  // lowered by one, or null
};

template <class T>
T* Place(sb::TList<T>& list) {
  T* r = sbt::At(list, 100.7f, 200.2f);
  r->hit = 2;
  return r;
}

const Kill kKills[] = {
    {"brain", [](sb::Game& g) { Place(g.kxbrain_list); }, sb::UpdateBrains, 500, 8, 113, 216,
     sb::kSndBrainhit, &sb::kxwave::brains_remaining},
    {"prog", [](sb::Game& g) { Place(g.kxprog_list); }, sb::UpdateProgs, 100, 7, 108, 216,
     sb::kSndProghit, nullptr},
    {"cruise", [](sb::Game& g) { Place(g.kxcruise_list); }, sb::UpdateCruises, 25, -1, 0, 0, -1,
     nullptr},
    {"spheroid", [](sb::Game& g) { Place(g.kxspheroid_list); }, sb::UpdateSpheroids, 2000, 1, 113,
     213, sb::kSndSpheroidhit, &sb::kxwave::spheroids_remaining},
    {"enforcer", [](sb::Game& g) { Place(g.kxenforcer_list); }, sb::UpdateEnforcers, 150, 2, 109,
     222, sb::kSndEnforcerhit, &sb::kxwave::enforcers_remaining},
    {"spark", [](sb::Game& g) { Place(g.kxplus_list); }, sb::UpdatePluses, 25, -1, 0, 0, -1,
     nullptr},
    {"quark", [](sb::Game& g) { Place(g.kxquark_list); }, sb::UpdateQuarks, 2000, 4, 113, 213,
     sb::kSndQuarkhit, &sb::kxwave::quarks_remaining},
    {"tank", [](sb::Game& g) { Place(g.kxtank_list); }, sb::UpdateTanks, 200, 3, 113, 216,
     sb::kSndTankhit, &sb::kxwave::tanks_remaining},
    {"shell", [](sb::Game& g) { Place(g.kxball_list); }, sb::UpdateBalls, 25, 9, 105, 205, -1,
     nullptr},
};

TEST(Scores, EachKindShotScoresBurstsAndSoundsAsItShould) {
  for (const Kill& k : kKills) {
    SCOPED_TRACE(k.kind);
    sbt::World w;
    sb::Game& g = w.g;
    g.plyr->score = 40;
    g.wave->brains_remaining = g.wave->spheroids_remaining = g.wave->enforcers_remaining = 3;
    g.wave->quarks_remaining = g.wave->tanks_remaining = 3;
    k.place(g);

    k.update(g);

    EXPECT_EQ(g.plyr->score, 40 + k.points);
    if (k.counter != nullptr) {
      EXPECT_EQ(g.wave->*k.counter, 2);
    }
    // Spawners show the 1000 they earn; the rest show nothing.
    EXPECT_EQ(sbt::Count(g.kxpoint_list), k.points == 2000 ? 1 : 0);
    if (k.bit_row < 0) {
      EXPECT_EQ(sbt::Count(g.kxbit_list), 0);
    } else {
      ASSERT_EQ(sbt::Count(g.kxbit_list), 12);
      const sb::kxbit* first = g.kxbit_list.First();
      EXPECT_EQ(first->frame, 12 * k.bit_row);
      EXPECT_EQ(first->sx, static_cast<float>(k.ox - 5));
      EXPECT_EQ(first->sy, static_cast<float>(k.oy - 5));
    }
    int raised = 0;
    for (int i = 0; i < sb::kSndCount; ++i) raised += g.req[i];
    EXPECT_EQ(raised, k.sound < 0 ? 0 : 1);
    if (k.sound >= 0) {
      EXPECT_EQ(g.req[k.sound], 1);
    }
    EXPECT_EQ(w.Draws(), 0u);  // destruction draws no random numbers
  }
}

}  // namespace
