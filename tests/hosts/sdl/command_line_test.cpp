#include "hosts/sdl/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace qv::sdl {
namespace {

using Args = std::vector<std::string_view>;

LaunchRequest parse(Args args, const char* env = nullptr) {
  args.insert(args.begin(), "quorvalent");
  return parseCommandLine(args, env);
}

// What a command line asks for; the defaults are the program's own scene in
// its own window.
struct Want {
  LaunchMode mode = LaunchMode::Run;
  bool embedded = false, root = false;
  std::uint64_t window = 0;
  bool fps = false;
  std::string display{};
  std::int32_t kind = 0x40002, trail = 0;
  bool seedGiven = false;
  std::uint32_t seed = 1;
  std::int32_t depthSort = 0;
  bool halfRes = false;
  std::string picture{};
};

auto fields(const LaunchRequest& r) {
  return std::tuple(r.mode, r.embedded, r.rootWindow, r.windowId, r.showFps, r.display, r.scene.brushKind,
                    r.scene.trail, r.scene.seedGiven, r.scene.seed, r.scene.depthSortEnabled,
                    r.scene.halfResRequested, r.scene.brushPicture, r.scene.overlays);
}
auto fields(const Want& w) {
  return std::tuple(w.mode, w.embedded, w.root, w.window, w.fps, w.display, w.kind, w.trail, w.seedGiven,
                    w.seed, w.depthSort, w.halfRes, w.picture, true);
}

TEST(CommandLine, EachLineAsksForWhatItSays) {
  using enum LaunchMode;
  const struct {
    Args args;
    const char* env;  // XSCREENSAVER_WINDOW
    Want want;
  } cases[] = {
      // The screen-saver grammar.
      {{}, nullptr, {}},
      {{"/S", "extra", "x"}, nullptr, {}},
      {{"/P", "4194307"}, nullptr, {.mode = Preview, .window = 4194307}},
      {{"/p", "12abc"}, nullptr, {.mode = Preview, .window = 12}},  // leading digits, as string-to-int reads
      {{"/p", "0"}, nullptr, {.mode = ExitSilently}},
      {{"/p", "abc"}, nullptr, {.mode = ExitSilently}},
      {{"/p"}, nullptr, {.mode = Usage}},
      {{"/p", "1", "2"}, nullptr, {.mode = Usage}},
      {{"/c"}, nullptr, {.mode = Usage}},
      {{"/C:1234"}, nullptr, {.mode = Usage}},
      {{"/x", "-fps"}, nullptr, {.mode = Usage}},
      // Options with one dash or two, in any order.
      {{"-fps", "-window-id", "0x2A00007", "-display", ":3", "-brush", "ball", "-trail", "1001", "-seed",
        "42", "-depth-sort", "-half-res"},
       nullptr,
       {.embedded = true,
        .window = 0x2A00007,
        .fps = true,
        .display = ":3",
        .kind = 0x20000,
        .trail = 1001,
        .seedGiven = true,
        .seed = 42,
        .depthSort = 1,
        .halfRes = true}},
      {{"--half-res", "--depth-sort", "--seed", "0", "--trail", "0", "--brush", "picture", "--display", ":3",
        "--window-id", "123", "--fps"},
       nullptr,
       {.embedded = true,
        .window = 123,
        .fps = true,
        .display = ":3",
        .kind = 0x40000,
        .seedGiven = true,
        .seed = 0,
        .depthSort = 1,
        .halfRes = true,
        .picture = "STAR_FLARE"}},
      {{"--root", "--fps", "-no-fps"}, nullptr, {.embedded = true, .root = true}},
      {{"-fps", "--help"}, nullptr, {.mode = Help}},
      {{"-h"}, nullptr, {.mode = Help}},
      // -root means the screen saver's window when the environment names one.
      {{"-root"}, "0x1c00004", {.embedded = true, .window = 0x1c00004}},
      {{"-root"}, "not a window", {.embedded = true, .root = true}},
      {{}, "0x1c00004", {}},
      // Brushes by name or by a kind that draws.
      {{"--brush", "disc"}, nullptr, {}},
      {{"--brush", "spot"}, nullptr, {.kind = 0x30002}},
      {{"--brush", "point"}, nullptr, {.kind = 0x10000}},
      {{"--brush", "0x30004"}, nullptr, {.kind = 0x30004}},
      {{"--brush", "40001"}, nullptr, {.kind = 0x40001}},
  };
  for (const auto& c : cases) {
    const LaunchRequest r = parse(c.args, c.env);
    EXPECT_EQ(fields(r), fields(c.want)) << (c.args.empty() ? "(none)" : c.args[0]) << " " << r.error;
  }
  std::uint64_t id = 0;
  EXPECT_TRUE(parseWindowId("0XfF", id) && id == 255);
  EXPECT_FALSE(parseWindowId("0x-1", id) || parseWindowId("-5", id) || parseWindowId("", id));
}

TEST(CommandLine, BadOptionsAndValuesGiveTheirExactLine) {
  const struct {
    Args args;
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
      {{"--seed", "4294967296"},
       "quorvalent: --seed: expected a number from 0 to 4294967295, got '4294967296'"},
      {{"--seed"}, "quorvalent: --seed needs a number"},
  };
  for (const auto& c : cases) {
    const LaunchRequest r = parse(c.args);
    EXPECT_EQ(std::tuple(r.mode, r.error), std::tuple(LaunchMode::BadOption, c.error));
  }
  // Kinds the program has no kernels for are refused like names it does not know.
  for (std::string_view kind : {"blob", "0x0", "0x10002", "0x20002", "0x30005", "0x50002", "0xFFFFFFFF"}) {
    EXPECT_EQ(parse({"--brush", kind}).error,
              "quorvalent: --brush: expected disc, ball, spot, point, picture or a kind code the program "
              "draws, got '" +
                  std::string(kind) + "'");
  }
}

}  // namespace
}  // namespace qv::sdl
