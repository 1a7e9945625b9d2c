#include "robots/humans.h"

#include <cstdint>

#include "robots/step.h"

namespace sb {

namespace {

constexpr int kMaxRescueStep = 5;

void Wander(Game& g, kxhuman& h) {
  bool turn = g.P.RandomReal(0, 1000) > 990;
  if (!BoundedStep(h, 20, 604, 20, 430)) turn = true;

  h.animcounter += 1;
  if (h.animcounter > 3) {
    h.animcounter = 0;
    h.animstep += h.animdir;
    if (h.animstep != 1) h.animdir = -h.animdir;
  }
  // 0 down, 1 left, 2 up, 3 right, from the velocity before any turn.
  int d;
  if (h.yv < 0) {
    d = 2;
  } else if (h.xv == 0) {
    d = 0;
  } else {
    d = h.xv < 0 ? 1 : 3;
  }
  h.animframe = 12 * h.frame + 3 * d + h.animstep;

  if (turn) {
    // After a turn a human walks at 0.5, whatever the difficulty.
    const int k = 2 * Trunc(g.P.RandomReal(0, 4));
    h.xv = g.dirx[k] / 2;
    h.yv = g.diry[k] / 2;
  }
}

}  // namespace

void UpdateHumans(Game& g) {
  for (kxhuman* h : g.kxhuman_list.Walk()) {
    // A human marked killed and converted in one pass leaves a skull.
    if (h->hit != 0) {
      CreateDeath(g, Trunc(h->sx), Trunc(h->sy));
      g.wave->humans_remaining -= 1;
      g.kxhuman_list.Remove(h);
      Raise(g, kSndHumanhit);
    } else if (h->prog != 0) {
      CreateProg(g, Trunc(h->sx), Trunc(h->sy), h->frame);
      g.wave->humans_remaining -= 1;
      g.kxhuman_list.Remove(h);
    } else if (h->rescued != 0) {
      g.rescues += 1;
      if (g.rescues > kMaxRescueStep) g.rescues = kMaxRescueStep;
      CreatePoint(g, Trunc(h->sx), Trunc(h->sy), g.rescues);
      g.wave->humans_remaining -= 1;
      g.kxhuman_list.Remove(h);
      Raise(g, kSndHumansaved);
    } else {
      Wander(g, *h);
    }
  }
}

void CreatePoint(Game& g, int x, int y, int n) {
  kxpoint& p = *g.kxpoint_list.New();
  p.sx = x;
  p.sy = y;
  p.frame = n - 1;
  p.dur = 0;
  // Showing the value is what awards it.
  AddScore(g, WrapMul(n, 1000));
}

void CreateDeath(Game& g, int x, int y) {
  kxdeath& d = *g.kxdeath_list.New();
  d.sx = x;
  d.sy = y;
  d.dur = 24;
}

void CreateProg(Game& g, int x, int y, int design) {
  kxprog& p = *g.kxprog_list.New();
  p.sx = p.psx = static_cast<float>(x);
  p.sy = p.psy = static_cast<float>(y);
  // A unit heading only; the prog's own update applies its speed.
  p.xv = static_cast<float>(Sgn(static_cast<int64_t>(g.plyr->sx) - x));
  p.yv = static_cast<float>(Sgn(static_cast<int64_t>(g.plyr->sy) - y));
  p.birth = 10;
  p.animcounter = 0;
  p.animdir = 1;
  p.animframe = 0;
  p.animstep = 0;
  p.frame = design;
  p.hit = 0;
  Raise(g, kSndProgborn);
}

}  // namespace sb
