#include "bmp_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "le_reader.h"
#include "overlay_pictures.h"
#include "particle_pictures.h"

namespace qv::resgen {
namespace {

using testing::i32;
using testing::u16;
using testing::u32;

// Palette index of pixel (x, y), read the way a decoder reads the file.
int decodedIndex(const Bytes& bmp, int x, int y) {
    const std::uint32_t offset = u32(bmp, 10);
    const int width = i32(bmp, 18), height = i32(bmp, 22);
    const int bpp = static_cast<int>(u16(bmp, 28));
    const std::size_t rowBytes = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
    const std::size_t row = offset + rowBytes * (height - 1 - y);
    const int perByte = 8 / bpp;
    const int byte = bmp.at(row + x / perByte);
    return (byte >> (8 - bpp * (x % perByte + 1))) & ((1 << bpp) - 1);
}

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
    // The bottom row (y = 1) comes first in the file.
    EXPECT_EQ(bmp[118], 0xF0);
    EXPECT_EQ(bmp[119], 0x90);
    EXPECT_EQ(bmp[122], 0x12);
    EXPECT_EQ(bmp[123], 0x30);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(decodedIndex(bmp, x, y), image.at(x, y)) << x << "," << y;
}

TEST(BmpWriter, GreyPaletteRunsEvenlyFromBlackToWhite) {
    const auto palette = greyPalette(16);
    ASSERT_EQ(palette.size(), 16u);
    EXPECT_EQ(palette[0], 0x000000u);
    EXPECT_EQ(palette[1], 0x111111u);
    EXPECT_EQ(palette[15], 0xFFFFFFu);
    EXPECT_EQ(greyPalette(256)[128], 0x808080u);
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

struct BmpCase {
    const char* name;
    IndexedImage (*make)();
    int bpp;
    int colours;
    int width;
    int height;
};

void PrintTo(const BmpCase& c, std::ostream* os) { *os << c.name; }

class ProgramBitmap : public ::testing::TestWithParam<BmpCase> {};

TEST_P(ProgramBitmap, HasTheSizeDepthAndPaletteTheProgramLoads) {
    const BmpCase& c = GetParam();
    const Bytes bmp = encodePaletteBmp(c.make(), c.bpp, greyPalette(c.colours));
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(u32(bmp, 2), bmp.size());
    EXPECT_EQ(u32(bmp, 14), 40u);
    EXPECT_EQ(i32(bmp, 18), c.width);
    EXPECT_EQ(i32(bmp, 22), c.height);  // positive: bottom-up
    EXPECT_EQ(u16(bmp, 26), 1u);
    EXPECT_EQ(u16(bmp, 28), static_cast<std::uint32_t>(c.bpp));
    EXPECT_EQ(u32(bmp, 30), 0u);
    EXPECT_EQ(u32(bmp, 46), static_cast<std::uint32_t>(c.colours));
    const std::size_t rowBytes = ((static_cast<std::size_t>(c.width) * c.bpp + 31) / 32) * 4;
    EXPECT_EQ(u32(bmp, 10), 54u + 4u * c.colours);
    EXPECT_EQ(bmp.size(), u32(bmp, 10) + rowBytes * c.height);
    EXPECT_EQ(u32(bmp, 34), rowBytes * c.height);
}

INSTANTIATE_TEST_SUITE_P(Resources, ProgramBitmap,
                         ::testing::Values(BmpCase{"Logo", makeLogo, 4, 16, 159, 12},
                                           BmpCase{"Legend", makeLegend, 4, 16, 553, 13},
                                           BmpCase{"StarFlare", makeStarFlare, 8, 256, 511, 511}),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace qv::resgen
