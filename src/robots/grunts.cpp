#include "robots/grunts.h"

#include "robots/bits.h"
#include "robots/step.h"

namespace sb {

namespace {

constexpr int kGruntRow = 0;
constexpr int kGruntPoints = 100;
constexpr int kShrinkSteps = 4;

float Speedmul(const Game& g) {
  return static_cast<float>(g.speedmul);
}

}  // namespace

void UpdateGrunts(Game& g) {
  for (kxgrunt* r : g.kxgrunt_list.Walk()) {
    if (r->hit != 0) {
      Destroy(g, g.kxgrunt_list, r,
              {9, 13, kGruntRow, kGruntPoints, &kxwave::grunts_remaining, kSndGrunthit});
      continue;
    }
    // Retarget on 30 % of frames and whenever a wall stops the step.
    bool turn = g.P.RandomReal(0, 1000) > 700;
    if (!BoundedStep(*r, 20, 602, 20, 434)) turn = true;
    if (turn) {
      const float pace = g.beh.gruntspeed * Speedmul(g);
      r->xv = Sgn(static_cast<float>(g.plyr->sx) - r->sx) * pace;
      r->yv = Sgn(static_cast<float>(g.plyr->sy) - r->sy) * pace;
    }
    r->animcounter += 1;
    if (r->animcounter > 3) {
      r->animcounter = 0;
      r->animframe += r->animdir;
      if (r->animframe != 1) {
        r->animdir = -r->animdir;
        if (g.P.RandomReal(0, 100) > 50) Raise(g, kSndGruntwalk);
      }
      r->col += 1;
      if (r->col > 3) r->col = 0;
    }
  }
}

void UpdateHulks(Game& g) {
  for (kxhulk* r : g.kxhulk_list.Walk()) {
    bool turn = false;
    if (r->hit > 0) {
      // Frozen by a shot or an electrode: stand still, maybe leave in a new direction.
      r->hit -= 1;
      if (g.P.RandomReal(0, 1000) > 950) turn = true;
      Raise(g, kSndHulkhit);
    } else {
      if (g.P.RandomReal(0, 1000) > 900) turn = true;
      if (!BoundedStep(*r, 20, 594, 20, 428)) turn = true;
    }
    r->animcounter += 1;
    if (r->animcounter > 3) {
      r->animcounter = 0;
      r->animstep += r->animdir;
      if (r->animstep != 1) r->animdir = -r->animdir;
    }
    int d;
    if (r->yv < 0) {
      d = 2;
    } else if (r->xv == 0) {
      d = 0;
    } else {
      d = r->xv < 0 ? 1 : 3;
    }
    // One colour set per wave; a frozen hulk flashes in the next wave's set.
    const int level = r->hit > 0 ? g.plyr->level + 1 : g.plyr->level;
    const int c = (level % 4) * 12;
    r->animframe = 3 * d + r->animstep + c;
    if (turn) {
      const int k = 2 * Trunc(g.P.RandomReal(0, 4));
      r->xv = g.dirx[k] * g.beh.hulkspeed * Speedmul(g);
      r->yv = g.diry[k] * g.beh.hulkspeed * Speedmul(g);
    }
  }
}

void UpdateElectrodes(Game& g) {
  for (kxelectrode* e : g.kxelectrode_list.Walk()) {
    e->animframe = e->frame;
    if (e->hit > 0) {
      CreateShrinkle(g, e->sx, e->sy, e->frame);
      g.wave->electrodes_remaining -= 1;
      g.kxelectrode_list.Remove(e);
      Raise(g, kSndElectrodehit);
    }
  }
}

void CreateShrinkle(Game& g, int x, int y, int design) {
  kxshrinkle& s = *g.kxshrinkle_list.New();
  s.sx = x;
  s.sy = y;
  s.dur = kShrinkSteps;
  s.frame = design;
  s.animframe = 0;
}

void UpdateShrinkles(Game& g) {
  for (kxshrinkle* s : g.kxshrinkle_list.Walk()) {
    if (s->dur > 0) {
      s->dur -= 1;
      // The design's shrinking steps lie 10, 20, 30 and 40 cells after it.
      s->animframe = s->frame + 40 - 10 * s->dur;
    } else {
      g.kxshrinkle_list.Remove(s);
    }
  }
}

}  // namespace sb
