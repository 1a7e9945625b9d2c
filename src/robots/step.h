// The bounded step shared by the walking kinds.
#pragma once

namespace sb {

// Moves r by its velocity, each axis only while the new coordinate stays
// strictly inside its bounds (x first). Returns false when either axis was
// refused; the refused axis keeps its coordinate.
template <class R>
bool BoundedStep(R& r, float xlo, float xhi, float ylo, float yhi) {
  bool ok = true;
  const float nx = r.sx + r.xv;
  if (xlo < nx && nx < xhi) {
    r.sx = nx;
  } else {
    ok = false;
  }
  const float ny = r.sy + r.yv;
  if (ylo < ny && ny < yhi) {
    r.sy = ny;
  } else {
    ok = false;
  }
  return ok;
}

}  // namespace sb
