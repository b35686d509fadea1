#include "particles/emitter.h"

#include <gtest/gtest.h>

#include <cmath>

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
  int emittedPoint() { return static_cast<int>(context.spawn.position.x); }
};

TEST_F(EmitterFixture, NewEmitterIsStoppedUntilAFrameStarts) {
  emitter.allocatePoints(2);
  EXPECT_EQ(emitter.emit(), 0);
}

TEST_F(EmitterFixture, QuotaStopsAndStartFrameRestarts) {
  numberedPoints(1);
  emitter.quota = 20;
  emitter.startFrame();
  for (int i = 0; i < 20; ++i) EXPECT_EQ(emitter.emit(), 1) << i;
  EXPECT_EQ(emitter.emit(), 0);
  EXPECT_EQ(emitter.stopped, 1);
  emitter.startFrame();
  EXPECT_EQ(emitter.emit(), 1);

  emitter.autoRestart = 0;
  for (int i = 0; i < 20; ++i) emitter.emit();
  emitter.startFrame();
  EXPECT_EQ(emitter.quotaLeft, 20);
  EXPECT_EQ(emitter.emit(), 0);  // stays stopped until something clears it
  emitter.stopped = 0;
  EXPECT_EQ(emitter.emit(), 1);

  emitter.quota = 0;  // unlimited
  for (int i = 0; i < 500; ++i) ASSERT_EQ(emitter.emit(), 1);
}

TEST_F(EmitterFixture, NoPointsNeverEmit) {
  emitter.startFrame();
  EXPECT_EQ(emitter.emit(), 0);
  emitter.allocatePoints(0);
  EXPECT_EQ(emitter.emit(), 0);
}

TEST_F(EmitterFixture, RingPointsSprayOutwardOnACircle) {
  emitter.allocatePoints(20);
  emitter.selectPoint(0);
  emitter.setRing(20, 0, 0, 0, 0.1, 0.5, 100, 0);
  EXPECT_EQ(context.currentPointIndex, 19);
  for (int i = 0; i < 20; ++i) {
    const EmitPoint& p = emitter.points[i];
    const double theta = i * 2 * 3.141592653589793 / 20;
    EXPECT_NEAR(std::hypot(p.position.x, p.position.y), 0.1, 1e-15);
    EXPECT_NEAR(p.position.x, -0.1 * std::cos(theta), 1e-15);
    EXPECT_NEAR(p.position.y, 0.1 * std::sin(theta), 1e-15);
    // Straight outward: the unit direction of the position itself.
    EXPECT_NEAR(p.direction.x, p.position.x / 0.1, 1e-12);
    EXPECT_NEAR(p.direction.y, p.position.y / 0.1, 1e-12);
    EXPECT_NEAR(p.direction.z, 0, 1e-12);
    EXPECT_EQ(p.spread, 0);
  }
  emitter.quota = 0;
  emitter.startFrame();
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(emitter.emit(), 1);
    EXPECT_EQ(context.spawn.speed, 100);
  }

  // Elevation 0 aims at the axis, 0.25 along +z.
  emitter.setRing(1, 5, 0, 0, 2, 0.25, 1, 0);
  EXPECT_NEAR(context.currentPoint->direction.z, 1, 1e-12);
  emitter.selectPoint(0);
  emitter.setRing(1, 0, 0, 0, 2, 0, 1, 0);
  EXPECT_NEAR(emitter.points[0].direction.x, 1, 1e-12);  // from the -x side toward the centre
}

TEST_F(EmitterFixture, RingPastTheLastPointIsFatal) {
  emitter.allocatePoints(4);
  emitter.selectPoint(2);
  EXPECT_THROW(emitter.setRing(3, 0, 0, 0, 1, 0, 1, 0), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown.back(), errors::INDEX_OUT_OF_RANGE);
  EXPECT_THROW(emitter.selectPoint(4), RuntimeErrorStop);
}

