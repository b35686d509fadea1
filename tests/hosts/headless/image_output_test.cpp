#include "hosts/headless/image_output.h"

#include <gtest/gtest.h>

#include <cerrno>

#include <tuple>
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "hosts/headless/render_outputs.h"

namespace qv {
namespace {

// A small frame in which every pixel's bytes say where it is.
RgbImage patterned(int w, int h) {
  RgbImage image(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = image.at(x, y);
      p[0] = static_cast<std::uint8_t>(x * 13);
      p[1] = static_cast<std::uint8_t>(y * 29);
      p[2] = static_cast<std::uint8_t>(255 - x - y);
    }
  }
  return image;
}

std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ImageOutput, PngRoundTripsTopRowFirst) {
  const RgbImage frame = patterned(7, 5);
  const std::vector<std::uint8_t> png = encodePng(frame);
  ASSERT_GT(png.size(), 8u);
  int w = 0, h = 0, channels = 0;
  stbi_uc* back = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &channels, 0);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::tuple(w, h, channels), std::tuple(7, 5, 3));
  EXPECT_EQ(std::vector<std::uint8_t>(back, back + 7 * 5 * 3), frame.rgb);
  stbi_image_free(back);

  // The file writer writes the same bytes.
  const auto path = std::filesystem::temp_directory_path() / "qv_image_output_test.png";
  ASSERT_TRUE(writePng(frame, path.string()));
  EXPECT_EQ(readFile(path), png);
  std::filesystem::remove(path);

  EXPECT_TRUE(encodePng(RgbImage()).empty());
  EXPECT_FALSE(writePng(frame, "/nonexistent-folder/x.png"));
}

TEST(ImageOutput, PpmHeaderAndBytesAreExact) {
  const RgbImage frame = patterned(3, 2);
  const std::vector<std::uint8_t> ppm = encodePpm(frame);
  const std::string header = "P6\n3 2\n255\n";
  ASSERT_EQ(ppm.size(), header.size() + 18);
  EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + static_cast<long>(header.size())), header);
  // First pixel (0,0), then (1,0): 13, 0, 254; last pixel (2,1): 26, 29, 252.
  const std::uint8_t* body = ppm.data() + header.size();
  EXPECT_EQ(std::tuple(body[0], body[2], body[3], body[5], body[15], body[16]), std::tuple(0, 255, 13, 254, 26, 29));
  EXPECT_EQ(body[17], 252);

  const auto path = std::filesystem::temp_directory_path() / "qv_image_output_test.ppm";
  ASSERT_TRUE(writePpm(frame, path.string()));
  EXPECT_EQ(readFile(path), ppm);
  std::filesystem::remove(path);
}

TEST(ImageOutput, VideoStreamHoldsFramesBackToBackOfOneSize) {
  std::FILE* stream = std::tmpfile();
  ASSERT_NE(stream, nullptr);
  RawVideoWriter video(stream);
  const RgbImage a = patterned(4, 3);
  RgbImage b = patterned(4, 3);
  b.at(0, 0)[0] = 99;
  EXPECT_TRUE(video.writeFrame(a));
  EXPECT_TRUE(video.writeFrame(b));
  EXPECT_FALSE(video.writeFrame(patterned(3, 4)));  // a size change would garble the stream
  EXPECT_FALSE(video.writeFrame(RgbImage()));
  EXPECT_EQ(video.framesWritten(), 2);
  std::fflush(stream);
  std::rewind(stream);
  std::vector<std::uint8_t> bytes(100);
  const std::size_t n = std::fread(bytes.data(), 1, bytes.size(), stream);
  std::fclose(stream);
  ASSERT_EQ(n, 72u);
  EXPECT_TRUE(std::equal(a.rgb.begin(), a.rgb.end(), bytes.begin()));
  EXPECT_TRUE(std::equal(b.rgb.begin(), b.rgb.end(), bytes.begin() + 36));
}

TEST(ImageOutput, AVideoWriteThatFailsSaysWhyAndStopsTheStream) {
  std::FILE* full = std::fopen("/dev/full", "wb");
  ASSERT_NE(full, nullptr);
  RawVideoWriter video(full);
  // One small frame fits the stream's buffer: only its flush meets the error.
  EXPECT_FALSE(video.writeFrame(patterned(2, 2)));
  EXPECT_EQ(std::tuple(video.framesWritten(), video.lastError()), std::tuple(0, ENOSPC));
  std::fclose(full);
}

