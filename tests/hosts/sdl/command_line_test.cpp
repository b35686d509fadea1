#include "hosts/sdl/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace qv::sdl {
namespace {

LaunchRequest parse(std::vector<std::string_view> args, const char* env = nullptr) {
  args.insert(args.begin(), "quorvalent");
  return parseCommandLine(args, env);
}

TEST(CommandLine, NoArgumentAndSlashSInAnyCaseRunTheAnimation) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{{}, {"/s"}, {"/S"}, {"/s", "extra", "x"}}) {
    const LaunchRequest r = parse(args);
    EXPECT_EQ(r.mode, LaunchMode::Run);
    EXPECT_FALSE(r.embedded);
    EXPECT_FALSE(r.showFps);
  }
}

TEST(CommandLine, PreviewTakesExactlyOneHandle) {
  LaunchRequest r = parse({"/P", "4194307"});
  EXPECT_EQ(r.mode, LaunchMode::Preview);
  EXPECT_EQ(r.windowId, 4194307u);
  // The handle is read like the window system's string-to-int: leading digits.
  EXPECT_EQ(parse({"/p", "12abc"}).windowId, 12u);
  EXPECT_EQ(parse({"/p", "0"}).mode, LaunchMode::ExitSilently);
  EXPECT_EQ(parse({"/p", "abc"}).mode, LaunchMode::ExitSilently);
  EXPECT_EQ(parse({"/p"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"/p", "1", "2"}).mode, LaunchMode::Usage);
}

TEST(CommandLine, OtherSlashFormsShowTheUsageBox) {
  for (const auto& args : std::vector<std::vector<std::string_view>>{{"/c"}, {"/C:1234"}, {"/x", "-fps"}}) {
    EXPECT_EQ(parse(args).mode, LaunchMode::Usage) << args[0];
  }
}

TEST(CommandLine, OptionsTakeOneDashOrTwo) {
  for (const bool twoDashes : {false, true}) {
    const auto o = [&](std::string_view name) { return twoDashes ? std::string("--").append(name) : std::string("-").append(name); };
    const std::vector<std::string> tokens = {o("fps"),   o("window-id"), "0x2A00007", o("display"), ":3",
                                             o("brush"), "ball",         o("trail"),  "1001",       o("seed"),
                                             "42",       o("depth-sort"), o("half-res")};
    const std::vector<std::string_view> args(tokens.begin(), tokens.end());
    const LaunchRequest r = parse(args);
    ASSERT_EQ(r.mode, LaunchMode::Run) << r.error;
    EXPECT_EQ(std::tuple(r.embedded, r.rootWindow, r.windowId, r.showFps, r.display),
              std::tuple(true, false, std::uint64_t{0x2A00007}, true, std::string(":3")));
    EXPECT_EQ(std::tuple(r.scene.brushKind, r.scene.trail, r.scene.seedGiven, r.scene.seed, r.scene.depthSortEnabled,
                         r.scene.halfResRequested),
              std::tuple(0x20000, 1001, true, 42u, 1, true));
    EXPECT_EQ(parse({o("root"), o("fps"), o("no-fps")}).showFps, false);
    EXPECT_TRUE(parse({o("root")}).rootWindow);
    EXPECT_EQ(parse({"-fps", o("help")}).mode, LaunchMode::Help);
  }
  EXPECT_EQ(parse({"-h"}).mode, LaunchMode::Help);
}

TEST(CommandLine, NoOptionsGiveTheProgramsOwnScene) {
  const SceneOptions own;
  const SceneOptions given = parse({}).scene;
  EXPECT_EQ(std::tuple(given.seedGiven, given.brushKind, given.trail, given.depthSortEnabled, given.halfResRequested,
                       given.overlays, given.brushPicture),
            std::tuple(own.seedGiven, own.brushKind, own.trail, own.depthSortEnabled, own.halfResRequested,
                       own.overlays, own.brushPicture));
}

