#include "ico_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "le_reader.h"

namespace qv::resgen {
namespace {

using testing::u32;

// The directory and the headers are read back by the program's own icon
// decoder (tests/hosts/portable); here the pixel and mask layout.
TEST(IcoWriter, PixelsAreBgraBottomUpAndTransparentPixelsAreMasked) {
  RgbaImage image(2, 2);
  image.at(0, 0) = 0xFF112233;  // top left, opaque
  image.at(1, 0) = 0x00000000;  // top right, transparent
  image.at(0, 1) = 0x80445566;  // bottom left, half
  image.at(1, 1) = 0xFFFFFFFF;
  const Bytes ico = encodeIcon({image});
  const std::size_t pixels = 6 + 16 + 40;
  // Bottom row first; each pixel blue, green, red, alpha.
  EXPECT_EQ(u32(ico, pixels), 0x80445566u);
  EXPECT_EQ(u32(ico, pixels + 4), 0xFFFFFFFFu);
  EXPECT_EQ(u32(ico, pixels + 8), 0xFF112233u);
  EXPECT_EQ(ico[pixels + 8], 0x33);
  const std::size_t mask = pixels + 16;
  EXPECT_EQ(ico[mask], 0x00);      // bottom row: nothing transparent
  EXPECT_EQ(ico[mask + 4], 0x40);  // top row: the right pixel
  EXPECT_EQ(ico.size(), mask + 8);
}

TEST(IcoWriter, SideOf256IsWrittenAsZeroAndLargerSidesAreRefused) {
  const Bytes ico = encodeIcon({RgbaImage(256, 256)});
  EXPECT_EQ(ico[6], 0);
  EXPECT_EQ(ico[7], 0);
  EXPECT_THROW(encodeIcon({RgbaImage(257, 257)}), std::invalid_argument);
  EXPECT_THROW(encodeIcon({}), std::invalid_argument);
  EXPECT_THROW(encodeIcon({RgbaImage(0, 0)}), std::invalid_argument);
}

}  // namespace
}  // namespace qv::resgen
