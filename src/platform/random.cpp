#include "platform/random.h"

namespace sb {

void Random::Seed(int32_t seed) {
  int32_t s = seed & 0x7FFFFFFF;
  if (s == 0 || s == 0x7FFFFFFF) s = kUnseeded;
  state_ = s;
}

// Schrage's method: 48271 * s mod (2^31 - 1) without overflow.
int32_t Random::Next() {
  constexpr int32_t a = 48271, m = 0x7FFFFFFF, q = 44488, r = 3399;
  int32_t hi = state_ / q;
  int32_t lo = state_ % q;
  int32_t t = a * lo - r * hi;
  if (t <= 0) t += m;
  state_ = t;
  return t;
}

double Random::Real(double lo, double hi) {
  int32_t s1 = Next();
  int32_t s2 = Next();
  ++draws_;
  double f =
      (static_cast<double>(s1 & 0x1FFFFFFC) + static_cast<double>(s2 & 0x1FFFFFF8) / 134217728.0) /
      536870912.0;
  if (lo > hi) {
    double t = lo;
    lo = hi;
    hi = t;
  }
  return lo + f * (hi - lo);
}

}  // namespace sb
