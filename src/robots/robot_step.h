// Movement steps shared by the brain, spheroid and quark families.
#pragma once

namespace sb {

// Moves on each axis only when the new position stays strictly inside the
// bounds, x first; true when either axis was refused.
template <class R>
bool StepOrRefuse(R* r, float xlo, float xhi, float ylo, float yhi) {
  bool refused = false;
  float nx = r->sx + r->xv;
  if (xlo < nx && nx < xhi) {
    r->sx = nx;
  } else {
    refused = true;
  }
  float ny = r->sy + r->yv;
  if (ylo < ny && ny < yhi) {
    r->sy = ny;
  } else {
    refused = true;
  }
  return refused;
}

// As StepOrRefuse, but a refused axis reverses that velocity component.
template <class R>
void StepOrBounce(R* r, float xlo, float xhi, float ylo, float yhi) {
  float nx = r->sx + r->xv;
  if (xlo < nx && nx < xhi) {
    r->sx = nx;
  } else {
    r->xv = -r->xv;
  }
  float ny = r->sy + r->yv;
  if (ylo < ny && ny < yhi) {
    r->sy = ny;
  } else {
    r->yv = -r->yv;
  }
}

}  // namespace sb
