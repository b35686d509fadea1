#pragma once
// Normalisation with the module-wide `lastLength`, and the random vectors.
// Other modules read `lastLength` right after a normalisation instead of
// recomputing a length (the link pass as a distance, the bounce step as a
// speed), so every normalisation here writes it.

#include <cstdint>

#include "counters/random_source.h"
#include "geometry/vec3.h"

namespace qv {

// Each component moved by r * 2 * s / 32767 - s; draws in the order z, y, x;
// an axis with s = 0 draws nothing.
Vec3 randVec3Around(RandomSource& rng, const Vec3& centre, double sx, double sy, double sz);

class VectorOps {
 public:
  explicit VectorOps(RandomSource& rng) : rng_(rng) {}

  double lastLength = 0.0;

  // In place: divides by the length when it exceeds 1e-16, else leaves v.
  void normalise(Vec3& v);
  // Multiplies by 1 / length when it exceeds 1e-16, else returns a copy.
  Vec3 normalised(const Vec3& v);

  // Each component -h + 2h u, drawn x, y, z; no draw when 2h is 0.
  Vec3 randomInCube(double h);
  // randomInCube(1) divided by its length.
  Vec3 randomDirection();
  // randomInCube(1) times 1 / its length, times randAround(mean, jitter).
  Vec3 randomVelocity(double mean, double jitter);
  // Adds trunc(-j + 2j u + 0.5) to blue, green, red (in that order of draws),
  // clamped; alpha becomes 0xFF. j = 0 returns the colour unchanged.
  std::uint32_t jitterColour(std::uint32_t colour, std::int32_t j);

  RandomSource& random() { return rng_; }

 private:
  double unit() { return rng_.draw() * UNIT_RANDOM_SCALE; }

  RandomSource& rng_;
};

}  // namespace qv
