#include "hosts/sdl/preview_picture.h"

#include <gtest/gtest.h>

namespace qv::sdl {
namespace {

std::uint32_t at(const std::vector<std::uint32_t>& p, int x, int y) {
  return p[static_cast<std::size_t>(y) * PREVIEW_WIDTH + x];
}

bool anyLit(const std::vector<std::uint32_t>& p, int x0, int y0, int w, int h) {
  for (int y = y0; y < y0 + h; ++y) {
    for (int x = x0; x < x0 + w; ++x) {
      if ((at(p, x, y) & 0xFFFFFF) != 0) return true;
    }
  }
  return false;
}

TEST(PreviewPicture, EightIconsOnBlackAtTheirPlaces) {
  const auto picture = composePreviewPicture(programResources());
  ASSERT_EQ(picture.size(), static_cast<std::size_t>(PREVIEW_WIDTH * PREVIEW_HEIGHT));
  for (const PreviewIcon& icon : PREVIEW_ICONS) {
    EXPECT_TRUE(anyLit(picture, icon.x, icon.y, PREVIEW_ICON_SIZE, PREVIEW_ICON_SIZE)) << icon.name;
  }
  // Between and around the icons the picture stays black.
  EXPECT_FALSE(anyLit(picture, 0, 0, PREVIEW_WIDTH, 7));
  EXPECT_FALSE(anyLit(picture, 0, 103, PREVIEW_WIDTH, 9));
  EXPECT_FALSE(anyLit(picture, 0, 0, 12, PREVIEW_HEIGHT));
  EXPECT_FALSE(anyLit(picture, 140, 0, 12, PREVIEW_HEIGHT));
  EXPECT_FALSE(anyLit(picture, 0, 7, 44, 64));  // left of the 2 x 2 block
}

TEST(PreviewPicture, MissingIconsLeaveTheirPlaceBlack) {
  const auto picture = composePreviewPicture({});
  EXPECT_FALSE(anyLit(picture, 0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT));
  EXPECT_EQ(at(picture, 0, 0), 0xFF000000u);
}

}  // namespace
}  // namespace qv::sdl
