#include "bmp_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "le_reader.h"

namespace qv::resgen {
namespace {

using testing::u16;
using testing::u32;

TEST(BmpWriter, FourBitPixelsAreStoredBottomUpLeftPixelHighNibbleRowsPadded) {
  IndexedImage image(3, 2);
  image.at(0, 0) = 1;
  image.at(1, 0) = 2;
  image.at(2, 0) = 3;
  image.at(0, 1) = 15;
  image.at(2, 1) = 9;
  const Bytes bmp = encodePaletteBmp(image, 4, greyPalette(16));
  ASSERT_EQ(bmp.size(), 14u + 40 + 16 * 4 + 2 * 4);
  EXPECT_EQ(u32(bmp, 2), bmp.size());
  EXPECT_EQ(u32(bmp, 10), 118u);
  EXPECT_EQ(u16(bmp, 28), 4u);
  // The bottom row (y = 1) comes first, each row padded to 4 bytes.
  EXPECT_EQ(Bytes(bmp.begin() + 118, bmp.end()), (Bytes{0xF0, 0x90, 0, 0, 0x12, 0x30, 0, 0}));
}

TEST(BmpWriter, RefusesWhatADecoderWouldMisread) {
  IndexedImage image(2, 2);
  image.at(1, 1) = 16;
  EXPECT_THROW(encodePaletteBmp(image, 4, greyPalette(16)), std::invalid_argument);
  image.at(1, 1) = 3;
  EXPECT_THROW(encodePaletteBmp(image, 4, greyPalette(17)), std::invalid_argument);
  EXPECT_THROW(encodePaletteBmp(image, 4, greyPalette(3)), std::invalid_argument);  // index 3 outside
  EXPECT_THROW(encodePaletteBmp(image, 24, greyPalette(4)), std::invalid_argument);
  EXPECT_THROW(encodePaletteBmp(IndexedImage(0, 4), 8, greyPalette(4)), std::invalid_argument);
}

}  // namespace
}  // namespace qv::resgen
