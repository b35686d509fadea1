#include "hosts/portable/picture_codec.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hosts/portable/resource_table.h"

namespace qv {
namespace {

// The shipped flare decodes (its pixels are pinned by the golden frames);
// cut short by a byte it is refused, not read on past its end as zeros, and
// so are bytes that are no picture.
TEST(PictureCodec, TheFlareDecodesAndDamagedBytesAreRefused) {
  const auto flare = findEmbeddedResource(programResources(), "STAR_FLARE", RESOURCE_TYPE_BINARYDATA);
  DecodedPicture picture;
  ASSERT_TRUE(decodePictureBytes(flare, picture));
  EXPECT_EQ(std::tuple(picture.width, picture.height), std::tuple(511, 511));
  freeDecodedPicture(picture);
  EXPECT_EQ(picture.pixels, nullptr);
  const std::uint8_t junk[] = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  EXPECT_FALSE(decodePictureBytes(flare.first(flare.size() - 1), picture) ||
               decodePictureBytes({}, picture) || decodePictureBytes(junk, picture));
  EXPECT_EQ(picture.pixels, nullptr);
}

}  // namespace
}  // namespace qv
