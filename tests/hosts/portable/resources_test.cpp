#include "hosts/portable/resource_table.h"

#include <gtest/gtest.h>

#include <tuple>

#include "hosts/headless/headless_platform.h"
#include "hosts/portable/picture_codec.h"

namespace qv {
// Built from tests/data/resources by the same generator as the program's own table.
std::span<const EmbeddedResource> testResources();

namespace {

TEST(EmbeddedResources, BitmapsAreFoundByNameWithoutRegardToCase) {
  const auto table = testResources();
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].name, "TINY_TEST");
  auto bytes = findEmbeddedResource(table, "tiny_test", RESOURCE_TYPE_BITMAP);
  ASSERT_EQ(bytes.size(), 126u);
  EXPECT_EQ(std::tuple(bytes[0], bytes[1]), std::tuple('B', 'M'));
  EXPECT_EQ(findEmbeddedResource(table, "Tiny_Test", RESOURCE_TYPE_BITMAP).data(), bytes.data());
  // Wrong type, wrong name, a prefix of the name: nothing.
  EXPECT_TRUE(findEmbeddedResource(table, "TINY_TEST", RESOURCE_TYPE_BINARYDATA).empty());
  EXPECT_TRUE(findEmbeddedResource(table, "TINY_TEST", 3).empty());
  EXPECT_TRUE(findEmbeddedResource(table, "TINY", RESOURCE_TYPE_BITMAP).empty());
  EXPECT_TRUE(findEmbeddedResource(table, "", RESOURCE_TYPE_BITMAP).empty());
}

TEST(EmbeddedResources, NamedTypesCompareWithoutRegardToCase) {
  static constexpr std::uint8_t data[] = {1, 2, 3};
  static constexpr EmbeddedResource table[] = {
      {"QUORVALENT", 2, "", data, 1},
      {"QUORVALENT", 0, "BINARYDATA", data, 3},
  };
  EXPECT_EQ(findEmbeddedResource(table, "quorvalent", 2).size(), 1u);
  EXPECT_EQ(findEmbeddedResource(table, "Quorvalent", "binarydata").size(), 3u);
  EXPECT_TRUE(findEmbeddedResource(table, "Quorvalent", "").empty());
  EXPECT_TRUE(findEmbeddedResource(table, "Quorvalent", "BINARY").empty());
}

TEST(EmbeddedResources, HeadlessHostServesAndDecodesItsTable) {
  HeadlessPlatform platform(64, 64, testResources(), nullptr);
  auto bytes = platform.findResource("TINY_TEST", RESOURCE_TYPE_BITMAP);
  ASSERT_FALSE(bytes.empty());
  DecodedPicture picture;
  ASSERT_TRUE(platform.decodePicture(bytes, picture));
  ASSERT_EQ(picture.width, 3);
  ASSERT_EQ(picture.height, 2);
  // 4 bits a pixel, stored bottom-up: top row red, green, blue; bottom row
  // white, black, red.
  const std::uint32_t expected[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFFFF0000};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(picture.pixels[i], expected[i]) << i;
  platform.freePicturePixels(picture);
  EXPECT_EQ(picture.pixels, nullptr);
}

}  // namespace
}  // namespace qv
