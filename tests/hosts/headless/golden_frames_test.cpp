// Small renders compared byte for byte with the frames in tests/golden, in
// every build type. To re-record them after an intended change of the
// picture:
//   QV_RECORD_GOLDEN=1 build/dbg/tests/quorvalent_tests --gtest_filter='GoldenFrames*'
// On a mismatch a diff picture (differing pixels red over a dimmed copy of
// the frame) is written to <build>/golden-diff/.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "hosts/headless/image_output.h"
#include "hosts/headless/render_test_support.h"
#include "splat/splat_batch.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

struct GoldenCase {
  const char* name;
  std::vector<std::string> args;
};

void writeDiff(const std::vector<std::uint8_t>& expected, const std::vector<std::uint8_t>& actual,
               const std::string& name) {
  const RgbImage a = testing::decodePng(expected), b = testing::decodePng(actual);
  if (b.empty()) {
    ADD_FAILURE() << name << ": differs from the golden frame and is no PNG";
    return;
  }
  RgbImage diff(b.width, b.height);
  int differing = 0;
  std::string first;
  const bool sizesMatch = !a.empty() && a.width == b.width && a.height == b.height;
  for (int y = 0; y < b.height; ++y) {
    for (int x = 0; x < b.width; ++x) {
      const std::uint8_t* pb = b.at(x, y);
      std::uint8_t* pd = diff.at(x, y);
      if (sizesMatch && std::equal(pb, pb + 3, a.at(x, y))) {
        for (int c = 0; c < 3; ++c) pd[c] = static_cast<std::uint8_t>(pb[c] / 4);
        continue;
      }
      pd[0] = 255;  // red on the diff's black
      if (differing++ == 0) {
        char text[96];
        const std::uint8_t* pa = sizesMatch ? a.at(x, y) : pb;
        std::snprintf(text, sizeof text, "; first at (%d, %d): %02X%02X%02X, golden %02X%02X%02X", x, y,
                      pb[0], pb[1], pb[2], pa[0], pa[1], pa[2]);
        first = text;
      }
    }
  }
  const fs::path folder = fs::path(QV_BINARY_DIR) / "golden-diff";
  fs::create_directories(folder);
  writePng(diff, (folder / name).string());
  ADD_FAILURE() << name << ": " << differing << " pixels differ" << first << "; diff picture in "
                << (folder / name).string();
}

// Renders a case and compares its frames with the golden ones (or records
// them).
void checkCase(const GoldenCase& c, bool record) {
  const fs::path out = testing::freshFolder(std::string("golden-") + c.name);
  std::vector<std::string> args{"--size",  "320x240", "--frames", "60",
                                "--every", "20",      "--out",    out.string()};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const auto run = testing::runRenderer(args);
  ASSERT_EQ(run.code, 0) << c.name << ": " << run.err;
  const fs::path golden = fs::path(QV_SOURCE_DIR) / "tests" / "golden" / c.name;
  for (const char* frame : {"frame-000020.png", "frame-000040.png", "frame-000060.png"}) {
    const auto actual = testing::readBytes(out / frame);
    ASSERT_FALSE(actual.empty()) << c.name << " " << frame;
    if (record) {
      fs::create_directories(golden);
      fs::copy_file(out / frame, golden / frame, fs::copy_options::overwrite_existing);
      continue;
    }
    const auto expected = testing::readBytes(golden / frame);
    ASSERT_FALSE(expected.empty()) << "no golden frame " << (golden / frame).string();
    if (expected != actual) writeDiff(expected, actual, std::string(c.name) + "-" + frame);
  }
  fs::remove_all(out);
}

TEST(GoldenFrames, SmallRendersMatchTheRecordedFramesByteForByte) {
  const bool record = std::getenv("QV_RECORD_GOLDEN") != nullptr;
  const GoldenCase cases[] = {
      {"seed1-disc", {"--seed", "1"}},
      {"seed7-disc", {"--seed", "7"}},
      {"seed1-ball", {"--seed", "1", "--brush-kind", "0x20000"}},
      {"seed7-spot", {"--seed", "7", "--brush-kind", "0x30002"}},
      {"seed1-picture", {"--seed", "1", "--brush-picture", "STAR_FLARE", "--brush-kind", "0x40002"}},
      {"seed1-trail16", {"--seed", "1", "--trail", "16"}},
      {"seed7-half-res", {"--seed", "7", "--half-res"}},
  };
  // The splat set-up comes built for several instruction sets, the widest
  // the processor has chosen at start: each must draw the recorded frames.
  const LaneIsa widest = laneIsaInUse();
  for (const LaneIsa isa : {LaneIsa::Avx512, LaneIsa::Avx2, LaneIsa::Sse2}) {
    if (!laneIsaAvailable(isa) || (record && isa != widest)) continue;
    SCOPED_TRACE(::testing::Message() << "instruction set " << static_cast<int>(isa));
    useLaneIsa(isa);
    for (const GoldenCase& c : cases) checkCase(c, record);
  }
  useLaneIsa(widest);
}

}  // namespace
}  // namespace qv
