// The pixel font the overlay pictures are drawn with. The pictures themselves
// are pinned byte for byte by resources_match_generator and read by the
// program's tests.

#include <gtest/gtest.h>

#include <stdexcept>

#include "pixel_font.h"

namespace qv::resgen {
namespace {

TEST(PixelFont, WidthsAddUpWithSpacingAndDrawingMatchesThem) {
  constexpr GlyphDef table[] = {{U'a', "#.|##"}, {U'b', "###|+.+"}};
  const PixelFont font(table, 3, 1);
  EXPECT_EQ(font.textWidth(U"ab"), 2 + 1 + 3);
  EXPECT_EQ(font.textWidth(U""), 0);
  IndexedImage image(8, 3);
  EXPECT_EQ(font.draw(image, 1, 0, U"ab", 9, 4), 7);
  EXPECT_EQ(image.at(1, 0), 9);
  EXPECT_EQ(image.at(2, 0), 0);
  EXPECT_EQ(image.at(2, 1), 9);
  EXPECT_EQ(image.at(3, 0), 0);  // spacing column
  EXPECT_EQ(image.at(4, 1), 4);  // half ink
  EXPECT_EQ(image.at(6, 1), 4);
  EXPECT_EQ(image.at(4, 2), 0);                          // rows not given are empty
  EXPECT_NO_THROW(font.draw(image, 2, 0, U"ab", 9, 4));  // ends at the last column
  EXPECT_THROW(font.draw(image, 3, 0, U"ab", 9, 4), std::out_of_range);
  EXPECT_THROW(font.draw(image, -1, 0, U"a", 9, 4), std::out_of_range);
  EXPECT_THROW(font.textWidth(U"c"), std::invalid_argument);
}

}  // namespace
}  // namespace qv::resgen
