#include "robots/update.h"

#include "robots/brains.h"
#include "robots/grunts.h"
#include "robots/quarks.h"
#include "robots/spheroids.h"

namespace sb {

void UpdateRobots(Game& g) {
  // Spawners come before their children, so a child moves in the frame of its birth.
  UpdateHulks(g);
  UpdateGrunts(g);
  UpdateElectrodes(g);
  UpdateBrains(g);
  UpdateProgs(g);
  UpdateCruises(g);
  UpdateSpheroids(g);
  UpdateEnforcers(g);
  UpdatePluses(g);
  UpdateQuarks(g);
  UpdateTanks(g);
  UpdateBalls(g);
}

}  // namespace sb
