#include "hosts/portable/picture_codec.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <cstdlib>
#include <vector>

namespace qv {
namespace {

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(context);
  auto* bytes = static_cast<std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

// RGBA bytes of a w x h picture whose pixels say where they are.
std::vector<std::uint8_t> rgbaPattern(int w, int h) {
  std::vector<std::uint8_t> rgba;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      rgba.push_back(static_cast<std::uint8_t>(x * 50));
      rgba.push_back(static_cast<std::uint8_t>(y * 60));
      rgba.push_back(static_cast<std::uint8_t>(200 + x));
      rgba.push_back(static_cast<std::uint8_t>(255 - 40 * y));
    }
  }
  return rgba;
}

std::uint32_t argb(const std::uint8_t* rgba) {
  return static_cast<std::uint32_t>(rgba[3]) << 24 | static_cast<std::uint32_t>(rgba[0]) << 16 |
         static_cast<std::uint32_t>(rgba[1]) << 8 | rgba[2];
}

TEST(PictureCodec, PngDecodesToArgbTopRowFirst) {
  const std::vector<std::uint8_t> rgba = rgbaPattern(5, 3);
  std::vector<std::uint8_t> png;
  ASSERT_NE(stbi_write_png_to_func(appendBytes, &png, 5, 3, 4, rgba.data(), 5 * 4), 0);
  DecodedPicture picture;
  ASSERT_TRUE(decodePictureBytes(png, picture));
  ASSERT_EQ(picture.width, 5);
  ASSERT_EQ(picture.height, 3);
  for (int i = 0; i < 15; ++i) EXPECT_EQ(picture.pixels[i], argb(&rgba[static_cast<std::size_t>(i) * 4])) << i;
  EXPECT_EQ(picture.pixels[0], 0xFF0000C8u);
  EXPECT_EQ(picture.pixels[5 * 2 + 4], 0xAFC878CCu);  // x 4, y 2: alpha 175
  freeDecodedPicture(picture);
  EXPECT_EQ(picture.pixels, nullptr);
}

TEST(PictureCodec, BmpAndJpegDecodeOpaque) {
  const std::vector<std::uint8_t> rgba = rgbaPattern(4, 4);
  std::vector<std::uint8_t> rgb;
  for (std::size_t i = 0; i < rgba.size(); i += 4) rgb.insert(rgb.end(), &rgba[i], &rgba[i] + 3);
  std::vector<std::uint8_t> bmp;
  ASSERT_NE(stbi_write_bmp_to_func(appendBytes, &bmp, 4, 4, 3, rgb.data()), 0);
  DecodedPicture picture;
  ASSERT_TRUE(decodePictureBytes(bmp, picture));
  ASSERT_EQ(picture.width, 4);
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(picture.pixels[i], 0xFF000000u | (argb(&rgba[static_cast<std::size_t>(i) * 4]) & 0xFFFFFF)) << i;
  }
  freeDecodedPicture(picture);

  // A flat grey JPEG comes back grey within the codec's rounding.
  std::vector<std::uint8_t> grey(16 * 16 * 3, 128);
  std::vector<std::uint8_t> jpeg;
  ASSERT_NE(stbi_write_jpg_to_func(appendBytes, &jpeg, 16, 16, 3, grey.data(), 100), 0);
  ASSERT_TRUE(decodePictureBytes(jpeg, picture));
  ASSERT_EQ(picture.width, 16);
  ASSERT_EQ(picture.height, 16);
  for (int i = 0; i < 256; ++i) {
    const std::uint32_t p = picture.pixels[i];
    ASSERT_EQ(p >> 24, 0xFFu);
    for (int shift : {0, 8, 16}) ASSERT_NEAR(static_cast<int>((p >> shift) & 0xFF), 128, 2);
  }
  freeDecodedPicture(picture);
}

TEST(PictureCodec, BytesThatAreNoPictureAreRefused) {
  DecodedPicture picture;
  EXPECT_FALSE(decodePictureBytes({}, picture));
  const std::uint8_t junk[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_FALSE(decodePictureBytes(junk, picture));
  EXPECT_EQ(picture.pixels, nullptr);
}

TEST(PictureCodec, RescaleKeepsFlatColourAndAveragesDetail) {
  // A flat picture stays flat at any size, edges included (within the
  // filter's rounding).
  DecodedPicture flat{new std::uint32_t[6], 3, 2};
  for (int i = 0; i < 6; ++i) flat.pixels[i] = 0xFF3366CC;
  DecodedPicture scaled;
  ASSERT_TRUE(scaleDecodedPicture(flat, 7, 5, scaled));
  ASSERT_EQ(scaled.width, 7);
  ASSERT_EQ(scaled.height, 5);
  for (int i = 0; i < 35; ++i) {
    const std::uint32_t p = scaled.pixels[i];
    ASSERT_NEAR(static_cast<int>(p >> 24), 0xFF, 1) << i;
    ASSERT_NEAR(static_cast<int>((p >> 16) & 0xFF), 0x33, 2) << i;
    ASSERT_NEAR(static_cast<int>((p >> 8) & 0xFF), 0x66, 2) << i;
    ASSERT_NEAR(static_cast<int>(p & 0xFF), 0xCC, 2) << i;
  }
  freeDecodedPicture(scaled);
  freeDecodedPicture(flat);

  // A fine black and white checkerboard shrinks to mid grey.
  DecodedPicture checker{new std::uint32_t[64], 8, 8};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) checker.pixels[y * 8 + x] = (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000;
  ASSERT_TRUE(scaleDecodedPicture(checker, 2, 2, scaled));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(scaled.pixels[i] >> 24, 0xFFu);
    EXPECT_NEAR(static_cast<int>(scaled.pixels[i] & 0xFF), 128, 8);
  }
  freeDecodedPicture(scaled);
  EXPECT_FALSE(scaleDecodedPicture(checker, 0, 4, scaled));
  EXPECT_FALSE(scaleDecodedPicture(DecodedPicture{}, 4, 4, scaled));
  EXPECT_EQ(scaled.pixels, nullptr);
  freeDecodedPicture(checker);
}

}  // namespace
}  // namespace qv
