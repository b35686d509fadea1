#include "particles/periodic_table.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>

#include "support/test_platform.h"

namespace qv {
namespace {

struct PeriodicFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{1};
  PeriodicTable table{platform, rng};

  void useValues(double a, double b, double scale) {
    table.resizeTable(1, scale);
    table.values[0] = a;
    table.values[1] = b;
  }
};

TEST_F(PeriodicFixture, ResizeFillsInDrawOrder) {
  RandomSource mirror(rng.state());
  table.resizeTable(25, 25.0);
  EXPECT_EQ(std::tuple(table.count, table.byteSize, table.countReal), std::tuple(26, 208, 26.0));
  for (int i = 0; i <= 25; ++i) EXPECT_EQ(table.values[i], mirror.randUnit());
}

TEST_F(PeriodicFixture, SamplesInterpolateAndWrap) {
  useValues(0.2, 0.6, 10);
  EXPECT_NEAR(table.sampleTable(5, 0), 0.4, 1e-15);
  EXPECT_NEAR(table.sampleTable(5, 1), 0.4, 1e-15);
  EXPECT_NEAR(table.sampleTable(2.5, 0), 0.3, 1e-15);
  EXPECT_NEAR(table.sampleTable(2.5, 1), 21.0 / 80, 1e-15);
  EXPECT_NEAR(table.sampleTable(15, 0), 0.4, 1e-15);
  EXPECT_EQ(table.sampleTable(-5, 0), table.sampleTable(15, 0));
  EXPECT_EQ(table.sampleTable(0, 0), 0.2);
  EXPECT_EQ(table.sampleTable(0, 1), 0.2);
  EXPECT_NEAR(table.sampleTable(25, 0), 0.4, 1e-15);  // one period later
}

TEST_F(PeriodicFixture, TinyNegativeXFoldsToTheStart) {
  useValues(0.2, 0.6, 1);
  // fmod gives -1e-17; adding 2 rounds to exactly 2.0, one past the end.
  EXPECT_EQ(table.sampleTable(-1e-17, 0), 0.2);
  EXPECT_EQ(table.sampleTable(-1e-17, 1), 0.2);
}

}  // namespace
}  // namespace qv
