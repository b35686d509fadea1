#include "hosts/portable/picture_codec.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <tuple>
#include <vector>

#include "hosts/portable/resource_table.h"

namespace qv {
namespace {

void appendBytes(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(context);
  auto* bytes = static_cast<std::uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

// PNG (icons hold them; the BMP pictures are pinned by the golden frames)
// decodes to ARGB top row first, alpha kept. A bitmap cut short is refused,
// not read on past its end as zeros; other bytes are refused too.
TEST(PictureCodec, PngDecodesToArgbTopRowFirstAndDamagedBytesAreRefused) {
  std::vector<std::uint8_t> rgba;  // a 5 x 3 picture whose pixels say where they are
  for (int i = 0; i < 15; ++i) {
    const int x = i % 5, y = i / 5;
    rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x * 50), static_cast<std::uint8_t>(y * 60),
                             static_cast<std::uint8_t>(200 + x), static_cast<std::uint8_t>(255 - 40 * y)});
  }
  std::vector<std::uint8_t> png;
  ASSERT_NE(stbi_write_png_to_func(appendBytes, &png, 5, 3, 4, rgba.data(), 5 * 4), 0);
  DecodedPicture picture;
  ASSERT_TRUE(decodePictureBytes(png, picture));
  ASSERT_EQ(std::tuple(picture.width, picture.height), std::tuple(5, 3));
  for (int i = 0; i < 15; ++i) {
    const std::uint8_t* p = &rgba[static_cast<std::size_t>(i) * 4];
    EXPECT_EQ(picture.pixels[i],
              std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2]);
  }
  freeDecodedPicture(picture);
  EXPECT_EQ(picture.pixels, nullptr);
  const auto flare = findEmbeddedResource(programResources(), "STAR_FLARE", RESOURCE_TYPE_BINARYDATA);
  ASSERT_TRUE(decodePictureBytes(flare, picture));
  freeDecodedPicture(picture);
  const std::uint8_t junk[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_FALSE(decodePictureBytes(flare.first(flare.size() - 1), picture) ||
               decodePictureBytes({}, picture) || decodePictureBytes(junk, picture));
  EXPECT_EQ(picture.pixels, nullptr);
}

}  // namespace
}  // namespace qv
