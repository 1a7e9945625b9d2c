#include "draw/drawutil.h"

#include <cmath>
#include <numbers>

namespace sb {

void Colour(Game& g, int r, int g_, int b) {
  g.P.SetColor(r, g_, b);
}

void DrawBox(Game& g, int x, int y, int w, int h, int filled, int r, int g_, int b, int thickness) {
  float sx = 1, sy = 1;
  g.P.GetScale(sx, sy);
  g.P.SetScale(1, 1);
  // Kept as an integer on purpose: the game only ever draws at alpha 1.
  const int alpha = Trunc(g.P.GetAlpha());
  g.P.SetAlpha(1);
  const bool setcolour = r >= 0 && r <= 255;
  int or_ = 0, og = 0, ob = 0;
  if (setcolour) {
    g.P.GetColor(or_, og, ob);
    g.P.SetColor(r, g_, b);
  }
  if (filled != 0) {
    g.P.DrawRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                 static_cast<float>(h));
  } else {
    // Each ring one pixel inside the previous; the outer ring spans x..x+w, y..y+h.
    for (int i = 0; i < thickness; ++i) {
      const float l = static_cast<float>(x + i), t = static_cast<float>(y + i);
      const float rr = static_cast<float>(x + w - i), bb = static_cast<float>(y + h - i);
      g.P.DrawLine(l, t, rr, t);
      g.P.DrawLine(rr, t, rr, bb);
      g.P.DrawLine(rr, bb, l, bb);
      g.P.DrawLine(l, bb, l, t);
    }
  }
  if (setcolour) g.P.SetColor(or_, og, ob);
  g.P.SetAlpha(alpha);
  g.P.SetScale(sx, sy);
}

void DrawFontText(Game& g, float x, float y, const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    int c = static_cast<unsigned char>(text[i]);
    if (c >= 'a' && c <= 'z') c -= 32;
    if (c == ' ') continue;  // still takes its place
    int cell = 40;           // anything unknown shows as the '0' glyph
    if (c >= 65 && c <= 94)
      cell = c - 15;
    else if (c >= 48 && c <= 57)
      cell = c - 8;
    g.P.DrawImage(g.img.imgfont, x + 14.0f * static_cast<float>(i), y, cell);
  }
}

namespace {

void Bounce(Game& g, int32_t& c, int32_t& d) {
  c = WrapAdd(c, d);
  if (c < 0) {
    c = 0;
    d = Trunc(g.P.RandomReal(1, 10));
  } else if (c > 255) {
    c = 255;
    d = Trunc(-g.P.RandomReal(1, 10));
  }
}

// Whole quarter turns come out exact, so a prompt at rest sits on its pixel.
double Exact(double v) {
  if (std::fabs(v) < 1e-12) return 0;
  return v;
}

}  // namespace

void CycleColour(Game& g) {
  Bounce(g, g.cycr, g.cycdr);
  Bounce(g, g.cycg, g.cycdg);
  Bounce(g, g.cycb, g.cycdb);
}

double SinDeg(double deg) {
  return Exact(std::sin(deg * (std::numbers::pi / 180.0)));
}
double CosDeg(double deg) {
  return Exact(std::cos(deg * (std::numbers::pi / 180.0)));
}

}  // namespace sb
