#include "particles/particle_system.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct SystemTableFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{7};
  VectorOps vectors{rng};
  SystemTable table{platform, rng, vectors};

  std::tuple<int, int> range() const { return {table.firstSystem, table.lastSystem}; }
};

TEST_F(SystemTableFixture, FirstAndLastFollowCreationAndDestruction) {
  table.destroySystems(DESTROY_ALL_SYSTEMS);  // empty: nothing happens
  EXPECT_EQ(range(), std::tuple(256, 0));
  table.createSystem(0);
  ParticleSystem* zero = table.system(0);
  table.destroySystems(DESTROY_ALL_SYSTEMS);  // a lone system 0 survives
  EXPECT_EQ(std::tuple(table.system(0), range()), std::tuple(zero, std::tuple(0, 0)));
  table.fillParticles(3, 0, 0, 0);
  table.createSystem(0);  // replaces it, particles and all
  EXPECT_EQ(table.system(0)->particleCount, 0u);

  for (int i : {9, 3, 6}) table.createSystem(i);
  EXPECT_EQ(std::tuple(range(), table.currentSystemIndex), std::tuple(std::tuple(0, 9), 6));
  table.destroySystems(DESTROY_LAST_SYSTEM);
  table.destroySystems(DESTROY_FIRST_SYSTEM);
  EXPECT_EQ(range(), std::tuple(3, 6));
  table.destroySystems(3);
  EXPECT_EQ(range(), std::tuple(6, 6));
  table.createSystem(200);
  table.selectSystem(6);
  std::vector<int> seen{table.currentSystemIndex};
  while (table.nextSystem() != 0) seen.push_back(table.currentSystemIndex);
  EXPECT_EQ(std::tuple(seen, table.currentSystemIndex), std::tuple(std::vector<int>{6, 200}, 6));
  table.destroySystems(DESTROY_ALL_SYSTEMS);
  EXPECT_EQ(std::tuple(table.empty(), table.lastSystem, table.currentSystem), std::tuple(true, 0, nullptr));
}

TEST_F(SystemTableFixture, IndicesOutsideTheTableOrTheParticlesAreFatal) {
  table.createSystem(0);
  table.createSystem(3);
  table.fillParticles(4, 0, 0, 0);
  const std::vector<std::function<void()>> faults = {[&] { table.createSystem(256); },
                                                     [&] { table.createSystem(-1); },
                                                     [&] { table.destroySystems(300); },
                                                     [&] { table.selectSystem(1); },
                                                     [&] { table.selectParticle(4); },
                                                     [&] { table.expireParticles(3, RANGE_NEXT_ONE); },
                                                     [&] { table.copyParticleSettings(9, RANGE_ALL, 0); }};
  for (const auto& fault : faults) EXPECT_THROW(fault(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown,
            std::vector<std::string>(faults.size(), std::string(errors::INDEX_OUT_OF_RANGE)));
}

TEST_F(SystemTableFixture, FillDrawsSpeedPositionBrushLifeAndColourInThatOrder) {
  table.createSystem(0);
  ParticleSystem& s = table.current();
  s.boxCentre = {10, 20, 30};
  s.boxHalfSize = {5, 0, 7};  // y draws nothing
  s.speedJitter = 50;
  s.lifespan = 100;
  s.lifespanJitter = 10;
  s.baseColour = 0x80102030;
  s.colourJitter = 3;
  RandomSource mirror(rng.state());
  VectorOps mirrorVectors(mirror);
  table.fillParticles(3, 2, 9, 1);
  for (int i = 0; i < 3; ++i) {
    const Particle& p = s.particles[i];
    const double v = mirror.randAround(100, 50);
    EXPECT_EQ(p.velocity, (Vec3{v, v, v}));
    EXPECT_EQ(p.position, randVec3Around(mirror, {10, 20, 30}, 5, 0, 7));
    const double u = mirror.draw() * UNIT_RANDOM_SCALE;
    EXPECT_EQ(p.brush, static_cast<int>(u * (9 - 2) + 2 + 0.5));
    const int life = mirror.randIntAround(100, 10);
    EXPECT_EQ(std::tuple(p.lifespan, p.countdown), std::tuple(life, life));
    EXPECT_EQ(p.colour, mirrorVectors.jitterColour(0x80102030, 3));
  }
  EXPECT_EQ(std::tuple(rng.state(), table.currentParticleIndex), std::tuple(mirror.state(), 2));
}

TEST_F(SystemTableFixture, BrushesAreDealtInTurnOrDrawn) {
  table.createSystem(0);
  ParticleSystem& s = table.current();
  const auto brushes = [&] {
    std::vector<int> b;
    for (std::uint32_t i = 0; i < s.particleCount; ++i) b.push_back(s.particles[i].brush);
    return b;
  };
  table.fillParticles(7, 0, 2, 0);
  EXPECT_EQ(brushes(), (std::vector<int>{0, 1, 2, 0, 1, 2, 0}));
  s.speedJitter = 0;
  s.boxHalfSize = {0, 0, 0};
  const std::uint32_t before = rng.state();
  table.fillParticles(3, 4, 4, 1);  // one brush to choose from: no draw
  EXPECT_EQ(std::tuple(brushes(), rng.state()), std::tuple(std::vector<int>{4, 4, 4}, before));
  RandomSource mirror(rng.state());
  table.fillParticles(3, 6, 0, 1);  // brushLast 0 scales the draw by brushFirst
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(s.particles[i].brush, static_cast<int>(6 * (mirror.draw() * UNIT_RANDOM_SCALE) + 0.5));
  }
  table.fillParticles(2, 0, 0, 1);
  EXPECT_EQ(brushes(), (std::vector<int>{0, 0}));
}

