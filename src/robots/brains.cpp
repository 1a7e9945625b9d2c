#include "robots/brains.h"

#include <cmath>

#include "robots/bits.h"
#include "robots/step.h"

namespace sb {

namespace {

// Cruise missiles fly in whole pixels: the whole part of the aimed speed.
int32_t CruiseAxis(Game& g, float delta) {
  return Trunc(Sgn(delta) * g.beh.cruisespeed * g.speedmul);
}

}  // namespace

void CreateCruise(Game& g, int x, int y) {
  kxcruise* c = g.kxcruise_list.New();
  c->sx = c->psx = static_cast<float>(x);
  c->sy = c->psy = static_cast<float>(y);
  c->xv = CruiseAxis(g, static_cast<float>(g.plyr->sx - x));
  c->yv = CruiseAxis(g, static_cast<float>(g.plyr->sy - y));
  c->dur = 110;
  c->animcounter = 0;
  c->animdir = 1;
  c->animframe = 0;
  Raise(g, kSndCruiseborn);
}

void UpdateBrains(Game& g) {
  // One brain's random retarget makes every later brain retarget this frame.
  bool turn = false;
  for (kxbrain* b : g.kxbrain_list.Walk()) {
    if (b->hit != 0) {
      Destroy(g, g.kxbrain_list, b, {13, 16, 8, 500, &kxwave::brains_remaining, kSndBrainhit});
      continue;
    }

    // The cruise countdown runs even while the brain pauses after a conversion.
    if (b->cruisedelay > 0) b->cruisedelay -= 1;
    if (b->cruisedelay <= 0) {
      CreateCruise(g, Trunc(b->sx), Trunc(b->sy));
      b->cruisedelay = Trunc(g.beh.cruisegap);
    }

    if (g.P.RandomReal(0, 1000) > 960) turn = true;

    if (b->prog == 0) {
      if (!BoundedStep(*b, 20, 594, 20, 428)) turn = true;
    } else {
      b->prog = b->prog > 0 ? b->prog - 1 : 0;
    }

    if (turn) {
      // Hunt the oldest human still about; the player once none is left.
      int32_t tx = g.plyr->sx;
      int32_t ty = g.plyr->sy;
      if (kxhuman* h = g.kxhuman_list.First()) {
        tx = Trunc(h->sx);
        ty = Trunc(h->sy);
      }
      float dx = static_cast<float>(static_cast<double>(tx) - b->sx);
      float dy = static_cast<float>(static_cast<double>(ty) - b->sy);
      float dist = std::sqrt(dx * dx + dy * dy);
      if (dist > 1) {
        b->xv = dx / dist * g.beh.brainspeed * g.speedmul;
        b->yv = dy / dist * g.beh.brainspeed * g.speedmul;
      } else {
        b->xv = 0.25f;
        b->yv = 0.25f;
      }
    }

    b->animcounter += 1;
    if (b->animcounter > 3) {
      b->animcounter = 0;
      b->animstep += b->animdir;
      if (b->animstep != 1) b->animdir = -b->animdir;
      b->col += 1;
      if (b->col > 4) b->col = 0;
    }

    // Facing: 0 down, 1 left, 2 up, 3 right; five colour sets of twelve cells.
    int d;
    if (std::fabs(b->xv) < 0.1f) {
      d = b->yv >= 0 ? 0 : 2;
    } else {
      d = b->xv >= 0 ? 3 : 1;
    }
    b->animframe = 3 * d + b->animstep + 12 * b->col;
  }
}

void UpdateProgs(Game& g) {
  for (kxprog* p : g.kxprog_list.Walk()) {
    if (p->hit != 0) {
      Destroy(g, g.kxprog_list, p, {8, 16, 7, 100, nullptr, kSndProghit});
      continue;
    }

    bool turn = g.P.RandomReal(0, 1000) > 840;

    if (p->birth > 0) {
      p->birth -= 1;
    } else if (!BoundedStep(*p, 20, 604, 20, 428)) {
      turn = true;
    }

    p->animcounter += 1;
    if (p->animcounter > 3) {
      p->animcounter = 0;
      p->animstep += p->animdir;
      if (p->animstep != 1) {
        p->animdir = -p->animdir;
        if (g.P.RandomReal(0, 100) > 50) Raise(g, kSndProg);
      }
    }

    // 3 x 3 heading grid within the member's block of twelve, plus the step.
    int sxv = static_cast<int>(Sgn(p->xv));
    int syv = static_cast<int>(Sgn(p->yv));
    p->animframe = 12 * p->frame + 1 + sxv + 3 * (1 + syv) + p->animstep;

    if (turn) {
      // Chase along one axis only; the trail starts afresh at the corner.
      if (g.P.RandomReal(0, 10) > 5) {
        p->xv = Sgn(static_cast<float>(g.plyr->sx - p->sx)) * g.beh.progspeed * g.speedmul;
        p->yv = 0;
      } else {
        p->yv = Sgn(static_cast<float>(g.plyr->sy - p->sy)) * g.beh.progspeed * g.speedmul;
        p->xv = 0;
      }
      p->psx = p->sx;
      p->psy = p->sy;
    }
  }
}

void UpdateCruises(Game& g) {
  for (kxcruise* c : g.kxcruise_list.Walk()) {
    if (c->hit != 0) {
      Destroy(g, g.kxcruise_list, c, {0, 0, -1, 25, nullptr, kSndCount});
      continue;
    }

    bool turn = g.P.RandomReal(0, 1000) > 750;

    float nx = c->sx + static_cast<float>(c->xv);
    if (20 < nx && nx < 614) {
      c->sx = nx;
    } else {
      turn = true;
    }
    float ny = c->sy + static_cast<float>(c->yv);
    if (20 < ny && ny < 454) {
      c->sy = ny;
    } else {
      turn = true;
    }

    c->animcounter += c->animdir;
    if (c->animcounter > 7) {
      c->animcounter = 0;
      c->animframe += 1;
      if (c->animframe > 6) c->animframe = 0;
    }

    if (turn) {
      c->xv = CruiseAxis(g, static_cast<float>(g.plyr->sx - c->sx));
      c->yv = CruiseAxis(g, static_cast<float>(g.plyr->sy - c->sy));
      // Zigzag: sometimes flee on one axis, sometimes drop one axis.
      if (g.P.RandomReal(0, 1000) > 700) {
        if (g.P.RandomReal(0, 100) > 50) {
          c->yv = -c->yv;
        } else {
          c->xv = -c->xv;
        }
      }
      if (g.P.RandomReal(0, 1000) > 700) {
        if (g.P.RandomReal(0, 100) > 50) {
          c->yv = 0;
        } else {
          c->xv = 0;
        }
      }
      c->psx = c->sx;
      c->psy = c->sy;
    }

    c->dur -= 1;
    if (c->dur <= 0) g.kxcruise_list.Remove(c);
  }
}

}  // namespace sb
