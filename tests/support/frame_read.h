// Reading text and shapes back out of a presented frame.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/world.h"

namespace sbt {

// A copy of a presented frame.
using Shot = std::vector<uint32_t>;
inline Shot Copy(const uint32_t* px) {
  return Shot(px, px + 640 * 480);
}

// The white text whose first glyph's top-left corner is at (x, y), n glyphs
// long; a blank position reads as a space, an unknown colour as '?'.
inline std::string ReadText(const Shot& s, int x, int y, int n) {
  std::string t;
  for (int k = 0; k < n; ++k) {
    const int px = x + 14 * k + 6, py = y + 7;
    if (px >= 640) break;
    const uint32_t c = s[py * 640 + px];
    const int cell = FontCellAt(s.data(), px, py);
    if (c == 0)
      t += ' ';
    else if (cell >= 50 && cell <= 79)
      t += static_cast<char>(cell + 15);
    else if (cell >= 40 && cell <= 49)
      t += static_cast<char>('0' + cell - 40);
    else
      t += '?';
  }
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return t;
}

// Bounding box [x0, x1] x [y0, y1] of the non-black pixels inside a region.
struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool Empty() const { return x1 < 0; }
};
inline Box Ink(const Shot& s, int rx0, int ry0, int rx1, int ry1) {
  Box b;
  for (int y = ry0; y <= ry1; ++y)
    for (int x = rx0; x <= rx1; ++x)
      if (s[y * 640 + x] != 0) {
        b.x0 = std::min(b.x0, x);
        b.x1 = std::max(b.x1, x);
        b.y0 = std::min(b.y0, y);
        b.y1 = std::max(b.y1, y);
      }
  return b;
}

// Top-left pixel (row-major first) of the given colour inside a region.
inline std::optional<std::pair<int, int>> Find(const Shot& s, uint32_t colour, int rx0, int ry0,
                                               int rx1, int ry1) {
  for (int y = ry0; y <= ry1; ++y)
    for (int x = rx0; x <= rx1; ++x)
      if (s[y * 640 + x] == colour) return std::make_pair(x, y);
  return std::nullopt;
}

// The first pixel column/row a drawing at real position v covers.
inline int FirstPixel(double v) {
  return static_cast<int>(std::ceil(static_cast<double>(static_cast<float>(v)) - 0.5));
}

}  // namespace sbt
