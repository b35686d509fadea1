#include "particles/periodic_table.h"

#include <cmath>

#include "ground/memory_blocks.h"

namespace qv {

void PeriodicTable::resizeTable(std::int32_t highestIndex, double stepLength) {
  n = highestIndex;
  count = highestIndex + 1;
  countReal = count;
  scale = stepLength;
  byteSize = count * 8;
  values.allocate(platform_, static_cast<std::size_t>(count), ALIGNMENT_16, FILL_ZERO);
  refillTable();
}

void PeriodicTable::refillTable() {
  for (std::int32_t i = 0; i <= n; ++i) values[i] = rng_.randUnit();
}

double PeriodicTable::sampleTable(double x, std::int32_t smooth) const {
  double a = std::fmod(x / scale, countReal);
  if (a < 0) a += countReal;
  std::int32_t i = static_cast<std::int32_t>(a);
  // Just below 0, a + countReal can round up to countReal itself: that point
  // is the start of the next period, index 0.
  if (i >= count) {
    i = 0;
    a = 0;
  }
  std::int32_t j = i + 1;
  if (j == count) j = 0;
  double f = a - i;
  if (smooth != 0) f = f * f * (3 - 2 * f);
  return values[i] + f * (values[j] - values[i]);
}

}  // namespace qv
