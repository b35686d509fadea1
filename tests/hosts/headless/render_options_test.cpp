#include "hosts/headless/render_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <vector>

#include "ground/platform.h"
#include "hosts/portable/resource_table.h"
#include "scene/animation.h"

namespace qv {
namespace {

using Args = std::vector<std::string_view>;

// The words of a line, split at single spaces.
Args words(std::string_view line) {
  Args out;
  for (std::size_t at = 0; at <= line.size();) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    if (end > at) out.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  return out;
}

TEST(RenderOptions, ArgumentListsGiveTheirOptions) {
  const struct {
    Args args;
    std::function<void(const RenderOptions&)> check;
  } cases[] = {
      // The documented defaults.
      {{},
       [](const RenderOptions& o) {
         EXPECT_EQ(std::tuple(o.seed, o.width, o.height, o.frames, o.every, o.outDir, o.brushKind, o.trail),
                   std::tuple(1u, 1920, 1080, 100, 1, std::string("out"), 0x40002u, 0));
         EXPECT_EQ(std::tuple(o.format, o.overlays, o.depthSort, o.halfRes, o.bench, o.benchFrom, o.threads),
                   std::tuple(ImageFormat::Png, true, false, false, false, 1, 1));
         EXPECT_FALSE(o.video || o.brushPicture || o.contactSheet);
       }},
      {words("--seed 4294967295 --size 640x360 --frames 250 --every 5 --out shots --format ppm --video - "
             "--brush-kind 0x10000 --trail 1001 --depth-sort --half-res --no-overlays --contact-sheet s.png "
             "--threads 64"),
       [](const RenderOptions& o) {
         EXPECT_EQ(std::tuple(o.seed, o.width, o.height, o.frames, o.every, o.outDir, o.brushKind, o.trail),
                   std::tuple(4294967295u, 640, 360, 250, 5, std::string("shots"), 0x10000u, 1001));
         EXPECT_EQ(
             std::tuple(o.format, o.overlays, o.depthSort, o.halfRes, o.threads, *o.video, *o.contactSheet),
             std::tuple(ImageFormat::Ppm, false, true, true, 64, "-", "s.png"));
       }},
      // Scripted input, in the order given; the last of a repeated option counts.
      {words("--key 3:enter --key 7:escape --key 0:left --key 1:up --key 1:down --key 2:right --wheel 4:-1 "
             "--wheel 5:+1 --mouse 6:100,65535 --seed 5 --seed 9 --size 16384X16 --brush-kind 40002 "
             "--bench-from 1501"),
       [](const RenderOptions& o) {
         std::vector<std::pair<int, ScriptedKey>> keys;
         for (const KeyEvent& k : o.keys) keys.emplace_back(k.frame, k.key);
         using enum ScriptedKey;
         EXPECT_EQ(keys,
                   (decltype(keys){{3, Enter}, {7, Escape}, {0, Left}, {1, Up}, {1, Down}, {2, Right}}));
         ASSERT_EQ(std::tuple(o.wheels.size(), o.mice.size()), std::tuple(2u, 1u));
         EXPECT_EQ(std::tuple(o.wheels[0].frame, o.wheels[0].direction, o.wheels[1].direction),
                   std::tuple(4, -1, 1));
         EXPECT_EQ(std::tuple(o.mice[0].frame, o.mice[0].x, o.mice[0].y), std::tuple(6, 100, 65535));
         EXPECT_EQ(std::tuple(o.seed, o.width, o.height, o.brushKind, o.bench, o.benchFrom),
                   std::tuple(9u, 16384, 16, 0x40002u, true, 1501));
       }},
      // A brush picture makes a picture brush unless a kind is given, wherever
      // it stands; names are found as the resource lookup finds them.
      {words("--brush-picture star_flare"),
       [](const RenderOptions& o) {
         EXPECT_EQ(std::tuple(o.brushPicture.value_or(""), o.brushKind), std::tuple("star_flare", 0x40000u));
       }},
      {words("--brush-kind 0x40002 --brush-picture compSPOT"),
       [](const RenderOptions& o) { EXPECT_EQ(o.brushKind, 0x40002u); }},
      {words("--brush-picture STAR_FLARE --brush-kind 0X30001"),
       [](const RenderOptions& o) { EXPECT_EQ(o.brushKind, 0x30001u); }},
  };
  for (const auto& c : cases) {
    const RenderOptionsResult r = parseRenderOptions(c.args);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_FALSE(r.help);
    c.check(r.options);
  }
  const char* argv[] = {"quorvalent-render", "--frames", "7", "--help"};
  const RenderOptionsResult fromArgv = parseRenderOptions(4, argv);
  EXPECT_TRUE(fromArgv.ok() && fromArgv.help);
  EXPECT_EQ(fromArgv.options.frames, 7);
  // The help lists every brush picture the option takes.
  std::vector<std::string_view> pictures(generatedBrushSources().begin(), generatedBrushSources().end());
  for (const EmbeddedResource& resource : programResources()) {
    if (resource.typeName == RESOURCE_TYPE_BINARYDATA) pictures.push_back(resource.name);
  }
  for (const std::string_view name : pictures) EXPECT_NE(renderUsage().find(name), std::string::npos) << name;
}

TEST(RenderOptions, RefusalsAreOneExactLine) {
  const struct {
    Args args;
    std::string_view message;
  } whole[] = {
      {{"--bogus"}, "quorvalent-render: unknown argument '--bogus' (see --help)"},
      {{"frames"}, "quorvalent-render: unknown argument 'frames' (see --help)"},
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

}  // namespace
}  // namespace qv
