#include "hosts/sdl/command_line.h"

#include <gtest/gtest.h>

#include <string_view>
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

TEST(CommandLine, UnknownArgumentsShowTheUsage) {
  EXPECT_EQ(parse({"/c"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"s"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"-s"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"-fps", "-bogus"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"-window-id"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"-window-id", "0"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"-window-id", "0x"}).mode, LaunchMode::Usage);
  EXPECT_EQ(parse({"-window-id", "12z"}).mode, LaunchMode::Usage);
}

TEST(CommandLine, ScreenSaverOptionsInAnyOrder) {
  LaunchRequest r = parse({"-fps", "-window-id", "0x2A00007"});
  EXPECT_EQ(r.mode, LaunchMode::Run);
  EXPECT_TRUE(r.embedded);
  EXPECT_FALSE(r.rootWindow);
  EXPECT_EQ(r.windowId, 0x2A00007u);
  EXPECT_TRUE(r.showFps);

  r = parse({"-window-id", "77", "-fps"});
  EXPECT_EQ(r.windowId, 77u);
  EXPECT_TRUE(r.showFps);

  r = parse({"-fps"});
  EXPECT_EQ(r.mode, LaunchMode::Run);
  EXPECT_FALSE(r.embedded);
  EXPECT_TRUE(r.showFps);
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
