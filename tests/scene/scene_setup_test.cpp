#include <gtest/gtest.h>

#include <tuple>

#include <array>
#include <cmath>

#include "scene/scene_test_rig.h"

namespace qv {
namespace {

using testing::SceneRig;

bool bornThisFrame(const Particle& p) { return p.lifespan > 1 && p.countdown == p.lifespan; }

TEST(SceneSetup, TheCloudStartsEmptyWithEveryParticleDue) {
  SceneRig rig;
  ParticleSystem& s = rig.cloud();
  ASSERT_EQ(s.particleCount, SCENE_PARTICLE_COUNT);
  EXPECT_EQ(s.transform, CLOUD_TRANSFORM);
  EXPECT_TRUE(s.respawnHook);
  for (std::uint32_t i = 0; i < s.particleCount; ++i) {
    const Particle& p = s.particles[i];
    ASSERT_EQ(p.countdown, 0) << i;
    ASSERT_EQ(p.brush, static_cast<std::int32_t>(i % 3)) << i;
    ASSERT_EQ(p.timeStep, 0.01) << i;
    ASSERT_EQ(p.drag, 0.15) << i;
    ASSERT_EQ(p.mobility, 0.7) << i;
  }
  // Particle 45000 is trail 0's and draws with brush 0; 45013 is trail 1's
  // and draws with brush 1.
  EXPECT_EQ(rig.particle(45000).brush, 0);
  EXPECT_EQ(rig.particle(45013).brush, 1);
  EXPECT_EQ(rig.m().registry.count(1), 48);
  EXPECT_EQ(rig.m().registry.count(0) + rig.m().registry.count(2), 0);
  // The three brushes differ only in colour.
  for (int i = 0; i < 3; ++i) {
    const Brush* b = rig.m().brushes.at(i);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(std::tuple(b->kind, b->sizeScale), std::tuple(SCENE_BRUSH_KIND, SCENE_BRUSH_SIZE_SCALE));
    EXPECT_EQ(b->colour, BRUSH_COLOUR_SETS[0][static_cast<std::size_t>(i)]);
  }
  EXPECT_EQ(rig.platform.runningTimers.count(0), 1u);
}

TEST(SceneSetup, FountainsFillTheCloudUnderTheirQuotasAndTrailsStayShort) {
  SceneRig rig;
  for (int frame = 1; frame <= 40; ++frame) {
    rig.step();
    std::array<int, 3> fountainBirths{};
    std::array<int, TRAIL_COUNT> trailBirths{};
    std::array<int, TRAIL_COUNT> trailAlive{};
    for (int i = 0; i < static_cast<int>(SCENE_PARTICLE_COUNT); ++i) {
      const Particle& p = rig.particle(i);
      if (i < TRAIL_FIRST_PARTICLE) {
        if (bornThisFrame(p)) ++fountainBirths[static_cast<std::size_t>(i % 3)];
        continue;
      }
      const auto j = static_cast<std::size_t>((i - TRAIL_FIRST_PARTICLE) % TRAIL_COUNT);
      if (bornThisFrame(p)) ++trailBirths[j];
      if (p.countdown > 0) ++trailAlive[j];
    }
    EXPECT_LE(fountainBirths[0], 20);
    EXPECT_LE(fountainBirths[1], 20);
    EXPECT_LE(fountainBirths[2], 10);
    for (std::size_t j = 0; j < TRAIL_COUNT; ++j) {
      // One dot a frame, each living 24 frames.
      EXPECT_EQ(trailBirths[j], 1) << "trail " << j << " frame " << frame;
      EXPECT_LE(trailAlive[j], 25);
      if (frame >= 30) {
        EXPECT_GE(trailAlive[j], 24);
      }
    }
  }
}

TEST(SceneSetup, LivesAreSetByFountainAndTrailDotsTakeTheirTrailsSize) {
  SceneRig rig;
  rig.steps(3);
  int seen = 0;
  for (int i = 0; i < static_cast<int>(SCENE_PARTICLE_COUNT); ++i) {
    const Particle& p = rig.particle(i);
    if (p.lifespan <= 1) continue;  // never born yet
    ++seen;
    if (i >= TRAIL_FIRST_PARTICLE) {
      EXPECT_EQ(p.lifespan, 24);
      if (bornThisFrame(p)) {
        EXPECT_EQ(p.size, rig.scene().trailSize[static_cast<std::size_t>((i - TRAIL_FIRST_PARTICLE) % 12)]);
        EXPECT_EQ(p.velocity.x, 0.0);
      }
    } else {
      EXPECT_EQ(p.lifespan, i % 3 == 2 ? 1500 : 750) << i;
    }
  }
  EXPECT_GT(seen, 36);
}

TEST(SceneSetup, ABurstStartsAtSpeedZeroAndEasesUp) {
  SceneRig rig;
  rig.step();
  // The switches' first tick opened every fountain's first burst.
  for (std::size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(rig.scene().emitterSwitches[k].state, 0);
  }
  int born = 0;
  for (int i = 0; i < TRAIL_FIRST_PARTICLE; ++i) {
    const Particle& p = rig.particle(i);
    if (!bornThisFrame(p)) continue;
    ++born;
    EXPECT_EQ(std::tuple(p.velocity.x, p.velocity.y, p.velocity.z), std::tuple(0.0, 0.0, 0.0));
  }
  EXPECT_EQ(born, 50);

  rig.step();
  // Second frame of the burst: t = 1/15, so s = (1/225)(3 - 2/15) v.
  for (int i = 0; i < TRAIL_FIRST_PARTICLE; ++i) {
    const Particle& p = rig.particle(i);
    if (!bornThisFrame(p)) continue;
    const double v = rig.scene().emitterSpeed[static_cast<std::size_t>(i % 3)];
    const double speed = std::sqrt(dot(p.velocity, p.velocity));
    const double t = 1.0 / 15;
    EXPECT_GT(speed, 0.0);
    EXPECT_LE(speed, t * t * (3 - 2 * t) * v * 1.001 + 1e-9);
  }
}

TEST(SceneSetup, TheSeedDecidesTheScene) {
  SceneRig a(5);
  SceneRig b(5);
  SceneRig c(6);
  a.steps(4);
  b.steps(4);
  c.steps(4);
  int differing = 0;
  for (int i = 0; i < static_cast<int>(SCENE_PARTICLE_COUNT); ++i) {
    ASSERT_EQ(a.particle(i).position.x, b.particle(i).position.x);
    ASSERT_EQ(a.particle(i).velocity.z, b.particle(i).velocity.z);
    if (a.particle(i).position.x != c.particle(i).position.x) ++differing;
  }
  EXPECT_GT(differing, 0);
}

TEST(SceneSetup, WithoutASeedTheClockSeedsTheScene) {
  testing::TestPlatform platform;
  platform.screenW = 64;
  platform.screenH = 48;
  platform.ticks = 123456700;  // 1234567 ms
  InputState input;
  Animation animation(platform, input);
  SceneOptions options;
  options.overlays = false;
  animation.setupScene(options);
  // The set-up's draws continue from that seed: reseeding and repeating the
  // set-up's first draws (the noise table) gives the same values.
  const PeriodicTable& table = animation.modules().periodicTable;
  RandomSource probe(1234567);
  PeriodicTable replay(platform, probe);
  replay.resizeTable(25, 25.0);
  replay.refillTable();
  for (int i = 0; i <= 25; ++i) EXPECT_EQ(table.values[i], replay.values[i]) << i;
}

}  // namespace
}  // namespace qv
