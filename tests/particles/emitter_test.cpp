#include "particles/emitter.h"

#include <gtest/gtest.h>

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
  // The points used by the next n emissions, -1 for none.
  std::vector<int> emittedPoints(int n) {
    std::vector<int> used;
    for (int i = 0; i < n; ++i)
      used.push_back(emitter.emit() == 1 ? static_cast<int>(context.spawn.position.x) : -1);
    return used;
  }
};

TEST_F(EmitterFixture, TheCursorStepsThroughThePointsAndStaysInRange) {
  EXPECT_EQ(emitter.emit(), 0);  // no points
  numberedPoints(3);
  emitter.quota = 0;
  emitter.startFrame();
  EXPECT_EQ(emittedPoints(7), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
  emitter.step = 7;  // more than one round of the points
  EXPECT_EQ(emittedPoints(3), (std::vector<int>{1, 2, 0}));
  emitter.cursor = 10;  // left beyond a shrunk set of points
  EXPECT_EQ(emittedPoints(1), (std::vector<int>{1}));
  // A ring must fit into the points from the current one on.
  emitter.selectPoint(1);
  EXPECT_THROW(emitter.setRing(3, 0, 0, 0, 1, 0, 1, 0), RuntimeErrorStop);
  EXPECT_THROW(emitter.selectPoint(3), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>(2, std::string(errors::INDEX_OUT_OF_RANGE)));
}

TEST_F(EmitterFixture, DrawsTheDirectionThenThePositionThenTheSpeed) {
  emitter.allocatePoints(1);
  emitter.points[0] = EmitPoint{{1, 2, 3}, {4, 5, 6}, {0, 0, 10}, 0.5, 40, 8, EMIT_IN_BOX};
  emitter.quota = 0;
  emitter.startFrame();

  RandomSource mirror(rng.state());
  VectorOps mirrorVectors(mirror);
  ASSERT_EQ(emitter.emit(), 1);
  const Vec3 r = mirrorVectors.randomDirection();
  EXPECT_EQ(context.spawn.direction, 0.5 * r + Vec3(0, 0, 10));
  EXPECT_EQ(context.spawn.position, randVec3Around(mirror, {1, 2, 3}, 4, 5, 6));
  EXPECT_EQ(context.spawn.speed, mirror.randAround(40, 8));
  EXPECT_EQ(rng.state(), mirror.state());
}

}  // namespace
}  // namespace qv
