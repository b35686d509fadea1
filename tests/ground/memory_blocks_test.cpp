#include "ground/memory_blocks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

TEST(MemoryBlocks, BlocksAreAlignedAndFilledAsAsked) {
  testing::TestPlatform platform;
  for (auto [alignment, fill, byte] :
       {std::tuple(16, FILL_ONES, 0xFF), std::tuple(4096, FILL_ONES, 0xFF), std::tuple(64, 7, 0)}) {
    auto* block = static_cast<std::uint8_t*>(allocAligned(platform, 1000, alignment, fill));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % alignment, 0u);
    EXPECT_TRUE(std::all_of(block, block + 1000, [&](std::uint8_t b) { return b == byte; })) << alignment;
    freeAligned(block);
  }
  auto* global = static_cast<std::uint8_t*>(allocGlobal(platform, 4096, 1));
  EXPECT_TRUE(std::all_of(global, global + 4096, [](std::uint8_t b) { return b == 0; }));
  freeGlobal(global);
  freeAligned(nullptr);
  EXPECT_TRUE(platform.errorsShown.empty());
}

TEST(MemoryBlocks, ExhaustedMemoryIsReportedWithTheFixedText) {
  testing::TestPlatform platform;
  EXPECT_THROW(allocAligned(platform, static_cast<std::size_t>(-1) - 8, 16, 0), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown,
            std::vector<std::string>{"memory allocation return is NULL, may be size allocation = 0"});
}

}  // namespace
}  // namespace qv
