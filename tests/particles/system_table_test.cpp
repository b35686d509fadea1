#include "particles/particle_system.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct SystemTableFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{7};
  VectorOps vectors{rng};
  SystemTable table{platform, rng, vectors};

  void expectFatal(auto&& action, std::string_view text) {
    EXPECT_THROW(action(), RuntimeErrorStop);
    ASSERT_FALSE(platform.errorsShown.empty());
    EXPECT_EQ(platform.errorsShown.back(), text);
  }
};

TEST_F(SystemTableFixture, LoneSystemZeroSurvivesDestroyAll) {
  table.destroySystems(DESTROY_ALL_SYSTEMS);  // empty: nothing happens
  EXPECT_EQ(std::tuple(table.firstSystem, table.lastSystem), std::tuple(256, 0));

  table.createSystem(0);
  EXPECT_EQ(std::tuple(table.firstSystem, table.lastSystem), std::tuple(0, 0));
  ParticleSystem* zero = table.system(0);
  table.destroySystems(DESTROY_ALL_SYSTEMS);
  EXPECT_EQ(table.system(0), zero);

  table.createSystem(4);
  table.destroySystems(DESTROY_ALL_SYSTEMS);
  EXPECT_EQ(table.system(0), nullptr);
  EXPECT_EQ(table.system(4), nullptr);
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(table.lastSystem, 0);
}

TEST_F(SystemTableFixture, FirstAndLastFollowCreateAndDestroy) {
  table.createSystem(9);
  table.createSystem(3);
  EXPECT_EQ(std::tuple(table.firstSystem, table.lastSystem, table.currentSystemIndex), std::tuple(3, 9, 3));

  table.createSystem(6);
  table.destroySystems(DESTROY_LAST_SYSTEM);
  EXPECT_EQ(table.lastSystem, 6);
  table.destroySystems(DESTROY_FIRST_SYSTEM);
  EXPECT_EQ(std::tuple(table.firstSystem, table.lastSystem), std::tuple(6, 6));
  table.destroySystems(6);
  EXPECT_TRUE(table.empty());

  table.createSystem(3);
  table.createSystem(9);
  table.destroySystems(3);
  EXPECT_EQ(table.firstSystem, 9);
  table.destroySystems(9);
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(table.currentSystem, nullptr);
}

TEST_F(SystemTableFixture, RecreatingAnOccupiedSlotReplacesItsSystem) {
  table.createSystem(2);
  table.createSystem(7);
  table.fillParticles(5, 0, 0, 0);
  table.createSystem(7);
  EXPECT_EQ(table.system(7)->particleCount, 0u);
  EXPECT_EQ(table.system(7)->particles, nullptr);
  EXPECT_EQ(std::tuple(table.firstSystem, table.lastSystem), std::tuple(2, 7));

  // Replacing a lone system 0 frees the old one (the sanitizer build would
  // report the leak) and keeps the table consistent.
  SystemTable lone{platform, rng, vectors};
  lone.createSystem(0);
  lone.fillParticles(3, 0, 0, 0);
  lone.createSystem(0);
  EXPECT_EQ(lone.system(0)->particleCount, 0u);
  EXPECT_EQ(std::tuple(lone.firstSystem, lone.lastSystem), std::tuple(0, 0));
}

TEST_F(SystemTableFixture, NextSystemVisitsInIndexOrderAndWraps) {
  for (int i : {5, 1, 200}) table.createSystem(i);
  table.selectSystem(table.firstSystem);
  std::vector<int> seen{table.currentSystemIndex};
  while (table.nextSystem() != 0) seen.push_back(table.currentSystemIndex);
  EXPECT_EQ(seen, (std::vector<int>{1, 5, 200}));
  EXPECT_EQ(table.currentSystemIndex, 1);
}

TEST_F(SystemTableFixture, IndicesOutsideTheTableAreFatal) {
  expectFatal([&] { table.createSystem(256); }, errors::INDEX_OUT_OF_RANGE);
  expectFatal([&] { table.createSystem(-1); }, errors::INDEX_OUT_OF_RANGE);
  table.createSystem(0);
  table.createSystem(3);
  expectFatal([&] { table.destroySystems(300); }, errors::INDEX_OUT_OF_RANGE);
  expectFatal([&] { table.selectSystem(1); }, errors::INDEX_OUT_OF_RANGE);
  table.fillParticles(4, 0, 0, 0);
  expectFatal([&] { table.selectParticle(4); }, errors::INDEX_OUT_OF_RANGE);
  expectFatal([&] { table.expireParticles(3, -1); }, errors::INDEX_OUT_OF_RANGE);
  expectFatal([&] { table.copyParticleSettings(9, -1, -1); }, errors::INDEX_OUT_OF_RANGE);
}

