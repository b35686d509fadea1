#include "geometry/vector_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace qv {
namespace {

TEST(VectorOps, NormalisationKeepsTinyVectorsAndRecordsTheLength) {
  RandomSource rng;
  VectorOps ops(rng);
  struct Case {
    Vec3 in, out;
    double length;
  };
  for (const Case& c : {Case{{0, 0, 0}, {0, 0, 0}, 0.0}, Case{{3, 4, 0}, {0.6, 0.8, 0}, 5.0},
                        Case{{1e-17, 0, 0}, {1e-17, 0, 0}, 1e-17}}) {
    Vec3 v = c.in;
    ops.normalise(v);
    EXPECT_EQ(std::tuple(v, ops.lastLength), std::tuple(c.out, c.length));
  }
  EXPECT_EQ(ops.normalised({1e-17, 0, 0}), Vec3(1e-17, 0, 0));
}

TEST(VectorOps, ReflectOnlyWhenMovingAgainstTheNormal) {
  EXPECT_EQ(reflect({1, 2, 3}, {1, 1, 1}), Vec3(1, 2, 3));
  EXPECT_EQ(reflect({1, 0, 0}, {-2.5e-8, 0, 0}), Vec3(1, 0, 0));  // 2 (n.m) = -5e-8: above the threshold
  EXPECT_EQ(reflect({0, 1, 0}, {0, -1, 1}), Vec3(0, -1, 2));      // n - e m with e = 2 (n.m)
}

TEST(VectorOps, RandomVectorsDrawInTheirOrder) {
  RandomSource rng(2);
  VectorOps ops(rng);
  RandomSource mirror(rng.state());
  EXPECT_EQ(ops.randomInCube(0), Vec3(0, 0, 0));  // no draw
  const Vec3 v = ops.randomInCube(2);
  const double ux = mirror.draw() * UNIT_RANDOM_SCALE;
  const double uy = mirror.draw() * UNIT_RANDOM_SCALE;
  const double uz = mirror.draw() * UNIT_RANDOM_SCALE;
  EXPECT_EQ(v, Vec3(-2 + 2 * 2.0 * ux, -2 + 2 * 2.0 * uy, -2 + 2 * 2.0 * uz));
  const Vec3 vel = ops.randomVelocity(100, 0);  // three draws, then none for the speed
  EXPECT_NEAR(std::sqrt(dot(vel, vel)), 100.0, 1e-9);
  for (int k = 0; k < 3; ++k) mirror.draw();
  EXPECT_EQ(mirror.state(), rng.state());
  const Vec3 d = ops.randomDirection();
  EXPECT_NEAR(std::sqrt(dot(d, d)), 1.0, 1e-12);

  RandomSource a(5), b(5);
  const double rz = b.draw(), ry = b.draw(), rx = b.draw();
  const Vec3 w = randVec3Around(a, {1, 2, 3}, 10, 20, 30);
  EXPECT_EQ(std::tuple(w.z, w.y, w.x),
            std::tuple(3 + (rz * 2 * 30 / 32767 - 30), 2 + (ry * 2 * 20 / 32767 - 20),
                       1 + (rx * 2 * 10 / 32767 - 10)));
  const Vec3 flat = randVec3Around(a, {1, 2, 3}, 0, 20, 0);  // one draw, for y
  b.draw();
  EXPECT_EQ(std::tuple(flat.x, flat.z, a.state()), std::tuple(1.0, 3.0, b.state()));
}

TEST(VectorOps, JitterColourDrawsBlueFirstAndClamps) {
  RandomSource rng(3);
  VectorOps ops(rng);
  EXPECT_EQ(ops.jitterColour(0x12345678u, 0), 0x12345678u);
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t c = ops.jitterColour(0x00FF00FFu, 5);  // offsets -4 ... 5
    ASSERT_EQ(c >> 24, 0xFFu);
    ASSERT_GE((c >> 16) & 0xFF, 251u);
    ASSERT_LE((c >> 8) & 0xFF, 5u);
    ASSERT_GE(c & 0xFF, 251u);
  }
  RandomSource mirror(rng.state());
  const std::uint32_t c = ops.jitterColour(0xFF808080u, 20);
  const double u = mirror.draw() * UNIT_RANDOM_SCALE;
  EXPECT_EQ(static_cast<int>(c & 0xFF), 128 + static_cast<int>(-20 + 2 * 20 * u + 0.5));
}

}  // namespace
}  // namespace qv
