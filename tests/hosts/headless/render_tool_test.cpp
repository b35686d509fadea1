// The renderer as a tool: its arguments, exit codes and outputs; and the
// virtual clock its frames are paced by.

#include <gtest/gtest.h>

#include <regex>
#include <tuple>

#include "hosts/headless/headless_platform.h"
#include "hosts/headless/render_test_support.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using testing::freshFolder;
using testing::readBytes;
using testing::runRenderer;

std::vector<std::string> small(const fs::path& out, std::vector<std::string> more) {
  std::vector<std::string> args{"--size", "64x48", "--out", out.string()};
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

// Arguments refused by the parser or by the run (scripted input past the
// last frame) exit with 2, outputs that cannot be made with 1; either way
// with one line naming the cause and before the first frame.
TEST(RenderTool, RefusalsAndUnwritableOutputsEndWithOneLineBeforeAnyFrame) {
  const fs::path base = freshFolder("refused");
  fs::create_directories(base);
  const std::string file = (base / "file").string();
  std::fclose(std::fopen(file.c_str(), "w"));
  const fs::path frames = base / "frames";
  // Permission bits do not stop root: no one can write under these paths.
  const std::string notDir = "': Not a directory", noEntry = "': No such file or directory";
  const struct {
    int code;
    std::vector<std::string> args;
    std::string line;  // after "quorvalent-render: "
  } cases[] = {
      {2, {"--colour", "red"}, "unknown argument '--colour' (see --help)"},
      {2, {"--key", "11:escape"}, "--key: frame 11 is outside the frames 1 ... 10"},
      {2, {"--wheel", "11:+1"}, "--wheel: frame 11 is outside the frames 1 ... 10"},
      {2, {"--mouse", "12:3,4"}, "--mouse: frame 12 is outside the frames 1 ... 10"},
      {2,
       {"--bench", "--video", "-"},
       "--video -: standard output carries the --bench line; give the video a file"},
      {1, {"--out", file + "/frames"}, "cannot create the output folder '" + file + "/frames" + notDir},
      {1, {"--out", "/proc"}, "cannot write into the output folder '/proc" + noEntry},
      {1, {"--contact-sheet", "/proc/s.png"}, "cannot write the contact sheet '/proc/s.png" + noEntry},
      {1,
       {"--contact-sheet", file + "/s.png"},
       "cannot write the contact sheet '" + file + "/s.png" + notDir},
      {1, {"--video", file + "/v.rgb"}, "cannot write the video '" + file + "/v.rgb" + notDir},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--size", "16x16", "--frames", "10", "--out", frames.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = runRenderer(args);
    EXPECT_EQ(run.code, c.code) << c.line;
    // A video's encoder hint may come first.
    const bool hint = run.err.starts_with("quorvalent-render: raw video");
    EXPECT_EQ(run.err.substr(hint ? run.err.find('\n') + 1 : 0), "quorvalent-render: " + c.line + "\n");
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(fs::exists(c.code == 2 ? frames : frames / "frame-000001.png")) << c.line;
  }
  fs::remove_all(base);
}

TEST(RenderTool, FramesAreWrittenEveryKAndAtTheEndAndEscapeEndsTheRun) {
  const fs::path out = freshFolder("every");
  auto run = runRenderer(small(out, {"--frames", "7", "--every", "3"}));
  ASSERT_EQ(run.code, 0) << run.err;
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(out)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"frame-000003.png", "frame-000006.png", "frame-000007.png"}));
  fs::remove_all(out);

  run = runRenderer(small(out, {"--frames", "10", "--every", "4", "--key", "6:escape", "--format", "ppm"}));
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(fs::exists(out / "frame-000004.ppm"));
  EXPECT_FALSE(fs::exists(out / "frame-000008.ppm"));
  const auto ppm = readBytes(out / "frame-000006.ppm");  // the last frame
  ASSERT_EQ(ppm.size(), 13u + 64 * 48 * 3);
  EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + 13), "P6\n64 48\n255\n");
  fs::remove_all(out);
}

