// Frames drawn by several threads: each thread sets up a share of the draw
// list and draws a band of rows, and the frame must be that of one thread,
// pixel for pixel and depth for depth, for any number of threads, at the
// sizes the programs draw and at heights smaller than the thread count. The
// cloud mixes brushes whose splats cross the bands: discs, rings, balls
// (depth-tested), spots and a chain of two brushes.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "composition/automatic_threads.h"
#include "composition/band_split.h"
#include "composition/band_workers.h"
#include "composition/share_split.h"
#include "support/composition_rig.h"

namespace qv {
namespace {

constexpr std::uint32_t PARTICLES = 2000;

struct Cloud : testing::CompositionRig {
  Cloud(int width, int height) : CompositionRig(4242) {
    frame.setFrameSize(width, height);
    useSceneDepthSettings();
    composer.setupSceneRender();
    setUp(0, 0x40002, 0xFFFF5300, 0.02);  // disc, adding
    setUp(1, 0x20000, 0xFF79FF00, 0.03);  // ball
    setUp(2, 0x30002, 0xFF006CFA, 0.02);  // spot, chained to a ring
    brushes.current().nextBrush = 3;
    setUp(3, 0x40000, 0x80FFFFFF, 0.04);
    brushes.current().innerScale1 = 0.6;
    ParticleSystem& s = systems.current();
    systems.fillParticles(PARTICLES, 0, 0, 0);
    for (std::uint32_t i = 0; i < PARTICLES; ++i) {
      Particle& p = s.particles[i];
      p.position = {rng.randAround(0.0, 300.0), rng.randAround(0.0, 300.0), rng.randAround(0.0, 400.0)};
      p.size = 1.0 + 5.0 * rng.randUnit();
      p.brush = static_cast<std::int32_t>(i % 3);
      p.colour = 0xFF000000u | static_cast<std::uint32_t>(rng.randUpTo(32767)) << 9;
      p.lifespan = 500;
      p.countdown = static_cast<std::int32_t>(rng.randUpTo(500));
    }
    // A particle on a brush slot nobody set up: transparent, so it draws
    // nothing, but the slot is filled by the frame that meets it.
    s.particles[7].brush = 9;
    // An entry hook that keeps to its cursor and counts its calls.
    drawList.entryHook = Hook::member<&Cloud::countEntry>(this);
    drawList.entryHookKeepsToCursor = true;
  }

  std::atomic<std::uint32_t> hookCalls{0};
  void countEntry() { hookCalls.fetch_add(1, std::memory_order_relaxed); }

  void setUp(int index, std::int32_t kind, std::uint32_t colour, double sizeScale) {
    brushes.selectBrush(index);
    brushes.current().sizeScale = sizeScale;
    brushes.setupBrush(brushes.current(), kind, colour, "");
  }

