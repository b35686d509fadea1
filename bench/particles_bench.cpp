// The per-frame particle work of the scene: the motion pass and the draw-list
// build over 45300 particles, with an entry hook that wobbles every entry by
// two reads of a periodic table as the scene's does.

#include <benchmark/benchmark.h>

#include "geometry/transform.h"
#include "particles/draw_list.h"
#include "particles/particle_update.h"
#include "particles/periodic_table.h"
#include "support/test_platform.h"

namespace {

constexpr std::uint32_t PARTICLES = 45300;
constexpr std::int32_t TRAIL_FIRST = 45000;

struct Scene {
  qv::testing::TestPlatform platform;
  qv::RandomSource rng{12345};
  qv::VectorOps vectors{rng};
  qv::TransformTable transforms{platform, vectors};
  qv::SystemTable systems{platform, rng, vectors};
  qv::ParticleUpdate update{systems, vectors};
  qv::DrawList list{platform, systems, transforms};
  qv::PeriodicTable noise{platform, rng};

  Scene() {
    noise.resizeTable(25, 25.0);
    list.entryHook = qv::Hook::member<&Scene::wobble>(this);

    systems.createSystem(0);
    qv::ParticleSystem& s = systems.current();
    s.boxHalfSize = {300, 300, 300};
    systems.fillParticles(PARTICLES, 0, 2, 0);
    s.lifespan = 750;
    s.transform = 1;
    s.respawnHook = qv::BasicHook<std::int32_t>::member<&Scene::respawn>(this);
    systems.selectParticle(0);
    s.particles[0].timeStep = 0.01;
    s.particles[0].drag = 0.15;
    s.particles[0].mobility = 0.7;
    systems.keepMask = 0x1F;
    systems.copyParticleSettings(0, -1, -1);
    // Spread the lives so that renewals come a few per frame, as in a running scene.
    for (std::uint32_t i = 0; i < PARTICLES; ++i) {
      s.particles[i].lifespan = 750;
      s.particles[i].countdown = static_cast<std::int32_t>(i % 751);
    }

    transforms.selectTransform(1);
    transforms.setOrientation(2);
    transforms.setSpin(0, 1, 0);
    transforms.setSpinAngle(0.0041887902047863905);
    transforms.updateTransforms();
  }

  std::int32_t respawn() {
    qv::Particle& p = *systems.currentParticle;
    p.position = vectors.randomInCube(1);
    p.velocity = vectors.randomVelocity(100, 20);
    return 1;
  }

  void wobble() {
    qv::DrawEntry& e = *list.currentEntry;
    const double d = systems.currentParticle->countdown;
    if (systems.currentParticleIndex < TRAIL_FIRST) {
      e.position.y += noise.sampleTable(-1.5 * d, 1) * 10 - 5;
      e.position.x += noise.sampleTable(347 - 1.5 * d, 1) * 10 - 5;
    } else {
      e.position.y += noise.sampleTable(-2 * d, 1) * 4 - 2;
      e.position.x += noise.sampleTable(347 - 2 * d, 1) * 4 - 2;
    }
  }
};

void BM_MoveAndBuildDrawList(benchmark::State& state) {
  Scene scene;
  const auto sort = static_cast<std::int32_t>(state.range(0));
  for (auto _ : state) {
    scene.systems.selectSystem(0);
    scene.update.linkPass();
    scene.update.moveParticles();
    scene.list.buildDrawList(sort);
    benchmark::DoNotOptimize(scene.list.entries);
  }
  state.SetItemsProcessed(state.iterations() * PARTICLES);
}
BENCHMARK(BM_MoveAndBuildDrawList)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_MoveParticles(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.update.moveParticles();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * PARTICLES);
}
BENCHMARK(BM_MoveParticles)->Unit(benchmark::kMicrosecond);

void BM_BuildDrawList(benchmark::State& state) {
  Scene scene;
  for (auto _ : state) {
    scene.list.buildDrawList(0);
    benchmark::DoNotOptimize(scene.list.entries);
  }
  state.SetItemsProcessed(state.iterations() * PARTICLES);
}
BENCHMARK(BM_BuildDrawList)->Unit(benchmark::kMicrosecond);

}  // namespace
