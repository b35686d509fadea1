#include "particles/link_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace qv {
namespace {

// The links of a group as "a-b a-b ...", in the order they are applied.
std::string linksOf(int kind, int first, int last, int width, int depth, std::int64_t count) {
  std::string links;
  forEachLink(LinkGroup{kind, first, last, width, depth, 0}, count, [&](std::int64_t a, std::int64_t b) {
    if (!links.empty()) links += ' ';
    links.append(std::to_string(a)).append(1, '-').append(std::to_string(b));
  });
  return links;
}

TEST(LinkLayout, EveryKindTiesItsPairsInOrderAndNoneOutsideTheParticles) {
  struct Case {
    int kind, first, last, width, depth;
    std::int64_t count;  // particles in the array
    const char* links;
  };
  const Case cases[] = {
      {0, 1, 4, 0, 0, 99, "1-4"},
      {1, 0, 3, 0, 0, 99, "0-1 0-2 0-3 1-2 1-3 2-3"},
      {2, 0, 1, 3, 4, 99, "0-3 0-4 1-3 1-4"},
      {3, 2, 5, 0, 0, 99, "2-3 3-4 4-5"},
      {4, 0, 3, 0, 0, 99, "0-1 1-2 2-3 3-0"},
      {5, 1, 7, 2, 0, 99, "1-3 3-5 5-7"},
      {6, 1, 7, 2, 0, 99, "1-3 3-5 5-7 5-0"},
      {7, 0, 4, 2, 0, 99, "0-2 1-3 2-4"},
      {8, 1, 5, 2, 0, 99, "1-3 2-4 3-5 4-1 5-2"},
      {9, 0, 5, 2, 2, 99, ""},
      {13, 0, 3, 2, 0, 99, "0-2 0-1 1-3 1-2 2-1 2-3 3-2 3-0"},
      {10, 0, 5, 3, 0, 99, "0-1 1-2 2-0 3-4 4-5 5-3"},
      {11, 0, 5, 3, 2, 99, "0-1 0-3 1-2 1-4 2-0 2-5 3-4 4-5 5-3"},
      {12, 0, 7, 2, 2, 99, "0-1 0-2 0-4 1-3 1-5 2-3 2-6 3-7 4-5 4-6 4-0 5-7 5-1 6-7 6-2 7-3"},
      // An unbounded depth: the torus takes its row count from the length.
      {14, 0, 5, 3, -2, 99, "0-1 0-3 1-2 1-4 2-0 2-5 3-4 3-0 4-5 4-1 5-3 5-2"},
      {15, 0, 5, 3, 2, 99, "0-1 0-3 1-2 1-4 2-5 3-4 4-5"},
      {15, 0, 5, 3, -3, 99, "0-1 0-3 1-2 1-4 2-5 3-4 4-5"},  // -3 reads the depth as the width
      {16, 0, 7, 2, 0, 99, "0-1 0-2 0-4 1-3 1-5 2-3 2-6 3-7 4-5 4-6 5-7 6-7"},
      {17, 0, 5, 2, 2, 99, "0-1 0-2 0-4 1-3 1-5 2-3 4-5"},
      // The twisted band: row ends join rows from the other side.
      {18, 0, 5, 2, 3, 99, "0-1 0-2 1-4 1-3 2-3 2-4 3-2 3-5 4-5 5-0"},
      // Groups reaching past the array lose only those links; the unbounded
      // row count of the layered kinds would overflow W * R.
      {11, 0, 7, 2, -2, 6, "0-1 0-2 1-0 1-3 2-3 2-4 3-2 3-5 4-5 5-4"},
      {17, 0, 5, 2, -2, 6, "0-1 0-2 1-3 2-3 2-4 3-5 4-5"},
      {12, 0, 3, 2, -2, 4, "0-1 0-2 1-3 2-3"},
      {1, 0, 2000000000, 0, 0, 3, "0-1 0-2 1-2"},
      {0, -1, 2, 0, 0, 3, ""},
      {6, 3, 4, 2, 0, 99, ""},  // a strided ring that never links has no last index to close with
      {5, 0, 9, 0, 0, 99, ""},  // a zero stride would never end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linksOf(c.kind, c.first, c.last, c.width, c.depth, c.count), c.links) << "kind " << c.kind;
  }
}

}  // namespace
}  // namespace qv
