#include "frame/pixel_ops.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>

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

}  // namespace
}  // namespace qv
