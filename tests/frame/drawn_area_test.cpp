#include "frame/drawn_area.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace qv {
namespace {

using Stretch = std::tuple<int, int, int>;  // row, first column, count

std::vector<Stretch> take(DrawnArea& area) {
  std::vector<Stretch> out;
  area.takeDrawn([&](int row, int column, int count) { out.emplace_back(row, column, count); });
  return out;
}

TEST(DrawnArea, MarksBecomeWholeBlocksCutAtTheLastColumn) {
  struct Mark {
    int top, bottom, left, right;
  };
  const struct Case {
    int columns;
    int blockWidth;
    std::vector<Mark> marks;
    std::vector<Stretch> stretches;
  } cases[] = {
      {100, 16, {{1, 2, 5, 20}}, {{1, 0, 32}, {2, 0, 32}}},
      {100, 16, {{0, 0, 99, 99}}, {{0, 96, 4}}},                             // the last block is cut
      {100, 16, {{0, 0, 0, 0}, {0, 0, 40, 40}}, {{0, 0, 16}, {0, 32, 16}}},  // two stretches
      {100, 16, {{0, 0, 0, 0}, {0, 0, 16, 16}}, {{0, 0, 32}}},               // neighbours join
      {1920, 32, {{0, 0, 31, 32}}, {{0, 0, 64}}},
      {3840, 64, {{2, 2, 0, 3839}}, {{2, 0, 3840}}},
      {16384, 256, {{0, 0, 0, 16383}}, {{0, 0, 16384}}},  // all 64 blocks
      {16384, 256, {{0, 0, 16383, 16383}}, {{0, 16128, 256}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.columns << " columns, " << c.marks.size() << " marks");
    DrawnArea area;
    area.reset(3, c.columns);
    EXPECT_EQ(area.blockWidth(), c.blockWidth);
    EXPECT_TRUE(area.all());
    area.forget();
    EXPECT_FALSE(area.all());
    for (const Mark& m : c.marks) area.mark(m.top, m.bottom, m.left, m.right);
    EXPECT_EQ(take(area), c.stretches);
    EXPECT_TRUE(take(area).empty());  // taken means forgotten
  }
}

}  // namespace
}  // namespace qv
