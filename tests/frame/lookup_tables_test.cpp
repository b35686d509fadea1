#include "frame/lookup_tables.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/test_platform.h"

namespace qv {
namespace {

TEST(LookupTables, SphereHeightsAndSlopesAndTheRescaleOffsets) {
  testing::TestPlatform platform;
  LookupTables tables(platform);
  tables.buildSphereTable();
  tables.buildRescaleTable();
  const auto entry = [&](int i, int j) {
    return std::tuple(tables.sphereEntry(i, j)[0], tables.sphereEntry(i, j)[1]);
  };
  EXPECT_EQ(std::tuple(entry(0, 0), entry(0, 255), entry(255, 255)),
            std::tuple(std::tuple(2044, 0), std::tuple(128, 14), std::tuple(0, 0)));
  // A texel lies on the disc exactly when i^2 + j^2 <= 65280.
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 256; ++j) {
      ASSERT_EQ(tables.sphereEntry(i, j)[0] != 0, i * i + j * j <= 65280) << i << "," << j;
      ASSERT_EQ(tables.sphereEntry(i, j)[0], tables.sphereEntry(j, i)[0]);
    }
  }

  const std::int32_t* row2 = tables.rescaleRow(2);
  EXPECT_EQ(std::tuple(row2[0], row2[1], row2[2], row2[3]), std::tuple(0, 512, 1020, 0));
  EXPECT_EQ(std::tuple(tables.rescaleRow(1)[1], tables.rescaleRow(3)[1], tables.rescaleRow(3)[2]),
            std::tuple(1020, 340, 680));
  for (int j = 0; j < 256; ++j) {
    ASSERT_EQ(tables.rescaleRow(0)[j], 0);
    ASSERT_EQ(tables.rescaleRow(255)[j], 4 * j);
  }
}

}  // namespace
}  // namespace qv
