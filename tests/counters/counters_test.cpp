#include "counters/counters.h"

#include <gtest/gtest.h>

#include <tuple>

#include "counters/counter_registry.h"
#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct Counters : ::testing::Test {
  RandomSource rng{1};
  CounterContext ctx{rng};
};

TEST_F(Counters, ValueSegmentFractionsSmoothAndLinear) {
  for (int smooth : {1, 0}) {
    SmRandUCNTfloat c;
    c.smooth = smooth;
    double out = 0;
    c.setRange(ctx, &out, 100.0, 50.0, 4, 0);  // always 4 frames
    std::vector<double> fractions;
    c.tick(ctx);
    for (int i = 0; i < 4; ++i, c.tick(ctx)) fractions.push_back((out - c.startValue) / c.delta);
    const std::vector<double> expected =
        smooth ? std::vector<double>{0, 5.0 / 32, 0.5, 27.0 / 32} : std::vector<double>{0, 0.25, 0.5, 0.75};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(fractions[i], expected[i], 1e-12) << smooth << " " << i;
  }
}

TEST_F(Counters, ValueIsContinuousAndStaysInRange) {
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

TEST_F(Counters, NewSegmentDrawsDurationThenTargetAndLastsAtLeastOneFrame) {
  SmRandUCNTfloat c;
  c.setRange(ctx, nullptr, 5.0, 2.0, 40, 10);
  RandomSource mirror(rng.state());
  const int n = mirror.randIntAround(40, 10);
  const double target = mirror.randAround(5.0, 2.0);
  c.tick(ctx);
  EXPECT_EQ(std::tuple(c.period, c.startValue + c.delta), std::tuple(n, target));

  SmRandUCNTfloat shortOne;
  shortOne.setRange(ctx, nullptr, 0.0, 1.0, -5, 0);
  for (int i = 0; i < 5; ++i) {
    shortOne.tick(ctx);
    EXPECT_EQ(std::tuple(shortOne.period, shortOne.countdown), std::tuple(1, 1));
  }
}

TEST_F(Counters, ValueHookOverwritesWhatTheTargetReceives) {
  SmRandUCNTfloat c;
  double out = 0;
  c.setRange(ctx, &out, 0.0, 1.0, 3, 0);
  struct Doubler {
    CounterContext* ctx;
    double seen = 0;
    void run() { seen = ctx->currentCounterValue, ctx->currentCounterValue *= 2; }
  } doubler{&ctx};
  c.hook = Hook::member<&Doubler::run>(&doubler);
  c.tick(ctx);
  EXPECT_EQ(out, 2 * doubler.seen);
}

TEST_F(Counters, SwitchTurnsOffFirstAndReportsPerContinuousFlag) {
  RandUCNTswitch s;
  int out = -1;
  struct Calls {
    int hooks = 0, toggles = 0;
    void hook() { ++hooks; }
    void toggle() { ++toggles; }
  } calls;
  s.hook = Hook::member<&Calls::hook>(&calls);
  s.toggleHook = Hook::member<&Calls::toggle>(&calls);
  s.setPhases(&out, 10, 0, 7, 0);
  s.tick(ctx);
  EXPECT_EQ(std::tuple(s.state, out, s.period), std::tuple(0, 0, 7));
  EXPECT_EQ(calls.hooks, 2);  // continuous: on the toggle and as the phase's report
  EXPECT_EQ(calls.toggles, 1);
  for (int i = 0; i < 6; ++i) s.tick(ctx);
  EXPECT_EQ(s.state, 0);
  s.tick(ctx);
  EXPECT_EQ(std::tuple(s.state, s.period, calls.toggles), std::tuple(1, 10, 2));

  RandUCNTswitch quiet;
  quiet.continuous = 0;
  quiet.setPhases(&out, 3, 0, 2, 0);
  quiet.tick(ctx);
  EXPECT_EQ(out, 0);
  out = 42;
  quiet.tick(ctx);
  EXPECT_EQ(out, 42);  // no report inside a phase
  quiet.tick(ctx);
  EXPECT_EQ(out, 1);
}

TEST_F(Counters, RegistryTicksListsInOrderAndStopsOnAFullList) {
  testing::TestPlatform platform;
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
  a.id = 1, b.id = 2, c.id = 3;
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