TEST(CommandLine, BrushesByNameOrByADrawnKind) {
  const struct {
    std::string_view value;
    std::int32_t kind;
    std::string_view picture;
  } cases[] = {{"disc", 0x40002, ""},  {"ball", 0x20000, ""},       {"spot", 0x30002, ""},
               {"point", 0x10000, ""}, {"picture", 0x40000, "STAR_FLARE"}, {"0x30004", 0x30004, ""},
               {"40001", 0x40001, ""}};
  for (const auto& c : cases) {
    const LaunchRequest r = parse({"--brush", c.value});
    ASSERT_EQ(r.mode, LaunchMode::Run) << c.value;
    EXPECT_EQ(std::tuple(r.scene.brushKind, r.scene.brushPicture), std::tuple(c.kind, std::string(c.picture)));
  }
}

TEST(CommandLine, BadOptionsAndValuesNameTheOption) {
  const struct {
    std::vector<std::string_view> args;
    std::string_view error;
  } cases[] = {
      {{"-bogus"}, "quorvalent: unrecognised option: -bogus"},
      {{"-fps", "--bogus"}, "quorvalent: unrecognised option: --bogus"},
      {{"s"}, "quorvalent: unrecognised option: s"},
      {{"-window-id"}, "quorvalent: -window-id needs a window id"},
      {{"--window-id"}, "quorvalent: --window-id needs a window id"},
      {{"-window-id", "0"}, "quorvalent: -window-id: expected a window id, got '0'"},
      {{"-window-id", "12z"}, "quorvalent: -window-id: expected a window id, got '12z'"},
      {{"-display"}, "quorvalent: -display needs a display name"},
      {{"--trail", "-1"}, "quorvalent: --trail: expected a number of 0 or more, got '-1'"},
      {{"--seed", "4294967296"}, "quorvalent: --seed: expected a number from 0 to 4294967295, got '4294967296'"},
      {{"--seed"}, "quorvalent: --seed needs a number"},
      {{"--brush", "blob"},
       "quorvalent: --brush: expected disc, ball, spot, point, picture or a kind code the program draws, got 'blob'"},
  };
  for (const auto& c : cases) {
    const LaunchRequest r = parse(c.args);
    EXPECT_EQ(r.mode, LaunchMode::BadOption) << c.error;
    EXPECT_EQ(r.error, c.error);
  }
  // Kinds the program has no kernels for are refused like names it does not know.
  for (std::string_view kind : {"0x0", "0x10002", "0x20002", "0x30005", "0x50002", "0xFFFFFFFF"}) {
    EXPECT_EQ(parse({"--brush", kind}).mode, LaunchMode::BadOption) << kind;
  }
}

TEST(CommandLine, RootMeansTheScreenSaversWindowWhenItNamesOne) {
  LaunchRequest r = parse({"-root"});
  EXPECT_TRUE(r.embedded);
  EXPECT_TRUE(r.rootWindow);

  r = parse({"-root"}, "0x1c00004");
  EXPECT_TRUE(r.embedded);
  EXPECT_FALSE(r.rootWindow);
  EXPECT_EQ(r.windowId, 0x1c00004u);

  r = parse({"-root"}, "not a window");
  EXPECT_TRUE(r.rootWindow);

  // The environment alone does not take the program into another window.
  EXPECT_FALSE(parse({}, "0x1c00004").embedded);
}

TEST(CommandLine, WindowIdsAreDecimalOrHexadecimal) {
  std::uint64_t id = 0;
  EXPECT_TRUE(parseWindowId("123", id));
  EXPECT_EQ(id, 123u);
  EXPECT_TRUE(parseWindowId("0XfF", id));
  EXPECT_EQ(id, 255u);
  EXPECT_FALSE(parseWindowId("", id));
  EXPECT_FALSE(parseWindowId("-5", id));
  EXPECT_FALSE(parseWindowId("0x-1", id));
  EXPECT_EQ(leadingDecimal("  -42x"), -42);
  EXPECT_EQ(leadingDecimal("+7"), 7);
}

}  // namespace
}  // namespace qv::sdl
