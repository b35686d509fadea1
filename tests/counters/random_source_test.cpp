#include "counters/random_source.h"

#include <gtest/gtest.h>

#include <set>

namespace qv {
namespace {

TEST(RandomSource, ClassicSequenceAndOneDrawPerCall) {
  RandomSource rng(1);  // seed 1 of the classic C runtime generator
  for (int expected : {41, 18467, 6334, 26500}) EXPECT_EQ(rng.draw(), expected);
  rng.seed(1);
  EXPECT_EQ(rng.draw(), 41);

  RandomSource a(7), b(7);
  EXPECT_EQ(a.randUnit(), b.draw() / 32767.0);
  EXPECT_EQ(a.randUpTo(10), static_cast<int>(static_cast<double>(b.draw()) * 10 / 32767 + 0.5));
  EXPECT_EQ(a.randAround(75, 50), 75 + static_cast<double>(b.draw()) * 2 * 50 / 32767 - 50);
  EXPECT_EQ(a.state(), b.state());

  // Zero spread returns the centre without a draw.
  const auto before = a.state();
  EXPECT_EQ(a.randIntAround(10, 0), 10);
  EXPECT_EQ(a.randAround(2.5, 0), 2.5);
  EXPECT_EQ(a.randUpTo(0), 0);
  EXPECT_EQ(a.state(), before);
}

TEST(RandomSource, RandIntAroundTruncatesTowardZeroAndSkipsTheLowEnd) {
  RandomSource rng(11);
  std::set<int> seen;
  for (int i = 0; i < 200000; ++i) seen.insert(rng.randIntAround(15, 10));
  EXPECT_EQ(*seen.begin(), 6);  // r = 0 gives -9.5, truncated to -9: 5 never comes out
  EXPECT_EQ(*seen.rbegin(), 25);
  EXPECT_EQ(seen.size(), 20u);
}

}  // namespace
}  // namespace qv
