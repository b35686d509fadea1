// The set-up's lanes on every instruction set this processor has: each must
// compute what the SSE2 baseline computes, bit for bit, over batches of
// random splats that reach every rule (near the cap depth, past the fade,
// life curves of several systems in one batch, hooked fades, inner sizes,
// points and boxes on and off the frame, the size minimum and cap).

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "splat/splat_batch.h"

namespace qv {
namespace {

SplatBatch randomBatch(std::mt19937& rng, int count) {
  auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr std::int32_t MODES[] = {1, 1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 5};
  SplatBatch b;
  const bool oneMode = pick(0, 1) == 0;
  b.count = count;
  for (int i = 0; i < count; ++i) {
    b.brush[i] = nullptr;
    b.tint[i] = static_cast<std::uint32_t>(rng());
    b.alpha[i] = pick(0, 255);
    b.x[i] = uniform(-600, 600);
    b.y[i] = uniform(-400, 400);
    b.z[i] = pick(0, 9) == 0 ? -487.5 + uniform(-0.2, 0.2) : uniform(-480, 900);
    b.size[i] = pick(0, 9) == 0 ? uniform(0, 0.1) : uniform(0.5, 80);
    b.lifespan[i] = pick(0, 4) == 0 ? 0 : pick(1, 1500);
    b.countdown[i] = pick(0, b.lifespan[i]);
    b.drawMode[i] = oneMode ? MODES[count % 10] : MODES[pick(0, 9)];
    b.hooked[i] = pick(0, 5) == 0 ? 1 : 0;
    b.life[i] = uniform(-0.2, 1.2);
    b.sizeScale[i] = uniform(0.001, 0.05);
    b.fadeDivisor[i] = pick(0, 2) == 0 ? 1.0 : uniform(0.0, 2.0);
    b.innerScale1[i] = pick(0, 1) == 0 ? 0.0 : uniform(0, 1);
    b.innerScale2[i] = pick(0, 1) == 0 ? 0.0 : uniform(0, 1);
    b.placement[i] = pick(0, 3);
  }
  return b;
}

// Every output of every lane, in one list; the doubles bit for bit.
std::vector<std::int32_t> outputs(const SplatBatch& b) {
  std::vector<std::int32_t> out;
  for (const double* values : {b.scale, b.quarters, b.fade, b.lifeAlpha}) {
    for (int i = 0; i < b.count; ++i) {
      std::int32_t words[2];
      std::memcpy(words, values + i, sizeof words);
      out.insert(out.end(), words, words + 2);
    }
  }
  for (const std::int32_t* values :
       {b.fog, b.drawnAlpha, b.sizeQuarter, b.sizeHalf, b.sizePixel, b.innerSize1, b.innerSize2, b.centreX,
        b.centreY, b.radius, b.tinyBall, b.ballDepth, b.drawn}) {
    out.insert(out.end(), values, values + b.count);
  }
  return out;
}

TEST(SplatLanes, EveryInstructionSetComputesWhatTheBaselineComputes) {
  const LaneIsa widest = laneIsaInUse();
  std::mt19937 rng(2024);
  SplatLaneSettings settings;
  settings.capDepth = -487.5;
  settings.eyeZ = -500.0;
  settings.maxDepthScale = 10.0;
  settings.fadeStart = -150.0;
  settings.fadeRange = 850.0;
  settings.projectionScale = 1.8;
  settings.screenCentreX = 960;
  settings.screenCentreY = 540;
  settings.maxColumn = 1919;
  settings.maxRow = 1079;
  int drawn = 0;
  for (int round = 0; round < 200; ++round) {
    settings.fadeMode = round % 4 == 0 ? 0 : 999 + round % 4;  // none, linear, eased, eased squared
    settings.minPixelSize = round % 3;
    const SplatBatch input = randomBatch(rng, 1 + round % SPLAT_LANES);
    useLaneIsa(LaneIsa::Sse2);
    SplatBatch baseline = input;
    computeSplatLanes(settings, baseline);
    for (int i = 0; i < input.count; ++i) drawn += baseline.drawn[i];
    for (LaneIsa isa : {LaneIsa::Avx2, LaneIsa::Avx512}) {
      if (!laneIsaAvailable(isa)) continue;
      useLaneIsa(isa);
      ASSERT_EQ(laneIsaInUse(), isa);
      SplatBatch lanes = input;
      computeSplatLanes(settings, lanes);
      ASSERT_EQ(outputs(lanes), outputs(baseline))
          << "round " << round << ", instruction set " << static_cast<int>(isa);
    }
  }
  useLaneIsa(widest);
  EXPECT_GT(drawn, 1000);  // the batches reach the frame, not only the culls
}

}  // namespace
}  // namespace qv
