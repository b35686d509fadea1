#include "hosts/portable/icon_decoder.h"

#include <gtest/gtest.h>

#include <tuple>

#include <vector>

#include "hosts/portable/picture_codec.h"
#include "hosts/portable/resource_table.h"

namespace qv {
namespace {

void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
  b.push_back(static_cast<std::uint8_t>(v));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// A one-image icon file of size x size, 32 bits, with `colour(x, y)` for the
// top-down pixel (x, y) and the AND mask bit set where `masked(x, y)`.
template <class Colour, class Masked>
std::vector<std::uint8_t> makeIcon(int size, Colour colour, Masked masked) {
  const std::uint32_t maskStride = (static_cast<std::uint32_t>(size) + 31) / 32 * 4;
  const std::uint32_t imageBytes = 40 + static_cast<std::uint32_t>(size * size * 4) + maskStride * size;
  std::vector<std::uint8_t> b;
  put16(b, 0);
  put16(b, 1);
  put16(b, 1);
  b.push_back(static_cast<std::uint8_t>(size));
  b.push_back(static_cast<std::uint8_t>(size));
  b.push_back(0);
  b.push_back(0);
  put16(b, 1);
  put16(b, 32);
  put32(b, imageBytes);
  put32(b, 22);
  put32(b, 40);
  put32(b, static_cast<std::uint32_t>(size));
  put32(b, static_cast<std::uint32_t>(2 * size));
  put16(b, 1);
  put16(b, 32);
  for (int i = 0; i < 6; ++i) put32(b, 0);
  for (int row = size - 1; row >= 0; --row) {
    for (int x = 0; x < size; ++x) put32(b, colour(x, row));
  }
  for (int row = size - 1; row >= 0; --row) {
    std::vector<std::uint8_t> bits(maskStride, 0);
    for (int x = 0; x < size; ++x) {
      if (masked(x, row)) bits[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    }
    b.insert(b.end(), bits.begin(), bits.end());
  }
  return b;
}

TEST(IconDecoder, ReadsTopRowFirstAndKeepsTheAlphaChannel) {
  const auto ico = makeIcon(4, [](int x, int y) { return 0x80000000u | static_cast<std::uint32_t>(y * 16 + x); },
                            [](int, int) { return false; });
  DecodedPicture p;
  ASSERT_TRUE(decodeIconImage(ico, 4, p));
  EXPECT_EQ(std::tuple(p.width, p.pixels[0], p.pixels[1 * 4 + 3], p.pixels[3 * 4 + 0]),
            std::tuple(4, 0x80000000u, 0x80000013u, 0x80000030u));
  freeDecodedPicture(p);
}

TEST(IconDecoder, WithoutAlphaTheAndMaskSaysWhatIsTransparent) {
  const auto ico = makeIcon(40, [](int, int) { return 0x00FF0000u; }, [](int x, int y) { return x == 33 && y == 2; });
  DecodedPicture p;
  ASSERT_TRUE(decodeIconImage(ico, 40, p));
  EXPECT_EQ(std::tuple(p.pixels[2 * 40 + 33], p.pixels[2 * 40 + 32], p.pixels[3 * 40 + 33]),
            std::tuple(0x00FF0000u, 0xFFFF0000u, 0xFFFF0000u));
  freeDecodedPicture(p);
}

TEST(IconDecoder, RefusesWrongSizesAndCutShortFiles) {
  auto ico = makeIcon(8, [](int, int) { return 0xFF123456u; }, [](int, int) { return false; });
  DecodedPicture p;
  EXPECT_FALSE(decodeIconImage(ico, 16, p));
  EXPECT_EQ(p.pixels, nullptr);
  for (std::size_t cut : {std::size_t{3}, std::size_t{20}, std::size_t{60}, ico.size() - 1}) {
    const std::vector<std::uint8_t> shorter(ico.begin(), ico.begin() + static_cast<std::ptrdiff_t>(cut));
    EXPECT_FALSE(decodeIconImage(shorter, 8, p)) << cut;
  }
  // An image offset beyond the file.
  ico[18] = 0xFF;
  ico[19] = 0xFF;
  EXPECT_FALSE(decodeIconImage(ico, 8, p));
}

TEST(IconDecoder, DrawsOverByAlphaAndClipsAtTheEdges) {
  std::uint32_t pixels[2] = {0x11111111u, 0x00000000u};
  DecodedPicture icon{pixels, 2, 1};
  std::vector<std::uint32_t> dst(3 * 2, 0xFF0000FFu);
  drawIconOver(icon, dst.data(), 3, 2, 2, 1);  // the second pixel falls outside
  // Red and green 0x11 over 0, blue 0x11 over 0xFF, each by alpha 0x11 of 255.
  const std::uint32_t over0 = (0x11u * 0x11 + 127) / 255;
  const std::uint32_t overFF = (0x11u * 0x11 + 0xFFu * (255 - 0x11) + 127) / 255;
  EXPECT_EQ(dst[1 * 3 + 2], 0xFF000000u | over0 << 16 | over0 << 8 | overFF);
  EXPECT_EQ(dst[0], 0xFF0000FFu);
  std::uint32_t opaque = 0xFFABCDEFu;
  DecodedPicture one{&opaque, 1, 1};
  drawIconOver(one, dst.data(), 3, 2, -1, 0);  // wholly outside
  drawIconOver(one, dst.data(), 3, 2, 0, 0);
  EXPECT_EQ(dst[0], 0xFFABCDEFu);
}

TEST(IconDecoder, TheProgramsIconsAreEmbeddedAndReadable) {
  for (const char* name : {"ICON_MAIN", "ICON_SSPRVW01", "ICON_SSPRVW08"}) {
    const auto bytes = findEmbeddedResource(programResources(), name, RESOURCE_TYPE_GROUP_ICON);
    ASSERT_FALSE(bytes.empty()) << name;
    DecodedPicture p;
    ASSERT_TRUE(decodeIconImage(bytes, 32, p)) << name;
    freeDecodedPicture(p);
  }
  const auto main = findEmbeddedResource(programResources(), "icon_main", RESOURCE_TYPE_GROUP_ICON);
  DecodedPicture p;
  EXPECT_TRUE(decodeIconImage(main, 48, p));
  freeDecodedPicture(p);
  EXPECT_TRUE(decodeIconImage(main, 16, p));
  freeDecodedPicture(p);
}

}  // namespace
}  // namespace qv
