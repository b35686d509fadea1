#include "hosts/headless/render_options.h"

#include <gtest/gtest.h>

#include <ranges>
#include <sstream>
#include <tuple>
#include <vector>

#include "support/option_documents.h"

namespace qv {
namespace {

using Args = std::vector<std::string_view>;

// The words of a line, split at single spaces.
Args words(std::string_view line) {
  Args out;
  for (const auto word : std::views::split(line, ' ')) {
    if (!word.empty()) out.emplace_back(word.begin(), word.end());
  }
  return out;
}

// Options in words: what differs from the documented defaults.
std::string said(const RenderOptions& o) {
  static const char* const keys[] = {"enter", "escape", "up", "down", "left", "right"};
  const SceneOptions& scene = o.choices.scene;
  std::ostringstream s;
  if (!scene.seedGiven || scene.seed != 1) s << " seed " << scene.seed;
  if (o.width != 1920 || o.height != 1080) s << " size " << o.width << "x" << o.height;
  if (o.frames != 100 || o.every != 1) s << " frames " << o.frames << " every " << o.every;
  if (o.outDir != "out") s << " out " << o.outDir;
  if (scene.brushKind != 0x40002) s << " kind " << std::hex << scene.brushKind << std::dec;
  if (scene.trail != 0 || o.choices.threads != 1 || o.benchFrom != 1)
    s << " trail " << scene.trail << " threads " << o.choices.threads << " bench-from " << o.benchFrom;
  s << (o.format == ImageFormat::Png ? "" : " ppm") << (o.bench ? " bench" : "")
    << (scene.depthSortEnabled != 0 ? " depth-sort" : "") << (scene.halfResRequested ? " half-res" : "")
    << (scene.overlays ? "" : " no-overlays");
  if (o.video) s << " video " << *o.video;
  if (o.contactSheet) s << " sheet " << *o.contactSheet;
  if (!scene.brushPicture.empty()) s << " picture " << scene.brushPicture;
  for (const KeyEvent& k : o.keys) s << " key " << k.frame << ":" << keys[static_cast<int>(k.key)];
  for (const WheelEvent& w : o.wheels) s << " wheel " << w.frame << ":" << w.direction;
  for (const MouseEvent& m : o.mice) s << " mouse " << m.frame << ":" << m.x << "," << m.y;
  return s.str();
}

TEST(RenderOptions, ArgumentListsGiveTheirOptions) {
  const struct {
    std::string_view line, want;
  } cases[] = {
      {"", ""},  // the documented defaults
      {"--seed 4294967295 --size 640x360 --frames 250 --every 5 --out shots --format ppm --video - "
       "--brush-kind 0x10000 --trail 1001 --depth-sort --half-res --no-overlays --contact-sheet s.png "
       "--threads 64",
       " seed 4294967295 size 640x360 frames 250 every 5 out shots kind 10000 trail 1001 threads 64 "
       "bench-from 1 ppm depth-sort half-res no-overlays video - sheet s.png"},
      // Scripted input, in the order given; the last of a repeated option counts.
      {"--key 3:enter --key 7:escape --key 0:left --key 1:up --key 1:down --key 2:right --wheel 4:-1 "
       "--wheel 5:+1 --mouse 6:100,65535 --seed 5 --seed 9 --size 16384X16 --brush-kind 40002 "
       "--bench-from 1501",
       " seed 9 size 16384x16 trail 0 threads 1 bench-from 1501 bench key 3:enter key 7:escape key 0:left "
       "key 1:up key 1:down key 2:right wheel 4:-1 wheel 5:1 mouse 6:100,65535"},
      // A brush picture makes a picture brush unless a kind is given, wherever
      // it stands; names are found as the resource lookup finds them.
      {"--brush-picture star_flare", " kind 40000 picture star_flare"},
      {"--brush-kind 0x40002 --brush-picture compSPOT", " picture compSPOT"},
      {"--brush-picture STAR_FLARE --brush-kind 0X30001", " kind 30001 picture STAR_FLARE"},
      // --brush names both, as in the desktop program.
      {"--brush picture", " kind 40000 picture STAR_FLARE"},
      {"--brush 0x30004 --brush-picture compBALL", " kind 30004 picture compBALL"},
  };
  for (const auto& c : cases) {
    const RenderOptionsResult r = parseRenderOptions(words(c.line));
    EXPECT_EQ(std::tuple(r.error, r.options.help, said(r.options)), std::tuple("", false, c.want)) << c.line;
  }
  const char* argv[] = {"quorvalent-render", "--frames", "7", "--help"};
  const RenderOptionsResult fromArgv = parseRenderOptions(4, argv);
  EXPECT_TRUE(fromArgv.ok() && fromArgv.options.help);
  EXPECT_EQ(fromArgv.options.frames, 7);
}

TEST(RenderOptions, RefusalsAreOneExactLine) {
  const struct {
    Args args;
    std::string_view message;
  } whole[] = {
      {{"--bogus"}, "quorvalent-render: unknown argument '--bogus' (see --help)"},
      {{"frames"}, "quorvalent-render: unknown argument 'frames' (see --help)"},
      {{"-seed", "3"}, "quorvalent-render: unknown argument '-seed' (see --help)"},
      {{"--out\x1b[2J"}, "quorvalent-render: unknown argument '--out\\x1b[2J' (see --help)"},
      {{"--frames", "10", "--out"}, "quorvalent-render: --out needs a value"},
      {{"--brush-picture"}, "quorvalent-render: --brush-picture needs a value"},
  };
  for (const auto& c : whole) EXPECT_EQ(parseRenderOptions(c.args).error, c.message);

  // "quorvalent-render: OPTION: expected WHAT, got 'VALUE'" for each value.
  const struct {
    std::string_view option, expected;
    Args values;
  } values[] = {
      {"--seed", "a number from 0 to 4294967295", {"-1", "4294967296", "12abc", "1\n"}},
      {"--size", "a size from 16x16 to 16384x16384", {"15x100", "100x15", "16385x16", "16x16385"}},
      {"--size", "WxH", {"640", "640x", "x480", "99999999999x480"}},
      {"--frames", "a number of frames of 1 or more", {"0", "+5", " 5"}},
      {"--every", "a number of 1 or more", {"0"}},
      {"--out", "a folder name", {""}},
      {"--format", "png or ppm", {"jpg", "PNG"}},
      {"--video", "a file name or -", {""}},
      {"--contact-sheet", "a file name", {""}},
      {"--brush-kind", "a hexadecimal kind code such as 0x40002", {"0x", "xyz", "0x100000000", "-1"}},
      {"--trail", "a number of 0 or more", {"-3"}},
      {"--brush", "disc, ball, spot, point, picture or a kind code the program draws", {"blob", "0x20002"}},
      {"--key",
       "F:NAME with NAME one of enter, escape, up, down, left, right",
       {"enter", "3:space", "x:enter", "-1:enter"}},
      {"--wheel", "F:+1 or F:-1", {"3:1", "3:+2", ":+1"}},
      {"--mouse", "F:X,Y with X and Y from 0 to 65535", {"3:10", "3:10,65536", "10,20", "3:-1,5"}},
      {"--bench-from", "a frame number of 0 or more", {"-2"}},
      {"--threads", "a number of threads from 1 to 64", {"0", "65", "two"}},
  };
  for (const auto& c : values) {
    for (const std::string_view value : c.values) {
      const std::string shown = value == "1\n" ? "1\\n" : std::string(value);
      EXPECT_EQ(parseRenderOptions(Args{c.option, value}).error,
                "quorvalent-render: " + std::string(c.option) + ": expected " + std::string(c.expected) +
                    ", got '" + shown + "'");
    }
  }
  // Kinds that draw nothing or fail at their first splat, and resources that
  // are no brush pictures (the generated sources go by their exact names):
  // the line lists what the option takes.
  for (const Args& args : {Args{"--brush-kind", "0x50002"}, Args{"--brush-kind", "0x20002"},
                           Args{"--brush-kind", "0xFFFF0002"}, Args{"--brush-picture", "ICON_MAIN"},
                           Args{"--brush-picture", "compball"}, Args{"--brush-picture", ""}}) {
    const std::string error = parseRenderOptions(args).error;
    EXPECT_EQ(error.rfind("quorvalent-render: " + std::string(args[0]) + ": expected a", 0), 0u) << error;
    EXPECT_NE(error.find(args[0] == "--brush-kind" ? "0x30000-0x30004" : "STAR_FLARE"), std::string::npos)
        << error;
  }
}

// The renderer's manual page names every option of the tables with the value
// it takes, and no other.
TEST(OptionDocuments, TheRenderersManualPageListsTheOptionsOfTheTables) {
  const std::string page = std::string(QV_SOURCE_DIR) + "/src/hosts/headless/data/quorvalent-render.1";
  EXPECT_EQ(testing::manPageOptions(page), testing::tableOptions(renderOptions(), RENDERER_PROGRAM));
}

}  // namespace
}  // namespace qv
