#include "counters/random_source.h"

namespace qv {

double RandomSource::randUnit() {
  const double r = draw();
  return r / 32767;
}

int RandomSource::randUpTo(int n) {
  if (n == 0) return 0;
  const double r = draw();
  return static_cast<int>(r * n / 32767 + 0.5);
}

int RandomSource::randIntAround(int centre, int spread) {
  if (spread == 0) return centre;
  const double r = draw();
  return centre + static_cast<int>(r * 2 * spread / 32767 - spread + 0.5);
}

double RandomSource::randAround(double centre, double spread) {
  if (spread == 0) return centre;
  const double r = draw();
  return centre + r * 2 * spread / 32767 - spread;
}

}  // namespace qv
