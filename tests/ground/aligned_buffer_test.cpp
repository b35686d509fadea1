#include "ground/aligned_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "support/test_platform.h"

namespace qv {
namespace {

TEST(AlignedBuffer, HoldsAnAlignedFilledBlockAndMovesItsOwnership) {
  testing::TestPlatform platform;
  AlignedBuffer<std::uint32_t> ones(platform, 300, 1024, FILL_ONES);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(ones.data()) % 1024, 0u);
  ASSERT_EQ(ones.size(), 300u);
  for (std::uint32_t word : ones) ASSERT_EQ(word, 0xFFFFFFFFu);

  std::uint32_t* const block = ones.data();
  AlignedBuffer<std::uint32_t> moved(std::move(ones));
  EXPECT_EQ(moved.data(), block);
  EXPECT_TRUE(ones == nullptr);
  EXPECT_EQ(ones.size(), 0u);

  // Taking a new block or a moved one frees the old (ASan reports a leak).
  moved.allocate(platform, 40, 16, FILL_ZERO);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(moved.data()) % 16, 0u);
  for (std::uint32_t word : moved) ASSERT_EQ(word, 0u);
  AlignedBuffer<std::uint32_t> other(platform, 8, 64, FILL_NONE);
  other = std::move(moved);
  EXPECT_EQ(other.size(), 40u);
  EXPECT_FALSE(moved);
  EXPECT_TRUE(platform.errorsShown.empty());
}

TEST(AlignedBuffer, ExhaustedMemoryIsReportedAndLeavesTheBufferEmpty) {
  testing::TestPlatform platform;
  AlignedBuffer<double> buffer(platform, 4, 16, FILL_ZERO);
  // A count whose byte size wraps around is as fatal as a refused allocation.
  for (std::size_t count : {static_cast<std::size_t>(-1) / 8 - 2, static_cast<std::size_t>(-1) / 4}) {
    EXPECT_THROW(buffer.allocate(platform, count, 16, FILL_NONE), RuntimeErrorStop);
    EXPECT_TRUE(buffer == nullptr);
  }
  ASSERT_EQ(platform.errorsShown.size(), 2u);
  for (const auto& text : platform.errorsShown) {
    EXPECT_EQ(text, "memory allocation return is NULL, may be size allocation = 0");
  }
}

}  // namespace
}  // namespace qv
