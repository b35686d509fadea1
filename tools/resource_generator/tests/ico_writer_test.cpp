#include "ico_writer.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "le_reader.h"
#include "particle_pictures.h"

namespace qv::resgen {
namespace {

using testing::i32;
using testing::u16;
using testing::u32;

struct Entry {
    int width, height, bpp;
    std::uint32_t bytes, offset;
};

Entry entry(const Bytes& ico, int i) {
    const std::size_t at = 6 + 16 * static_cast<std::size_t>(i);
    return {ico.at(at) == 0 ? 256 : ico.at(at), ico.at(at + 1) == 0 ? 256 : ico.at(at + 1),
            static_cast<int>(u16(ico, at + 6)), u32(ico, at + 8), u32(ico, at + 12)};
}

TEST(IcoWriter, DirectoryListsEveryImageWithConsistentOffsets) {
    const Bytes ico = encodeIcon({makeEmblem(48), makeEmblem(32), makeEmblem(16)});
    EXPECT_EQ(u16(ico, 0), 0u);
    EXPECT_EQ(u16(ico, 2), 1u);
    ASSERT_EQ(u16(ico, 4), 3u);
    std::uint32_t expectedOffset = 6 + 3 * 16;
    const int sides[] = {48, 32, 16};
    for (int i = 0; i < 3; ++i) {
        const Entry e = entry(ico, i);
        EXPECT_EQ(e.width, sides[i]);
        EXPECT_EQ(e.height, sides[i]);
        EXPECT_EQ(e.bpp, 32);
        EXPECT_EQ(e.offset, expectedOffset);
        // Header, BGRA rows, then mask rows padded to 32 bits.
        const std::uint32_t maskRow = ((sides[i] + 31) / 32) * 4;
        EXPECT_EQ(e.bytes, 40u + 4u * sides[i] * sides[i] + maskRow * sides[i]);
        EXPECT_EQ(u32(ico, e.offset), 40u);
        EXPECT_EQ(i32(ico, e.offset + 4), sides[i]);
        EXPECT_EQ(i32(ico, e.offset + 8), 2 * sides[i]);  // colour and mask rows together
        EXPECT_EQ(u16(ico, e.offset + 14), 32u);
        expectedOffset += e.bytes;
    }
    EXPECT_EQ(ico.size(), expectedOffset);
}

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
