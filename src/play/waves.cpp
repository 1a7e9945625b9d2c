#include "play/waves.h"

#include "core/settings.h"

namespace sb {

namespace {

constexpr int kSpotAnywhere = 0;
constexpr int kSpotTopBottom = 1;  // quarks
constexpr int kSpotLeftRight = 2;  // spheroids
constexpr int kMaxRestartTanks = 20;

double Rnd(Game& g, double lo, double hi) {
  return g.P.RandomReal(lo, hi);
}

// Up, right, down or left.
int OrthogonalDirection(Game& g) {
  return 2 * Trunc(Rnd(g, 0, 4));
}
int AnyDirection(Game& g) {
  return Trunc(Rnd(g, 0, 8));
}

template <class R>
void SetVelocity(Game& g, R& r, int d, float speed) {
  r.xv = g.dirx[d] * speed * static_cast<float>(g.speedmul);
  r.yv = g.diry[d] * speed * static_cast<float>(g.speedmul);
}

template <class R>
void PlaceAtSpot(Game& g, R& r, int kind) {
  RandomSpot(g, kind);
  r.sx = static_cast<float>(g.spotx);
  r.sy = static_cast<float>(g.spoty);
}

// Humans keep their kind; they start a little faster than their later 0.5 walk.
void StartHuman(Game& g, kxhuman& h) {
  PlaceAtSpot(g, h, kSpotAnywhere);
  SetVelocity(g, h, OrthogonalDirection(g), g.beh.humanspeed);
  h.animdir = 1;
  h.animcounter = 0;
  h.animstep = 0;
  h.animframe = h.frame * 12;
}

void CreateGrunt(Game& g, int animframe) {
  kxgrunt& r = *g.kxgrunt_list.New();
  PlaceAtSpot(g, r, kSpotAnywhere);
  SetVelocity(g, r, OrthogonalDirection(g), g.beh.gruntspeed);
  r.animcounter = 0;
  r.animdir = 1;
  r.animframe = animframe;
}

void CreateHulk(Game& g) {
  kxhulk& r = *g.kxhulk_list.New();
  PlaceAtSpot(g, r, kSpotAnywhere);
  SetVelocity(g, r, OrthogonalDirection(g), g.beh.hulkspeed);
  r.animcounter = 0;
  r.animdir = 1;
  r.animframe = 1;
  r.animstep = 0;
}

void CreateBrain(Game& g) {
  kxbrain& r = *g.kxbrain_list.New();
  PlaceAtSpot(g, r, kSpotAnywhere);
  r.animcounter = 0;
  r.animdir = 1;
  r.animstep = 0;
  r.animframe = 1;
  r.cruisedelay = Trunc(Rnd(g, 0, 20) + g.beh.cruisefirst);
}

// A fresh wave sends spheroids orthogonally, a restart any of the eight ways.
void CreateSpheroid(Game& g, bool any_direction) {
  kxspheroid& r = *g.kxspheroid_list.New();
  PlaceAtSpot(g, r, kSpotLeftRight);
  const int d = any_direction ? AnyDirection(g) : OrthogonalDirection(g);
  SetVelocity(g, r, d, g.beh.spheroidspeed);
  r.animdir = 1;
  r.animframe = 3;
  r.animcounter = 0;
  r.enforcerdelay = Trunc(Rnd(g, 0, 20) + g.beh.enforcerfirst);
}

void CreateQuark(Game& g) {
  kxquark& r = *g.kxquark_list.New();
  PlaceAtSpot(g, r, kSpotTopBottom);
  SetVelocity(g, r, AnyDirection(g), g.beh.quarkspeed);
  r.animdir = 1;
  r.animframe = 3;
  r.animcounter = 0;
  r.tankdelay = Trunc(Rnd(g, 0, 20) + g.beh.tankfirst);
}

void CreateRestartTank(Game& g) {
  kxtank& r = *g.kxtank_list.New();
  PlaceAtSpot(g, r, kSpotAnywhere);
  SetVelocity(g, r, AnyDirection(g), g.beh.tankspeed);
  r.animcounter = 0;
  r.animdir = 1;
  r.animframe = 1;
  r.birth = 0;
  r.balldelay = Trunc(Rnd(g, 0, 20) + g.beh.ballfirst);
}

void CreateElectrode(Game& g, const kxwave& w) {
  kxelectrode& r = *g.kxelectrode_list.New();
  RandomSpot(g, kSpotAnywhere);
  r.sx = g.spotx;
  r.sy = g.spoty;
  r.frame = w.etype != 0 ? w.etype - 1 : Trunc(Rnd(g, 0, 9));
  r.animframe = r.frame;
}

}  // namespace

void LoadWaves(Game& g) {
  int at = kWaveTableStart;
  auto next = [&]() { return at < kDataBlockSize ? Trunc(kDataBlock[at++]) : -1; };
  for (;;) {
    const int h = next();
    if (h == -1) break;
    kxwave& w = *g.kxwave_list.New();
    w.humans = h;
    w.htype = next();
    w.grunts = next();
    w.hulks = next();
    w.brains = next();
    w.spheroids = next();
    w.quarks = next();
    w.electrodes = next();
    w.etype = next();
    w.borderstyle = next();
    w.grunts_remaining = w.grunts;
    w.brains_remaining = w.brains;
    w.spheroids_remaining = w.spheroids;
    w.electrodes_remaining = w.electrodes;
    w.quarks_remaining = w.quarks;
    w.tanks_remaining = 0;
    w.enforcers_remaining = 0;
    g.wave = &w;
  }
}

void RandomSpot(Game& g, int kind) {
  // Never inside the box around the player's start at (320, 240).
  do {
    if (kind == kSpotTopBottom) {
      g.spotx = Trunc(Rnd(g, 40, 588));
      const double r = Rnd(g, 0, 10);
      g.spoty = r > 5 ? 40 : 428;
    } else if (kind == kSpotLeftRight) {
      const double r = Rnd(g, 0, 10);
      g.spotx = r > 5 ? 40 : 588;
      g.spoty = Trunc(Rnd(g, 40, 428));
    } else {
      g.spotx = Trunc(Rnd(g, 40, 588));
      g.spoty = Trunc(Rnd(g, 40, 428));
    }
  } while (280 < g.spotx && g.spotx < 360 && 200 < g.spoty && g.spoty < 280);
}

void CreateWave(Game& g, kxwave* w) {
  for (int i = 1; i <= w->humans; ++i) {
    kxhuman& h = *g.kxhuman_list.New();
    // htype 0 deals the three kinds in turn; 1..3 makes every human that kind.
    h.frame = w->htype != 0 ? w->htype - 1 : (i - 1) % 3;
    StartHuman(g, h);
  }
  for (int i = 0; i < w->grunts; ++i) CreateGrunt(g, 1);
  for (int i = 0; i < w->hulks; ++i) CreateHulk(g);
  for (int i = 0; i < w->brains; ++i) CreateBrain(g);
  for (int i = 0; i < w->spheroids; ++i) CreateSpheroid(g, false);
  for (int i = 0; i < w->quarks; ++i) CreateQuark(g);
  for (int i = 0; i < w->electrodes; ++i) CreateElectrode(g, *w);

  w->grunts_remaining = w->grunts;
  w->brains_remaining = w->brains;
  w->spheroids_remaining = w->spheroids;
  w->spheroids_killed = 0;
  w->quarks_remaining = w->quarks;
  w->humans_remaining = w->humans;
  w->electrodes_remaining = w->electrodes;
  w->tanks_remaining = 0;
  w->enforcers_remaining = 0;

  Raise(g, kSndNewwave);
}

void RestartWave(Game& g, kxwave* w) {
  for (kxhuman* h : g.kxhuman_list.Walk()) StartHuman(g, *h);
  for (int i = 0; i < w->grunts_remaining; ++i) CreateGrunt(g, 0);
  for (int i = 0; i < w->hulks; ++i) CreateHulk(g);  // hulks are never destroyed
  for (int i = 0; i < w->brains_remaining; ++i) CreateBrain(g);

  // Enforcers are not re-created; a spheroid stands in for loose ones.
  w->spheroids_remaining = w->spheroids - w->spheroids_killed;
  if (w->enforcers_remaining > 0) {
    if (w->spheroids_remaining == 0) w->spheroids_remaining = 1;
    w->enforcers_remaining = 0;
  }
  for (int i = 0; i < w->spheroids_remaining; ++i) CreateSpheroid(g, true);

  for (int i = 0; i < w->quarks_remaining; ++i) CreateQuark(g);

  if (w->tanks_remaining > 0) {
    if (w->tanks_remaining > kMaxRestartTanks) w->tanks_remaining = kMaxRestartTanks;
    for (int i = 0; i < w->tanks_remaining; ++i) CreateRestartTank(g);
  }

  for (int i = 0; i < w->electrodes_remaining; ++i) CreateElectrode(g, *w);
}

}  // namespace sb
