#include "particles/emitter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct EmitterFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{11};
  VectorOps vectors{rng};
  TransformTable transforms{platform, vectors};
  EmitterContext context{platform, rng, vectors, transforms};
  Emitter emitter{context};

  // n points at x = 0, 1, 2, ... that emit exactly along +x with speed 100.
  void numberedPoints(std::uint32_t n) {
    emitter.allocatePoints(n);
    for (std::uint32_t i = 0; i < n; ++i) {
      emitter.selectPoint(static_cast<int>(i));
      emitter.setPoint(i, 0, 0, 1, 0, 0, 0, 100, 0);
    }
  }
  std::vector<int> emittedPoints(int n) {
    std::vector<int> used;
    for (int i = 0; i < n; ++i)
      used.push_back(emitter.emit() == 1 ? static_cast<int>(context.spawn.position.x) : -1);
    return used;
  }
};

TEST_F(EmitterFixture, TheQuotaStopsAFrameAndOnlyAutoRestartStartsTheNext) {
  numberedPoints(1);
  EXPECT_EQ(emitter.emit(), 0);  // stopped until a frame starts
  emitter.quota = 3;
  emitter.startFrame();
  EXPECT_EQ(emittedPoints(4), (std::vector<int>{0, 0, 0, -1}));
  emitter.startFrame();
  EXPECT_EQ(emitter.emit(), 1);
  emitter.autoRestart = 0;
  emittedPoints(3);
  emitter.startFrame();
  EXPECT_EQ(emitter.quotaLeft, 3);
  EXPECT_EQ(emitter.emit(), 0);
  emitter.stopped = 0;
  emitter.quota = 0;  // unlimited
  EXPECT_EQ(emittedPoints(50), std::vector<int>(50, 0));
  emitter.allocatePoints(0);
  EXPECT_EQ(emitter.emit(), 0);
}

TEST_F(EmitterFixture, RingPointsSprayStraightOutward) {
  emitter.allocatePoints(20);
  emitter.selectPoint(0);
  emitter.setRing(20, 0, 0, 0, 0.1, 0.5, 100, 0);
  EXPECT_EQ(context.currentPointIndex, 19);
  for (int i = 0; i < 20; ++i) {
    const EmitPoint& p = emitter.points[i];
    const double theta = i * 2 * 3.141592653589793 / 20;
    EXPECT_NEAR(p.position.x, -0.1 * std::cos(theta), 1e-15);
    EXPECT_NEAR(p.position.y, 0.1 * std::sin(theta), 1e-15);
    EXPECT_NEAR(p.direction.x, p.position.x / 0.1, 1e-12);
    EXPECT_NEAR(p.direction.y, p.position.y / 0.1, 1e-12);
    EXPECT_NEAR(p.direction.z, 0, 1e-12);
    EXPECT_EQ(std::tuple(p.spread, p.speed), std::tuple(0.0, 100.0));
  }
  // Elevation 0.25 aims along +z; elevation 0 at the centre.
  emitter.setRing(1, 5, 0, 0, 2, 0.25, 1, 0);
  EXPECT_NEAR(context.currentPoint->direction.z, 1, 1e-12);
  emitter.selectPoint(0);
  emitter.setRing(1, 0, 0, 0, 2, 0, 1, 0);
  EXPECT_NEAR(emitter.points[0].direction.x, 1, 1e-12);

  emitter.selectPoint(18);
  EXPECT_THROW(emitter.setRing(3, 0, 0, 0, 1, 0, 1, 0), RuntimeErrorStop);
  EXPECT_THROW(emitter.selectPoint(20), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown.back(), errors::INDEX_OUT_OF_RANGE);
}

TEST_F(EmitterFixture, TheCursorStepsThroughThePointsAndStaysInRange) {
  numberedPoints(3);
  emitter.quota = 0;
  emitter.startFrame();
  EXPECT_EQ(emittedPoints(7), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
  emitter.step = 7;  // more than one round of the points
  EXPECT_EQ(emittedPoints(3), (std::vector<int>{1, 2, 0}));
  emitter.cursor = 10;  // left beyond a shrunk set of points
  EXPECT_EQ(emittedPoints(1), (std::vector<int>{1}));

  numberedPoints(5);
  emitter.cursor = 0;
  emitter.stepRange = 2;
  RandomSource mirror(rng.state());
  unsigned expected = 0;
  for (int i = 0; i < 30; ++i) {
    ASSERT_EQ(emittedPoints(1), (std::vector<int>{static_cast<int>(expected)}));
    expected = (expected + static_cast<unsigned>(mirror.randUpTo(1) + 1)) % 5;
  }
}

TEST_F(EmitterFixture, DrawsTheDirectionThenThePositionThenTheSpeed) {
  emitter.allocatePoints(2);
  EmitPoint& p = emitter.points[0];
  p = EmitPoint{{1, 2, 3}, {4, 5, 6}, {0, 0, 10}, 0.5, 40, 8, EMIT_IN_BOX};
  emitter.points[1] = EmitPoint{{9, 9, 9}, {}, {0, 0, 0}, 1, 3, 0, 5};
  emitter.quota = 0;
  emitter.startFrame();

  RandomSource mirror(rng.state());
  VectorOps mirrorVectors(mirror);
  ASSERT_EQ(emitter.emit(), 1);
  const Vec3 r = mirrorVectors.randomDirection();
  EXPECT_EQ(context.spawn.direction, 0.5 * r + Vec3(0, 0, 10));
  EXPECT_EQ(context.spawn.position, randVec3Around(mirror, {1, 2, 3}, 4, 5, 6));
  EXPECT_EQ(context.spawn.speed, mirror.randAround(40, 8));
  // An unknown kind keeps the last place and direction; spread 1 draws a
  // direction all the same.
  const Spawn before = context.spawn;
  ASSERT_EQ(emitter.emit(), 1);
  mirrorVectors.randomDirection();
  EXPECT_EQ(std::tuple(context.spawn.position, context.spawn.direction, context.spawn.speed),
            std::tuple(before.position, before.direction, 3.0));
  EXPECT_EQ(rng.state(), mirror.state());
  // Spread 0: the point's own direction, unnormalised, even a zero one.
  p = EmitPoint{{1, 2, 3}, {}, {0, 0, 0}, 0, 40, 0, EMIT_AT_POINT};
  emitter.emit();
  EXPECT_EQ(std::tuple(context.spawn.position, context.spawn.direction),
            std::tuple(Vec3{1, 2, 3}, Vec3{0, 0, 0}));
}

TEST_F(EmitterFixture, TheHookRunsBeforeTheTransformCarriesTheSpawn) {
  numberedPoints(1);
  emitter.points[0].position = {0, 0, 0};
  transforms.selectTransform(4);
  transforms.setPosition(10, 20, 30);
  transforms.setPivotOffset(250, 0, 0);
  transforms.setOrientation(0);  // axisX = -z, axisZ = +x
  transforms.updateTransforms();
  transforms.selectTransform(1);
  struct Nudge {
    EmitterContext* context;
    void run() { context->spawn.position.y = 5; }
  } nudge{&context};
  emitter.emitHook = Hook::member<&Nudge::run>(&nudge);
  emitter.transform = 4;
  emitter.startFrame();
  ASSERT_EQ(emitter.emit(), 1);
  // (250, 5, 0) carried by the axes, then moved to the origin.
  EXPECT_EQ(std::tuple(context.spawn.position, context.spawn.direction, transforms.currentIndex()),
            std::tuple(Vec3{10, 25, 30 - 250}, Vec3{0, 0, -1}, 4));
}

}  // namespace
}  // namespace qv
