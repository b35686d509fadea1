#include "hosts/portable/resource_table.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include "hosts/headless/headless_platform.h"
#include "hosts/portable/picture_codec.h"

namespace qv {
// Built from tests/data/resources by the same generator as the program's own table.
std::span<const EmbeddedResource> testResources();

namespace {

TEST(EmbeddedResources, NamesAndNamedTypesAreFoundWithoutRegardToCase) {
  static constexpr std::uint8_t data[] = {1, 2, 3};
  static constexpr EmbeddedResource table[] = {
      {"QUORVALENT", 2, "", data, 1},
      {"QUORVALENT", 0, "BINARYDATA", data, 3},
  };
  EXPECT_EQ(findEmbeddedResource(table, "quorvalent", 2).size(), 1u);
  EXPECT_EQ(findEmbeddedResource(table, "Quorvalent", "binarydata").size(), 3u);
  for (auto [name, type] : {std::pair{"QUORVALENT", 3}, {"QUORV", 2}, {"", 2}}) {
    EXPECT_TRUE(findEmbeddedResource(table, name, type).empty()) << name << " " << type;
  }
  EXPECT_TRUE(findEmbeddedResource(table, "Quorvalent", "").empty());
  EXPECT_TRUE(findEmbeddedResource(table, "Quorvalent", "BINARY").empty());
}

// The embedding tool's table, served and decoded by the headless host.
TEST(EmbeddedResources, TheEmbeddedTableIsServedAndDecoded) {
  HeadlessPlatform platform(64, 64, testResources(), nullptr);
  ASSERT_EQ(testResources().size(), 1u);
  EXPECT_TRUE(platform.findResource("TINY_TEST", RESOURCE_TYPE_BINARYDATA).empty());
  DecodedPicture picture;
  ASSERT_TRUE(platform.decodePicture(platform.findResource("Tiny_Test", RESOURCE_TYPE_BITMAP), picture));
  ASSERT_EQ(std::tuple(picture.width, picture.height), std::tuple(3, 2));
  // 4 bits a pixel, stored bottom-up: top row red, green, blue; bottom row
  // white, black, red.
  const std::uint32_t expected[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000, 0xFFFF0000};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(picture.pixels[i], expected[i]) << i;
  platform.freePicturePixels(picture);
}

}  // namespace
}  // namespace qv
