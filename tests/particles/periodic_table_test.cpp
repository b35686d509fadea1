#include "particles/periodic_table.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/test_platform.h"

namespace qv {
namespace {

TEST(PeriodicTable, ResizeFillsTheValuesInDrawOrder) {
  testing::TestPlatform platform;
  RandomSource rng{1};
  PeriodicTable table{platform, rng};
  RandomSource mirror(rng.state());
  table.resizeTable(25, 25.0);
  EXPECT_EQ(std::tuple(table.count, table.byteSize, table.countReal), std::tuple(26, 208, 26.0));
  for (int i = 0; i <= 25; ++i) EXPECT_EQ(table.values[i], mirror.randUnit());
}

TEST(PeriodicTable, SamplesInterpolateLinearlyOrSmoothlyAndWrap) {
  testing::TestPlatform platform;
  RandomSource rng{1};
  PeriodicTable table{platform, rng};
  table.resizeTable(1, 10);
  table.values[0] = 0.2;
  table.values[1] = 0.6;
  struct Case {
    double x;
    int smooth;
    double value;
  };
  for (const Case& c :
       {Case{0, 0, 0.2}, Case{0, 1, 0.2}, Case{2.5, 0, 0.3}, Case{2.5, 1, 21.0 / 80}, Case{5, 1, 0.4},
        Case{15, 0, 0.4}, Case{25, 0, 0.4}, Case{-5, 0, 0.4}, Case{-2.5, 0, 0.3}}) {
    EXPECT_NEAR(table.sampleTable(c.x, c.smooth), c.value, 1e-15) << c.x << " " << c.smooth;
  }
  // fmod gives -1e-17, and adding 2 rounds to exactly 2.0, one past the end:
  // that is the start of the next period.
  table.scale = 1;
  EXPECT_EQ(std::tuple(table.sampleTable(-1e-17, 0), table.sampleTable(-1e-17, 1)), std::tuple(0.2, 0.2));
}

}  // namespace
}  // namespace qv
