// The renderer as a tool: its arguments, exit codes and outputs.

#include <gtest/gtest.h>

#include <regex>

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

TEST(RenderTool, BadArgumentsExitWith2AndWriteNothing) {
  const fs::path out = freshFolder("bad");
  const std::vector<std::vector<std::string>> bad{
      {"--colour", "red"},
      {"--frames", "0"},
      {"--frames", "10", "--key", "0:enter"},
      {"--frames", "10", "--key", "11:escape"},
      {"--frames", "10", "--wheel", "11:+1"},
      {"--frames", "10", "--mouse", "12:3,4"},
      {"--bench", "--video", "-"},
      {"--brush-kind", "0x50002"},
      {"--brush-picture", "NO_SUCH_PICTURE"},
  };
  for (const auto& args : bad) {
    const auto run = runRenderer(small(out, args));
    EXPECT_EQ(run.code, 2) << args[0];
    EXPECT_NE(run.err.find(args[0] == "--frames" && args.size() > 2 ? args[2] : args[0]), std::string::npos)
        << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(fs::exists(out));
  }
}

TEST(RenderTool, AnOutputThatCannotBeWrittenFailsBeforeTheFirstFrame) {
  const fs::path base = freshFolder("blocked");
  fs::create_directories(base);
  const fs::path file = base / "file";
  std::FILE* f = std::fopen(file.string().c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  const fs::path frames = base / "frames";
  struct Case {
    std::vector<std::string> args;
    std::string names;  // the file or folder the line must name
  };
  // Permission bits do not stop root: no one can write under these paths.
  const std::vector<Case> cases{
      {{"--out", (file / "frames").string()}, (file / "frames").string()},
      {{"--out", "/proc"}, "/proc"},
      {{"--out", frames.string(), "--contact-sheet", "/proc/sheet.png"}, "/proc/sheet.png"},
      {{"--out", frames.string(), "--contact-sheet", (file / "sheet.png").string()}, (file / "sheet.png").string()},
      {{"--out", frames.string(), "--video", (file / "v.rgb").string()}, (file / "v.rgb").string()},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--size", "64x48", "--frames", "2"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = runRenderer(args);
    EXPECT_EQ(run.code, 1) << c.names;
    EXPECT_NE(run.err.find("'" + c.names + "'"), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_FALSE(fs::exists(frames / "frame-000001.png")) << c.names;
  }
  fs::remove_all(base);
}

TEST(RenderTool, AWriteThatFailsLateStillExitsWith1NamingTheFile) {
  const fs::path out = freshFolder("full");
  const fs::path sheet = out / "sheet.png";
  const std::vector<std::vector<std::string>> cases{
      // Small enough to sit in a stream buffer until the close.
      {"--size", "16x16", "--frames", "5", "--video", "/dev/full"},
      {"--size", "16x16", "--frames", "2", "--contact-sheet", "/dev/full"},
      // A failed run leaves no empty contact sheet of its own making.
      {"--size", "16x16", "--frames", "2", "--contact-sheet", sheet.string(), "--video", "/dev/full"},
  };
  for (const auto& args : cases) {
    std::vector<std::string> all{"--out", out.string()};
    all.insert(all.end(), args.begin(), args.end());
    const auto run = runRenderer(all);
    EXPECT_EQ(run.code, 1) << run.err;
    EXPECT_NE(run.err.find("'/dev/full': No space left on device\n"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(sheet));
  }
  EXPECT_TRUE(fs::exists("/dev/full"));
  fs::remove_all(out);
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
  EXPECT_TRUE(fs::exists(out / "frame-000006.ppm"));  // the last frame
  EXPECT_FALSE(fs::exists(out / "frame-000008.ppm"));
  const auto ppm = readBytes(out / "frame-000006.ppm");
  EXPECT_EQ(std::string(ppm.begin(), ppm.begin() + 2), "P6");
  fs::remove_all(out);
}

TEST(RenderTool, AKeyActsInItsOwnFramesReactionSoTheNextFrameShowsIt) {
  const fs::path plain = freshFolder("plain");
  const fs::path keyed = freshFolder("keyed");
  ASSERT_EQ(runRenderer(small(plain, {"--frames", "4"})).code, 0);
  ASSERT_EQ(runRenderer(small(keyed, {"--frames", "4", "--key", "3:enter"})).code, 0);
  for (int f = 1; f <= 3; ++f) {
    const std::string name = "frame-00000" + std::to_string(f) + ".png";
    EXPECT_EQ(readBytes(plain / name), readBytes(keyed / name)) << name;
  }
  EXPECT_NE(readBytes(plain / "frame-000004.png"), readBytes(keyed / "frame-000004.png"));
  fs::remove_all(plain);
  fs::remove_all(keyed);
}

TEST(RenderTool, TwoRunsGiveTheSameBytes) {
  const fs::path a = freshFolder("same-a");
  const fs::path b = freshFolder("same-b");
  ASSERT_EQ(runRenderer(small(a, {"--seed", "3", "--frames", "12", "--every", "6", "--depth-sort"})).code, 0);
  ASSERT_EQ(runRenderer(small(b, {"--seed", "3", "--frames", "12", "--every", "6", "--depth-sort"})).code, 0);
  for (const char* name : {"frame-000006.png", "frame-000012.png"}) {
    const auto bytes = readBytes(a / name);
    EXPECT_FALSE(bytes.empty());
    EXPECT_EQ(bytes, readBytes(b / name)) << name;
  }
  fs::remove_all(a);
  fs::remove_all(b);
}

// Splats of more than one row (from 1280 x 720 on) cross the bands the
// threads draw; every frame is still that of one thread.
TEST(RenderTool, AnyNumberOfThreadsDrawsTheSameFrames) {
  for (const char* kind : {"0x40002", "0x30002", "0x20000"}) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (const char* threads : {"1", "3"}) {
      const fs::path out = freshFolder(std::string("threads-") + threads);
      const auto run = runRenderer({"--size", "1280x720", "--frames", "50", "--every", "50", "--brush-kind", kind,
                                    "--threads", threads, "--out", out.string()});
      ASSERT_EQ(run.code, 0) << run.err;
      frames.push_back(readBytes(out / "frame-000050.png"));
      fs::remove_all(out);
    }
    EXPECT_FALSE(frames[0].empty());
    EXPECT_TRUE(frames[0] == frames[1]) << kind;
  }
}

TEST(RenderTool, VideoContactSheetAndBenchLine) {
  const fs::path out = freshFolder("video");
  const auto run = runRenderer(small(out, {"--frames", "5", "--every", "2", "--video", (out / "v.rgb").string(),
                                           "--contact-sheet", (out / "sheet.png").string(), "--bench",
                                           "--bench-from", "2"}));
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(fs::file_size(out / "v.rgb"), 5u * 64 * 48 * 3);
  EXPECT_NE(run.err.find("ffmpeg -f rawvideo -pix_fmt rgb24 -s 64x48 -r 25 -i"), std::string::npos) << run.err;
  EXPECT_TRUE(fs::exists(out / "sheet.png"));
  const std::regex line(
      "bench frames=4 update_median_ms=[0-9]+\\.[0-9]{3} update_p95_ms=[0-9]+\\.[0-9]{3} "
      "compose_median_ms=[0-9]+\\.[0-9]{3} compose_p95_ms=[0-9]+\\.[0-9]{3} total_median_ms=[0-9]+\\.[0-9]{3} "
      "total_p95_ms=[0-9]+\\.[0-9]{3} total_max_ms=[0-9]+\\.[0-9]{3} cpu_median_ms=[0-9]+\\.[0-9]{3} threads=1\n");
  EXPECT_TRUE(std::regex_match(run.out, line)) << run.out;
  // The frame in the video is the frame in the file.
  const auto video = readBytes(out / "v.rgb");
  EXPECT_EQ(video.size(), 5u * 64 * 48 * 3);
  fs::remove_all(out);
}

}  // namespace
}  // namespace qv