TEST_F(EmitterFixture, CursorVisitsPointsInTurnOrAtRandomSteps) {
  numberedPoints(3);
  emitter.quota = 0;
  emitter.startFrame();
  std::vector<int> used;
  for (int i = 0; i < 7; ++i) {
    emitter.emit();
    used.push_back(emittedPoint());
  }
  EXPECT_EQ(used, (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));

  numberedPoints(5);
  emitter.cursor = 0;
  emitter.stepRange = 2;
  RandomSource mirror(rng.state());
  unsigned expected = 0;
  for (int i = 0; i < 30; ++i) {
    emitter.emit();
    ASSERT_EQ(emittedPoint(), static_cast<int>(expected));
    expected = (expected + static_cast<unsigned>(mirror.randUpTo(1) + 1)) % 5;
  }
}

TEST_F(EmitterFixture, CursorStaysInRangeForLargeSteps) {
  numberedPoints(3);
  emitter.quota = 0;
  emitter.startFrame();
  emitter.step = 7;  // more than one round of the points
  std::vector<int> used;
  for (int i = 0; i < 4; ++i) {
    emitter.emit();
    used.push_back(emittedPoint());
    ASSERT_LT(emitter.cursor, 3u);
  }
  EXPECT_EQ(used, (std::vector<int>{0, 1, 2, 0}));

  // A cursor left beyond a shrunk set of points is folded back too.
  emitter.cursor = 10;
  EXPECT_EQ(emitter.emit(), 1);
  EXPECT_EQ(emittedPoint(), 1);
}

TEST_F(EmitterFixture, DrawsDirectionThenPositionThenSpeed) {
  emitter.allocatePoints(1);
  EmitPoint& p = emitter.points[0];
  p.kind = EMIT_IN_BOX;
  p.position = {1, 2, 3};
  p.positionJitter = {4, 5, 6};
  p.direction = {0, 0, 10};
  p.spread = 0.5;
  p.speed = 40;
  p.speedJitter = 8;
  emitter.startFrame();

  RandomSource mirror(rng.state());
  VectorOps mirrorVectors(mirror);
  ASSERT_EQ(emitter.emit(), 1);
  const Vec3 r = mirrorVectors.randomDirection();
  EXPECT_EQ(context.spawn.direction, 0.5 * r + Vec3(0, 0, 10));
  EXPECT_EQ(context.spawn.position, randVec3Around(mirror, {1, 2, 3}, 4, 5, 6));
  EXPECT_EQ(context.spawn.speed, mirror.randAround(40, 8));
  EXPECT_EQ(rng.state(), mirror.state());

  // Spread 1 gives the random direction itself; spread 0 the point's own,
  // unnormalised, even when it is zero.
  p.spread = 1;
  p.kind = EMIT_AT_POINT;
  emitter.emit();
  EXPECT_EQ(context.spawn.direction, mirrorVectors.randomDirection());
  EXPECT_EQ(context.spawn.position, (Vec3{1, 2, 3}));
  p.spread = 0;
  p.direction = {0, 0, 0};
  emitter.emit();
  EXPECT_EQ(context.spawn.direction, (Vec3{0, 0, 0}));
}

TEST_F(EmitterFixture, UnknownKindKeepsThePreviousPlace) {
  numberedPoints(2);
  emitter.quota = 0;
  emitter.startFrame();
  emitter.emit();
  emitter.points[1].kind = 5;
  emitter.points[1].speed = 3;
  emitter.emit();
  EXPECT_EQ(context.spawn.position, (Vec3{0, 0, 0}));
  EXPECT_EQ(context.spawn.speed, 3);
}

TEST_F(EmitterFixture, HookRunsBeforeTheTransformCarriesTheSpawn) {
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
  EXPECT_EQ(context.spawn.position, (Vec3{10, 25, 30 - 250}));
  EXPECT_EQ(context.spawn.direction, (Vec3{0, 0, -1}));
  EXPECT_EQ(transforms.currentIndex(), 4);
}

TEST_F(EmitterFixture, ArraysOfEmittersShareOneSpawn) {
  auto emitters = makeEmitters<3>(context);
  emitters[2].allocatePoints(1);
  emitters[2].selectPoint(0);
  emitters[2].setPoint(7, 8, 9, 0, 0, 0, 0, 1, 0);
  emitters[2].startFrame();
  ASSERT_EQ(emitters[2].emit(), 1);
  EXPECT_EQ(context.spawn.position, (Vec3{7, 8, 9}));
  EXPECT_EQ(context.currentPointOwner, &emitters[2]);
}

}  // namespace
}  // namespace qv
