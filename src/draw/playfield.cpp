#include "draw/playfield.h"

#include <algorithm>
#include <cstdint>

#include "draw/drawutil.h"

namespace sb {

namespace {

constexpr int kScoreDigits = 8;
constexpr int kMaxManIcons = 20;
constexpr int kManIconCell = 78;
constexpr int kDigitCells = 40;  // the text font's '0'
constexpr int kPointLife = 29;   // shown for 30 frames

float F(int v) {
  return static_cast<float>(v);
}

// Integer or real positions alike: each record's animframe cell at its position.
template <class R>
void DrawCells(Game& g, TList<R>& list, int image) {
  for (R* r : list.Walk()) {
    g.P.DrawImage(image, static_cast<float>(r->sx), static_cast<float>(r->sy), r->animframe);
  }
}

void DrawBorderBox(Game& g) {
  Colour(g, g.cycr, g.cycg, g.cycb);
  DrawBox(g, 19, 19, 603, 443, 0, g.cycr, g.cycg, g.cycb, 2);
}

}  // namespace

void DrawPlayer(Game& g) {
  g.P.DrawImage(g.img.imgplayer, F(g.plyr->sx), F(g.plyr->sy), g.plyr->animframe);
}

void DrawShots(Game& g) {
  for (kxshot* s : g.kxshot_list.Walk())
    g.P.DrawImage(g.img.imgshots, F(s->sx), F(s->sy), s->frame);
}

void DrawHumans(Game& g) {
  DrawCells(g, g.kxhuman_list, g.img.imghumans);
}

void DrawRobots(Game& g) {
  // Later kinds cover earlier ones.
  DrawHulks(g);
  DrawGrunts(g);
  DrawProgs(g);
  DrawBrains(g);
  DrawCruises(g);
  DrawSpheroids(g);
  DrawEnforcers(g);
  DrawQuarks(g);
  DrawTanks(g);
  DrawBalls(g);
  DrawPluses(g);
  DrawElectrodes(g);
}

void DrawHulks(Game& g) {
  DrawCells(g, g.kxhulk_list, g.img.imghulks);
}

void DrawGrunts(Game& g) {
  for (kxgrunt* r : g.kxgrunt_list.Walk()) {
    g.P.DrawImage(g.img.imggrunts, r->sx, r->sy, r->animframe + 3 * r->col);
  }
}

void DrawProgs(Game& g) {
  // Seven copies from the last position to this one, fading through three cell blocks.
  for (kxprog* r : g.kxprog_list.Walk()) {
    const float dx = (r->sx - r->psx) / 6.0f;
    const float dy = (r->sy - r->psy) / 6.0f;
    for (int t = 0; t <= 6; ++t) {
      g.P.DrawImage(g.img.imgprogs, r->psx + F(t) * dx, r->psy + F(t) * dy,
                    r->animframe + 36 * (t / 3));
    }
  }
}

void DrawBrains(Game& g) {
  DrawCells(g, g.kxbrain_list, g.img.imgbrains);
}

void DrawCruises(Game& g) {
  constexpr int kHeadCell = 7;
  for (kxcruise* r : g.kxcruise_list.Walk()) {
    const float dx = (r->sx - r->psx) / 16.0f;
    const float dy = (r->sy - r->psy) / 16.0f;
    for (int t = 0; t <= 16; ++t) {
      g.P.DrawImage(g.img.imgcruises, r->psx + F(t) * dx, r->psy + F(t) * dy, r->animframe);
    }
    g.P.DrawImage(g.img.imgcruises, r->sx, r->sy, kHeadCell);
  }
}

void DrawSpheroids(Game& g) {
  for (kxspheroid* r : g.kxspheroid_list.Walk()) {
    g.P.DrawImage(g.img.imgspheroids, r->sx, r->sy, r->animframe + 7 * r->animcounter);
  }
}

void DrawEnforcers(Game& g) {
  DrawCells(g, g.kxenforcer_list, g.img.imgenforcers);
}

void DrawQuarks(Game& g) {
  for (kxquark* r : g.kxquark_list.Walk()) {
    g.P.DrawImage(g.img.imgquarks, r->sx, r->sy, r->animframe + 7 * (r->animcounter % 2));
  }
}

void DrawTanks(Game& g) {
  DrawCells(g, g.kxtank_list, g.img.imgtanks);
}
void DrawBalls(Game& g) {
  DrawCells(g, g.kxball_list, g.img.imgballs);
}
void DrawPluses(Game& g) {
  DrawCells(g, g.kxplus_list, g.img.imgpluses);
}
void DrawElectrodes(Game& g) {
  DrawCells(g, g.kxelectrode_list, g.img.imgelectrodes);
}

void DrawBits(Game& g) {
  for (kxbit* b : g.kxbit_list.Walk()) {
    const int image = b->vh == 1 ? g.img.imgbitsv : g.img.imgbits;
    g.P.DrawImage(image, b->sx, b->sy, b->frame);
  }
}

void DrawPoints(Game& g) {
  for (kxpoint* p : g.kxpoint_list.Walk()) {
    g.P.DrawImage(g.img.imgpoints, F(p->sx), F(p->sy), p->frame + 5 * ((p->dur / 2) % 5));
    p->dur += 1;
    if (p->dur > kPointLife) g.kxpoint_list.Remove(p);
  }
}

void DrawDeaths(Game& g) {
  for (kxdeath* d : g.kxdeath_list.Walk()) {
    g.P.DrawImage(g.img.imgdeath, F(d->sx), F(d->sy), d->dur / 4);
    d->dur -= 1;
    if (d->dur < 0) g.kxdeath_list.Remove(d);
  }
}

void DrawShrinkles(Game& g) {
  DrawCells(g, g.kxshrinkle_list, g.img.imgelectrodes);
}

void DrawHud(Game& g) {
  kxplyr& p = *g.plyr;
  // Eight digits with leading zeros; only the low eight of a larger score show.
  int32_t s = p.score;
  for (int i = 0; i < kScoreDigits; ++i) {
    g.P.DrawImage(g.img.imgfont, F(112 - 12 * i), 1, kDigitCells + s % 10);
    s /= 10;
  }
  g.P.DrawImage(g.img.imgwave, 280, 466, 0);
  if (p.men > 0) {
    const int n = std::min(p.men, kMaxManIcons);
    for (int i = 0; i < n; ++i) g.P.DrawImage(g.img.imgplayer, F(126 + 16 * i), 0, kManIconCell);
  }
  // At most one free man a frame; the threshold is computed wide so it cannot wrap.
  const int64_t next = static_cast<int64_t>(g.freeman) * p.numfreemen;
  if (p.score >= next) {
    p.numfreemen += 1;
    p.men += 1;
    Raise(g, kSndBonus);
  }
}

void DrawBorder(Game& g) {
  if (g.wave == nullptr) return;
  switch (g.wave->borderstyle) {
    case 1:
      DrawBorderBox(g);
      break;
    case 2:
      CycleColour(g);
      DrawBorderBox(g);
      break;
    case 3:
      CycleColour(g);
      CycleColour(g);
      DrawBorderBox(g);
      break;
    default:
      break;  // no border
  }
}

void DrawEffectsAndHud(Game& g) {
  DrawBits(g);
  DrawPoints(g);
  DrawDeaths(g);
  DrawShrinkles(g);
  DrawHud(g);
  DrawBorder(g);
}

void MakeWaveLabel(Game& g) {
  g.P.SetScale(1, 1);
  g.P.Cls();
  g.P.SetColor(255, 255, 255);
  // W, A, V, E from the small glyph set.
  g.P.DrawImage(g.img.imgfont, 0, 0, 32);
  g.P.DrawImage(g.img.imgfont, 6, 0, 10);
  g.P.DrawImage(g.img.imgfont, 10, 0, 31);
  g.P.DrawImage(g.img.imgfont, 14, 0, 14);
  // Units at x 28, then leftwards; no leading zeros, at most four digits.
  int32_t n = g.plyr->level;
  for (int i = 0; i < 4; ++i) {
    if (n > 0) g.P.DrawImage(g.img.imgfont, static_cast<float>(28 - 4 * i), 0, n % 10);
    n = n / 10;
  }
  g.P.CaptureImage(g.img.imgwave, 0, 0, 0);
  g.P.Cls();
  g.P.SetScale(2, 2);
}

}  // namespace sb
