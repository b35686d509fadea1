#include "geometry/transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

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
  struct Case {
    int a, b, c;
    Vec3 x, y, z;
  };
  for (const Case& t :
       {Case{1, 0, 0, {1, 0, 0}, {0, c, s}, {0, -s, c}}, Case{0, 1, 0, {c, 0, -s}, {0, 1, 0}, {s, 0, c}},
        Case{0, 0, 1, {c, s, 0}, {-s, c, 0}, {0, 0, 1}}}) {
    table.selectTransform(1 + t.a + 2 * t.b + 3 * t.c);
    table.setTurnSteps(t.a, t.b, t.c);
    table.setTurnAngle(0.5);
    table.stepRotation();
    expectNear(table.current().axisX, t.x);
    expectNear(table.current().axisY, t.y);
    expectNear(table.current().axisZ, t.z);
  }
}

TEST_F(TransformFixture, PivotOffsetMovesThePointThenTurnsOnACircleAboutThePosition) {
  table.selectTransform(1);
  table.setPosition(1, 2, 3);
  table.setPivotOffset(4, 0, 0);
  table.updateTransforms();
  EXPECT_EQ(table.toWorldDirection({7, 8, 9}), Vec3(7, 8, 9));  // unrotated: only translates
  EXPECT_EQ(table.toWorldPoint({1, 1, 1}), Vec3(6, 3, 4));

  table.setTurnSteps(0, 1, 0);
  for (int frame = 0; frame < 40; ++frame) {
    table.updateTransforms();
    const Vec3 rel = table.toWorldPoint({0, 0, 0}) - Vec3(1, 2, 3);
    EXPECT_NEAR(std::sqrt(dot(rel, rel)), 4.0, 1e-12);
    EXPECT_NEAR(rel.y, 0.0, 1e-12);
  }
}

TEST_F(TransformFixture, SpinActsFromTheNextUpdateAndStopsInPlace) {
  table.selectTransform(1);
  table.setSpin(0, 1, 0);
  const Transform& t = table.current();
  EXPECT_EQ(t.axisZ, Vec3(0, 0, 1));  // axes untouched by setSpin
  table.updateTransforms();
  expectNear(t.axisZ, {std::sin(DEFAULT_ROTATION_ANGLE), 0, std::cos(DEFAULT_ROTATION_ANGLE)});
  table.setSpin(0, 0, 0);
  const Vec3 held = t.axisZ;
  table.updateTransforms();
  EXPECT_EQ(t.axisZ, held);

  table.selectTransform(2);
  table.setSpin(0, -1, 0);
  table.setSpinAngle(0.25);
  table.stepRotation();
  expectNear(table.current().axisZ, {-std::sin(0.25), 0, std::cos(0.25)});
}

TEST_F(TransformFixture, OrientationPresetsAndTheRandomOneDrawnZYXFirst) {
  table.selectTransform(1);
  table.setOrientation(3);
  EXPECT_EQ(std::tuple(table.current().axisX, table.current().axisZ),
            std::tuple(Vec3(0, 0, 1), Vec3(-1, 0, 0)));
  table.setOrientation(6);  // no such preset: unchanged
  EXPECT_EQ(table.current().axisX, Vec3(0, 0, 1));

  RandomSource mirror(rng.state());
  table.setOrientation(7);
  const double z = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double y = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double x = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double len = std::sqrt(x * x + y * y + z * z);
  const Transform& t = table.current();
  expectNear(t.axisX, {x / len, y / len, z / len}, 0);
  for (int i = 0; i < 3; ++i) mirror.draw();
  EXPECT_EQ(mirror.state(), rng.state());
  EXPECT_NEAR(dot(t.axisY, t.axisY), 1.0, 1e-12);
  EXPECT_NEAR(dot(t.axisX, t.axisY), 0.0, 1e-12);
  expectNear(t.axisZ, cross(t.axisX, t.axisY));
}

}  // namespace
}  // namespace qv
