#include "frame/frame_buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#include "frame/drawn_area.h"
#include "frame/lookup_tables.h"
#include "frame/pixel_ops.h"
#include "support/test_platform.h"

namespace qv {
namespace {

using Stretch = std::tuple<int, int, int>;  // row, first column, count

constexpr std::uint32_t rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}

// The picture as the window would show it, top row first.
std::vector<std::uint32_t> topDown(const FrameBuffer& fb) {
  const auto& g = fb.geometry();
  std::vector<std::uint32_t> out;
  for (int r = 0; r < g.height; ++r) {
    const int stored = fb.bottomUp() != 0 ? g.height - 1 - r : r;
    out.insert(out.end(), g.pixels + stored * g.width, g.pixels + (stored + 1) * g.width);
  }
  return out;
}

struct SmallFrame {
  testing::TestPlatform platform;
  FrameBuffer fb{platform};
  SmallFrame(int w, int h) {
    fb.setFrameSize(w, h);
    fb.createFrameBuffers();
  }
  // Draws through the row table, as a kernel does.
  void put(int x, int y, std::uint32_t c) { fb.geometry().pixels[fb.geometry().rowStart[y] + x] = c; }
  std::uint32_t get(int x, int y) const { return fb.geometry().pixels[fb.geometry().rowStart[y] + x]; }
};

TEST(FrameGeometry, ScreenSizeMarginsZoomAndRowTables) {
  testing::TestPlatform platform;
  platform.screenW = 3840;
  platform.screenH = 2160;
  FrameBuffer fb(platform);
  const auto& g = fb.geometry();
  // A full-screen request takes the screen's size; every one of a 4K
  // screen's rows gets an entry, bottom row first in memory.
  fb.setFrameSize(FULL_SCREEN_REQUEST, 1024);
  EXPECT_EQ(std::tuple(g.innerWidth, g.innerHeight, g.maxColumn, fb.clearRequested(), fb.fullScreen()),
            std::tuple(3840, 2160, 3839, 1, 1));
  EXPECT_DOUBLE_EQ(g.projectionScale, 2160.0 / 600);
  ASSERT_EQ(g.rowStart.size(), 2160u);
  EXPECT_EQ(std::pair(g.rowStart[0], g.rowStart[2159]), std::pair(2159 * 3840, 0));

  // Margins are limited so that sixteen pixels remain; the zoom takes
  // effect at the next setMargins.
  fb.setFrameSize(100, 80);
  EXPECT_EQ(fb.fullScreen(), 0);
  fb.setMargins(5, -1);
  EXPECT_EQ(std::tuple(g.marginX, g.marginY, g.innerWidth, g.innerHeight, g.hasMargin),
            std::tuple(5, 5, 90, 70, 5));
  EXPECT_DOUBLE_EQ(g.projectionScale, 70.0 / 600);
  fb.setMargins(60, -1);
  EXPECT_EQ(std::tuple(g.marginX, g.marginY, g.innerWidth, g.innerHeight), std::tuple(42, 32, 16, 16));
  fb.setMargins(3, 0);
  EXPECT_EQ(std::pair(g.hasMargin, g.maxRow), std::pair(3, 79));
  fb.setZoom(2.0);
  EXPECT_DOUBLE_EQ(g.projectionScale, 80.0 / 600);
  fb.setMargins(0, -1);
  EXPECT_DOUBLE_EQ(g.projectionScale, 80 * 2.0 / 600);

  // Row tables run both ways, inside the margins.
  fb.setFrameSize(20, 30);
  fb.setMargins(2, 3);
  ASSERT_EQ(g.rowStart.size(), 24u);
  EXPECT_EQ(std::pair(g.rowStart[0], g.rowStart[23]), std::pair((30 - 3 - 1) * 20 + 2, 3 * 20 + 2));
  fb.buildRowTable(0);
  EXPECT_EQ(std::tuple(fb.bottomUp(), g.rowStart[0], g.rowStart[23]), std::tuple(0, 3 * 20 + 2, 26 * 20 + 2));

  // Frames below sixteen pixels keep their inner rectangle inside.
  fb.setFrameSize(6, 4);
  fb.setMargins(2, -1);
  EXPECT_EQ(std::pair(g.innerWidth, g.innerHeight), std::pair(6, 4));
}

TEST(FrameBufferFill, NewBufferIsBackgroundAndARequestedClearCoversMarginsOnceThenFollowsTheTrail) {
  SmallFrame f(24, 22);
  for (std::uint32_t p : topDown(f.fb)) ASSERT_EQ(p, 0u);  // 0xFF000000 is grey: every byte 0
  f.fb.setMargins(1, 2);
  f.fb.clearColour = 0xFF102030;
  f.fb.backgroundColour = 0xFF050505;
  ASSERT_EQ(f.fb.needsClear(), 1);
  f.fb.clearStep();
  const auto picture = topDown(f.fb);
  for (int y = 0; y < 22; ++y) {
    for (int x = 0; x < 24; ++x) {
      const bool inner = x >= 1 && x < 23 && y >= 2 && y < 20;
      ASSERT_EQ(picture[y * 24 + x], inner ? 0x05050505u : 0xFF102030u) << x << "," << y;
    }
  }
  ASSERT_EQ(f.platform.presents.size(), 1u);
  const auto rect = [&](std::size_t i) {
    const auto& r = f.platform.presents[i];
    return std::tuple(r.x, r.y, r.w, r.h);
  };
  EXPECT_EQ(rect(0), std::tuple(0, 0, 24, 22));
  EXPECT_EQ(f.fb.clearRequested(), 0);
  f.fb.clearStep();
  EXPECT_EQ(f.platform.presents.size(), 1u);
  EXPECT_EQ(f.fb.present(), 1);
  ASSERT_EQ(f.platform.presents.size(), 2u);
  EXPECT_EQ(rect(1), std::tuple(1, 2, 22, 18));
  f.fb.presentRect(0, -1);
  EXPECT_EQ(rect(2), std::tuple(0, 0, 24, 22));
  for (auto [trail, clears] : {std::pair{16, 0}, {TRAIL_CLEAR, 1}}) {
    f.fb.trail = trail;
    EXPECT_EQ(f.fb.needsClear(), clears) << trail;
  }
}

TEST(FrameBufferFill, ClearRefillsWhatWasDrawnUntilAnythingElseMayHaveDrawn) {
  SmallFrame f(100, 20);
  f.fb.setMargins(2, -1);
  f.fb.clearStep();  // the requested clear
  const FrameBufferGeometry& g = f.fb.geometry();
  constexpr std::uint32_t INK = 0x00ABCDEF;
  const auto drawAndClear = [&](auto&& between) {
    f.put(5, 3, INK);
    g.drawn->mark(3, 3, 5, 5);
    f.put(90, 10, INK);  // not recorded
    between();
    f.fb.clearStep();
    return std::pair(f.get(5, 3), f.get(90, 10));
  };
  EXPECT_EQ(drawAndClear([] {}), std::pair(0u, INK));
  EXPECT_EQ(drawAndClear([&] { f.fb.markAllDrawn(); }), std::pair(0u, 0u));
  EXPECT_EQ(drawAndClear([&] {
              f.fb.trail = 16;
              f.fb.fadeStep();
              f.fb.trail = TRAIL_CLEAR;
            }),
            std::pair(0u, 0u));
  EXPECT_EQ(drawAndClear([&] { f.fb.setMargins(2, -1); }), std::pair(0u, 0u));
  EXPECT_EQ(drawAndClear([] {}), std::pair(0u, INK));
  f.put(90, 10, 0);

  // The half-size frame records nothing and is cleared whole; the full-size
  // one, written whole by the doubling, is cleared whole after it.
  f.fb.halfResRequested = 1;
  f.fb.beginHalfResFrame();
  EXPECT_EQ(g.drawn, nullptr);
  f.fb.clearStep();
  f.put(40, 8, INK);
  f.fb.clearStep();
  EXPECT_EQ(f.get(40, 8), 0u);
  f.fb.endHalfResFrame();
  ASSERT_NE(g.drawn, nullptr);
  EXPECT_TRUE(g.drawn->all());
}

TEST(FrameFade, TrailModesMatchTheWorkedExamples) {
  SmallFrame f(20, 20);
  const struct Case {
    int trail;
    std::uint32_t background;
    int x, y;
    std::uint32_t before, after;
  } cases[] = {
      {TRAIL_HALF_FADE, 0, 0, 0, rgb(255, 128, 64), rgb(127, 64, 32)},
      {TRAIL_HALF_FADE, 0xFF000000, 0, 0, rgb(255, 128, 64), rgb(128, 64, 32)},
      {TRAIL_HALF_FADE, rgb(32, 64, 96), 3, 5, rgb(160, 160, 160), rgb(96, 112, 128)},
      {16, rgb(32, 64, 96), 15, 15, 0xFF000000u | rgb(255, 8, 16), rgb(239, 0, 0)},
      // A step outside 0 ... 255 empties every channel it pushes out of range.
      {-10, rgb(32, 64, 96), 1, 1, rgb(250, 245, 100), rgb(0, 255, 110)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "trail " << c.trail << " background " << std::hex << c.background);
    f.fb.trail = c.trail;
    f.fb.backgroundColour = c.background;
    f.put(c.x, c.y, c.before);
    f.fb.fadeStep();
    EXPECT_EQ(f.get(c.x, c.y), c.after);
  }
  // The margin is left alone: inner pixel (0, 0) is stored pixel (2, 2).
  f.fb.setMargins(2, -1);
  std::uint32_t* pixels = f.fb.geometry().pixels;
  std::fill(pixels, pixels + 20 * 20, rgb(100, 100, 100));
  f.fb.trail = 30;
  f.fb.fadeStep();
  EXPECT_EQ(std::tuple(pixels[20 + 1], pixels[2 * 20 + 2], pixels[17 * 20 + 17], pixels[18 * 20 + 18]),
            std::tuple(rgb(100, 100, 100), rgb(70, 70, 70), rgb(70, 70, 70), rgb(100, 100, 100)));
}

class RecordingMemory : public BackBufferMemory {
 public:
  std::vector<std::uint32_t> block;
  int acquired = 0;
  int released = 0;
  bool fail = false;
  bool topDown = false;
  std::uint32_t* acquire(int width, int height) override {
    ++acquired;
    if (fail) return nullptr;
    block.assign(static_cast<std::size_t>(width) * height, 0xDEADBEEF);
    return block.data();
  }
  void release(std::uint32_t*) override { ++released; }
  bool bottomUp() const override { return !topDown; }
};

TEST(FrameBufferMemory, HostMemoryIsUsedAndAMissingBufferDisablesDrawing) {
  testing::TestPlatform platform;
  RecordingMemory memory;
  {
    FrameBuffer fb(platform, &memory);
    fb.setFrameSize(16, 16);
    fb.createFrameBuffers();
    EXPECT_EQ(fb.geometry().pixels, memory.block.data());
    EXPECT_EQ(memory.block[7], 0u);  // the first fill with the background
    EXPECT_EQ(fb.geometry().rowStart[0], 15 * 16);
  }
  EXPECT_EQ(memory.released, 1);

  // Memory stored top row first gets a row table that runs that way, and
  // is presented so.
  memory.topDown = true;
  {
    FrameBuffer fb(platform, &memory);
    fb.setFrameSize(16, 16);
    fb.createFrameBuffers();
    EXPECT_EQ(std::pair(fb.geometry().rowStart[0], fb.bottomUp()), std::pair(0, 0));
    fb.geometry().pixels[fb.geometry().rowStart[0] + 1] = 0x00ABCDEF;
    platform.keepPresentedPixels = true;
    fb.present();
    ASSERT_FALSE(platform.presents.empty());
    EXPECT_EQ(platform.presents.back().topDownPixels[1], 0x00ABCDEFu);
  }
  memory.topDown = false;
  platform.presents.clear();

  memory.fail = true;
  FrameBuffer fb(platform, &memory);
  fb.setFrameSize(16, 16);
  fb.createFrameBuffers();
  EXPECT_EQ(fb.geometry().pixels, nullptr);
  fb.trail = 7;
  fb.clearStep();
  fb.fadeStep();
  fb.present();
  EXPECT_TRUE(platform.presents.empty());
}

// Draws a distinct colour into every inner pixel through the row table.
void paintPattern(const FrameBufferGeometry& g) {
  for (int y = 0; y <= g.maxRow; ++y) {
    for (int x = 0; x <= g.maxColumn; ++x) {
      g.pixels[g.rowStart[y] + x] = static_cast<std::uint32_t>(y * 256 + x + 1);
    }
  }
}

// Runs one half-size frame on a w x h buffer and checks the doubled picture:
// drawing row y, column x of the full frame shows half pixel (y / 2, x / 2),
// the odd last row or column repeating its neighbour.
void checkDoubling(int w, int h) {
  SCOPED_TRACE(::testing::Message() << w << " x " << h);
  testing::TestPlatform platform;
  FrameBuffer fb(platform);
  fb.setFrameSize(w, h);
  fb.createFrameBuffers();
  std::uint32_t* fullPixels = fb.geometry().pixels;
  fb.halfResRequested = 1;
  fb.beginHalfResFrame();
  const auto& half = fb.geometry();
  ASSERT_EQ(half.width, w / 2);
  ASSERT_EQ(half.height, h / 2);
  ASSERT_NE(half.pixels, fullPixels);
  EXPECT_EQ(fb.swapPending(), 1);
  paintPattern(half);
  fb.endHalfResFrame();

  const auto& full = fb.geometry();
  ASSERT_EQ(full.width, w);
  ASSERT_EQ(full.pixels, fullPixels);
  EXPECT_EQ(fb.swapPending(), 0);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      // The top picture row of an odd height is the extra memory row.
      const int fromBottom = h - 1 - y;
      const int halfFromBottom = std::min(fromBottom / 2, h / 2 - 1);
      const int hy = h / 2 - 1 - halfFromBottom;
      const int hx = std::min(x / 2, w / 2 - 1);
      ASSERT_EQ(full.pixels[full.rowStart[y] + x], static_cast<std::uint32_t>(hy * 256 + hx + 1))
          << x << "," << y;
    }
  }
}

