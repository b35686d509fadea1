// The portable pieces the desktop program and the screen saver share: the
// resource table, the picture and icon decoders, the dark monitors, and the
// scene options as a web page's query reads them.
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "hosts/portable/dark_areas.h"
#include "hosts/portable/icon_decoder.h"
#include "hosts/portable/picture_codec.h"
#include "hosts/portable/resource_table.h"
#include "hosts/portable/scene_options.h"

namespace qv {
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

TEST(DarkAreas, EveryMonitorThatShowsNothingOfTheAnimationGoesDark) {
  const ScreenArea primary{0, 0, 1024, 768};
  const ScreenArea second{1024, 0, 800, 600};
  const ScreenArea left{-1280, 0, 1280, 1024};
  const ScreenArea above{0, -600, 800, 600};
  const ScreenArea corner{1024, 768, 800, 600};  // touching at a corner only
  const struct {
    std::vector<ScreenArea> monitors, dark;
  } cases[] = {
      {{primary}, {}},
      {{primary, second, left, above}, {second, left, above}},
      {{second, primary}, {second}},
      {{primary, corner}, {corner}},
      {{primary, primary, {512, 384, 1024, 768}}, {}},           // mirrored or overlapping the animation
      {{primary, second, second, {2000, 0, 0, 600}}, {second}},  // listed twice, and an empty one
  };
  for (const auto& c : cases) EXPECT_EQ(darkAreas(c.monitors, primary), c.dark) << c.monitors.size();
}

// A query's name=value pairs: switches take "", 1 or 0; an option that
// another program offers is unknown here.
TEST(SceneOptions, NameValuePairsSetTheChoicesOrNameTheBadValue) {
  SceneChoices c;
  const struct {
    std::string_view name, value, error;
  } pairs[] = {
      {"brush", "ball", ""},
      {"trail", "1001", ""},
      {"seed", "7", ""},
      {"depth-sort", "", ""},
      {"half-res", "1", ""},
      {"half-res", "0", ""},
      {"seed", "-7", "seed: expected a number from 0 to 4294967295, got '-7'"},
      {"depth-sort", "yes", "depth-sort: expected 1 or 0, got 'yes'"},
      {"brush", "blob\n",
       "brush: expected disc, ball, spot, point, picture or a kind code the program draws, got 'blob\\n'"},
      {"threads", "2", "unknown option 'threads'"},
  };
  for (const auto& p : pairs) EXPECT_EQ(setSceneOption(p.name, p.value, WEB_PAGE, c), p.error) << p.name;
  EXPECT_EQ(std::tuple(c.scene.brushKind, c.scene.trail, c.scene.seedGiven, c.scene.seed,
                       c.scene.depthSortEnabled, c.scene.halfResRequested, c.threads),
            std::tuple(BALL_BRUSH_KIND, 1001, true, 7u, 1, false, AUTOMATIC_DRAWING_THREADS));
}

}  // namespace
}  // namespace qv