TEST(RenderTool, AKeyActsInItsOwnFramesReactionSoTheNextFrameShowsIt) {
  const fs::path plain = freshFolder("plain");
  const fs::path keyed = freshFolder("keyed");
  ASSERT_EQ(runRenderer(small(plain, {"--frames", "4"})).code, 0);
  ASSERT_EQ(runRenderer(small(keyed, {"--frames", "4", "--key", "3:enter"})).code, 0);
  for (int f = 1; f <= 4; ++f) {
    const std::string name = "frame-00000" + std::to_string(f) + ".png";
    EXPECT_EQ(readBytes(plain / name) == readBytes(keyed / name), f < 4) << name;
  }
  fs::remove_all(plain);
  fs::remove_all(keyed);
}

// Splats of more than one row (from 1280 x 720 on) cross the bands the
// threads draw; every frame is still that of one thread.
TEST(RenderTool, AnyNumberOfThreadsDrawsTheSameFrames) {
  for (const std::vector<std::string>& variant : std::vector<std::vector<std::string>>{
           {"--brush-kind", "0x40002"},
           {"--brush-kind", "0x30002"},
           {"--brush-kind", "0x20000"},
           {"--brush-picture", "STAR_FLARE", "--half-res", "--trail", "16"}}) {
    std::vector<std::uint8_t> first;
    for (const char* threads : {"1", "3", "4"}) {
      const fs::path out = freshFolder(std::string("threads-") + threads);
      std::vector<std::string> args{"--size", "1280x720",  "--frames", "50",    "--every",
                                    "50",     "--threads", threads,    "--out", out.string()};
      args.insert(args.end(), variant.begin(), variant.end());
      ASSERT_EQ(runRenderer(args).code, 0);
      const auto frame = readBytes(out / "frame-000050.png");
      fs::remove_all(out);
      if (first.empty()) first = frame;
      EXPECT_TRUE(!frame.empty() && frame == first) << variant[1] << ", " << threads << " threads";
    }
  }
}

TEST(RenderTool, VideoContactSheetAndBenchLine) {
  const fs::path out = freshFolder("video");
  const auto run = runRenderer(
      small(out, {"--frames", "5", "--every", "2", "--video", (out / "v.rgb").string(), "--contact-sheet",
                  (out / "sheet.png").string(), "--bench", "--bench-from", "2"}));
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(fs::file_size(out / "v.rgb"), 5u * 64 * 48 * 3);
  EXPECT_NE(run.err.find("ffmpeg -f rawvideo -pix_fmt rgb24 -s 64x48 -r 25 -i"), std::string::npos)
      << run.err;
  EXPECT_TRUE(fs::exists(out / "sheet.png"));
  const std::string ms = "_ms=[0-9]+\\.[0-9]{3} ";
  const std::regex line("bench frames=4 update_median" + ms + "update_p95" + ms + "compose_median" + ms +
                        "compose_p95" + ms + "total_median" + ms + "total_p95" + ms + "total_max" + ms +
                        "cpu_median" + ms + "cpu_mean" + ms + "threads=1\n");
  EXPECT_TRUE(std::regex_match(run.out, line)) << run.out;
  fs::remove_all(out);
}

// Virtual time: only sleeps move the clock, and timers fire by it.
TEST(HeadlessPlatform, TimersFireOnceTheirIntervalHasPassedInVirtualTime) {
  HeadlessPlatform platform(64, 64, {}, nullptr);
  platform.sleepMilliseconds(500);
  EXPECT_EQ(platform.clockTicks(), 50000u);
  EXPECT_EQ(platform.startTimer(0, 10000), 1000);
  platform.sleepMilliseconds(9999);
  EXPECT_FALSE(platform.timerFired(0));
  platform.sleepMilliseconds(1);
  EXPECT_EQ(std::tuple(platform.timerFired(0), platform.timerFired(1)), std::tuple(true, false));
  // The flag stays set after a stop; a second stop reports nothing stopped.
  // (Braces: the calls are made in order.)
  EXPECT_EQ((std::tuple{platform.stopTimer(0), platform.stopTimer(0), platform.timerFired(0)}),
            std::tuple(1, 0, true));
  platform.startTimer(2, 100);
  platform.stopTimer(2);
  platform.advanceClock(100000);
  EXPECT_FALSE(platform.timerFired(2));
}

}  // namespace
}  // namespace qv
