#include "ground/memory_blocks.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "support/test_platform.h"

namespace qv {
namespace {

TEST(MemoryBlocks, AlignedBlocksAreAlignedAndFilled) {
  testing::TestPlatform platform;
  for (std::size_t alignment : {16u, 32u, 64u, 4096u}) {
    auto* block = static_cast<std::uint8_t*>(allocAligned(platform, 1000, alignment, FILL_ONES));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(block[i], 0xFF);
    freeAligned(block);
  }
  auto* zeroed = static_cast<std::uint8_t*>(allocAligned16(platform, 333, 7));
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(zeroed) % 16, 0u);
  for (int i = 0; i < 333; ++i) ASSERT_EQ(zeroed[i], 0);
  // The pointer before the block is the raw allocation, below the block.
  void* raw = nullptr;
  std::memcpy(&raw, zeroed - sizeof(void*), sizeof(void*));
  EXPECT_LT(reinterpret_cast<std::uintptr_t>(raw), reinterpret_cast<std::uintptr_t>(zeroed));
  EXPECT_LE(reinterpret_cast<std::uintptr_t>(zeroed) - reinterpret_cast<std::uintptr_t>(raw),
            16 + sizeof(void*));
  freeAligned(zeroed);
}

TEST(MemoryBlocks, GlobalBlocksAreZeroAndNullFreesAreHarmless) {
  testing::TestPlatform platform;
  auto* g = static_cast<std::uint8_t*>(allocGlobal(platform, 4096, 1));
  for (int i = 0; i < 4096; ++i) ASSERT_EQ(g[i], 0);
  freeGlobal(g);
  freeAligned(nullptr);
  freeGlobal(nullptr);
  EXPECT_TRUE(platform.errorsShown.empty());
}

TEST(MemoryBlocks, ExhaustedMemoryIsReportedWithTheFixedText) {
  testing::TestPlatform platform;
  EXPECT_ANY_THROW(allocAligned(platform, static_cast<std::size_t>(-1) - 8, 16, 0));
  ASSERT_EQ(platform.errorsShown.size(), 1u);
  EXPECT_EQ(platform.errorsShown[0], "memory allocation return is NULL, may be size allocation = 0");
}

}  // namespace
}  // namespace qv
