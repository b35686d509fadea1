#pragma once
// An angle as a whole number of quarter turns plus a remainder of at most an
// eighth of a turn: x = quadrant * pi/2 + remainder. The sine and cosine of
// the remainder, by series, give those of x.

#include "geometry/double_double.h"

namespace qv {

inline constexpr double QUARTER_PI = 0x1.921fb54442d18p-1;  // rounded down

struct ReducedAngle {
  int quadrant = 0;            // 0 ... 3: x's quarter turns modulo four
  dd::DoubleDouble remainder;  // |remainder| <= pi/4, to about 2^-100 of itself
};

// For any finite x >= 0. The reduction multiplies x exactly by as many bits
// of 2/pi as its exponent needs (Payne and Hanek's method, in integers), so it
// is as good for x = 1e300 as for x = 3, and the same on every build.
ReducedAngle reduceByQuarterTurns(double x);

}  // namespace qv
