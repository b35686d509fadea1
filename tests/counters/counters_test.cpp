#include "counters/counters.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "counters/counter_registry.h"
#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct Counters : ::testing::Test {
  RandomSource rng{1};
  CounterContext ctx{rng};
};

TEST_F(Counters, ValueSegmentsRunFromTheLastEndToANewTargetSmoothlyOrLinearly) {
  for (int smooth : {1, 0}) {
    SmRandUCNTfloat c;
    c.smooth = smooth;
    double out = 0;
    c.setRange(ctx, &out, 100.0, 50.0, 4, 0);  // always 4 frames
    const double drawn = c.startValue;
    c.tick(ctx);
    EXPECT_EQ(out, drawn);  // the first segment starts at the value setRange drew
    const double end = c.startValue + c.delta;
    std::vector<double> fractions;
    for (int i = 0; i < 3; ++i) {
      c.tick(ctx);
      fractions.push_back((out - c.startValue) / c.delta);
    }
    c.tick(ctx);
    EXPECT_EQ(out, end);  // the next segment starts where this one ends
    const std::vector<double> expected =
        smooth ? std::vector<double>{5.0 / 32, 0.5, 27.0 / 32} : std::vector<double>{0.25, 0.5, 0.75};
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(fractions[i], expected[i], 1e-12) << smooth << " " << i;
  }
}

TEST_F(Counters, ANewSegmentDrawsItsLengthThenItsTargetAndLastsAtLeastOneFrame) {
  SmRandUCNTfloat c;
  c.setRange(ctx, nullptr, 5.0, 2.0, 40, 10);
  RandomSource mirror(rng.state());
  const int n = mirror.randIntAround(40, 10);
  const double target = mirror.randAround(5.0, 2.0);
  c.tick(ctx);
  EXPECT_EQ(std::tuple(c.period, c.startValue + c.delta), std::tuple(n, target));

  c.setRange(ctx, nullptr, 0.0, 1.0, -5, 0);
  for (int i = 0; i < 3; ++i) {
    c.tick(ctx);
    EXPECT_EQ(std::tuple(c.period, c.countdown), std::tuple(1, 1));
  }
}

TEST_F(Counters, HooksSeeTheOutputFirstAndMayChangeIt) {
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

TEST_F(Counters, SwitchTurnsOffFirstAndReportsEveryFrameOnlyWhenContinuous) {
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
  // Continuous: the hook runs for the toggle and again as the frame's report.
  EXPECT_EQ(std::tuple(s.state, out, s.period, calls.hooks, calls.toggles), std::tuple(0, 0, 7, 2, 1));
  for (int i = 0; i < 6; ++i) s.tick(ctx);
  EXPECT_EQ(s.state, 0);
  s.tick(ctx);
  EXPECT_EQ(std::tuple(s.state, s.period, calls.toggles), std::tuple(1, 10, 2));

  RandUCNTswitch quiet;
  quiet.continuous = 0;
  quiet.setPhases(&out, 3, 0, 2, 0);
  quiet.tick(ctx);
  out = 42;
  quiet.tick(ctx);
  EXPECT_EQ(out, 42);  // no report inside a phase
  quiet.tick(ctx);
  EXPECT_EQ(out, 1);
}

TEST_F(Counters, RegistryTicksListZeroToTwoAndRefusesAFullList) {
  testing::TestPlatform platform;
  CounterRegistry registry(platform, ctx);
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

  for (int i = 1; i < COUNTER_LIST_CAPACITY; ++i) registry.registerCounter(&a, 1);
  EXPECT_EQ(registry.full(1), 1);
  EXPECT_THROW(registry.registerCounter(&a, 1), RuntimeErrorStop);
  EXPECT_EQ(registry.count(1), COUNTER_LIST_CAPACITY);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>{std::string(errors::COUNTER_LIST_FULL)});
}

}  // namespace
}  // namespace qv
