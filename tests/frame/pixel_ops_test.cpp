#include "frame/pixel_ops.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace qv {
namespace {

// Saturation, floors, a multiply that never reaches full, a blend that
// rounds toward minus infinity, and channels that never carry or borrow into
// their neighbours.
TEST(PixelOps, ChannelArithmeticAtTheEdges) {
  const std::uint32_t cases[][2] = {
      {addSaturate(0xF01010, 0x202020), 0xFF3030},
      {addSaturate(0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFF},  // top byte dropped
      {addSaturate(0xFF00FF01u, 0xFF0001FFu), 0x00FFFF},
      {subtractFloor(0xFF0810, 0x101010), 0xEF0000},
      {subtractFloor(0x010000u, 0x000001u), 0x010000},
      {multiplyChannels(0xFFFFFF, 0xFFFFFF), 0xFEFEFE},
      {multiplyChannels(0x808080, 0xFF7FC8), 0x7F3F64},
      {scaleColour(0xFF8040, 128), 0x7F4020},
      // Rising: 0 + floor(255 * 255 / 256); falling: 255 + floor(-255 * 1 / 256).
      {lerpChannels(0x000000, 0xFFFFFF, 255), 0xFEFEFE},
      {lerpChannels(0xFFFFFF, 0x000000, 1), 0xFEFEFE},
      {lerpChannels(0x123456, 0xABCDEF, 0), 0x123456},
      {lerpChannels(0xFF8040, 0xFF000000, 127), 0x804020},
      {lerpChannels(0x000003u, 0x000000u, 128), 0x000001},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i][0], cases[i][1]) << "case " << i;
}

// The stretch forms give the words of the one-pixel operations for every
// length (whole vectors, a pair, a single pixel) and leave the pixels after
// the stretch alone.
TEST(PixelOps, StretchFormsMatchThePixelOperations) {
  std::mt19937 rng(77);
  for (int n = 0; n <= 11; ++n) {
    for (int round = 0; round < 200; ++round) {
      std::vector<std::uint32_t> frame(static_cast<std::size_t>(n) + 1);
      std::vector<std::uint32_t> values(static_cast<std::size_t>(n) + 1);
      for (std::size_t i = 0; i < frame.size(); ++i) {
        frame[i] = static_cast<std::uint32_t>(rng());
        values[i] = static_cast<std::uint32_t>(rng());
      }
      std::vector<std::uint32_t> added = frame;
      std::vector<std::uint32_t> subtracted = frame;
      addSaturateSpan(added.data(), values.data(), n);
      subtractFloorSpan(subtracted.data(), values.data(), n);
      for (int i = 0; i < n; ++i) {
        const auto k = static_cast<std::size_t>(i);
        ASSERT_EQ(added[k], addSaturate(frame[k], values[k])) << n << " " << i;
        ASSERT_EQ(subtracted[k], subtractFloor(frame[k], values[k])) << n << " " << i;
      }
      ASSERT_EQ(added.back(), frame.back());
      ASSERT_EQ(subtracted.back(), frame.back());
    }
  }
}

}  // namespace
}  // namespace qv
