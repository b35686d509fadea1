// What the generated pictures must be, whatever they look like in detail.

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "overlay_pictures.h"
#include "particle_pictures.h"
#include "pixel_font.h"

namespace qv::resgen {
namespace {

bool columnHasInk(const IndexedImage& image, int x) {
    for (int y = 0; y < image.height; ++y)
        if (image.at(x, y) != 0) return true;
    return false;
}

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
    EXPECT_EQ(image.at(4, 2), 0);  // rows not given are empty
    EXPECT_NO_THROW(font.draw(image, 2, 0, U"ab", 9, 4));  // ends at the last column
    EXPECT_THROW(font.draw(image, 3, 0, U"ab", 9, 4), std::out_of_range);
    EXPECT_THROW(font.draw(image, -1, 0, U"a", 9, 4), std::out_of_range);
    EXPECT_THROW(font.textWidth(U"c"), std::invalid_argument);
}

TEST(PixelFont, MalformedTablesAreRefused) {
    constexpr GlyphDef unequal[] = {{U'a', "##|#"}};
    constexpr GlyphDef twice[] = {{U'a', "#"}, {U'a', "#"}};
    constexpr GlyphDef tall[] = {{U'a', "#|#|#"}};
    constexpr GlyphDef stray[] = {{U'a', "#x"}};
    EXPECT_THROW(PixelFont(unequal, 2, 1), std::invalid_argument);
    EXPECT_THROW(PixelFont(twice, 2, 1), std::invalid_argument);
    EXPECT_THROW(PixelFont(tall, 2, 1), std::invalid_argument);
    EXPECT_THROW(PixelFont(stray, 2, 1), std::invalid_argument);
}

TEST(PixelFont, BothFontsCoverTheLettersTheyAreUsedFor) {
    for (char32_t c : std::u32string(U"QUORVALENT")) EXPECT_TRUE(logoFont().has(c));
    for (char32_t c = U'a'; c <= U'z'; ++c) EXPECT_TRUE(legendFont().has(c));
    for (char32_t c = U'A'; c <= U'Z'; ++c) EXPECT_TRUE(legendFont().has(c));
    for (char32_t c : std::u32string(U"\u2190\u2191\u2192\u2193/ ,:-")) EXPECT_TRUE(legendFont().has(c));
}

TEST(OverlayPictures, LogoIsCentredLightOnBlack) {
    const IndexedImage logo = makeLogo();
    ASSERT_EQ(logo.width, LOGO_WIDTH);
    ASSERT_EQ(logo.height, LOGO_HEIGHT);
    int first = -1, last = -1;
    for (int x = 0; x < logo.width; ++x)
        if (columnHasInk(logo, x)) {
            if (first < 0) first = x;
            last = x;
        }
    ASSERT_GE(first, 1);
    EXPECT_LE(std::abs(first - (logo.width - 1 - last)), 1);  // equal margins
    for (std::uint8_t i : logo.index) EXPECT_LT(i, OVERLAY_GREYS);
}

TEST(OverlayPictures, LegendSpansItsWholeWidthWithinTheGreys) {
    const IndexedImage legend = makeLegend();
    ASSERT_EQ(legend.width, LEGEND_WIDTH);
    ASSERT_EQ(legend.height, LEGEND_HEIGHT);
    // Starts at the left edge (the program places it from there) and the
    // controls are spread to end at the right edge.
    EXPECT_TRUE(columnHasInk(legend, 0));
    EXPECT_TRUE(columnHasInk(legend, LEGEND_WIDTH - 1));
    std::set<int> used(legend.index.begin(), legend.index.end());
    EXPECT_TRUE(used.count(INK_FULL));
    EXPECT_TRUE(used.count(INK_ACTION));
    EXPECT_LT(*used.rbegin(), OVERLAY_GREYS);
}

TEST(ParticlePictures, PreviewsAreOpaqueLitAndAllDifferent) {
    std::set<std::vector<std::uint32_t>> seen;
    for (int n = 1; n <= PREVIEW_COUNT; ++n) {
        const RgbaImage p = makePreview(n);
        ASSERT_EQ(p.width, PREVIEW_SIDE);
        ASSERT_EQ(p.height, PREVIEW_SIDE);
        int lit = 0;
        for (std::uint32_t px : p.pixels) {
            EXPECT_EQ(px >> 24, 0xFFu);
            if ((px & 0xFFFFFF) != 0) ++lit;
        }
        // Readable: neither an empty square nor a filled one.
        EXPECT_GT(lit, 32 * 32 / 10) << "preview " << n;
        EXPECT_LT(lit, 32 * 32) << "preview " << n;
        EXPECT_TRUE(seen.insert(p.pixels).second) << "preview " << n << " repeats another";
    }
    EXPECT_THROW(makePreview(0), std::out_of_range);
    EXPECT_THROW(makePreview(9), std::out_of_range);
}

TEST(ParticlePictures, EmblemIsRoundOpaqueInsideAndClearInTheCorners) {
    for (int side : {48, 32, 16}) {
        const RgbaImage e = makeEmblem(side);
        EXPECT_EQ(e.at(0, 0) >> 24, 0u) << side;
        EXPECT_EQ(e.at(side - 1, side - 1) >> 24, 0u) << side;
        EXPECT_EQ(e.at(side / 2, side / 2) >> 24, 0xFFu) << side;
        EXPECT_NE(e.at(side / 2, side / 2) & 0xFFFFFF, 0u) << side;
    }
}

TEST(ParticlePictures, StarFlareIsBrightestAtTheCentreBlackAtTheRimAndSymmetric) {
    const IndexedImage flare = makeStarFlare();
    ASSERT_EQ(flare.width, STAR_FLARE_SIDE);
    ASSERT_EQ(flare.height, STAR_FLARE_SIDE);
    const int c = STAR_FLARE_SIDE / 2, last = STAR_FLARE_SIDE - 1;
    EXPECT_EQ(flare.at(c, c), 255);
    for (int i = 0; i < STAR_FLARE_SIDE; ++i) {
        EXPECT_EQ(flare.at(i, 0), 0);
        EXPECT_EQ(flare.at(0, i), 0);
        EXPECT_EQ(flare.at(i, last), 0);
        EXPECT_EQ(flare.at(last, i), 0);
    }
    for (int y = 0; y < STAR_FLARE_SIDE; y += 7)
        for (int x = 0; x < STAR_FLARE_SIDE; x += 5) {
            ASSERT_EQ(flare.at(x, y), flare.at(last - x, y)) << x << "," << y;
            ASSERT_EQ(flare.at(x, y), flare.at(x, last - y)) << x << "," << y;
            ASSERT_EQ(flare.at(x, y), flare.at(y, x)) << x << "," << y;
        }
}

}  // namespace
}  // namespace qv::resgen
