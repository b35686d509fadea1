#include "counters/counters.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "counters/counter_registry.h"
#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

TEST(RandomSource, ClassicSequenceAndNoDrawForZeroSpread) {
  RandomSource a(1);  // seed 1 of the classic C runtime generator
  for (int expected : {41, 18467, 6334, 26500}) EXPECT_EQ(a.draw(), expected);
  // Zero spread returns the centre without a draw.
  const std::uint32_t before = a.state();
  EXPECT_EQ(a.randIntAround(10, 0) + a.randAround(2.5, 0) + a.randUpTo(0), 12.5);
  EXPECT_EQ(a.state(), before);
}

TEST(RandomSource, RandIntAroundTruncatesTowardZeroAndSkipsTheLowEnd) {
  RandomSource rng(11);
  std::set<int> seen;
  for (int i = 0; i < 200000; ++i) seen.insert(rng.randIntAround(15, 10));
  EXPECT_EQ(*seen.begin(), 6);  // r = 0 gives -9.5, truncated to -9: 5 never comes out
  EXPECT_EQ(std::tuple(*seen.rbegin(), seen.size()), std::tuple(25, 20u));
}

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
    for (double fraction :
         smooth ? std::vector<double>{5.0 / 32, 0.5, 27.0 / 32} : std::vector<double>{0.25, 0.5, 0.75}) {
      c.tick(ctx);
      EXPECT_NEAR((out - c.startValue) / c.delta, fraction, 1e-12) << smooth;
    }
    c.tick(ctx);
    EXPECT_EQ(out, end);  // the next segment starts where this one ends
  }
}

TEST_F(Counters, ANewSegmentDrawsItsLengthThenItsTargetAndAHookMayChangeTheOutput) {
  SmRandUCNTfloat c;
  double out = 0;
  c.setRange(ctx, &out, 5.0, 2.0, 40, 10);
  struct Doubler {
    CounterContext* ctx;
    void run() { ctx->currentCounterValue *= 2; }
  } doubler{&ctx};
  c.hook = Hook::member<&Doubler::run>(&doubler);
  RandomSource mirror(rng.state());
  c.tick(ctx);
  const int n = mirror.randIntAround(40, 10);
  const double target = mirror.randAround(5.0, 2.0);
  EXPECT_EQ(std::tuple(c.period, c.startValue + c.delta, out), std::tuple(n, target, 2 * c.startValue));

  c.setRange(ctx, nullptr, 0.0, 1.0, -5, 0);  // a length below one frame lasts one
  c.tick(ctx);
  EXPECT_EQ(std::tuple(c.period, c.countdown), std::tuple(1, 1));
}

TEST_F(Counters, RegistryTicksListZeroToTwoAndRefusesAFullList) {
  testing::TestPlatform platform;
  CounterRegistry registry(platform, ctx);
  std::vector<int> log;
  struct Probe : AbstCNT {
    std::vector<int>& log;
    int id;
    Probe(std::vector<int>& l, int i) : log(l), id(i) {}
    void tick(CounterContext&) override { log.push_back(id); }
  } a{log, 1}, b{log, 2}, c{log, 3};
  registry.registerCounter(&a, 2);
  registry.registerCounter(&b, 1);
  registry.registerCounter(&c, 0);
  registry.tickCounters();
  EXPECT_EQ(log, (std::vector<int>{3, 2, 1}));

  for (int i = 1; i < COUNTER_LIST_CAPACITY; ++i) registry.registerCounter(&a, 1);
  EXPECT_THROW(registry.registerCounter(&a, 1), RuntimeErrorStop);
  EXPECT_EQ(std::tuple(registry.full(1), registry.count(1)), std::tuple(1, COUNTER_LIST_CAPACITY));
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>{"CNT: Counter list is full"});
}

}  // namespace
}  // namespace qv
