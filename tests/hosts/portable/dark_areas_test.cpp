#include "hosts/portable/dark_areas.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(DarkAreas, EveryMonitorThatShowsNothingOfTheAnimationGoesDark) {
  const ScreenArea primary{0, 0, 1024, 768};
  const ScreenArea second{1024, 0, 800, 600};
  const ScreenArea left{-1280, 0, 1280, 1024};
  const ScreenArea above{0, -600, 800, 600};
  const ScreenArea corner{1024, 768, 800, 600};  // touching at a corner only
  const struct {
    std::vector<ScreenArea> monitors, dark;
  } cases[] = {
      {{primary}, {}},
      {{primary, second, left, above}, {second, left, above}},
      {{second, primary}, {second}},
      {{primary, corner}, {corner}},
      {{primary, primary, {512, 384, 1024, 768}}, {}},           // mirrored or overlapping the animation
      {{primary, second, second, {2000, 0, 0, 600}}, {second}},  // listed twice, and an empty one
  };
  for (const auto& c : cases) EXPECT_EQ(darkAreas(c.monitors, primary), c.dark) << c.monitors.size();
}

}  // namespace
}  // namespace qv
