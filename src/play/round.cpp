#include "play/round.h"

#include <algorithm>
#include <type_traits>

namespace sb {

namespace {

float DiffScale(const Game& g) {
  // The table has spare zero entries at both ends; never index outside it.
  const int i = std::clamp<int32_t>(g.difficulty, 0, 6);
  return g.diffscale[i];
}

// A speed grows each frame up to its cap; a gap shrinks down to its floor.
void Grow(float& v, float step, float cap) {
  v = v + step;
  if (v > cap) v = cap;
}
void Shrink(float& v, float step, float floor) {
  v = v - step;
  if (v < floor) v = floor;
}

}  // namespace

void ResetPlayer(Game& g) {
  g.plyr->sx = 320;
  g.plyr->sy = 240;
  g.plyr->dead = 0;
  g.numshots = 0;
  g.rescues = 0;
}

void ResetBehaviour(Game& g) {
  const float d = DiffScale(g);
  const float late = 20.0f * (1.0f - d);  // spawn delays shrink with difficulty
  Behaviour& b = g.beh;
  b.gruntspeed = 0.25f * d;
  b.hulkspeed = 0.3f * d;
  b.brainspeed = 0.25f * d;
  b.cruisespeed = 1.4f * d;
  b.progspeed = 1.7f * d;
  b.humanspeed = 0.35f;
  b.spheroidspeed = 1.1f * d;
  b.enforcerspeed = 1.2f * d;
  b.plusspeed = 4.4f * d;
  b.quarkspeed = 1.55f * d;
  b.tankspeed = 1.1f * d;
  b.ballspeed = 3.45f * d;
  b.cruisefirst = 115.0f + late;
  b.enforcerfirst = 100.0f + late;
  b.plusfirst = 25.0f + late;
  b.tankfirst = 110.0f + late;
  b.ballfirst = 80.0f + late;
  b.cruisegap = 150.0f + late;
  b.enforcergap = 55.0f + late;
  b.plusgap = 40.0f + late;
  b.tankgap = 50.0f + late;
  b.ballgap = 50.0f + late;
}

void RampBehaviour(Game& g) {
  Behaviour& b = g.beh;
  Grow(b.gruntspeed, 0.001f, 4.0f);
  Grow(b.hulkspeed, 0.001f, 4.0f);
  Grow(b.brainspeed, 0.001f, 4.0f);
  Grow(b.cruisespeed, 0.005f, 4.0f);
  Grow(b.spheroidspeed, 0.002f, 4.0f);
  Grow(b.enforcerspeed, 0.002f, 4.0f);
  Grow(b.plusspeed, 0.005f, 6.0f);
  Grow(b.quarkspeed, 0.001f, 4.0f);
  Grow(b.tankspeed, 0.001f, 4.0f);
  Grow(b.ballspeed, 0.001f, 4.0f);
  Shrink(b.cruisegap, 0.01f, 10.0f);
  Shrink(b.enforcergap, 0.01f, 10.0f);
  Shrink(b.plusgap, 0.01f, 10.0f);
  Shrink(b.tankgap, 0.01f, 10.0f);
  Shrink(b.ballgap, 0.01f, 10.0f);
}

bool WaveCleared(Game& g) {
  const kxwave& w = *g.wave;
  return w.grunts_remaining <= 0 && w.brains_remaining <= 0 && w.spheroids_remaining <= 0 &&
         w.quarks_remaining <= 0 && w.tanks_remaining <= 0 && w.enforcers_remaining <= 0 &&
         g.kxbit_list.Empty();
}

void ClearPlayfield(Game& g) {
  // Everything but the player, the humans (a new wave brings its own, a lost
  // life keeps them) and the wave table.
  VisitLists(g, [](const char*, auto& list) {
    using List = std::remove_reference_t<decltype(list)>;
    if constexpr (!std::is_same_v<List, TList<kxplyr>> && !std::is_same_v<List, TList<kxhuman>> &&
                  !std::is_same_v<List, TList<kxwave>>) {
      list.Clear();
    }
  });
}

}  // namespace sb
