#include "geometry/transform.h"

#include <gtest/gtest.h>

#include <cmath>

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

TEST_F(TransformFixture, SelectingAnEmptySlotCreatesADefaultAndItIsUpdatedFirst) {
  table.selectTransform(2);
  table.setTurnSteps(0, 0, 1);
  table.selectTransform(5);
  table.updateTransforms();
  EXPECT_EQ(table.currentIndex(), 2);  // the oldest is visited last
  EXPECT_EQ(table.at(2)->rotated, 1);
  EXPECT_EQ(table.at(5)->rotated, 0);
}

TEST_F(TransformFixture, IndexOutsideTheTableIsFatal) {
  EXPECT_THROW(table.selectTransform(1025), RuntimeErrorStop);
  EXPECT_THROW(table.selectTransform(-1), RuntimeErrorStop);
  ASSERT_EQ(platform.errorsShown.size(), 2u);
  table.selectTransform(1024);
  EXPECT_EQ(table.currentIndex(), 1024);
}

TEST_F(TransformFixture, TurnAboutYRotatesZTowardX) {
  table.selectTransform(1);
  table.setTurnSteps(0, 1, 0);
  table.setTurnAngle(0.5);
  table.stepRotation();
  const Transform& t = table.current();
  expectNear(t.axisZ, {std::sin(0.5), 0, std::cos(0.5)});
  expectNear(t.axisX, {std::cos(0.5), 0, -std::sin(0.5)});
  table.setTurnSteps(0, -1, 0);
  table.stepRotation();
  expectNear(t.axisZ, {0, 0, 1});
}

TEST_F(TransformFixture, PivotOffsetTranslatesThenTravelsOnACircle) {
  table.selectTransform(1);
  table.setPosition(1, 2, 3);
  table.setPivotOffset(4, 0, 0);
  table.updateTransforms();
  table.selectTransform(1);
  EXPECT_EQ(table.toWorldDirection({7, 8, 9}), Vec3(7, 8, 9));  // unrotated: only translates
  EXPECT_EQ(table.toWorldPoint({1, 1, 1}), Vec3(6, 3, 4));

  table.selectTransform(3);
  table.setPosition(10, 20, 30);
  table.setPivotOffset(250, 0, 0);
  table.setTurnSteps(0, 1, 0);
  for (int frame = 0; frame < 40; ++frame) {
    table.updateTransforms();
    table.selectTransform(3);
    const Vec3 origin = table.toWorldPoint({0, 0, 0});
    const Vec3 rel = origin - Vec3(10, 20, 30);
    EXPECT_NEAR(std::sqrt(dot(rel, rel)), 250.0, 1e-9);
    EXPECT_NEAR(rel.y, 0.0, 1e-12);
  }
}

TEST_F(TransformFixture, SpinStartsNextUpdateStopsInPlaceAndItsAngleSetsSpeed) {
  table.selectTransform(1);
  table.setSpin(0, 1, 0);
  const Transform& t = table.current();
  EXPECT_EQ(t.axisX, Vec3(1, 0, 0));  // axes untouched by setSpin
  table.updateTransforms();
  expectNear(t.axisZ, {std::sin(DEFAULT_ROTATION_ANGLE), 0, std::cos(DEFAULT_ROTATION_ANGLE)});
  table.setSpin(0, 0, 0);
  const Vec3 held = t.axisZ;
  table.updateTransforms();
  EXPECT_EQ(t.axisZ, held);

  table.selectTransform(2);
  table.setSpin(0, -1, 0);
  table.setSpinAngle(0.25);
  EXPECT_EQ(table.current().spinSteps, (std::array<std::int32_t, 3>{0, -1, 0}));
  table.stepRotation();
  expectNear(table.current().axisZ, {-std::sin(0.25), 0, std::cos(0.25)});
}

TEST_F(TransformFixture, OrientationPresets) {
  table.selectTransform(1);
  table.setOrientation(3);
  EXPECT_EQ(table.current().axisX, Vec3(0, 0, 1));
  EXPECT_EQ(table.current().axisZ, Vec3(-1, 0, 0));
  table.setOrientation(6);
  EXPECT_EQ(table.current().axisX, Vec3(0, 0, 1));
  for (int i = 0; i < 20; ++i) {
    table.setOrientation(7);
    const Transform& t = table.current();
    EXPECT_NEAR(dot(t.axisX, t.axisX), 1.0, 1e-12);
    EXPECT_NEAR(dot(t.axisY, t.axisY), 1.0, 1e-12);
    EXPECT_NEAR(dot(t.axisX, t.axisY), 0.0, 1e-12);
    EXPECT_NEAR(dot(t.axisY, t.axisZ), 0.0, 1e-12);
    expectNear(t.axisZ, cross(t.axisX, t.axisY));
  }
}

TEST_F(TransformFixture, RandomOrientationDrawsSixNumbersZYXFirst) {
  table.selectTransform(1);
  RandomSource mirror(rng.state());
  table.setOrientation(7);
  const double z = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double y = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double x = 1 - 2 * (mirror.draw() * UNIT_RANDOM_SCALE);
  const double len = std::sqrt(x * x + y * y + z * z);
  expectNear(table.current().axisX, {x / len, y / len, z / len}, 0);
  for (int i = 0; i < 3; ++i) mirror.draw();
  EXPECT_EQ(mirror.state(), rng.state());
}

}  // namespace
}  // namespace qv
