// Damaged picture resources: a brush set up from bytes that are cut short,
// overwritten or not a picture at all must end in the loader's "not found"
// report (or the wrong-resolution one for a picture of another size) and
// never read outside the bytes it was given. Run under the sanitizers.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "frame/lookup_tables.h"
#include "frame/picture_layer.h"
#include "ground/runtime_error.h"
#include "hosts/headless/headless_platform.h"
#include "splat/brush_images.h"
#include "splat/brush_table.h"

namespace qv {
namespace {

// Sets brush 1 up from `bytes` as the only BINARYDATA resource; returns the
// error text, or "" when the picture loaded.
std::string loadFrom(const std::vector<std::uint8_t>& bytes) {
  const EmbeddedResource table[] = {{"DAMAGED", 0, "BINARYDATA", bytes.data(), bytes.size()}};
  HeadlessPlatform platform(64, 64, table, nullptr);
  LookupTables tables{platform};
  BrushImages images{tables};
  PictureLayer pictures{platform};
  BrushTable brushes{platform, tables, images, pictures};
  brushes.selectBrush(1);
  try {
    brushes.setupBrush(brushes.current(), 0x40002, 0xFFFFFFFF, "damaged");
  } catch (const RuntimeErrorStop& stop) {
    EXPECT_EQ(pictures.gdiplusUsers(), 0);
    return stop.what();
  }
  return "";
}

std::vector<std::uint8_t> shippedFlare() {
  const auto bytes = findEmbeddedResource(programResources(), "STAR_FLARE", "BINARYDATA");
  return {bytes.begin(), bytes.end()};
}

TEST(DamagedPictures, CutShortFlareIsNotFound) {
  const auto flare = shippedFlare();
  ASSERT_GT(flare.size(), 1000u);
  EXPECT_EQ(loadFrom(flare), "");
  for (std::size_t keep : {std::size_t{0}, std::size_t{1}, std::size_t{14}, std::size_t{54},
                           std::size_t{1078}, flare.size() / 2, flare.size() - 1}) {
    const std::vector<std::uint8_t> cut(flare.begin(), flare.begin() + static_cast<std::ptrdiff_t>(keep));
    EXPECT_EQ(loadFrom(cut), "PSI: JPG Resource Not Found") << keep << " bytes kept";
  }
}

TEST(DamagedPictures, NoiseAndBrokenHeadersNeverCrash) {
  std::mt19937 random(12345);
  const auto flare = shippedFlare();
  // Noise alone, noise after a PNG or a JPEG signature, and the flare with
  // bytes of its header overwritten.
  const std::vector<std::uint8_t> starts[] = {
      {}, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}, {0xFF, 0xD8, 0xFF, 0xE0}};
  for (int round = 0; round < 60; ++round) {
    std::vector<std::uint8_t> bytes = round % 4 == 3 ? flare : starts[round % 4];
    if (round % 4 == 3) {
      for (int k = 0; k < 8; ++k) bytes[random() % 60] = static_cast<std::uint8_t>(random());
    } else {
      for (std::size_t n = random() % 2048; n > 0; --n) bytes.push_back(static_cast<std::uint8_t>(random()));
    }
    const std::string error = loadFrom(bytes);
    EXPECT_TRUE(error.empty() || error == "PSI: JPG Resource Not Found" ||
                error == "PSI: JPG Resource Have Wrong Resolution")
        << "round " << round << ": " << error;
  }
}

}  // namespace
}  // namespace qv
