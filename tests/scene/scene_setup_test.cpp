#include <gtest/gtest.h>

#include <map>

#include "scene/scene_test_rig.h"

namespace qv {
namespace {

// What the golden frames cannot see: a run without a seed takes the clock's
// milliseconds, and the legend's timer is started for its ten seconds.
TEST(SceneSetup, WithoutASeedTheClockSeedsTheSceneAndTheLegendTimerStarts) {
  testing::TestPlatform platform;
  platform.screenW = 64;
  platform.screenH = 48;
  platform.ticks = 123456700;  // 1234567 ms
  InputState input;
  Animation animation(platform, input);
  SceneOptions options;
  options.overlays = false;
  animation.setupScene(options);
  // The set-up's first draws fill the noise table: the same values come
  // from that seed.
  const PeriodicTable& table = animation.modules().periodicTable;
  RandomSource probe(1234567);
  PeriodicTable replay(platform, probe);
  replay.resizeTable(25, 25.0);
  replay.refillTable();
  for (int i = 0; i <= 25; ++i) EXPECT_EQ(table.values[i], replay.values[i]) << i;
  EXPECT_EQ(platform.runningTimers, (std::map<int, std::uint32_t>{{LEGEND_TIMER, LEGEND_MILLISECONDS}}));
}

}  // namespace
}  // namespace qv
