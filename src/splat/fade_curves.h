#pragma once
// The curves of the two fades of a splat: the distance fade by fadeMode and
// the life fade by a system's drawMode. Each is chosen by its mode once and
// handed to use() as a small function object, so that one loop over many
// splats runs one curve for all of them, with nothing called per splat.

#include <cstdint>

#include "particles/particle.h"

namespace qv {

// Distance-fade modes; any other non-zero mode is linear.
inline constexpr std::int32_t FADE_NONE = 0;
inline constexpr std::int32_t FADE_EASED = 1000;
inline constexpr std::int32_t FADE_EASED_SQUARED = 1001;

// 6 t^2 - 4 t^3 with t = u / 2.
inline double easeHalf(double u) {
  const double t = u / 2;
  return 6 * t * t - 4 * t * t * t;
}

// r / (r + (1 - r)(1 - b)); 0 when the denominator is 0.
inline double biasCurve(double r, double b) {
  const double denominator = r + (1 - r) * (1 - b);
  // The quotient is taken from a harmless divisor where it is not used, so
  // that a loop of these needs no branch.
  const double quotient = r / (denominator == 0.0 ? 1.0 : denominator);
  return denominator == 0.0 ? 0.0 : quotient;
}

// curve(u, d, range): u = (range - d) / range, d the depth past the fade's
// start.
template <class Use>
inline auto withFadeCurve(std::int32_t mode, Use&& use) {
  switch (mode) {
    case FADE_EASED: return use([](double u, double, double) { return easeHalf(u); });
    case FADE_EASED_SQUARED:
      return use([](double u, double, double) {
        const double e = easeHalf(u);
        return e * e;
      });
    default: return use([](double, double d, double range) { return 1 - d / range; });
  }
}

// curve(r): r = countdown / lifespan.
template <class Use>
inline auto withLifeCurve(std::int32_t mode, Use&& use) {
  switch (mode) {
    case LIFE_LINEAR: return use([](double r) { return r; });
    case LIFE_EASED: return use([](double r) { return easeHalf(r); });
    case LIFE_EASED_SQUARED:
      return use([](double r) {
        const double e = easeHalf(r);
        return e * e;
      });
    case LIFE_SMOOTH: return use([](double r) { return r * r * (3 - 2 * r); });
    case LIFE_BIAS_050: return use([](double r) { return biasCurve(r, 0.5); });
    case LIFE_BIAS_075: return use([](double r) { return biasCurve(r, 0.75); });
    case LIFE_BIAS_093: return use([](double r) { return biasCurve(r, 0.93); });
    case LIFE_BIAS_099: return use([](double r) { return biasCurve(r, 0.99); });
    case LIFE_UNTIL_END: return use([](double r) { return r == 0.0 ? 0.0 : 1.0; });
    default: return use([](double) { return 1.0; });
  }
}

}  // namespace qv
