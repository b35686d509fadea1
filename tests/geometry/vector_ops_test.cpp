#include "geometry/vector_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace qv {
namespace {

TEST(VectorOps, NormaliseGuardsTinyVectorsAndRecordsLength) {
  RandomSource rng;
  VectorOps ops(rng);
  struct Case { Vec3 in, out; double length; };
  for (const Case& c : {Case{{0, 0, 0}, {0, 0, 0}, 0.0}, Case{{3, 4, 0}, {0.6, 0.8, 0}, 5.0},
                        Case{{1e-17, 0, 0}, {1e-17, 0, 0}, 1e-17}}) {
    Vec3 v = c.in;
    ops.normalise(v);
    EXPECT_EQ(v, c.out);
    EXPECT_EQ(ops.lastLength, c.length);
  }
  EXPECT_EQ(ops.normalised({1e-17, 0, 0}), Vec3(1e-17, 0, 0));
}

TEST(VectorOps, CrossAndReflect) {
  EXPECT_EQ(cross({1, 0, 0}, {0, 1, 0}), Vec3(0, 0, 1));
  EXPECT_EQ(reflect({1, 2, 3}, {1, 1, 1}), Vec3(1, 2, 3));  // same direction: unchanged
  // 2 (n.m) = -5e-8 is above the threshold: unchanged.
  EXPECT_EQ(reflect({1, 0, 0}, {-2.5e-8, 0, 0}), Vec3(1, 0, 0));
  // Opposing: n - e m with e = 2 (n.m).
  EXPECT_EQ(reflect({1, 0, 0}, {-1, 0, 0}), Vec3(-1, 0, 0));
  EXPECT_EQ(reflect({0, 1, 0}, {0, -1, 1}), Vec3(0, -1, 2));
}

TEST(VectorOps, RandomDrawOrdersAndLengths) {
  RandomSource rng(2);
  VectorOps ops(rng);
  const auto before = rng.state();
  EXPECT_EQ(ops.randomInCube(0), Vec3(0, 0, 0));
  EXPECT_EQ(rng.state(), before);

  RandomSource mirror(rng.state());
  const Vec3 v = ops.randomInCube(2);
  const double ux = mirror.draw() * UNIT_RANDOM_SCALE;
  const double uy = mirror.draw() * UNIT_RANDOM_SCALE;
  const double uz = mirror.draw() * UNIT_RANDOM_SCALE;
  EXPECT_EQ(v, Vec3(-2 + 2 * 2.0 * ux, -2 + 2 * 2.0 * uy, -2 + 2 * 2.0 * uz));

  for (int i = 0; i < 100; ++i) {
    const Vec3 vel = ops.randomVelocity(100, 0);
    EXPECT_NEAR(std::sqrt(dot(vel, vel)), 100.0, 1e-9);
    for (int k = 0; k < 3; ++k) mirror.draw();
    EXPECT_EQ(mirror.state(), rng.state());  // three draws each
  }
  const Vec3 d = ops.randomDirection();
  EXPECT_NEAR(std::sqrt(dot(d, d)), 1.0, 1e-12);
}

TEST(VectorOps, JitterColourClampsAndDrawsBlueFirst) {
  RandomSource rng(3);
  VectorOps ops(rng);
  EXPECT_EQ(ops.jitterColour(0x12345678u, 0), 0x12345678u);
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t c = ops.jitterColour(0x00FF00FFu, 5);
    EXPECT_EQ(c >> 24, 0xFFu);
    EXPECT_GE((c >> 16) & 0xFF, 251u);  // 255 + offset in -4 ... 5, clamped
    EXPECT_LE((c >> 8) & 0xFF, 5u);
    EXPECT_GE(c & 0xFF, 251u);
  }
  RandomSource a(77), mirror(77);
  VectorOps opsA(a);
  const std::uint32_t c = opsA.jitterColour(0xFF808080u, 20);
  const double ub = mirror.draw() * UNIT_RANDOM_SCALE;
  EXPECT_EQ(static_cast<int>(c & 0xFF), 128 + static_cast<int>(-20 + 2 * 20 * ub + 0.5));
}

TEST(VectorOps, RandVec3AroundDrawsZThenYThenX) {
  RandomSource a(5), b(5);
  const double rz = b.draw(), ry = b.draw(), rx = b.draw();
  const Vec3 v = randVec3Around(a, {1, 2, 3}, 10, 20, 30);
  EXPECT_EQ(std::tuple(v.z, v.y, v.x),
            std::tuple(3 + (rz * 2 * 30 / 32767 - 30), 2 + (ry * 2 * 20 / 32767 - 20), 1 + (rx * 2 * 10 / 32767 - 10)));

  RandomSource c(5), d(5);
  const Vec3 flat = randVec3Around(c, {1, 2, 3}, 0, 20, 0);
  EXPECT_EQ(std::tuple(flat.x, flat.z), std::tuple(1, 3));
  d.draw();
  EXPECT_EQ(c.state(), d.state());  // one draw only
}

}  // namespace
}  // namespace qv
