#include "robots/quarks.h"

#include <cmath>

#include "robots/bits.h"
#include "robots/humans.h"
#include "robots/step.h"

namespace sb {

namespace {

constexpr int32_t kTankLimit = 20;

// A shell never flies straight: where the tank is level with the player on an
// axis, that axis gets full speed with a random sign.
void BallAxis(Game& g, float& v) {
  if (std::fabs(v) < 1) {
    v = g.beh.ballspeed * g.speedmul;
    if (g.P.RandomReal(0, 10) > 5) v = -v;
  }
}

}  // namespace

void CreateTank(Game& g, int x, int y) {
  kxtank* t = g.kxtank_list.New();
  t->sx = static_cast<float>(x);
  t->sy = static_cast<float>(y);
  t->xv = Sgn(static_cast<float>(g.plyr->sx - t->sx)) * g.beh.tankspeed * g.speedmul;
  t->yv = Sgn(static_cast<float>(g.plyr->sy - t->sy)) * g.beh.tankspeed * g.speedmul;
  t->animcounter = 0;
  t->animdir = 1;
  t->animframe = 1;
  t->birth = 7;
  t->balldelay = Trunc(g.beh.ballfirst + g.P.RandomReal(0, 20));
}

void CreateBall(Game& g, int x, int y) {
  kxball* b = g.kxball_list.New();
  b->sx = static_cast<float>(x);
  b->sy = static_cast<float>(y);
  b->xv = Sgn(static_cast<float>(g.plyr->sx - b->sx)) * g.beh.ballspeed * g.speedmul;
  b->yv = Sgn(static_cast<float>(g.plyr->sy - b->sy)) * g.beh.ballspeed * g.speedmul;
  BallAxis(g, b->xv);
  BallAxis(g, b->yv);
  b->animcounter = 1;
  b->animdir = 1;
  b->animframe = 0;
  b->dur = 100;
  Raise(g, kSndBallborn);
}

void UpdateQuarks(Game& g) {
  // One quark's random turn turns every later quark this frame too.
  bool turn = false;
  for (kxquark* q : g.kxquark_list.Walk()) {
    if (q->hit != 0) {
      CreatePoint(g, Trunc(q->sx), Trunc(q->sy), 1);
      Destroy(g, g.kxquark_list, q, {13, 13, 4, 1000, &kxwave::quarks_remaining, kSndQuarkhit});
      continue;
    }

    // At the tank limit the countdown waits at 0 for a free place.
    if (q->tankdelay > 0) q->tankdelay -= 1;
    if (q->tankdelay <= 0 && g.wave->tanks_remaining < kTankLimit) {
      CreateTank(g, Trunc(q->sx), Trunc(q->sy));
      g.wave->tanks_remaining += 1;
      q->tankdelay = Trunc(g.beh.tankgap);
      q->numtanks += 1;
    }

    if (g.P.RandomReal(0, 1000) > 990) turn = true;
    BoundedStep<Edge::kBounce>(*q, 20, 594, 20, 434);
    if (turn) {
      int k = Trunc(g.P.RandomReal(0, 8));
      q->xv = g.dirx[k] * g.beh.quarkspeed * g.speedmul;
      q->yv = g.diry[k] * g.beh.quarkspeed * g.speedmul;
    }

    q->animcounter += 1;
    if (q->animcounter > 3) {
      q->animcounter = 0;
      q->animframe += q->animdir;
      if (q->animframe > 5 || q->animframe < 1) {
        q->animdir = -q->animdir;
        if (g.P.RandomReal(0, 100) > 50) Raise(g, kSndQuark);
      }
    }

    // Only a quark past its fourth tank draws for leaving.
    if (q->numtanks > 3 && g.P.RandomReal(0, 1000) > 800) {
      g.wave->quarks_remaining -= 1;
      g.kxquark_list.Remove(q);
    }
  }
}

void UpdateTanks(Game& g) {
  for (kxtank* t : g.kxtank_list.Walk()) {
    if (t->hit != 0) {
      Destroy(g, g.kxtank_list, t, {13, 16, 3, 200, &kxwave::tanks_remaining, kSndTankhit});
      continue;
    }

    // Growing out of the quark: cells 4, 4, 5, 5, 6, 6, 7, frozen meanwhile.
    if (t->birth > 0) {
      t->animframe = 7 - t->birth / 2;
      t->birth -= 1;
      continue;
    }

    if (t->balldelay > 0) t->balldelay -= 1;
    if (t->balldelay <= 0) {
      CreateBall(g, Trunc(t->sx), Trunc(t->sy));
      t->balldelay = Trunc(g.beh.ballgap);
    }

    bool turn = g.P.RandomReal(0, 1000) > 930;
    if (!BoundedStep(*t, 20, 594, 20, 428)) turn = true;
    if (turn) {
      // Re-aim one axis only, so tanks zigzag in.
      if (g.P.RandomReal(0, 10) > 5) {
        t->xv = Sgn(static_cast<float>(g.plyr->sx - t->sx)) * g.beh.tankspeed * g.speedmul;
      } else {
        t->yv = Sgn(static_cast<float>(g.plyr->sy - t->sy)) * g.beh.tankspeed * g.speedmul;
      }
      if (g.P.RandomReal(0, 1000) > 700) {
        if (g.P.RandomReal(0, 10) > 5) {
          t->yv = -t->yv;
        } else {
          t->xv = -t->xv;
        }
      }
      if (g.P.RandomReal(0, 100) > 50) Raise(g, kSndTank);
    }

    // Treads turn only with vertical motion. The last birth cell is 7, so the
    // wrap covers anything outside 0..3, not just 4 and -1: the first step
    // after birth lands on tread cell 0 whichever way the tank moves.
    t->animcounter += 1;
    if (t->animcounter > 1) {
      t->animcounter = 0;
      t->animframe -= static_cast<int32_t>(Sgn(t->yv));
      if (t->animframe > 3) t->animframe = 0;
      if (t->animframe < 0) t->animframe = 3;
    }
  }
}

void UpdateBalls(Game& g) {
  for (kxball* b : g.kxball_list.Walk()) {
    if (b->hit != 0) {
      Destroy(g, g.kxball_list, b, {5, 5, 9, 25, nullptr, kSndCount});
      continue;
    }

    BoundedStep<Edge::kBounce>(*b, 20, 610, 20, 450);

    b->animcounter += b->animdir;
    if (b->animcounter > 3) {
      b->animcounter = 0;
      b->animframe += 1;
      if (b->animframe > 3) b->animframe = 0;
    }

    b->dur -= 1;
    if (b->dur <= 0) g.kxball_list.Remove(b);
  }
}

}  // namespace sb
