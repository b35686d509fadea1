// The wobble tables must give exactly the offsets the noise curve gives, for
// every countdown they hold and, past them, by working the curve directly.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "scene/scene_test_rig.h"

namespace qv {
namespace {

// Bit for bit: the tables stand in for the curve, so equal is not enough
// when a -0.0 or a last-bit rounding would slip through.
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

Scene::WobbleOffset fromCurve(const PeriodicTable& noise, bool trail, std::int32_t countdown) {
  const double d = countdown;
  if (!trail) return {noise.sampleTable(-1.5 * d, 1) * 10 - 5, noise.sampleTable(347 - 1.5 * d, 1) * 10 - 5};
  return {noise.sampleTable(-2 * d, 1) * 4 - 2, noise.sampleTable(347 - 2 * d, 1) * 4 - 2};
}

TEST(WobbleTables, EveryCountdownOfBothGroupsMatchesTheCurveBitForBit) {
  for (std::uint32_t seed : {1u, 77u}) {
    testing::SceneRig rig(seed);
    const PeriodicTable& noise = rig.m().periodicTable;
    for (bool trail : {false, true}) {
      // Negative and past-the-table countdowns take the direct way.
      for (std::int32_t d = -40; d <= SLOW_FOUNTAIN_LIFE + 700; ++d) {
        const Scene::WobbleOffset want = fromCurve(noise, trail, d);
        const Scene::WobbleOffset got = rig.scene().wobbleOffset(trail, d);
        ASSERT_TRUE(sameBits(got.dy, want.dy)) << "seed " << seed << " trail " << trail << " d " << d;
        ASSERT_TRUE(sameBits(got.dx, want.dx)) << "seed " << seed << " trail " << trail << " d " << d;
      }
    }
  }
}

}  // namespace
}  // namespace qv