TEST(ImageOutput, ContactSheetCellsFitASquareKeepingTheRatio) {
  struct Case {
    int frameWidth, frameHeight, cellWidth, cellHeight;
  };
  // Landscape frames get the cells they always had, 320 wide; a tall frame
  // gets a cell 320 high, not one taller than itself.
  for (const Case& c : {Case{1920, 1080, 320, 180}, Case{64, 48, 320, 240}, Case{1080, 1920, 180, 320}}) {
    const CellSize cell = contactSheetCell(c.frameWidth, c.frameHeight, 320);
    EXPECT_EQ(std::tuple(cell.width, cell.height), std::tuple(c.cellWidth, c.cellHeight))
        << c.frameWidth << "x" << c.frameHeight;
  }
}

TEST(ImageOutput, ResizeAveragesTheCoveredPixels) {
  RgbImage frame(4, 2);
  // Left 2x2 block: 0 and 100 in red; right block all 255.
  frame.at(0, 0)[0] = 0;
  frame.at(1, 0)[0] = 100;
  frame.at(0, 1)[0] = 100;
  frame.at(1, 1)[0] = 100;
  for (int y = 0; y < 2; ++y)
    for (int x = 2; x < 4; ++x) frame.at(x, y)[0] = 255;
  const RgbImage small = resizeByArea(frame, 2, 1);
  ASSERT_EQ(small.width, 2);
  EXPECT_EQ(small.at(0, 0)[0], 75);
  EXPECT_EQ(small.at(1, 0)[0], 255);
  const RgbImage big = resizeByArea(frame, 8, 4);
  EXPECT_EQ(big.at(0, 0)[0], 0);
  EXPECT_EQ(big.at(1, 1)[0], 0);
  EXPECT_EQ(big.at(2, 0)[0], 100);
  EXPECT_EQ(big.at(7, 3)[0], 255);
}

TEST(ImageOutput, ContactSheetLaysCellsOutInRows) {
  ContactSheet sheet(3, 4, 2, 1);
  RgbImage white(8, 4);
  std::fill(white.rgb.begin(), white.rgb.end(), 255);
  for (int i = 0; i < 4; ++i) {
    RgbImage frame = white;
    for (int p = 0; p < 8 * 4; ++p) frame.rgb[static_cast<std::size_t>(p) * 3 + 1] = static_cast<std::uint8_t>(i * 50);
    sheet.addFrame(frame);
  }
  const RgbImage composed = sheet.compose();
  // 3 columns of 4 + gaps of 1: 1 + 3 * 5 = 16 wide; 2 rows: 1 + 2 * 3 = 7 high.
  ASSERT_EQ(composed.width, 16);
  ASSERT_EQ(composed.height, 7);
  EXPECT_EQ(composed.at(0, 0)[0], 0);          // gap
  EXPECT_EQ(composed.at(1, 1)[1], 0);          // frame 0
  EXPECT_EQ(composed.at(6, 1)[1], 50);         // frame 1
  EXPECT_EQ(composed.at(14, 2)[1], 100);       // frame 2, last pixel of its cell
  EXPECT_EQ(composed.at(15, 2)[0], 0);         // right gap
  EXPECT_EQ(composed.at(1, 4)[1], 150);        // frame 3, second row
  EXPECT_EQ(composed.at(6, 4)[0], 0);          // an empty cell stays black
  EXPECT_EQ(composed.at(4, 5)[0], 255);

  const auto path = std::filesystem::temp_directory_path() / "qv_contact_sheet_test.png";
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_TRUE(sheet.writePng(file));
  ASSERT_EQ(std::fclose(file), 0);
  int w = 0, h = 0, c = 0;
  stbi_uc* back = stbi_load(path.string().c_str(), &w, &h, &c, 3);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(std::tuple(w, h), std::tuple(16, 7));
  EXPECT_EQ(std::vector<std::uint8_t>(back, back + 16 * 7 * 3), composed.rgb);
  stbi_image_free(back);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace qv
