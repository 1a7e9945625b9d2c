#include "screens/transitions.h"

#include "draw/drawutil.h"
#include "draw/playfield.h"
#include "play/sound.h"
#include "robots/bits.h"
#include "robots/grunts.h"
#include "robots/humans.h"
#include "robots/update.h"

namespace sb {

namespace {

constexpr int kDeathFrames = 100;
constexpr int kIntroFrames = 62;
constexpr int kResumeFrames = 22;
constexpr int kRingSteps = 30;

void White(Game& g) {
  g.P.SetColor(255, 255, 255);
}

// The status line and border under every intro frame, in white.
void BeginIntroFrame(Game& g) {
  White(g);
  DrawHud(g);
  DrawBorder(g);
  White(g);
}

void EndIntroFrame(Game& g) {
  g.P.Flip(0);
  PlaySoundRequests(g);
  ClearSoundRequests(g);
  g.P.Cls();
  g.P.Delay(25);
}

// Hulk rows close in vertically, grunt columns horizontally, electrodes run
// their shrink cells backwards; k counts down from 23 to 5.
void MaterialiseRobots(Game& g, int i) {
  const int k = 54 - i;
  for (kxhulk* h : g.kxhulk_list.Walk()) {
    for (int j = 0; j < 12; ++j) {
      g.P.DrawImage(g.img.imgbits, h->sx, h->sy + 2 * g.bitspeeds[j] * k + 6, 60 + j);
    }
  }
  for (kxgrunt* gr : g.kxgrunt_list.Walk()) {
    for (int j = 0; j < 12; ++j) {
      g.P.DrawImage(g.img.imgbitsv, gr->sx + 2 * g.bitspeeds[j] * k + 6, gr->sy, j);
    }
  }
  if (i > 41) {
    for (kxelectrode* e : g.kxelectrode_list.Walk()) {
      g.P.DrawImage(g.img.imgelectrodes, static_cast<float>(e->sx), static_cast<float>(e->sy),
                    e->animframe + 10 * ((50 - i) / 2));
    }
  }
  if (!g.kxgrunt_list.Empty() && i % 3 == 0) Raise(g, kSndGruntborn);
}

// Six copies of each of the player's twelve strips converge on him.
void MaterialisePlayer(Game& g, int i) {
  const int k = 65 - i;
  const float X = static_cast<float>(g.plyr->sx - 4);
  const float Y = static_cast<float>(g.plyr->sy);
  for (int j = 0; j < 12; ++j) {
    const float d = 3 * g.bitspeeds[j] * k;
    const int cell = 72 + j;
    g.P.DrawImage(g.img.imgbits, X, Y + d + 6, cell);
    g.P.DrawImage(g.img.imgbits, X + d, Y + d + 6, cell);
    g.P.DrawImage(g.img.imgbits, X - d, Y + d + 6, cell);
    g.P.DrawImage(g.img.imgbitsv, X + d + 6, Y, cell);
    g.P.DrawImage(g.img.imgbitsv, X + d + 6, Y + d, cell);
    g.P.DrawImage(g.img.imgbitsv, X - d + 6, Y + d, cell);
  }
}

void WaveStartIntro(Game& g) {
  for (int i = 0; i < kIntroFrames; ++i) {
    BeginIntroFrame(g);

    if (i > 10) DrawHumans(g);

    if (i >= 30) {
      for (kxspheroid* s : g.kxspheroid_list.Walk()) {
        g.P.DrawImage(g.img.imgspheroids, s->sx, s->sy, 3 + 7 * (i % 2));
      }
      for (kxquark* q : g.kxquark_list.Walk()) {
        g.P.DrawImage(g.img.imgquarks, q->sx, q->sy, 3);
      }
    }

    if (i > 30 && i < 50) MaterialiseRobots(g, i);

    if (i == 31 && !g.kxbrain_list.Empty()) Raise(g, kSndBrainborn);

    if (i > 30) {
      // Brains flicker in, more often as the frames go by.
      for (kxbrain* b : g.kxbrain_list.Walk()) {
        int cell = b->animframe;
        if (i < 50 && g.P.RandomReal(i, 0) > 30) cell = b->animframe + 60;
        g.P.DrawImage(g.img.imgbrains, b->sx, b->sy, cell);
      }
      UpdateHumans(g);
    }

    if (i >= 50) {
      for (kxhulk* h : g.kxhulk_list.Walk()) {
        g.P.DrawImage(g.img.imghulks, h->sx, h->sy, h->animframe);
      }
      for (kxgrunt* gr : g.kxgrunt_list.Walk()) {
        g.P.DrawImage(g.img.imggrunts, gr->sx, gr->sy, gr->animframe);
      }
      for (kxelectrode* e : g.kxelectrode_list.Walk()) {
        g.P.DrawImage(g.img.imgelectrodes, static_cast<float>(e->sx), static_cast<float>(e->sy),
                      e->animframe);
      }
      UpdateRobots(g);
    }

    if (i > 45) MaterialisePlayer(g, i);

    if (i > 59) {
      g.P.DrawImage(g.img.imgplayer, static_cast<float>(g.plyr->sx), static_cast<float>(g.plyr->sy),
                    1);
    }

    EndIntroFrame(g);
  }
}

// Back from a lost life: humans, then robots, then the player pop in; nothing
// moves.
void ResumeIntro(Game& g) {
  for (int i = 0; i < kResumeFrames; ++i) {
    BeginIntroFrame(g);
    if (i > 0) DrawHumans(g);
    if (i > 5) DrawRobots(g);
    if (i > 10) DrawPlayer(g);
    EndIntroFrame(g);
  }
}

struct Rgb {
  int r, g, b;
};

void DrawRings(Game& g, const Rgb* ring, int s) {
  for (int k = 0; k <= s; ++k) {
    Colour(g, ring[k].r, ring[k].g, ring[k].b);
    DrawBox(g, 8 * k, 8 * k, 640 - 16 * k, 6, 1, -1, -1, -1, 1);
    DrawBox(g, 8 * k, 480 - 8 * k, 640 - 16 * k + 8, 6, 1, -1, -1, -1, 1);
    DrawBox(g, 8 * k, 8 * k, 6, 480 - 16 * k, 1, -1, -1, -1, 1);
    DrawBox(g, 640 - 8 * k, 8 * k, 6, 480 - 16 * k, 1, -1, -1, -1, 1);
  }
}

}  // namespace

void PlayerDeath(Game& g) {
  // The death sound starts at once and alone.
  ClearSoundRequests(g);
  Raise(g, kSndPlayerhit);
  PlaySoundRequests(g);
  ClearSoundRequests(g);

  for (int i = 0; i < kDeathFrames; ++i) {
    White(g);
    g.P.DrawImage(g.img.imgplayer, static_cast<float>(g.plyr->sx), static_cast<float>(g.plyr->sy),
                  72 + i % 6);
    DrawHumans(g);
    DrawRobots(g);
    UpdateBits(g);  // fragments keep flying over the frozen scene
    DrawEffectsAndHud(g);
    g.P.Flip(0);
    g.P.Cls();
    g.P.Delay(10);
  }
}

void WaveIntro(Game& g, bool restart) {
  if (!restart) {
    WaveStartIntro(g);
  } else {
    ResumeIntro(g);
  }
}

void WaveOutro(Game& g) {
  Rgb ring[kRingSteps + 1];
  for (Rgb& c : ring) {
    CycleColour(g);
    CycleColour(g);
    c = {g.cycr, g.cycg, g.cycb};
  }

  // Closing: the frozen playfield shrinks inside a growing set of rings.
  for (int s = 0; s < kRingSteps; ++s) {
    g.P.Cls();
    White(g);
    g.P.SetViewport(8 * s, 8 * s, 640 - 16 * s, 480 - 16 * s);
    DrawPlayer(g);
    DrawHumans(g);
    DrawRobots(g);
    DrawShots(g);
    DrawEffectsAndHud(g);
    g.P.SetViewport(0, 0, 640, 480);
    DrawRings(g, ring, s);
    g.P.Delay(10);
    g.P.Flip(1);
  }

  // Opening: the innermost ring goes first, leaving a growing black centre.
  for (int s = kRingSteps - 1; s >= 0; --s) {
    g.P.Cls();
    DrawRings(g, ring, s);
    g.P.Delay(10);
    g.P.Flip(1);
  }
}

}  // namespace sb
