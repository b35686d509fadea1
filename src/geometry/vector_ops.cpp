#include "geometry/vector_ops.h"

#include <cmath>

namespace qv {

namespace {
double offset(RandomSource& rng, double s) {
  if (s == 0) return 0;
  const double r = rng.draw();
  return r * 2 * s / 32767 - s;
}
}  // namespace

Vec3 randVec3Around(RandomSource& rng, const Vec3& centre, double sx, double sy, double sz) {
  Vec3 v;
  v.z = centre.z + offset(rng, sz);
  v.y = centre.y + offset(rng, sy);
  v.x = centre.x + offset(rng, sx);
  return v;
}

void VectorOps::normalise(Vec3& v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  lastLength = len;
  if (len > 1e-16) {
    v.x /= len;
    v.y /= len;
    v.z /= len;
  }
}

Vec3 VectorOps::normalised(const Vec3& v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  lastLength = len;
  if (len > 1e-16) {
    const double inv = 1 / len;
    return {v.x * inv, v.y * inv, v.z * inv};
  }
  return v;
}

Vec3 VectorOps::randomInCube(double h) {
  Vec3 v;
  if (2 * h == 0) return v;
  v.x = -h + 2 * h * unit();
  v.y = -h + 2 * h * unit();
  v.z = -h + 2 * h * unit();
  return v;
}

Vec3 VectorOps::randomDirection() {
  Vec3 v = randomInCube(1);
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  lastLength = len;
  return {v.x / len, v.y / len, v.z / len};
}

Vec3 VectorOps::randomVelocity(double mean, double jitter) {
  const Vec3 v = randomInCube(1);
  const double len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  lastLength = len;
  const double inv = 1 / len;
  const Vec3 d{v.x * inv, v.y * inv, v.z * inv};
  const double s = rng_.randAround(mean, jitter);
  return {d.x * s, d.y * s, d.z * s};
}

std::uint32_t VectorOps::jitterColour(std::uint32_t colour, std::int32_t j) {
  if (j == 0) return colour;
  auto channel = [&](int shift) {
    const int value = static_cast<int>((colour >> shift) & 0xFFu);
    int moved = value + static_cast<int>(-j + 2 * j * unit() + 0.5);
    if (moved < 0) moved = 0;
    if (moved > 255) moved = 255;
    return static_cast<std::uint32_t>(moved);
  };
  const std::uint32_t b = channel(0);
  const std::uint32_t g = channel(8);
  const std::uint32_t r = channel(16);
  return 0xFF000000u | r << 16 | g << 8 | b;
}

}  // namespace qv
