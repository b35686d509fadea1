#include "geometry/trigonometry.h"

#include <cmath>

#include "geometry/angle_reduction.h"

namespace qv {

namespace {

using dd::DoubleDouble;

// Below this, x - x^3/6 rounds to x and 1 - x^2/2 to 1.
constexpr double TINY_ANGLE = 0x1p-27;

// Enough series terms for |r| <= pi/4: the first one left out is below
// 2^-117 of the sum.
constexpr int SERIES_TERMS = 14;

// 1 - r^2 t / divisor.
DoubleDouble oneMinusScaled(DoubleDouble r2, DoubleDouble t, double divisor) {
  return dd::add({1.0, 0.0}, dd::negated(dd::divide(dd::multiply(r2, t), divisor)));
}

// sin r = r (1 - r^2/(2*3) (1 - r^2/(4*5) (1 - ...))), for |r| <= pi/4.
DoubleDouble sineSeries(DoubleDouble r) {
  const DoubleDouble r2 = dd::multiply(r, r);
  DoubleDouble t{1.0, 0.0};
  for (int k = SERIES_TERMS; k >= 1; --k) t = oneMinusScaled(r2, t, (2.0 * k) * (2.0 * k + 1));
  return dd::multiply(r, t);
}

// cos r = 1 - r^2/(1*2) (1 - r^2/(3*4) (1 - ...)), for |r| <= pi/4.
DoubleDouble cosineSeries(DoubleDouble r) {
  const DoubleDouble r2 = dd::multiply(r, r);
  DoubleDouble t{1.0, 0.0};
  for (int k = SERIES_TERMS; k >= 1; --k) t = oneMinusScaled(r2, t, (2.0 * k - 1) * (2.0 * k));
  return t;
}

// The quadrant's sine (shift 0) or cosine (shift 1) of the remainder: sin x
// for quadrants 0 ... 3 is sin r, cos r, -sin r, -cos r, and cos x is sin x
// one quadrant on.
double fromQuadrant(const ReducedAngle& a, int shift) {
  const int quadrant = (a.quadrant + shift) & 3;
  const DoubleDouble v = (quadrant & 1) == 0 ? sineSeries(a.remainder) : cosineSeries(a.remainder);
  const double rounded = v.hi + v.lo;
  return quadrant >= 2 ? -rounded : rounded;
}

}  // namespace

double sine(double x) {
  if (!std::isfinite(x)) return x - x;
  const double magnitude = std::fabs(x);
  if (magnitude < TINY_ANGLE) return x;
  const double s = fromQuadrant(reduceByQuarterTurns(magnitude), 0);
  return x < 0 ? -s : s;
}

double cosine(double x) {
  if (!std::isfinite(x)) return x - x;
  const double magnitude = std::fabs(x);
  if (magnitude < TINY_ANGLE) return 1.0;
  return fromQuadrant(reduceByQuarterTurns(magnitude), 1);
}

}  // namespace qv
