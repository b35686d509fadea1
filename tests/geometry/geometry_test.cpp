// Vectors, their random draws, and the transforms that place the systems.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "geometry/transform.h"
#include "geometry/vector_ops.h"
#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

TEST(VectorOps, TinyVectorsAreNotNormalisedAndReflectionNeedsMotionAgainstTheNormal) {
  RandomSource rng;
  VectorOps ops(rng);
  EXPECT_EQ(std::tuple(ops.normalised({1e-17, 0, 0}), ops.lastLength), std::tuple(Vec3(1e-17, 0, 0), 1e-17));
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
  const double rz = mirror.draw(), ry = mirror.draw(), rx = mirror.draw();
  const Vec3 w = randVec3Around(rng, {1, 2, 3}, 10, 20, 30);
  EXPECT_EQ(std::tuple(w.z, w.y, w.x),
            std::tuple(3 + (rz * 2 * 30 / 32767 - 30), 2 + (ry * 2 * 20 / 32767 - 20),
                       1 + (rx * 2 * 10 / 32767 - 10)));
  const Vec3 flat = randVec3Around(rng, {1, 2, 3}, 0, 20, 0);  // one draw, for y
  mirror.draw();
  EXPECT_EQ(std::tuple(flat.x, flat.z, rng.state()), std::tuple(1.0, 3.0, mirror.state()));
}

TEST(VectorOps, JitterColourDrawsBlueFirstTruncatesAndClamps) {
  RandomSource rng(3);
  VectorOps ops(rng);
  EXPECT_EQ(ops.jitterColour(0x12345678u, 0), 0x12345678u);
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t c = ops.jitterColour(0x00FF00FFu, 5);  // offsets -4 ... 5
    ASSERT_TRUE(c >> 24 == 0xFF && ((c >> 16) & 0xFF) >= 251 && ((c >> 8) & 0xFF) <= 5 && (c & 0xFF) >= 251)
        << c;
  }
  RandomSource mirror(rng.state());
  const std::uint32_t c = ops.jitterColour(0xFF808080u, 20);
  const double u = mirror.draw() * UNIT_RANDOM_SCALE;
  EXPECT_EQ(static_cast<int>(c & 0xFF), 128 + static_cast<int>(-20 + 2 * 20 * u + 0.5));
}

struct TransformFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{1};
  VectorOps vectors{rng};
  TransformTable table{platform, vectors};
};

void expectNear(const Vec3& a, const Vec3& b, double eps = 1e-12) {
  EXPECT_NEAR(a.x, b.x, eps);
  EXPECT_NEAR(a.y, b.y, eps);
  EXPECT_NEAR(a.z, b.z, eps);
}

TEST_F(TransformFixture, EmptySlotsAreCreatedOnSelectionAndTheOldestIsCurrentAfterAnUpdate) {
  table.selectTransform(2);
  table.setTurnSteps(0, 0, 1);
  table.selectTransform(5);
  table.updateTransforms();
  EXPECT_EQ(table.currentIndex(), 2);
  EXPECT_EQ(std::tuple(table.at(2)->rotated, table.at(5)->rotated), std::tuple(1, 0));
  EXPECT_THROW(table.selectTransform(1025), RuntimeErrorStop);
  EXPECT_THROW(table.selectTransform(-1), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown.size(), 2u);
}

// One turn step about each axis: both axes of the turned pair come from the
// old pair.
TEST_F(TransformFixture, ATurnRotatesOnePairOfAxes) {
  const double c = std::cos(0.5);
  const double s = std::sin(0.5);
  const std::tuple<int, int, int, Vec3, Vec3, Vec3> cases[] = {{1, 0, 0, {1, 0, 0}, {0, c, s}, {0, -s, c}},
                                                               {0, 1, 0, {c, 0, -s}, {0, 1, 0}, {s, 0, c}},
                                                               {0, 0, 1, {c, s, 0}, {-s, c, 0}, {0, 0, 1}}};
  for (const auto& [a, b, cc, x, y, z] : cases) {
    table.selectTransform(1 + a + 2 * b + 3 * cc);
    table.setTurnSteps(a, b, cc);
    table.setTurnAngle(0.5);
    table.stepRotation();
    expectNear(table.current().axisX, x);
    expectNear(table.current().axisY, y);
    expectNear(table.current().axisZ, z);
  }
}

TEST_F(TransformFixture, TheRandomOrientationDrawsItsAxisZYXFirst) {
  table.selectTransform(1);
  RandomSource mirror(rng.state());
  table.setOrientation(7);
  const double z = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double y = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double x = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double len = std::sqrt(x * x + y * y + z * z);
  expectNear(table.current().axisX, {x / len, y / len, z / len}, 0);
  for (int i = 0; i < 3; ++i) mirror.draw();  // and the provisional y axis
  EXPECT_EQ(mirror.state(), rng.state());
}

}  // namespace
}  // namespace qv
