#include "hosts/sdl/launcher/command_line.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "support/option_documents.h"

namespace qv::sdl {
namespace {

using Args = std::vector<std::string_view>;

LaunchRequest parse(Args args, const char* env = nullptr) {
  args.insert(args.begin(), "quorvalent");
  return parseCommandLine(args, env);
}

// A request in words: its mode, then all that differs from a run of the
// program's own scene in a window of its own.
std::string said(const LaunchRequest& r) {
  static const char* const modes[] = {"run", "preview", "usage", "help", "bad option", "exit"};
  const SceneOptions& o = r.choices.scene;
  std::ostringstream s;
  s << modes[static_cast<int>(r.mode)] << (r.embedded ? " embedded" : "") << (r.rootWindow ? " root" : "");
  if (r.windowId != 0) s << " window " << r.windowId;
  s << (r.choices.showFps ? " fps" : "") << (r.display.empty() ? "" : " display " + r.display);
  if (o.brushKind != 0x40002) s << " kind " << std::hex << o.brushKind << std::dec;
  if (o.trail != 0) s << " trail " << o.trail;
  if (o.seedGiven || o.seed != 1) s << (o.seedGiven ? " seed " : " unused seed ") << o.seed;
  s << (o.depthSortEnabled != 0 ? " depth-sort" : "") << (o.halfResRequested ? " half-res" : "");
  s << (o.brushPicture.empty() ? "" : " picture " + o.brushPicture) << (o.overlays ? "" : " no overlays");
  return s.str();
}

TEST(CommandLine, EachLineAsksForWhatItSays) {
  const struct {
    Args args;
    const char* env;  // XSCREENSAVER_WINDOW
    std::string_view want;
  } cases[] = {
      // The screen-saver grammar.
      {{}, nullptr, "run"},
      {{"/S", "extra", "x"}, nullptr, "run"},
      {{"/P", "4194307"}, nullptr, "preview window 4194307"},
      {{"/p", "12abc"}, nullptr, "preview window 12"},  // leading digits, as string-to-int reads
      {{"/p", "0"}, nullptr, "exit"},
      {{"/p", "abc"}, nullptr, "exit"},
      {{"/p", "-5"}, nullptr, "exit"},
      {{"/p", "536870912"}, nullptr, "exit"},  // 0x20000000: beyond X's ids
      {{"/p", "536870911"}, nullptr, "preview window 536870911"},
      {{"/p"}, nullptr, "usage"},
      {{"/p", "1", "2"}, nullptr, "usage"},
      {{"/c"}, nullptr, "usage"},
      {{"/C:1234"}, nullptr, "usage"},
      {{"/x", "-fps"}, nullptr, "usage"},
      // Options with one dash or two, in any order.
      {{"-fps", "-window-id", "0x2A00007", "-display", ":3", "-brush", "ball", "-trail", "1001", "-seed",
        "42", "-depth-sort", "-half-res"},
       nullptr,
       "run embedded window 44040199 fps display :3 kind 20000 trail 1001 seed 42 depth-sort half-res"},
      {{"--half-res", "--depth-sort", "--seed", "0", "--trail", "0", "--brush", "picture", "--display", ":3",
        "--window-id", "123", "--fps"},
       nullptr,
       "run embedded window 123 fps display :3 kind 40000 seed 0 depth-sort half-res picture STAR_FLARE"},
      {{"--root", "--fps", "-no-fps"}, nullptr, "run embedded root"},
      {{"-fps", "--help"}, nullptr, "help"},
      {{"-h"}, nullptr, "help"},
      // -root means the screen saver's window when the environment names one.
      {{"-root"}, "0x1c00004", "run embedded window 29360132"},
      {{"-root"}, "not a window", "run embedded root"},
      {{}, "0x1c00004", "run"},
      // Brushes by name or by a kind that draws.
      {{"--brush", "disc"}, nullptr, "run"},
      {{"--brush", "spot"}, nullptr, "run kind 30002"},
      {{"--brush", "point"}, nullptr, "run kind 10000"},
      {{"--brush", "0x30004"}, nullptr, "run kind 30004"},
      {{"--brush", "40001"}, nullptr, "run kind 40001"},
  };
  for (const auto& c : cases) {
    const LaunchRequest r = parse(c.args, c.env);
    EXPECT_EQ(said(r), c.want) << (c.args.empty() ? "(none)" : c.args[0]) << " " << r.error;
  }
  std::uint64_t id = 0;
  EXPECT_TRUE(parseWindowId("0XfF", id) && id == 255);
  EXPECT_TRUE(parseWindowId("0x1FFFFFFF", id) && id == 0x1FFFFFFF);
  EXPECT_FALSE(parseWindowId("0x-1", id) || parseWindowId("-5", id) || parseWindowId("", id) ||
               parseWindowId("0x20000000", id) || parseWindowId("0x100200001", id));
}

TEST(CommandLine, BadOptionsAndValuesGiveTheirExactLine) {
  const struct {
    Args args;
    std::string_view error;
  } cases[] = {
      {{"-bogus"}, "quorvalent: unrecognised option: -bogus"},
      {{"s"}, "quorvalent: unrecognised option: s"},
      {{"--window-id"}, "quorvalent: --window-id needs a window id"},
      {{"-window-id", "0"}, "quorvalent: -window-id: expected a window id, got '0'"},
      {{"-window-id", "12z"}, "quorvalent: -window-id: expected a window id, got '12z'"},
      // More than 32 bits would reach a window by its truncated id.
      {{"-window-id", "0x100200001"}, "quorvalent: -window-id: expected a window id, got '0x100200001'"},
      // Two windows, in either order.
      {{"--root", "--window-id", "5"}, "quorvalent: -root and -window-id name different windows: give one of them"},
      {{"-window-id", "5", "-root"}, "quorvalent: -root and -window-id name different windows: give one of them"},
      // Values and options quoted on one line, control characters escaped.
      {{"--seed", "\n"}, "quorvalent: --seed: expected a number from 0 to 4294967295, got '\\n'"},
      {{"\x1b[2J"}, "quorvalent: unrecognised option: \\x1b[2J"},
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
  const std::string brushes = "quorvalent: --brush: expected disc, ball, spot, point, picture or a kind code";
  for (std::string_view kind : {"blob", "0x0", "0x10002", "0x20002", "0x30005", "0x50002", "0xFFFFFFFF"}) {
    EXPECT_EQ(parse({"--brush", kind}).error,
              brushes + " the program draws, got '" + std::string(kind) + "'");
  }
}

// The manual page names every option of the tables with the value it
// takes, and no other.
TEST(OptionDocuments, TheManualPageListsTheOptionsOfTheTables) {
  const std::string page = std::string(QV_SOURCE_DIR) + "/src/hosts/sdl/data/quorvalent.6";
  EXPECT_EQ(testing::manPageOptions(page), testing::tableOptions(desktopOptions(), DESKTOP_PROGRAM));
}

// Every setting the screen-saver settings offer is a command line the
// program takes (numbers at their ends and default), the brush choice names
// the table's brushes, and every scene option has a widget but the seed
// (each run's cloud is new) and -no-fps (the unset -fps box).
TEST(OptionDocuments, TheSettingsFileOffersTheTablesOptions) {
  std::ifstream in(std::string(QV_SOURCE_DIR) + "/src/hosts/sdl/data/quorvalent.xml");
  const std::string xml{std::istreambuf_iterator<char>(in), {}};
  const std::regex element(R"x(<(\w+)((\s+[\w-]+="[^"]*")*)\s*/?>)x");
  const std::regex attribute(R"x(([\w-]+)="([^"]*)")x");
  std::set<std::string> used, brushes;
  for (std::sregex_iterator e(xml.begin(), xml.end(), element), end; e != end; ++e) {
    std::map<std::string, std::string> a;
    const std::string attributes = (*e)[2];
    for (std::sregex_iterator i(attributes.begin(), attributes.end(), attribute); i != end; ++i) {
      a[(*i)[1]] = (*i)[2];
    }
    if ((*e)[1] == "option") brushes.insert(a["id"]);
    for (const std::string& number : {a["low"], a["high"], a["default"]}) {
      std::istringstream line(std::regex_replace(a["arg"] + a["arg-set"], std::regex("%"), number));
      const std::vector<std::string> tokens{std::istream_iterator<std::string>(line), {}};
      for (const std::string& token : tokens) {
        if (token.starts_with("--")) used.insert(token.substr(2));
      }
      const LaunchRequest r = parse(Args(tokens.begin(), tokens.end()));
      EXPECT_TRUE(r.mode == LaunchMode::Run) << line.str() << ": " << r.error;
    }
  }
  std::set<std::string> names;
  for (const NamedBrush& brush : namedBrushes()) names.insert(std::string(brush.name));
  EXPECT_EQ(brushes, names);
  for (const auto& row : sceneOptions()) {
    if ((row.users & DESKTOP_PROGRAM) == 0 || row.name == "seed" || row.name == "no-fps") continue;
    EXPECT_EQ(used.count(std::string(row.name)), 1u) << row.name;
  }
}

}  // namespace
}  // namespace qv::sdl
