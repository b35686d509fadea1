#include "hosts/portable/icon_decoder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "hosts/portable/picture_codec.h"

namespace qv {
namespace {

void put(std::vector<std::uint8_t>& b, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A one-image icon file of size x size, 32 bits, with `colour(x, y)` for the
// top-down pixel (x, y) and the AND mask bit set where `masked(x, y)`.
template <class Colour, class Masked>
std::vector<std::uint8_t> makeIcon(int size, Colour colour, Masked masked) {
  const std::uint32_t n = static_cast<std::uint32_t>(size);
  const std::uint32_t maskStride = (n + 31) / 32 * 4;
  std::vector<std::uint8_t> b;
  for (std::uint32_t v : {0u, 1u, 1u}) put(b, v, 2);  // the directory: one icon
  b.insert(b.end(), {static_cast<std::uint8_t>(size), static_cast<std::uint8_t>(size), 0, 0});
  for (std::uint32_t v : {1u, 32u}) put(b, v, 2);
  for (std::uint32_t v : {40 + n * n * 4 + maskStride * n, 22u, 40u, n, 2 * n}) put(b, v, 4);
  for (std::uint32_t v : {1u, 32u}) put(b, v, 2);
  for (int i = 0; i < 6; ++i) put(b, 0, 4);
  for (int row = size - 1; row >= 0; --row) {
    for (int x = 0; x < size; ++x) put(b, colour(x, row), 4);
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

TEST(IconDecoder, RowsComeTopFirstAndWithoutAlphaTheMaskSaysWhatIsTransparent) {
  DecodedPicture p;
  const auto withAlpha = makeIcon(
      4, [](int x, int y) { return 0x80000000u | static_cast<std::uint32_t>(y * 16 + x); },
      [](int, int) { return true; });
  ASSERT_TRUE(decodeIconImage(withAlpha, 4, p));
  EXPECT_EQ(std::tuple(p.width, p.pixels[0], p.pixels[1 * 4 + 3], p.pixels[3 * 4 + 0]),
            std::tuple(4, 0x80000000u, 0x80000013u, 0x80000030u));
  freeDecodedPicture(p);
  const auto masked = makeIcon(
      40, [](int, int) { return 0x00FF0000u; }, [](int x, int y) { return x == 33 && y == 2; });
  ASSERT_TRUE(decodeIconImage(masked, 40, p));
  EXPECT_EQ(std::tuple(p.pixels[2 * 40 + 33], p.pixels[2 * 40 + 32], p.pixels[3 * 40 + 33]),
            std::tuple(0x00FF0000u, 0xFFFF0000u, 0xFFFF0000u));
  freeDecodedPicture(p);
}

TEST(IconDecoder, IconsAreDrawnOverByAlphaAndClippedAtTheEdges) {
  std::uint32_t pixels[2] = {0x11111111u, 0x00000000u};
  std::vector<std::uint32_t> dst(3 * 2, 0xFF0000FFu);
  drawIconOver(DecodedPicture{pixels, 2, 1}, dst.data(), 3, 2, 2, 1);  // the second pixel falls outside
  // Red and green 0x11 over 0, blue 0x11 over 0xFF, each by alpha 0x11 of 255.
  const std::uint32_t over0 = (0x11u * 0x11 + 127) / 255;
  const std::uint32_t overFF = (0x11u * 0x11 + 0xFFu * (255 - 0x11) + 127) / 255;
  EXPECT_EQ(dst[1 * 3 + 2], 0xFF000000u | over0 << 16 | over0 << 8 | overFF);
  EXPECT_EQ(dst[0], 0xFF0000FFu);
  std::uint32_t opaque = 0xFFABCDEFu;
  drawIconOver(DecodedPicture{&opaque, 1, 1}, dst.data(), 3, 2, -1, 0);  // wholly outside
  drawIconOver(DecodedPicture{&opaque, 1, 1}, dst.data(), 3, 2, 0, 0);
  EXPECT_EQ(dst[0], 0xFFABCDEFu);
}

}  // namespace
}  // namespace qv