TEST(HalfResolution, DoublesEvenAndOddFrames) {
  checkDoubling(8, 6);
  checkDoubling(7, 6);
  checkDoubling(8, 5);
  checkDoubling(9, 7);
  checkDoubling(3, 3);
}

std::vector<Stretch> take(DrawnArea& area) {
  std::vector<Stretch> out;
  area.takeDrawn([&](int row, int column, int count) { out.emplace_back(row, column, count); });
  return out;
}

TEST(DrawnArea, MarksBecomeWholeBlocksCutAtTheLastColumn) {
  struct Mark {
    int top, bottom, left, right;
  };
  const struct Case {
    int columns;
    int blockWidth;
    std::vector<Mark> marks;
    std::vector<Stretch> stretches;
  } cases[] = {
      {100, 16, {{1, 2, 5, 20}}, {{1, 0, 32}, {2, 0, 32}}},
      {100, 16, {{0, 0, 99, 99}}, {{0, 96, 4}}},                             // the last block is cut
      {100, 16, {{0, 0, 0, 0}, {0, 0, 40, 40}}, {{0, 0, 16}, {0, 32, 16}}},  // two stretches
      {100, 16, {{0, 0, 0, 0}, {0, 0, 16, 16}}, {{0, 0, 32}}},               // neighbours join
      {1920, 32, {{0, 0, 31, 32}}, {{0, 0, 64}}},
      {3840, 64, {{2, 2, 0, 3839}}, {{2, 0, 3840}}},
      {16384, 256, {{0, 0, 0, 16383}}, {{0, 0, 16384}}},  // all 64 blocks
      {16384, 256, {{0, 0, 16383, 16383}}, {{0, 16128, 256}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.columns << " columns, " << c.marks.size() << " marks");
    DrawnArea area;
    area.reset(3, c.columns);
    EXPECT_EQ(area.blockWidth(), c.blockWidth);
    EXPECT_TRUE(area.all());
    area.forget();
    EXPECT_FALSE(area.all());
    for (const Mark& m : c.marks) area.mark(m.top, m.bottom, m.left, m.right);
    EXPECT_EQ(take(area), c.stretches);
    EXPECT_TRUE(take(area).empty());  // taken means forgotten
  }
}

// Saturation, floors, a multiply that never reaches full, a blend that
// rounds toward minus infinity, and channels that never carry or borrow into
// their neighbours.
TEST(PixelOps, ChannelArithmeticAtTheEdges) {
  const std::uint32_t cases[][2] = {
      {addSaturate(0xF01010, 0x202020), 0xFF3030},
      {addSaturate(0xFFFFFFFF, 0xFFFFFFFF), 0xFFFFFF},  // top byte dropped
      {addSaturate(0xFF00FF01u, 0xFF0001FFu), 0x00FFFF},
      {subtractFloor(0xFF0810, 0x101010), 0xEF0000},
      {subtractFloor(0x010000u, 0x000001u), 0x010000},
      {multiplyChannels(0xFFFFFF, 0xFFFFFF), 0xFEFEFE},
      {multiplyChannels(0x808080, 0xFF7FC8), 0x7F3F64},
      {scaleColour(0xFF8040, 128), 0x7F4020},
      // Rising: 0 + floor(255 * 255 / 256); falling: 255 + floor(-255 * 1 / 256).
      {lerpChannels(0x000000, 0xFFFFFF, 255), 0xFEFEFE},
      {lerpChannels(0xFFFFFF, 0x000000, 1), 0xFEFEFE},
      {lerpChannels(0x123456, 0xABCDEF, 0), 0x123456},
      {lerpChannels(0xFF8040, 0xFF000000, 127), 0x804020},
      {lerpChannels(0x000003u, 0x000000u, 128), 0x000001},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i][0], cases[i][1]) << "case " << i;
}

