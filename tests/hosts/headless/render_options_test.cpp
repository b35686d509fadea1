#include "hosts/headless/render_options.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include <initializer_list>
#include <vector>

#include "ground/platform.h"
#include "hosts/portable/resource_table.h"
#include "scene/animation.h"

namespace qv {
namespace {

RenderOptionsResult parse(std::initializer_list<std::string_view> args) {
  return parseRenderOptions(std::vector<std::string_view>(args));
}

TEST(RenderOptions, EveryOptionIsRead) {
  const RenderOptionsResult r =
      parse({"--seed", "4294967295", "--size", "640x360", "--frames", "250", "--every", "5", "--out", "shots",
             "--format", "ppm", "--video", "-", "--brush-kind", "0x10000", "--trail", "1001", "--depth-sort",
             "--half-res", "--no-overlays", "--key", "3:enter", "--key", "7:escape", "--key", "0:left",
             "--wheel", "4:-1", "--wheel", "5:+1", "--mouse", "6:100,65535", "--bench", "--bench-from", "20", "--threads", "64"});
  ASSERT_TRUE(r.ok()) << r.error;
  const RenderOptions& o = r.options;
  EXPECT_EQ(std::tuple(o.seed, o.width, o.height, o.frames, o.every), std::tuple(4294967295u, 640, 360, 250, 5));
  EXPECT_EQ(o.outDir, "shots");
  EXPECT_EQ(o.format, ImageFormat::Ppm);
  EXPECT_EQ(o.video, "-");
  EXPECT_EQ(std::tuple(o.brushKind, o.trail), std::tuple(0x10000u, 1001));
  EXPECT_TRUE(o.depthSort);
  EXPECT_TRUE(o.halfRes);
  EXPECT_FALSE(o.overlays);
  ASSERT_EQ(o.keys.size(), 3u);
  EXPECT_EQ(std::tuple(o.keys[0].frame, o.keys[0].key, o.keys[1].key, o.keys[2].frame, o.keys[2].key),
            std::tuple(3, ScriptedKey::Enter, ScriptedKey::Escape, 0, ScriptedKey::Left));
  ASSERT_EQ(o.wheels.size(), 2u);
  EXPECT_EQ(std::tuple(o.wheels[0].frame, o.wheels[0].direction, o.wheels[1].direction), std::tuple(4, -1, 1));
  ASSERT_EQ(o.mice.size(), 1u);
  EXPECT_EQ(std::tuple(o.mice[0].frame, o.mice[0].x, o.mice[0].y), std::tuple(6, 100, 65535));
  EXPECT_TRUE(o.bench);
  EXPECT_EQ(std::tuple(o.benchFrom, o.threads), std::tuple(20, 64));
  EXPECT_EQ(parse({}).options.threads, 1);
}

TEST(RenderOptions, SmallerFormsAndRepeats) {
  RenderOptionsResult r = parse({"--brush-kind", "40002", "--size", "16X16", "--format", "png", "--key",
                                 "1:up", "--key", "1:down", "--key", "2:right", "--video", "a.rgb"});
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(std::tuple(r.options.brushKind, r.options.width, r.options.height), std::tuple(0x40002u, 16, 16));
  EXPECT_EQ(r.options.video, "a.rgb");
  ASSERT_EQ(r.options.keys.size(), 3u);
  EXPECT_EQ(std::tuple(r.options.keys[0].key, r.options.keys[1].key, r.options.keys[2].key),
            std::tuple(ScriptedKey::Up, ScriptedKey::Down, ScriptedKey::Right));
  // The last of a repeated single option counts.
  r = parse({"--seed", "5", "--seed", "9", "--size", "16384x16384", "--brush-kind", "0X30004"});
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(std::tuple(r.options.seed, r.options.width, r.options.brushKind), std::tuple(9u, 16384, 0x30004u));
}

TEST(RenderOptions, HelpIsReportedNotAnError) {
  const RenderOptionsResult r = parse({"--frames", "3", "--help"});
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.help);
  EXPECT_NE(renderUsage().find("--bench-from"), std::string_view::npos);
  // The help lists every brush picture the option takes.
  for (const EmbeddedResource& resource : programResources()) {
    if (resource.typeName == RESOURCE_TYPE_BINARYDATA) {
      EXPECT_NE(renderUsage().find(resource.name), std::string_view::npos);
    }
  }
  for (const std::string_view name : generatedBrushSources()) EXPECT_NE(renderUsage().find(name), std::string_view::npos);
  const char* argv[] = {"quorvalent-render", "--frames", "7"};
  const RenderOptionsResult fromArgv = parseRenderOptions(3, argv);
  ASSERT_TRUE(fromArgv.ok());
  EXPECT_EQ(fromArgv.options.frames, 7);
}

TEST(RenderOptions, BadArgumentsGiveOneLineNamingTheArgument) {
  struct Case {
    std::vector<std::string_view> args;
    std::string_view mustName;
  };
  const std::vector<Case> cases = {
      {{"--bogus"}, "--bogus"},
      {{"frames"}, "frames"},
      {{"--seed"}, "--seed"},
      {{"--frames", "10", "--out"}, "--out"},
      {{"--seed", "-1"}, "--seed"},
      {{"--seed", "4294967296"}, "--seed"},
      {{"--seed", "12abc"}, "--seed"},
      {{"--size", "15x100"}, "--size"},
      {{"--size", "100x15"}, "--size"},
      {{"--size", "16385x16"}, "--size"},
      {{"--size", "16x16385"}, "--size"},
      {{"--size", "640"}, "--size"},
      {{"--size", "640x"}, "--size"},
      {{"--size", "x480"}, "--size"},
      {{"--size", "99999999999x480"}, "--size"},
      {{"--frames", "0"}, "--frames"},
      {{"--frames", "+5"}, "--frames"},
      {{"--frames", " 5"}, "--frames"},
      {{"--every", "0"}, "--every"},
      {{"--out", ""}, "--out"},
      {{"--format", "jpg"}, "--format"},
      {{"--format", "PNG"}, "--format"},
      {{"--video", ""}, "--video"},
      {{"--brush-kind", "0x"}, "--brush-kind"},
      {{"--brush-kind", "xyz"}, "--brush-kind"},
      {{"--brush-kind", "0x100000000"}, "--brush-kind"},
      {{"--brush-kind", "-1"}, "--brush-kind"},
      // Kinds that draw nothing or fail at their first splat.
      {{"--brush-kind", "0x50002"}, "--brush-kind"},
      {{"--brush-kind", "0x20002"}, "--brush-kind"},
      {{"--brush-kind", "0xFFFF0002"}, "--brush-kind"},
      // Other resources of the program are no brush pictures; the generated
      // sources go by their exact names.
      {{"--brush-picture", "ICON_MAIN"}, "--brush-picture"},
      {{"--brush-picture", "compball"}, "--brush-picture"},
      {{"--brush-picture", "NO_SUCH_PICTURE"}, "--brush-picture"},
      {{"--seed", "1\n"}, "--seed"},
      {{"--out\x1b[2J"}, "--out\\x1b[2J"},
      {{"--trail", "-3"}, "--trail"},
      {{"--key", "enter"}, "--key"},
      {{"--key", "3:space"}, "--key"},
      {{"--key", "x:enter"}, "--key"},
      {{"--key", "-1:enter"}, "--key"},
      {{"--wheel", "3:1"}, "--wheel"},
      {{"--wheel", "3:+2"}, "--wheel"},
      {{"--wheel", ":+1"}, "--wheel"},
      {{"--mouse", "3:10"}, "--mouse"},
      {{"--mouse", "3:10,65536"}, "--mouse"},
      {{"--mouse", "10,20"}, "--mouse"},
      {{"--mouse", "3:-1,5"}, "--mouse"},
      {{"--bench-from", "-2"}, "--bench-from"},
      {{"--threads", "0"}, "--threads"},
      {{"--threads", "65"}, "--threads"},
      {{"--threads", "two"}, "--threads"},
  };
  for (const Case& c : cases) {
    const RenderOptionsResult r = parseRenderOptions(c.args);
    const std::string where = c.args.size() > 1 ? std::string(c.args[1]) : std::string(c.args[0]);
    ASSERT_FALSE(r.ok()) << c.mustName << " " << where;
    EXPECT_NE(r.error.find(c.mustName), std::string::npos) << r.error;
    EXPECT_TRUE(std::none_of(r.error.begin(), r.error.end(), [](char ch) { return ch >= 0 && ch < 0x20; }))
        << r.error;
  }
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(RenderOptions, BrushPictureMakesAPictureBrushUnlessAKindIsGiven) {
  RenderOptionsResult r = parseRenderOptions(std::vector<std::string_view>{"--brush-picture", "STAR_FLARE"});
  ASSERT_TRUE(r.ok());
  ASSERT_TRUE(r.options.brushPicture.has_value());
  EXPECT_EQ(*r.options.brushPicture, "STAR_FLARE");
  EXPECT_EQ(r.options.brushKind, 0x40000u);
  // Resource names are found as the resource lookup finds them.
  EXPECT_TRUE(parseRenderOptions(std::vector<std::string_view>{"--brush-picture", "star_flare"}).ok());
  EXPECT_TRUE(parseRenderOptions(std::vector<std::string_view>{"--brush-picture", "compSPOT"}).ok());

  // The kind wins wherever it stands.
  for (const auto& args : {std::vector<std::string_view>{"--brush-kind", "0x40002", "--brush-picture", "STAR_FLARE"},
                           std::vector<std::string_view>{"--brush-picture", "STAR_FLARE", "--brush-kind", "0x30001"}}) {
    r = parseRenderOptions(args);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.options.brushKind, args[1] == "0x40002" ? 0x40002u : 0x30001u);
  }

  r = parseRenderOptions(std::vector<std::string_view>{"--brush-picture", ""});
  EXPECT_FALSE(r.ok());
  EXPECT_NE(r.error.find("--brush-picture"), std::string::npos);
  r = parseRenderOptions(std::vector<std::string_view>{"--brush-picture"});
  EXPECT_FALSE(r.ok());
}

TEST(RenderOptions, ContactSheetNeedsAFileName) {
  RenderOptionsResult r = parseRenderOptions(std::vector<std::string_view>{"--contact-sheet", "out/sheet.png"});
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.options.contactSheet.value_or(""), "out/sheet.png");
  EXPECT_FALSE(r.options.brushPicture.has_value());
  r = parseRenderOptions(std::vector<std::string_view>{"--contact-sheet", ""});
  EXPECT_FALSE(r.ok());
}

}  // namespace
}  // namespace qv

namespace qv {
namespace {

TEST(RenderOptions, AFirstBenchFrameAsksForTheBench) {
  const RenderOptionsResult r = parseRenderOptions(std::vector<std::string_view>{"--bench-from", "1501"});
  ASSERT_TRUE(r.ok());
  EXPECT_TRUE(r.options.bench);
  EXPECT_EQ(r.options.benchFrom, 1501);
}

}  // namespace
}  // namespace qv
