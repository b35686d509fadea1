// The web page's settings from its address, and the address the page shows
// for them.
#include <gtest/gtest.h>

#include <string>

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
      {"still&seed=0&size=333x201&frames=60&bench-from=41", "seed=0&size=333x201&still&frames=60&bench-from=41"},
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
  EXPECT_EQ(s.scene.brushKind, PICTURE_BRUSH_KIND);
  EXPECT_EQ(s.scene.brushPicture, "STAR_FLARE");
  EXPECT_EQ(s.scene.trail, 1001);
  EXPECT_EQ(s.scene.depthSortEnabled, 1);
  EXPECT_TRUE(s.scene.halfResRequested);
  EXPECT_TRUE(s.scene.seedGiven);
  EXPECT_EQ(s.scene.seed, 4294967295u);
  // A live page without a seed takes the clock's.
  EXPECT_FALSE(parsePageQuery("brush=ball").scene.seedGiven);
  const PageSettings still = parsePageQuery("still&size=16384x16&frames=7");
  EXPECT_EQ(std::tuple(still.width, still.height, still.frames), std::tuple(16384, 16, 7));
}

// Whatever the page cannot take is named, as the address wrote it, and the
// default stays.
TEST(PageSettings, BadAndUnknownEntriesAreNamedAndTheDefaultKept) {
  const struct {
    const char* query;
    const char* problem;
  } cases[] = {
      {"trail=abc", "'trail=abc': expected a number of 0 or more"},
      {"trail=-1", "'trail=-1': expected a number of 0 or more"},
      {"brush=0x50000", "'brush=0x50000': expected disc, ball, spot, point, picture or a kind code the program draws"},
      {"brush=", "'brush=': expected disc, ball, spot, point, picture or a kind code the program draws"},
      {"seed=4294967296", "'seed=4294967296': expected a number from 0 to 4294967295"},
      {"fps=yes", "'fps=yes': expected nothing, 1 or 0"},
      {"size=15x240", "'size=15x240': expected a size from 16x16 to 16384x16384"},
      {"size=640", "'size=640': expected a size from 16x16 to 16384x16384"},
      {"bogus", "unknown setting 'bogus'"},
      {"b%0Ar=1", "unknown setting 'b%0Ar=1'"},
      {"b\nr=1", "unknown setting 'b?r=1'"},
      {"frames=10", "'frames=10': only with still"},
      {"still&frames=0", "'frames=0': expected a number of frames of 1 or more"},
      {"still&frames=10&bench-from=11", "bench-from=11: after the last frame"},
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

}  // namespace
}  // namespace qv::web
