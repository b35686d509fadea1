#include "hosts/headless/image_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <tuple>

#include "hosts/headless/render_outputs.h"
#include "hosts/headless/render_test_support.h"

namespace qv {
namespace {

// (Why a write failed shows in the renderer's process cases.)
TEST(ImageOutput, VideoStreamHoldsFramesOfOneSize) {
  std::FILE* stream = std::tmpfile();
  RawVideoWriter video(stream);
  RgbImage a(4, 3);
  for (std::size_t i = 0; i < a.rgb.size(); ++i) a.rgb[i] = static_cast<std::uint8_t>(i * 7);
  EXPECT_TRUE(video.writeFrame(a) && video.writeFrame(a));
  EXPECT_FALSE(video.writeFrame(RgbImage(3, 4)));  // a size change would garble the stream
  EXPECT_FALSE(video.writeFrame(RgbImage()));
  EXPECT_EQ(video.framesWritten(), 2);
  std::rewind(stream);
  std::vector<std::uint8_t> bytes(100);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), stream));
  std::fclose(stream);
  std::vector<std::uint8_t> twice = a.rgb;
  twice.insert(twice.end(), a.rgb.begin(), a.rgb.end());
  EXPECT_EQ(bytes, twice);
}

TEST(ImageOutput, ContactSheetCellsKeepTheRatioAndAverageThePixels) {
  // Landscape frames get cells 320 wide; a tall frame one 320 high.
  for (auto [fw, fh, cw, ch] :
       {std::tuple{1920, 1080, 320, 180}, {64, 48, 320, 240}, {1080, 1920, 180, 320}}) {
    const CellSize cell = contactSheetCell(fw, fh, 320);
    EXPECT_EQ(std::tuple(cell.width, cell.height), std::tuple(cw, ch)) << fw << "x" << fh;
  }
  RgbImage frame(4, 2);  // red: a left 2x2 block of 0, 100, 100, 100; the right one 255
  for (int i = 1; i < 8; ++i) frame.at(i % 4, i / 4)[0] = i % 4 < 2 ? 100 : 255;
  const RgbImage small = resizeByArea(frame, 2, 1);
  EXPECT_EQ(std::tuple(small.width, small.at(0, 0)[0], small.at(1, 0)[0]), std::tuple(2, 75, 255));
  const RgbImage big = resizeByArea(frame, 8, 4);
  EXPECT_EQ(std::tuple(big.at(1, 1)[0], big.at(2, 0)[0], big.at(7, 3)[0]), std::tuple(0, 100, 255));
}

TEST(ImageOutput, ContactSheetLaysCellsOutInRows) {
  ContactSheet sheet(3, 4, 2, 1);
  for (int i = 0; i < 4; ++i) {
    RgbImage frame(8, 4);
    for (int p = 0; p < 8 * 4; ++p) {
      frame.rgb[static_cast<std::size_t>(p) * 3] = 255;
      frame.rgb[static_cast<std::size_t>(p) * 3 + 1] = static_cast<std::uint8_t>(i * 50);
    }
    sheet.addFrame(frame);
  }
  const RgbImage composed = sheet.compose();
  // 3 columns of 4 + gaps of 1: 1 + 3 * 5 = 16 wide; 2 rows: 1 + 2 * 3 = 7 high.
  ASSERT_EQ(std::tuple(composed.width, composed.height), std::tuple(16, 7));
  // Gaps, frames 0 to 2 (2's last pixel), the right gap, frame 3 on the
  // second row, and an empty cell, black.
  EXPECT_EQ(
      std::tuple(composed.at(0, 0)[0], composed.at(1, 1)[1], composed.at(6, 1)[1], composed.at(14, 2)[1]),
      std::tuple(0, 0, 50, 100));
  EXPECT_EQ(
      std::tuple(composed.at(15, 2)[0], composed.at(1, 4)[1], composed.at(4, 5)[0], composed.at(6, 4)[0]),
      std::tuple(0, 150, 255, 0));

  const auto path = std::filesystem::temp_directory_path() / "qv_contact_sheet_test.png";
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  ASSERT_TRUE(sheet.writePng(file));
  ASSERT_EQ(std::fclose(file), 0);
  EXPECT_EQ(testing::decodePng(testing::readBytes(path)).rgb, composed.rgb);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace qv
