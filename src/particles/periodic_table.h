#pragma once
// A one-dimensional random function: n + 1 random values read as a periodic
// curve with linear or smoothstep interpolation between neighbours. The scene
// wobbles every particle sideways along it.

#include <cstdint>

#include "counters/random_source.h"
#include "ground/aligned_buffer.h"

namespace qv {

class Platform;

class PeriodicTable {
 public:
  PeriodicTable(Platform& platform, RandomSource& rng) : platform_(platform), rng_(rng) {}
  PeriodicTable(const PeriodicTable&) = delete;
  PeriodicTable& operator=(const PeriodicTable&) = delete;

  AlignedBuffer<double> values;  // count values
  double scale = 0.0;
  std::int32_t n = 0;
  std::int32_t byteSize = 0;
  std::int32_t count = 0;
  double countReal = 0.0;

  void resizeTable(std::int32_t highestIndex, double stepLength);
  void refillTable();
  // The curve at x; it repeats every count * scale units.
  double sampleTable(double x, std::int32_t smooth) const;

 private:
  Platform& platform_;
  RandomSource& rng_;
};

}  // namespace qv
