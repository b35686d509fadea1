// A whole composed frame of the scene's kind, reduced to one hash. The value
// was recorded from the straightforward kernels; any faster form of the
// splat path must reproduce the frame bit for bit, on any number of threads.

#include <gtest/gtest.h>

#include <cstdint>

#include "support/composition_rig.h"

namespace qv {
namespace {

std::uint64_t hashFrame(const std::vector<std::uint32_t>& pixels) {
  std::uint64_t h = 1469598103934665603ull;
  for (std::uint32_t v : pixels) {
    for (int b = 0; b < 4; ++b) {
      h ^= (v >> (8 * b)) & 0xFF;
      h *= 1099511628211ull;
    }
  }
  return h;
}

class ComposedFrameHash : public ::testing::TestWithParam<int> {};

TEST_P(ComposedFrameHash, SceneLikeDiscFrameIsUnchanged) {
  testing::CompositionRig rig(2024);
  auto& [platform, rng, vectors, transforms, systems, drawList, tables, images, pictures, brushes, frame, splat,
         composer] = rig;
  platform.keepPresentedPixels = true;

  frame.setFrameSize(320, 240);
  rig.useSceneDepthSettings();
  composer.setupSceneRender();
  brushes.selectBrush(0);
  brushes.current().sizeScale = 0.05;
  brushes.setupBrush(brushes.current(), 0x40002, 0xFFFF5300, "");
  brushes.copyBrush(0, 1);
  brushes.current().colour = 0xFF79FF00;
  brushes.current().innerScale1 = 0.5;  // a ring
  brushes.copyBrush(0, 2);
  brushes.current().colour = 0xC0006CFA;
  brushes.current().useParticleColour = 0;

  systems.fillParticles(3000, 0, 2, 0);
  ParticleSystem& s = systems.current();
  for (std::uint32_t i = 0; i < 3000; ++i) {
    Particle& p = s.particles[i];
    p.position = {rng.randAround(0.0, 420.0), rng.randAround(0.0, 320.0), rng.randAround(0.0, 400.0)};
    p.size = 1.0 + 1.5 * rng.randUnit();
    p.brush = static_cast<std::int32_t>(i % 3);
    p.colour = 0xFF000000u | (static_cast<std::uint32_t>(rng.draw()) * 512u + static_cast<std::uint32_t>(rng.draw()));
    p.lifespan = 750;
    p.countdown = rng.randUpTo(750);
  }
  composer.setThreads(GetParam());
  composer.renderFrame();
  const std::vector<std::uint32_t>& shown = platform.presents.back().topDownPixels;
  int lit = 0;
  for (std::uint32_t v : shown) lit += v != frame.backgroundColour ? 1 : 0;
  EXPECT_GT(lit, 320 * 240 / 4);  // a frame well covered, edges included
  EXPECT_EQ(hashFrame(shown), 1351944112821618390ull);
  // The next frame clears what this one drew and draws it again.
  composer.renderFrame();
  EXPECT_EQ(hashFrame(platform.presents.back().topDownPixels), 1351944112821618390ull);
}

INSTANTIATE_TEST_SUITE_P(Threads, ComposedFrameHash, ::testing::Values(1, 2, 3, 4, 7));

}  // namespace
}  // namespace qv
