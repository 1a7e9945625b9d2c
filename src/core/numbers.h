// Arithmetic the rules rely on, without undefined behaviour, and numbers as text.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace sb {

// Real to integer, truncating toward zero; NaN gives 0, out of range saturates.
inline int32_t Trunc(double x) {
  if (std::isnan(x)) return 0;
  if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
  if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(x);
}
// 32-bit wrapping addition (scores).
inline int32_t WrapAdd(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline int32_t WrapMul(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}
template <class T>
inline T Sgn(T x) {
  return static_cast<T>((x > 0) - (x < 0));
}

// Decimal text of n, with a leading '-' when negative.
inline std::string IntStr(int32_t n) {
  return std::to_string(n);
}

}  // namespace sb
