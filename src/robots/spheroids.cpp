#include "robots/spheroids.h"

#include <cmath>

#include "robots/bits.h"
#include "robots/humans.h"
#include "robots/step.h"

namespace sb {

void CreateEnforcer(Game& g, int x, int y) {
  kxenforcer* e = g.kxenforcer_list.New();
  e->sx = static_cast<float>(x);
  e->sy = static_cast<float>(y);
  e->xv = Sgn(static_cast<float>(g.plyr->sx - e->sx)) * g.beh.enforcerspeed * g.speedmul;
  e->yv = Sgn(static_cast<float>(g.plyr->sy - e->sy)) * g.beh.enforcerspeed * g.speedmul;
  e->animcounter = 1;
  e->animdir = 1;
  e->animframe = 1;
  e->frame = 0;
  e->birth = 7;
  e->plusdelay = Trunc(g.beh.plusfirst + g.P.RandomReal(0, 20));
}

void CreatePlus(Game& g, int x, int y) {
  kxplus* p = g.kxplus_list.New();
  p->sx = static_cast<float>(x);
  p->sy = static_cast<float>(y);
  float dx = static_cast<float>(g.plyr->sx - p->sx);
  float dy = static_cast<float>(g.plyr->sy - p->sy);
  float dist = std::sqrt(dx * dx + dy * dy);
  // Fired from on top of the player there is no direction to aim in.
  if (dist > 1) {
    p->xv = dx / dist * g.beh.plusspeed * g.speedmul;
    p->yv = dy / dist * g.beh.plusspeed * g.speedmul;
  } else {
    p->xv = 0;
    p->yv = 0;
  }
  p->dur = 75;
  p->animcounter = 1;
  p->animdir = 1;
  p->animframe = 0;
  Raise(g, kSndPlusborn);
}

void UpdateSpheroids(Game& g) {
  // One spheroid's random turn turns every later spheroid this frame too.
  bool turn = false;
  for (kxspheroid* s : g.kxspheroid_list.Walk()) {
    if (s->hit != 0) {
      CreatePoint(g, Trunc(s->sx), Trunc(s->sy), 1);
      g.wave->spheroids_killed += 1;
      Destroy(g, g.kxspheroid_list, s,
              {13, 13, 1, 1000, &kxwave::spheroids_remaining, kSndSpheroidhit});
      continue;
    }

    // No limit on enforcers alive.
    if (s->enforcerdelay > 0) s->enforcerdelay -= 1;
    if (s->enforcerdelay <= 0) {
      CreateEnforcer(g, Trunc(s->sx), Trunc(s->sy));
      g.wave->enforcers_remaining += 1;
      s->enforcerdelay = Trunc(g.beh.enforcergap);
      s->numenforcers += 1;
    }

    if (g.P.RandomReal(0, 1000) > 980) turn = true;
    if (!BoundedStep(*s, 20, 594, 20, 434)) turn = true;
    if (turn) {
      int k = Trunc(g.P.RandomReal(0, 8));
      s->xv = g.dirx[k] * g.beh.spheroidspeed * g.speedmul;
      s->yv = g.diry[k] * g.beh.spheroidspeed * g.speedmul;
    }

    // Pulse 3..6..0..6 one step every second frame.
    s->animcounter += 1;
    if (s->animcounter > 1) {
      s->animcounter = 0;
      s->animframe += s->animdir;
      if (s->animframe > 5 || s->animframe < 1) {
        s->animdir = -s->animdir;
        if (g.P.RandomReal(0, 100) > 60) Raise(g, kSndSpheroid);
      }
    }

    // Only a spheroid past its fourth enforcer draws for leaving.
    if (s->numenforcers > 3 && g.P.RandomReal(0, 1000) > 800) {
      g.wave->spheroids_remaining -= 1;
      g.kxspheroid_list.Remove(s);
    }
  }
}

void UpdateEnforcers(Game& g) {
  for (kxenforcer* e : g.kxenforcer_list.Walk()) {
    if (e->hit != 0) {
      Destroy(g, g.kxenforcer_list, e,
              {9, 22, 2, 150, &kxwave::enforcers_remaining, kSndEnforcerhit});
      continue;
    }

    // Growing from the spheroid: cells 4, 4, 5, 5, 6, 6, 7, frozen meanwhile.
    if (e->birth > 0) {
      e->animframe = 7 - e->birth / 2;
      e->birth -= 1;
      continue;
    }

    if (e->plusdelay > 0) e->plusdelay -= 1;
    if (e->plusdelay <= 0) {
      CreatePlus(g, Trunc(e->sx), Trunc(e->sy));
      e->plusdelay = Trunc(g.beh.plusgap);
    }

    bool turn = g.P.RandomReal(0, 1000) > 870;
    if (!BoundedStep(*e, 20, 602, 20, 438)) turn = true;
    if (turn) {
      e->xv = Sgn(static_cast<float>(g.plyr->sx - e->sx)) * g.beh.enforcerspeed * g.speedmul;
      e->yv = Sgn(static_cast<float>(g.plyr->sy - e->sy)) * g.beh.enforcerspeed * g.speedmul;
      // Dodge away on one axis now and then.
      if (g.P.RandomReal(0, 1000) > 700) {
        if (g.P.RandomReal(0, 10) > 5) {
          e->yv = -e->yv;
        } else {
          e->xv = -e->xv;
        }
      }
    }

    e->animcounter += 1;
    if (e->animcounter > 1) {
      e->animcounter = 0;
      e->frame += 1;
      if (e->frame > 3) {
        e->frame = 0;
        if (g.P.RandomReal(0, 100) > 75) Raise(g, kSndEnforcer);
      }
    }
    e->animframe = e->frame;
  }
}

void UpdatePluses(Game& g) {
  for (kxplus* p : g.kxplus_list.Walk()) {
    if (p->hit != 0) {
      Destroy(g, g.kxplus_list, p, {0, 0, -1, 25, nullptr, kSndCount});
      continue;
    }

    // 1: side wall refused x; 2: top or bottom refused y (wins when both).
    int bounce = 0;
    float nx = p->sx + p->xv;
    if (20 < nx && nx < 606) {
      p->sx = nx;
    } else {
      bounce = 1;
    }
    float ny = p->sy + p->yv;
    if (20 < ny && ny < 446) {
      p->sy = ny;
    } else {
      bounce = 2;
    }

    // Slide along the wall toward the player's row or column at 2/3 speed.
    if (bounce == 1) {
      p->xv = 0;
      p->yv = std::fabs(p->yv / 1.5f) * Sgn(static_cast<float>(g.plyr->sy - p->sy));
    } else if (bounce == 2) {
      p->yv = 0;
      p->xv = std::fabs(p->xv / 1.5f) * Sgn(static_cast<float>(g.plyr->sx - p->sx));
    }
    if (bounce != 0 && g.P.RandomReal(0, 100) > 80) {
      p->xv = 0;
      p->yv = 0;
    }

    p->animcounter += p->animdir;
    if (p->animcounter > 3) {
      p->animcounter = 0;
      p->animframe += 1;
      if (p->animframe > 7) p->animframe = 0;
    }

    p->xv = p->xv * 0.97f;
    p->yv = p->yv * 0.97f;

    p->dur -= 1;
    if (p->dur <= 0) g.kxplus_list.Remove(p);
  }
}

}  // namespace sb
