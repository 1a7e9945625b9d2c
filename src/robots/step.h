// The bounded step shared by every walking and flying kind.
#pragma once

namespace sb {

// What a refused axis does: keep its coordinate, or also reverse its velocity.
enum class Edge { kStop, kBounce };

// Moves r by its velocity, each axis only while the new coordinate stays
// strictly inside its bounds (x first). Returns false when either axis was
// refused; the refused axis keeps its coordinate.
template <Edge edge = Edge::kStop, class R>
bool BoundedStep(R& r, float xlo, float xhi, float ylo, float yhi) {
  bool ok = true;
  const float nx = r.sx + r.xv;
  if (xlo < nx && nx < xhi) {
    r.sx = nx;
  } else {
    ok = false;
    if constexpr (edge == Edge::kBounce) r.xv = -r.xv;
  }
  const float ny = r.sy + r.yv;
  if (ylo < ny && ny < yhi) {
    r.sy = ny;
  } else {
    ok = false;
    if constexpr (edge == Edge::kBounce) r.yv = -r.yv;
  }
  return ok;
}

}  // namespace sb