TEST_F(SystemTableFixture, FillDrawsSpeedPositionBrushLifeColourInOrder) {
  table.createSystem(0);
  ParticleSystem& s = table.current();
  s.boxCentre = {10, 20, 30};
  s.boxHalfSize = {5, 0, 7};  // y draws nothing
  s.speed = 100;
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
    EXPECT_EQ(std::tuple(p.lifespan, p.countdown, p.colour),
              std::tuple(life, life, mirrorVectors.jitterColour(0x80102030, 3)));
  }
  EXPECT_EQ(rng.state(), mirror.state());
  EXPECT_EQ(std::tuple(s.filled, table.currentParticleIndex), std::tuple(1, 2));
}

TEST_F(SystemTableFixture, BrushesAreDealtInTurnOrDrawn) {
  table.createSystem(0);
  ParticleSystem& s = table.current();
  s.speedJitter = 0;
  s.boxHalfSize = {0, 0, 0};
  table.fillParticles(6, 0, 2, 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(s.particles[i].brush, i % 3);
  EXPECT_EQ(s.particles[0].velocity, (Vec3{100, 100, 100}));

  // One brush to choose from: no random number is drawn at all.
  const std::uint32_t before = rng.state();
  table.fillParticles(5, 4, 4, 1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(s.particles[i].brush, 4);
  EXPECT_EQ(rng.state(), before);

  // brushLast 0 scales the draw by brushFirst; 0 and 0 give brush 0.
  RandomSource mirror(rng.state());
  table.fillParticles(4, 6, 0, 1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(s.particles[i].brush, static_cast<int>(6 * (mirror.draw() * UNIT_RANDOM_SCALE) + 0.5));
  }
  table.fillParticles(2, 0, 0, 1);
  EXPECT_EQ(s.particles[1].brush, 0);
}

TEST_F(SystemTableFixture, ExpireMarksRangesForRenewal) {
  table.createSystem(0);
  table.current().lifespan = 50;
  table.fillParticles(10, 0, 0, 0);
  ParticleSystem& s = table.current();
  table.expireParticles(5, -1);
  for (int i = 0; i < 10; ++i) {
    const bool marked = i == 5 || i == 6;
    EXPECT_EQ(s.particles[i].lifespan, marked ? 1 : 50) << i;
    EXPECT_EQ(s.particles[i].countdown, marked ? 0 : 50) << i;
  }
  EXPECT_EQ(table.currentParticleIndex, 6);
  table.expireParticles(0, -2);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(s.particles[i].countdown, 0);
  EXPECT_EQ(table.currentParticle, &s.particles[9]);
}

TEST_F(SystemTableFixture, CopyKeepsTheMaskedFields) {
  table.createSystem(0);
  ParticleSystem& s = table.current();
  s.lifespan = 40;
  s.lifespanJitter = 20;
  s.colourJitter = 30;
  table.fillParticles(6, 0, 5, 0);
  s.particles[0].drag = 0.15;
  s.particles[0].mobility = 0.7;
  s.particles[0].timeStep = 0.01;
  s.particles[0].size = 2.5;
  const Particle third = s.particles[3];

  table.keepMask = 0x1F;
  table.copyParticleSettings(0, -1, 99);
  for (int i = 1; i < 6; ++i) {
    EXPECT_EQ(s.particles[i].drag, 0.15);
    EXPECT_EQ(s.particles[i].mobility, 0.7);
    EXPECT_EQ(s.particles[i].timeStep, 0.01);
    EXPECT_EQ(s.particles[i].size, 2.5);
    EXPECT_EQ(s.particles[i].brush, i);
  }
  EXPECT_EQ(s.particles[3].position, third.position);
  EXPECT_EQ(s.particles[3].velocity, third.velocity);
  EXPECT_EQ(s.particles[3].colour, third.colour);
  EXPECT_EQ(s.particles[3].countdown, third.countdown);
  EXPECT_EQ(table.currentParticleIndex, 0);

  // Without a mask the whole record is copied; -1 as last means just first.
  table.keepMask = KEEP_BRUSH;
  table.copyParticleSettings(1, 4, -1);
  EXPECT_EQ(std::tuple(s.particles[4].position, s.particles[4].brush), std::tuple(s.particles[1].position, 4));
  EXPECT_NE(s.particles[5].position, s.particles[1].position);
  EXPECT_EQ(table.currentParticleIndex, 4);
}

}  // namespace
}  // namespace qv
