#include "counters/counters.h"

#include <gtest/gtest.h>

#include "counters/counter_registry.h"
#include "host/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

// Ticks a value counter through one whole segment of `frames` frames by
// forcing the segment's length and target, and returns the fractions of delta.
std::vector<double> segmentFractions(int smooth) {
  RandomSource rng(1);
  CounterContext ctx(rng);
  SmRandUCNTfloat c;
  c.smooth = smooth;
  double out = 0;
  c.setRange(ctx, &out, 100.0, 50.0, 4, 0);  // always 4 frames
  std::vector<double> fractions;
  c.tick(ctx);
  const double start = c.startValue;
  const double delta = c.delta;
  fractions.push_back((out - start) / delta);
  for (int i = 0; i < 3; ++i) {
    c.tick(ctx);
    fractions.push_back((out - start) / delta);
  }
  return fractions;
}

TEST(SmRandUCNTfloat, SmoothAndLinearFractionsOverASegment) {
  const auto smooth = segmentFractions(1);
  EXPECT_DOUBLE_EQ(smooth[0], 0.0);
  EXPECT_DOUBLE_EQ(smooth[1], 5.0 / 32);
  EXPECT_DOUBLE_EQ(smooth[2], 0.5);
  EXPECT_DOUBLE_EQ(smooth[3], 27.0 / 32);
  const auto linear = segmentFractions(0);
  EXPECT_DOUBLE_EQ(linear[1], 0.25);
  EXPECT_DOUBLE_EQ(linear[3], 0.75);
}

TEST(SmRandUCNTfloat, OutputIsContinuousAcrossSegments) {
  RandomSource rng(9);
  CounterContext ctx(rng);
  SmRandUCNTfloat c;
  double out = 0;
  c.setRange(ctx, &out, 0.0, 10.0, 5, 2);
  const double drawn = c.startValue;
  c.tick(ctx);
  EXPECT_EQ(out, drawn);  // first output is the value drawn by setRange
  for (int frame = 0; frame < 200; ++frame) {
    const double endOfSegment = c.startValue + c.delta;
    const bool lastFrame = c.countdown == 1;
    c.tick(ctx);
    if (lastFrame) {
      EXPECT_EQ(out, endOfSegment);
    }
    EXPECT_GE(out, -10.0);
    EXPECT_LE(out, 10.0);
  }
}

TEST(SmRandUCNTfloat, NewSegmentDrawsDurationThenTarget) {
  RandomSource rng(21);
  CounterContext ctx(rng);
  SmRandUCNTfloat c;
  c.setRange(ctx, nullptr, 5.0, 2.0, 40, 10);
  RandomSource mirror(rng.state());
  const int n = mirror.randIntAround(40, 10);
  const double target = mirror.randAround(5.0, 2.0);
  c.tick(ctx);
  EXPECT_EQ(c.period, n);
  EXPECT_EQ(c.startValue + c.delta, target);
}

TEST(SmRandUCNTfloat, HookOverwritesWhatTheTargetReceives) {
  RandomSource rng(1);
  CounterContext ctx(rng);
  SmRandUCNTfloat c;
  double out = 0;
  c.setRange(ctx, &out, 0.0, 1.0, 3, 0);
  struct Doubler {
    CounterContext* ctx;
    double seen = 0;
    void run() {
      seen = ctx->currentCounterValue;
      ctx->currentCounterValue *= 2;
    }
  } doubler{&ctx};
  c.hook = Hook::member<&Doubler::run>(&doubler);
  c.tick(ctx);
  EXPECT_EQ(out, 2 * doubler.seen);
}

TEST(SmRandUCNTfloat, SegmentShorterThanOneFrameLastsOneFrame) {
  RandomSource rng(1);
  CounterContext ctx(rng);
  SmRandUCNTfloat c;
  c.setRange(ctx, nullptr, 0.0, 1.0, -5, 0);
  for (int i = 0; i < 5; ++i) {
    c.tick(ctx);
    EXPECT_EQ(c.period, 1);
    EXPECT_EQ(c.countdown, 1);
  }
}

TEST(RandUCNTswitch, FirstTickAfterSetPhasesTurnsOffAndReportsTwiceWhenContinuous) {
  RandomSource rng(4);
  CounterContext ctx(rng);
  RandUCNTswitch s;
  int out = -1;
  struct Counter {
    int hooks = 0;
    int toggles = 0;
    void hook() { ++hooks; }
    void toggle() { ++toggles; }
  } calls;
  s.hook = Hook::member<&Counter::hook>(&calls);
  s.toggleHook = Hook::member<&Counter::toggle>(&calls);
  s.setPhases(&out, 10, 0, 7, 0);
  s.tick(ctx);
  EXPECT_EQ(s.state, 0);
  EXPECT_EQ(out, 0);
  EXPECT_EQ(s.period, 7);
  EXPECT_EQ(calls.hooks, 2);
  EXPECT_EQ(calls.toggles, 1);
  for (int i = 0; i < 6; ++i) s.tick(ctx);
  EXPECT_EQ(s.state, 0);
  s.tick(ctx);
  EXPECT_EQ(s.state, 1);
  EXPECT_EQ(s.period, 10);
  EXPECT_EQ(calls.toggles, 2);
}

TEST(RandUCNTswitch, NonContinuousReportsOnlyOnToggle) {
  RandomSource rng(4);
  CounterContext ctx(rng);
  RandUCNTswitch s;
  s.continuous = 0;
  int out = -1;
  s.setPhases(&out, 3, 0, 2, 0);
  s.tick(ctx);
  EXPECT_EQ(out, 0);
  out = 42;
  s.tick(ctx);
  EXPECT_EQ(out, 42);  // no report inside a phase
  s.tick(ctx);
  EXPECT_EQ(out, 1);
}

TEST(CounterRegistry, TicksListsInOrderAndFlagsFullLists) {
  testing::TestPlatform platform;
  RandomSource rng(1);
  CounterContext ctx(rng);
  CounterRegistry registry(platform, ctx);
  registry.tickCounters();  // nothing registered: nothing happens

  struct Probe : AbstCNT {
    std::vector<int>* log = nullptr;
    int id = 0;
    void tick(CounterContext&) override { log->push_back(id); }
  };
  std::vector<int> log;
  Probe a, b, c;
  a.log = b.log = c.log = &log;
  a.id = 1;
  b.id = 2;
  c.id = 3;
  registry.registerCounter(&a, 2);
  registry.registerCounter(&b, 1);
  registry.registerCounter(&c, 0);
  registry.tickCounters();
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1}));

  for (int i = 1; i < COUNTER_LIST_CAPACITY - 1; ++i) registry.registerCounter(&a, 1);
  EXPECT_EQ(registry.full(1), 0);
  registry.registerCounter(&a, 1);
  EXPECT_EQ(registry.full(1), 1);
  EXPECT_THROW(registry.registerCounter(&a, 1), RuntimeErrorStop);
  EXPECT_EQ(registry.count(1), COUNTER_LIST_CAPACITY);
  ASSERT_EQ(platform.errorsShown.size(), 1u);
}

}  // namespace
}  // namespace qv
