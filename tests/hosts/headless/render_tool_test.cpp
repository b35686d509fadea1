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

std::size_t lines(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

// Exit 2 and one line for arguments the parser or the scripted input
// refuses (frames past the last one), and nothing written.
TEST(RenderTool, BadArgumentsExitWith2AndWriteNothing) {
  const fs::path out = freshFolder("bad");
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--colour", "red"},
                                             {"--frames", "10", "--key", "11:escape"},
                                             {"--frames", "10", "--wheel", "11:+1"},
                                             {"--frames", "10", "--mouse", "12:3,4"},
                                             {"--bench", "--video", "-"}}) {
    const auto run = runRenderer(small(out, args));
    EXPECT_EQ(run.code, 2) << args[0];
    EXPECT_NE(run.err.find(args[0] == "--frames" ? args[2] : args[0]), std::string::npos) << run.err;
    EXPECT_EQ(std::tuple(lines(run.err), run.out), std::tuple(1u, std::string())) << run.err;
    EXPECT_FALSE(fs::exists(out));
  }
}

// An output that cannot be made fails before the first frame; one that fails
// late (a small stream sits in its buffer until the close) still exits with
// 1, naming the file, and leaves no contact sheet of its own making.
TEST(RenderTool, OutputsThatCannotBeWrittenExitWith1NamingTheFile) {
  const fs::path base = freshFolder("blocked");
  fs::create_directories(base);
  const fs::path file = base / "file";
  std::fclose(std::fopen(file.string().c_str(), "w"));
  const fs::path frames = base / "frames";
  const fs::path sheet = base / "sheet.png";
  // Permission bits do not stop root: no one can write under these paths.
  const std::string notDir = "': Not a directory", full = "'/dev/full': No space left on device";
  const struct {
    std::vector<std::string> args;
    std::string line;  // after "quorvalent-render: "
  } cases[] = {
      {{"--out", (file / "frames").string()},
       "cannot create the output folder '" + (file / "frames").string() + notDir},
      {{"--out", "/proc"}, "cannot write into the output folder '/proc': No such file or directory"},
      {{"--contact-sheet", "/proc/sheet.png"},
       "cannot write the contact sheet '/proc/sheet.png': No such file or directory"},
      {{"--contact-sheet", (file / "sheet.png").string()},
       "cannot write the contact sheet '" + (file / "sheet.png").string() + notDir},
      {{"--video", (file / "v.rgb").string()},
       "cannot write the video '" + (file / "v.rgb").string() + notDir},
      {{"--contact-sheet", "/dev/full"}, "cannot write the contact sheet " + full},
      {{"--contact-sheet", sheet.string(), "--video", "/dev/full"}, "cannot write the video " + full},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args{"--size", "16x16", "--frames", "2", "--out", frames.string()};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto run = runRenderer(args);
    EXPECT_EQ(run.code, 1) << c.line;
    // The last line; a video's encoder hint may come before it.
    EXPECT_EQ(run.err.substr(run.err.rfind('\n', run.err.size() - 2) + 1),
              "quorvalent-render: " + c.line + "\n");
    EXPECT_EQ(lines(run.err), run.err.starts_with("quorvalent-render: raw video") ? 2u : 1u) << run.err;
    const bool early = c.line.find("/dev/full") == std::string::npos;
    EXPECT_TRUE(!early || !fs::exists(frames / "frame-000001.png")) << c.line;
    EXPECT_FALSE(fs::exists(sheet));
  }
  EXPECT_TRUE(fs::exists("/dev/full"));
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
  EXPECT_TRUE(fs::exists(out / "frame-000006.ppm"));  // the last frame
  EXPECT_FALSE(fs::exists(out / "frame-000008.ppm"));
  const auto ppm = readBytes(out / "frame-000006.ppm");
  EXPECT_EQ(ppm.size(), 13u + 64 * 48 * 3);
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
    std::vector<std::vector<std::uint8_t>> frames;
    for (const char* threads : {"1", "3", "4"}) {
      const fs::path out = freshFolder(std::string("threads-") + threads);
      std::vector<std::string> args{"--size", "1280x720",  "--frames", "50",    "--every",
                                    "50",     "--threads", threads,    "--out", out.string()};
      args.insert(args.end(), variant.begin(), variant.end());
      const auto run = runRenderer(args);
      ASSERT_EQ(run.code, 0) << run.err;
      frames.push_back(readBytes(out / "frame-000050.png"));
      fs::remove_all(out);
    }
    EXPECT_FALSE(frames[0].empty());
    EXPECT_TRUE(frames[0] == frames[1]) << variant[1] << ", 3 threads";
    EXPECT_TRUE(frames[0] == frames[2]) << variant[1] << ", 4 threads";
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
                        "cpu_median" + ms + "threads=1\n");
  EXPECT_TRUE(std::regex_match(run.out, line)) << run.out;
  fs::remove_all(out);
}

}  // namespace
}  // namespace qv