TEST(LookupTables, SphereHeightsAndSlopesAndTheRescaleOffsets) {
  testing::TestPlatform platform;
  LookupTables tables(platform);
  tables.buildSphereTable();
  tables.buildRescaleTable();
  const auto entry = [&](int i, int j) {
    return std::tuple(tables.sphereEntry(i, j)[0], tables.sphereEntry(i, j)[1]);
  };
  EXPECT_EQ(std::tuple(entry(0, 0), entry(0, 255), entry(255, 255)),
            std::tuple(std::tuple(2044, 0), std::tuple(128, 14), std::tuple(0, 0)));
  // A texel lies on the disc exactly when i^2 + j^2 <= 65280.
  for (int i = 0; i < 256; ++i) {
    for (int j = 0; j < 256; ++j) {
      ASSERT_EQ(tables.sphereEntry(i, j)[0] != 0, i * i + j * j <= 65280) << i << "," << j;
      ASSERT_EQ(tables.sphereEntry(i, j)[0], tables.sphereEntry(j, i)[0]);
    }
  }

  const std::int32_t* row2 = tables.rescaleRow(2);
  EXPECT_EQ(std::tuple(row2[0], row2[1], row2[2], row2[3]), std::tuple(0, 512, 1020, 0));
  EXPECT_EQ(std::tuple(tables.rescaleRow(1)[1], tables.rescaleRow(3)[1], tables.rescaleRow(3)[2]),
            std::tuple(1020, 340, 680));
  for (int j = 0; j < 256; ++j) {
    ASSERT_EQ(tables.rescaleRow(0)[j], 0);
    ASSERT_EQ(tables.rescaleRow(255)[j], 4 * j);
  }
}

}  // namespace
}  // namespace qv
