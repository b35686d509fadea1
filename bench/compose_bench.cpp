// A whole composed frame of the scene's size: 45300 particles in a cloud of
// radius 300 around the origin, the scene's three disc brushes and depth
// settings. Reported separately: the splat loop alone (set-up and kernels
// over a built draw list) and renderFrame. Arguments: the sizes (0: every
// particle of a random size from 1 to 2.5; 1: the scene's own, the
// fountains' 45000 particles keep size 1, the 300 trail dots 1 to 2.5), the
// frame height (1080: 1920 x 1080, 2160: 3840 x 2160) and the number of
// threads that draw the frame.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>

#include "support/composition_rig.h"

namespace qv {
namespace {

constexpr std::uint32_t PARTICLES = 45300;

struct SceneFrame : testing::CompositionRig {
  SceneFrame(bool sceneSizes, int height, int threads) : CompositionRig(12345) {
    platform.screenW = height * 16 / 9;
    platform.screenH = height;
    composer.setThreads(threads);
    frame.setFrameSize(FULL_SCREEN_REQUEST, 0);
    useSceneDepthSettings();
    composer.setupSceneRender();

    brushes.selectBrush(0);
    brushes.current().sizeScale = 0.0105;
    brushes.setupBrush(brushes.current(), 0x40002, 0xFFFF5300, "");
    brushes.copyBrush(0, 1);
    brushes.current().colour = 0xFF79FF00;
    brushes.copyBrush(0, 2);
    brushes.current().colour = 0xFF006CFA;

    ParticleSystem& s = systems.current();
    s.drawMode = 1002;
    systems.fillParticles(PARTICLES, 0, 2, 0);
    for (std::uint32_t i = 0; i < PARTICLES; ++i) {
      Particle& p = s.particles[i];
      // Uniform in a ball of radius 300.
      Vec3 v;
      do {
        v = {rng.randAround(0.0, 300.0), rng.randAround(0.0, 300.0), rng.randAround(0.0, 300.0)};
      } while (v.x * v.x + v.y * v.y + v.z * v.z > 300.0 * 300.0);
      p.position = v;
      const double drawn = 1.0 + 1.5 * rng.randUnit();
      p.size = sceneSizes && i < 45000 ? 1.0 : drawn;
      p.brush = static_cast<std::int32_t>(i % 3);
      p.colour = 0xFFFFFFFF;
      p.lifespan = 750;
      p.countdown = 1 + static_cast<std::int32_t>(rng.randUpTo(749));
    }
    composer.renderFrame();
  }
};

std::unique_ptr<SceneFrame> sceneFor(const benchmark::State& state) {
  return std::make_unique<SceneFrame>(state.range(0) != 0, static_cast<int>(state.range(1)),
                                      static_cast<int>(state.range(2)));
}

// Sizes, height, threads.
void frameArguments(benchmark::internal::Benchmark* b) {
  b->ArgNames({"scene_sizes", "height", "threads"});
  b->Args({0, 1080, 1})->Args({1, 1080, 1})->Args({1, 2160, 1})->Args({1, 2160, 2});
}

void BM_SplatLoop(benchmark::State& state) {
  auto scene = sceneFor(state);
  for (auto _ : state) {
    state.PauseTiming();
    scene->frame.clearStep();
    scene->frame.resetDepthBuffer();
    state.ResumeTiming();
    scene->composer.drawEntries();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * PARTICLES);
}
BENCHMARK(BM_SplatLoop)->Apply(frameArguments)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderFrame(benchmark::State& state) {
  auto scene = sceneFor(state);
  for (auto _ : state) {
    scene->composer.renderFrame();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * PARTICLES);
}
BENCHMARK(BM_RenderFrame)->Apply(frameArguments)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace qv
