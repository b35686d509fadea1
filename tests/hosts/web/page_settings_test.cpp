// The web page's settings from its address, and the address the page shows
// for them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "hosts/web/page_settings.h"

namespace qv::web {
namespace {

// A query, and the address the settings it gives are shown as: every choice
// is read, and written back in one order without the defaults.
TEST(PageSettings, EveryChoiceIsReadAndShownAgain) {
  const struct {
    const char* query;
    const char* shown;
  } cases[] = {
      {"", ""},
      {"?brush=ball&trail=1001&seed=7", "brush=ball&trail=1001&seed=7"},
      {"seed=7&trail=16&brush=spot", "brush=spot&trail=16&seed=7"},
      {"brush=0x30001", "brush=0x30001"},
      {"brush=0x20000", "brush=ball"},
      {"brush=disc&trail=0", ""},
      {"depth-sort&half-res=1&fps=0", "depth-sort&half-res"},
      {"fps=&wallpaper", "fps&wallpaper"},
      {"size=320x240", "size=320x240"},
      {"still", "seed=1&still"},  // the renderer's seed
      {"still&seed=0&size=333x201&frames=60&bench-from=41",
       "seed=0&size=333x201&still&frames=60&bench-from=41"},
      {"fps&depth-sort&fps=0&depth-sort=1", "depth-sort"},  // the last of a name counts
      {"brush=b%61ll&seed=%37", "brush=ball&seed=7"},
      {"&&seed=3&", "seed=3"},
  };
  for (const auto& c : cases) {
    const PageSettings s = parsePageQuery(c.query);
    EXPECT_TRUE(s.problems.empty()) << c.query << ": " << (s.problems.empty() ? "" : s.problems[0]);
    EXPECT_EQ(pageQuery(s), c.shown) << c.query;
  }
}

TEST(PageSettings, ChoicesReachTheScene) {
  const PageSettings s = parsePageQuery("brush=picture&trail=1001&depth-sort&half-res&seed=4294967295");
  const SceneOptions& scene = s.choices.scene;
  EXPECT_EQ(scene.brushKind, PICTURE_BRUSH_KIND);
  EXPECT_EQ(scene.brushPicture, "STAR_FLARE");
  EXPECT_EQ(scene.trail, 1001);
  EXPECT_EQ(scene.depthSortEnabled, 1);
  EXPECT_TRUE(scene.halfResRequested);
  EXPECT_TRUE(scene.seedGiven);
  EXPECT_EQ(scene.seed, 4294967295u);
  // A live page without a seed takes the clock's.
  EXPECT_FALSE(parsePageQuery("brush=ball").choices.scene.seedGiven);
  const PageSettings still = parsePageQuery("still&size=16384x16&frames=7");
  EXPECT_EQ(std::tuple(still.width, still.height, still.frames), std::tuple(16384, 16, 7));
}

// Whatever the page cannot take is named, and the default stays.
TEST(PageSettings, BadAndUnknownEntriesAreNamedAndTheDefaultKept) {
  const struct {
    const char* query;
    const char* problem;
  } cases[] = {
      {"trail=abc", "trail: expected a number of 0 or more, got 'abc'"},
      {"brush=0x50000",
       "brush: expected disc, ball, spot, point, picture or a kind code the program draws, got '0x50000'"},
      {"seed=4294967296", "seed: expected a number from 0 to 4294967295, got '4294967296'"},
      {"fps=yes", "fps: expected 1 or 0, got 'yes'"},
      {"wallpaper=2", "wallpaper: expected 1 or 0, got '2'"},
      {"size=15x240", "size: expected a size from 16x16 to 16384x16384, got '15x240'"},
      {"size=640", "size: expected a size from 16x16 to 16384x16384, got '640'"},
      {"bogus", "unknown option 'bogus'"},
      {"threads=2", "unknown option 'threads'"},  // the renderer's, not the page's
      {"b%0Ar=1", "unknown option 'b\\nr'"},
      {"frames=10", "frames: only with still"},
      {"still&frames=0", "frames: expected a number of frames of 1 or more, got '0'"},
      {"still&frames=10&bench-from=11", "bench-from: 11 is after the last frame"},
  };
  for (const auto& c : cases) {
    const PageSettings s = parsePageQuery(c.query);
    ASSERT_EQ(s.problems.size(), 1u) << c.query;
    EXPECT_EQ(s.problems[0], c.problem);
    const std::string shown = pageQuery(s);
    EXPECT_TRUE(shown.empty() || shown == "seed=1&still" || shown == "seed=1&still&frames=10") << shown;
  }
  // The good entries beside a bad one count.
  const PageSettings s = parsePageQuery("brush=ball&trail=x&seed=5&what=1");
  EXPECT_EQ(s.problems.size(), 2u);
  EXPECT_EQ(pageQuery(s), "brush=ball&seed=5");
}

// The panel offers what the query takes: the scene's options for the page,
// with the brush's names to choose from.
TEST(PageSettings, ThePanelHasTheSceneOptionsOfThePage) {
  std::vector<std::string> names;
  std::istringstream rows(panelRows());
  for (std::string row; std::getline(rows, row);) names.push_back(row.substr(0, row.find('\t')));
  EXPECT_EQ(names, (std::vector<std::string>{"brush", "trail", "depth-sort", "half-res", "seed", "fps"}));
  EXPECT_TRUE(
      panelRows().starts_with("brush\tNAME|KIND\tthe particles' brush: disc, ball, spot, point, "
                              "picture (STAR_FLARE), or a kind code\tdisc\tdisc,ball,spot,point,picture\n"));
}

}  // namespace
}  // namespace qv::web
