#include "play/player.h"

#include "core/keys.h"
#include "play/collisions.h"

namespace sb {

namespace {

constexpr int kMaxShots = 30;
constexpr int kFireEvery = 4;

bool Held(Game& g, int n) {
  return LegacyKeyDown(g, n) == 1;
}
bool Button(Game& g, int b) {
  return g.P.JoyButtonDown(b, 0) != 0;
}

// Left, right, up, down in that order: with both keys of an axis held, right or down wins.
void ReadKeys(Game& g, int left, int right, int up, int down, int32_t& x, int32_t& y) {
  if (Held(g, left)) x = -1;
  if (Held(g, right)) x = 1;
  if (Held(g, up)) y = -1;
  if (Held(g, down)) y = 1;
}

// Buttons 4, 2, 3, 1: button 2 beats 4, button 1 beats 3.
void ReadButtons(Game& g, int32_t& x, int32_t& y) {
  if (Button(g, 4)) y = -1;
  if (Button(g, 2)) y = 1;
  if (Button(g, 3)) x = 1;
  if (Button(g, 1)) x = -1;
}

void ReadStick(Game& g, int32_t& x, int32_t& y) {
  x = g.P.JoyXDir(0);
  y = g.P.JoyYDir(0);
}

// 0 down, 1 up, 2 left, 3 right; horizontal movement decides first.
int Facing(int x, int y) {
  if (x < 0) return 2;
  if (x > 0) return 3;
  return y < 0 ? 1 : 0;
}

}  // namespace

void ReadControls(Game& g) {
  g.movex = 0;
  g.movey = 0;
  // Modes 0 and 1 keep the fire direction across frames, waves, lives and games.
  if (g.controls >= 2 && g.controls <= 7) {
    g.firex = 0;
    g.firey = 0;
  }
  switch (g.controls) {
    case 0:  // autofire: the fire direction sticks until Space is held while moving
      ReadKeys(g, kKeyLeft, kKeyRight, kKeyUp, kKeyDown, g.movex, g.movey);
      if (Held(g, kKeySpace) && (g.movex != 0 || g.movey != 0)) {
        g.firex = g.movex;
        g.firey = g.movey;
      }
      break;
    case 1:
      ReadStick(g, g.movex, g.movey);
      if (Button(g, 1) && (g.movex != 0 || g.movey != 0)) {
        g.firex = g.movex;
        g.firey = g.movey;
      }
      break;
    case 2:
      ReadKeys(g, kKeyLeft, kKeyRight, kKeyUp, kKeyDown, g.movex, g.movey);
      if (Held(g, kKeySpace)) {
        g.firex = g.movex;
        g.firey = g.movey;
      }
      break;
    case 3:
      ReadStick(g, g.movex, g.movey);
      if (Button(g, 1)) {
        g.firex = g.movex;
        g.firey = g.movey;
      }
      break;
    case 4:
      ReadKeys(g, kKeyJ, kKeyL, kKeyI, kKeyK, g.movex, g.movey);
      ReadKeys(g, kKeyS, kKeyF, kKeyE, kKeyD, g.firex, g.firey);
      break;
    case 5:
      ReadKeys(g, kKeyJ, kKeyL, kKeyI, kKeyK, g.firex, g.firey);
      ReadKeys(g, kKeyS, kKeyF, kKeyE, kKeyD, g.movex, g.movey);
      break;
    case 6:
      ReadStick(g, g.movex, g.movey);
      ReadButtons(g, g.firex, g.firey);
      break;
    case 7:
      ReadStick(g, g.firex, g.firey);
      ReadButtons(g, g.movex, g.movey);
      break;
    default:
      break;
  }
  g.movex = g.movex * 2 * g.speedmul;
  g.movey = g.movey * 2 * g.speedmul;
}

void MovePlayer(Game& g) {
  kxplyr& p = *g.plyr;
  // Each axis on its own, so the player slides along a wall.
  const int nx = p.sx + g.movex;
  if (20 < nx && nx < 606) p.sx = nx;
  const int ny = p.sy + g.movey;
  if (20 < ny && ny < 436) p.sy = ny;

  if (g.movex != 0 || g.movey != 0) {
    // Walking, also against a wall: steps run 1, 2, 1, 0, 1, ...
    p.animcounter += p.animdir;
    if (p.animcounter == 0 || p.animcounter == 2) p.animdir = -p.animdir;
    p.animframe = 3 * Facing(g.movex, g.movey) + p.animcounter + p.colcycle;
  } else {
    p.animframe = 3 * Facing(g.firex, g.firey) + 1 + p.colcycle;
  }
  p.colcycle += 12;
  if (p.colcycle > 60) p.colcycle = 0;

  g.firedelay -= 1;
  if (g.firedelay < 0) g.firedelay = 0;
  // The cadence runs whether or not there is a fire direction.
  if (g.numshots < kMaxShots && g.firedelay == 0) {
    CreateShot(g);
    g.firedelay = kFireEvery;
  }
}

void CreateShot(Game& g) {
  if (g.firex == 0 && g.firey == 0) return;
  kxshot& s = *g.kxshot_list.New();
  g.numshots += 1;
  s.frame = (g.firex + 1) + 3 * (g.firey + 1);
  s.xv = g.firex * 9 * g.speedmul;
  s.yv = g.firey * 9 * g.speedmul;
  s.sx = g.plyr->sx;
  s.sy = g.plyr->sy;
  Raise(g, kSndShotborn);
}

void MoveShots(Game& g) {
  for (kxshot* s : g.kxshot_list.Walk()) {
    s->sx += s->xv;
    s->sy += s->yv;
    // Shots fly through the border and live to the edge of the display.
    if (Overlap(s->sx, s->sy, 1, 1, 1, 1, 639, 479) == 0) {
      g.kxshot_list.Remove(s);
      g.numshots -= 1;
    }
  }
}

}  // namespace sb