  // The inner frame's pixels and depths after one frame with `threads`.
  std::vector<std::uint32_t> draw(int threads) {
    composer.setThreads(threads);
    frame.resetDepthBuffer();
    composer.renderFrame();
    const FrameBufferGeometry& g = frame.geometry();
    std::vector<std::uint32_t> drawn;
    for (int y = 0; y <= g.maxRow; ++y) {
      const std::int32_t row = g.rowStart[static_cast<std::size_t>(y)];
      drawn.insert(drawn.end(), g.pixels + row, g.pixels + row + g.maxColumn + 1);
      const std::int32_t* depths = frame.depthBuffer() + row;
      drawn.insert(drawn.end(), depths, depths + g.maxColumn + 1);
    }
    return drawn;
  }
};

TEST(DrawingThreads, EveryThreadCountDrawsTheFrameOfOne) {
  for (auto [width, height] : {std::pair{1920, 1080}, {3840, 2160}, {64, 5}}) {
    Cloud cloud(width, height);
    for (std::int32_t sorted : {0, 1}) {
      SCOPED_TRACE(::testing::Message() << width << "x" << height << (sorted ? " sorted" : ""));
      // Sorted far to near, the entries nearer than the near limit end the
      // frame in the middle of a share.
      cloud.splat.depthSortEnabled = sorted;
      if (sorted) cloud.splat.setPerspective(-250.0, -150.0);
      // The first frame meets the empty slot, which only the calling thread
      // may fill: that frame is drawn by it alone, from the list the threads
      // filled (each entry's hook runs once).
      cloud.hookCalls = 0;
      const std::vector<std::uint32_t> first = cloud.draw(3);
      EXPECT_NE(cloud.brushes.at(9), nullptr);
      EXPECT_EQ(cloud.hookCalls, PARTICLES);
      const std::vector<std::uint32_t> one = cloud.draw(1);
      EXPECT_TRUE(first == one);
      for (int threads : {2, 3, 4, 7}) {
        EXPECT_TRUE(cloud.draw(threads) == one) << threads << " threads";
      }
    }
  }
}

// The bands follow the work: where the last frame drawn together crowded
// its splats, the bands are narrower, and the frame is still that of one
// thread. With nothing learnt yet, or a frame of another height, the bands
// are of equal height; every band keeps a row.
TEST(DrawingThreads, BandsAreCutWhereTheLastFramesWorkDivides) {
  Cloud cloud(640, 480);
  for (Particle& p : std::span(cloud.systems.current().particles.data(), PARTICLES)) {
    p.position.y = -std::abs(p.position.y) - 150.0;  // all in the upper part of the screen
  }
  const std::vector<std::uint32_t> one = cloud.draw(3);
  ASSERT_TRUE(cloud.draw(1) == one);
  EXPECT_TRUE(cloud.draw(2) == one);
  EXPECT_EQ(cloud.composer.bandFirstRows(), (std::vector<std::int32_t>{0, 240, 480}));
  EXPECT_TRUE(cloud.draw(2) == one);
  const std::vector<std::int32_t> learnt = cloud.composer.bandFirstRows();
  EXPECT_LT(learnt[1], 200) << "the upper band takes half the work, not half the rows";
  EXPECT_TRUE(cloud.draw(4) == one);

  BandSplit split;
  std::vector<std::int32_t> rows;
  RowWork top;
  top.begin(4);
  top.add(0, 0, 1000);
  const RowWork* records[] = {&top};
  split.learn(4, records, {}, {});
  split.cut(4, 4, rows);
  EXPECT_EQ(rows, (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
  split.cut(2, 5, rows);  // another height: nothing known
  EXPECT_EQ(rows, (std::vector<std::int32_t>{0, 2, 5}));

  // A thread that drew its half of the work in twice the other's time gets
  // less of it next, half-way toward what would have taken equal times.
  RowWork even;
  even.begin(100);
  even.add(0, 99, 10);
  const RowWork* evenRecords[] = {&even};
  const std::int32_t halves[] = {0, 50, 100};
  const double slowUpper[] = {2.0, 1.0};
  split.learn(100, evenRecords, halves, slowUpper);
  split.cut(2, 100, rows);
  EXPECT_EQ(rows, (std::vector<std::int32_t>{0, 42, 100}));
}

// The shares follow the threads' pace: a thread that set up its share in
// twice the time gets fewer entries next, by half the difference at a time
// and never much less than a quarter of an equal share; equal shares until
// a pace is known for that many threads.
TEST(DrawingThreads, SharesFollowEachThreadsPace) {
  ShareSplit split;
  std::vector<std::int32_t> firsts;
  split.cut(2, 1000, firsts);
  EXPECT_EQ(firsts, (std::vector<std::int32_t>{0, 500, 1000}));
  const double slowFirst[] = {2.0, 1.0};
  split.learn(firsts, slowFirst);
  split.cut(2, 1000, firsts);
  EXPECT_EQ(firsts, (std::vector<std::int32_t>{0, 416, 1000}));  // half way from 1/2 to 1/3
  const double verySlow[] = {100.0, 1.0};
  for (int frame = 0; frame < 20; ++frame) {
    split.learn(firsts, verySlow);
    split.cut(2, 1000, firsts);
  }
  EXPECT_TRUE(firsts[1] > 100 && firsts[1] <= 125) << firsts[1];
  split.cut(3, 999, firsts);
  EXPECT_EQ(firsts, (std::vector<std::int32_t>{0, 333, 666, 999}));
}

// Threads the system will not start leave fewer bands, never a band that
// waits for one that is not running, and the same frame.
TEST(DrawingThreads, WorkersTheSystemRefusesLeaveFewerBandsAndTheSameFrame) {
  Cloud cloud(1920, 1080);
  BandWorkers::refuseWorkersForTest(100);
  cloud.draw(3);
  const std::vector<std::uint32_t> one = cloud.draw(1);
  EXPECT_TRUE(cloud.draw(4) == one) << "no worker";
  BandWorkers::refuseWorkersForTest(0);
  EXPECT_TRUE(cloud.draw(2) == one) << "one worker";
  BandWorkers::refuseWorkersForTest(100);
  EXPECT_TRUE(cloud.draw(7) == one) << "one worker of six";
  BandWorkers::refuseWorkersForTest(0);
  EXPECT_TRUE(cloud.draw(7) == one) << "six workers";
}

// The automatic choice over runs of frames: each run is (frames, width, work
// ticks); one thread until most frames of a judged run of ten were slow, and
// again after a change of size, whose first frame does not count.
TEST(DrawingThreads, TheAutomaticChoiceTakesTheCoresOnlyWhenMostFramesLackRoom) {
  constexpr std::int64_t ROOMY = ROOMY_FRAME_TICKS;
  constexpr std::int64_t SLOW = ROOMY_FRAME_TICKS + 1;
  struct Run {
    int frames, width;
    std::int64_t ticks;
  };
  const struct {
    std::vector<Run> runs;
    int threads;
  } cases[] = {
      {{{1, 640, SLOW}, {30, 640, ROOMY}}, 1},
      {{{1, 640, SLOW}, {9, 640, SLOW}}, 1},               // not before ten are judged
      {{{1, 640, SLOW}, {10, 640, SLOW}}, 4},
      {{{1, 640, SLOW}, {4, 640, ROOMY}, {6, 640, SLOW}}, 4},   // six of ten
      {{{1, 640, SLOW}, {5, 640, ROOMY}, {5, 640, SLOW}}, 1},   // five of ten
      {{{1, 640, SLOW}, {5, 640, SLOW}, {5, 640, ROOMY}, {5, 640, SLOW}}, 1},  // runs judged apart
      {{{1, 640, SLOW}, {10, 640, SLOW}, {30, 640, ROOMY}}, 4},  // kept while the size stays
      {{{1, 640, SLOW}, {10, 640, SLOW}, {1, 320, SLOW}}, 1},    // tried again at a new size
      {{{1, 640, ROOMY}, {9, 640, ROOMY}, {1, 320, SLOW}, {9, 320, SLOW}}, 1},
      {{{1, 640, ROOMY}, {1, 320, SLOW}, {10, 320, SLOW}}, 4},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    AutomaticThreads choice(4);
    for (const Run& run : cases[i].runs) {
      for (int f = 0; f < run.frames; ++f) choice.noteFrame(run.width, 480, run.ticks);
    }
    EXPECT_EQ(choice.threads(), cases[i].threads) << "case " << i;
  }
}

}  // namespace
}  // namespace qv