TEST_F(SystemTableFixture, ExpireAndCopyWorkOnRangesAndCopyKeepsTheMaskedFields) {
  table.createSystem(0);
  ParticleSystem& s = table.current();
  s.lifespan = 40;
  s.lifespanJitter = 20;
  s.colourJitter = 30;
  table.fillParticles(6, 0, 5, 0);
  table.expireParticles(2, RANGE_NEXT_ONE);
  EXPECT_EQ(std::tuple(s.particles[2].countdown, s.particles[3].lifespan, s.particles[4].countdown == 0),
            std::tuple(0, 1, false));
  EXPECT_EQ(table.currentParticleIndex, 3);

  s.particles[0] = Particle{{}, {}, 0.15, 0.7, 0.01, 2.5, 0, 0, 0, 0};
  const Particle third = s.particles[3];
  table.keepMask = KEEP_POSITION | KEEP_VELOCITY | KEEP_BRUSH | KEEP_COLOUR | KEEP_LIFE;
  table.copyParticleSettings(0, RANGE_ALL, 99);
  for (int i = 1; i < 6; ++i) {
    const Particle& p = s.particles[i];
    EXPECT_EQ(std::tuple(p.drag, p.mobility, p.timeStep, p.size, p.brush),
              std::tuple(0.15, 0.7, 0.01, 2.5, i));
  }
  const Particle& p = s.particles[3];
  EXPECT_EQ(std::tuple(p.position, p.velocity, p.colour, p.countdown, p.lifespan),
            std::tuple(third.position, third.velocity, third.colour, third.countdown, third.lifespan));
  EXPECT_EQ(table.currentParticleIndex, 0);
  table.keepMask = KEEP_BRUSH;  // RANGE_NEXT_ONE as the last: just the first
  table.copyParticleSettings(1, 4, RANGE_NEXT_ONE);
  EXPECT_EQ(std::tuple(s.particles[4].position, s.particles[4].brush),
            std::tuple(s.particles[1].position, 4));
  EXPECT_NE(s.particles[5].position, s.particles[1].position);
  table.expireParticles(0, RANGE_TO_END);
  EXPECT_EQ(table.currentParticle, &s.particles[5]);
  EXPECT_EQ(s.particles[5].countdown, 0);
}

}  // namespace
}  // namespace qv
