#include "robots/bits.h"

namespace sb {

namespace {

constexpr int kStrips = 12;
constexpr float kAcceleration = 1.6f;

}  // namespace

void CreateBits(Game& g, int x, int y, int row, int code) {
  // The code is dx + 3*dy + 5 of the shot; the strips fly apart across its path.
  enum Pattern { kSideways, kUpDown, kDiagonal, kAntiDiagonal };
  Pattern p;
  switch (code) {
    case 2:
    case 8:
      p = kSideways;
      break;
    case 4:
    case 6:
      p = kUpDown;
      break;
    case 3:
    case 7:
      p = kDiagonal;
      break;
    case 1:
    case 9:
      p = kAntiDiagonal;
      break;
    default:
      return;  // no burst for any other code
  }
  for (int i = 0; i < kStrips; ++i) {
    kxbit& b = *g.kxbit_list.New();
    const float v = g.bitspeeds[i];
    b.frame = kStrips * row + i;
    if (p == kSideways) {
      b.xv = v;
      b.yv = 0;
      b.sx = static_cast<float>(x + i - 5);
      b.sy = static_cast<float>(y - 5);
      b.vh = 1;
      b.dur = 20;
      continue;
    }
    b.sx = static_cast<float>(x - 5);
    b.sy = static_cast<float>(y + i - 5);
    b.vh = 0;
    b.yv = v;
    if (p == kUpDown) {
      b.xv = 0;
      b.dur = 16;
    } else {
      b.xv = p == kDiagonal ? v : -v;
      b.dur = 20;
    }
  }
}

void UpdateBits(Game& g) {
  for (kxbit* b : g.kxbit_list.Walk()) {
    if (b->dur > 0) {
      b->dur -= 1;
      b->xv = b->xv * kAcceleration;
      b->yv = b->yv * kAcceleration;
      b->sx = b->sx + b->xv;
      b->sy = b->sy + b->yv;
    } else {
      g.kxbit_list.Remove(b);
    }
  }
}

}  // namespace sb
