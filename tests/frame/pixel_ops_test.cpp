#include "frame/pixel_ops.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

TEST(PixelOps, SaturateAndFloorAtTheEdges) {
  EXPECT_EQ(addSaturate(0xF01010, 0x202020), 0xFF3030u);
  EXPECT_EQ(addSaturate(0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFFu);  // top byte dropped
  EXPECT_EQ(subtractFloor(0x101010, 0x202020), 0x000000u);
  EXPECT_EQ(subtractFloor(0xFF0810, 0x101010), 0xEF0000u);
}

TEST(PixelOps, MultiplyNeverReachesFull) {
  EXPECT_EQ(multiplyChannels(0xFFFFFF, 0xFFFFFF), 0xFEFEFEu);
  EXPECT_EQ(multiplyChannels(0xFF8040, 0x000000), 0u);
  EXPECT_EQ(multiplyChannels(0x808080, 0xFF7FC8), 0x7F3F64u);
  EXPECT_EQ(scaleColour(0xFF8040, 128), 0x7F4020u);
}

TEST(PixelOps, LerpRoundsTowardMinusInfinity) {
  // Rising: 0 + floor(255 * 255 / 256) = 254; falling: 255 + floor(-255 * 1 / 256) = 254.
  EXPECT_EQ(lerpChannels(0x000000, 0xFFFFFF, 255), 0xFEFEFEu);
  EXPECT_EQ(lerpChannels(0xFFFFFF, 0x000000, 1), 0xFEFEFEu);
  EXPECT_EQ(lerpChannels(0x123456, 0xABCDEF, 0), 0x123456u);
  // Half-way toward black from (255, 128, 64) with weight 127.
  EXPECT_EQ(lerpChannels(0xFF8040, 0xFF000000, 127), 0x804020u);
  EXPECT_EQ(lerpChannels(0xA0A0A0, 0x204060, 127), 0x607080u);
}

TEST(PixelOps, ChannelsNeverCarryOrBorrowIntoTheirNeighbours) {
  EXPECT_EQ(addSaturate(0xFF00FF01u, 0xFF0001FFu), 0x00FFFFu);
  EXPECT_EQ(subtractFloor(0x010000u, 0x000001u), 0x010000u);
  EXPECT_EQ(lerpChannels(0x000003u, 0x000000u, 128), 0x000001u);
  EXPECT_EQ(lerpChannels(0x010101u, 0x000000u, 1), 0x000000u);
}

}  // namespace
}  // namespace qv
