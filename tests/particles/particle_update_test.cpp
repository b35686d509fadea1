#include "particles/particle_update.h"

#include <gtest/gtest.h>

#include <tuple>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct UpdateFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{3};
  VectorOps vectors{rng};
  SystemTable table{platform, rng, vectors};
  ParticleUpdate update{table, vectors};

  ParticleSystem& filled(std::uint32_t n) {
    table.createSystem(0);
    ParticleSystem& s = table.current();
    s.speedJitter = 0;
    table.fillParticles(n, 0, 0, 0);
    return s;
  }
};

TEST_F(UpdateFixture, MovesThenDragsAndCountsDown) {
  ParticleSystem& s = filled(1);
  Particle& p = s.particles[0];
  p.position = {1, 2, 3};
  p.velocity = {10, -20, 40};
  p.timeStep = 0.5;
  p.drag = 0.15;
  p.mobility = 0.7;
  p.countdown = 3;
  p.lifespan = 3;
  update.moveParticles();
  EXPECT_EQ(p.position, (Vec3{1 + 10 * 0.5, 2 + -20 * 0.5, 3 + 40 * 0.5}));
  const double factor = 1 - 0.7 * 0.15;
  EXPECT_DOUBLE_EQ(factor, 0.895);
  EXPECT_EQ(p.velocity, (Vec3{10 * factor, -20 * factor, 40 * factor}));
  EXPECT_EQ(std::tuple(p.countdown, table.currentParticle), std::tuple(2, &p));
}

TEST_F(UpdateFixture, BuiltInRenewalRedrawsWhatTheFlagsSay) {
  ParticleSystem& s = filled(2);
  s.lifespan = 4;
  s.lifespanJitter = 2;
  s.colourJitter = 9;
  s.baseColour = 0xFF808080;
  Particle& p = s.particles[0];
  const Particle before = p;
  s.particles[1].countdown = 0;
  s.particles[1].lifespan = 0;  // never ages, never renewed
  table.expireParticles(0, 0);

  // Flags 0: only the life is drawn anew.
  RandomSource mirror(rng.state());
  update.moveParticles();
  EXPECT_EQ(p.position, before.position + before.velocity * 1.0);
  EXPECT_EQ(p.colour, before.colour);
  EXPECT_EQ(p.countdown, mirror.randIntAround(4, 2));
  EXPECT_EQ(p.lifespan, p.countdown);
  EXPECT_EQ(s.particles[1].countdown, 0);
  EXPECT_EQ(rng.state(), mirror.state());

  // All flags: position, velocity, colour, then the life, in that order.
  s.respawnFlags = RESPAWN_POSITION | RESPAWN_VELOCITY | RESPAWN_COLOUR;
  p.countdown = 0;
  VectorOps mirrorVectors(mirror);
  update.moveParticles();
  EXPECT_EQ(p.position, randVec3Around(mirror, s.boxCentre, 500, 500, 500));
  EXPECT_EQ(p.velocity, mirrorVectors.randomVelocity(100, 0));
  EXPECT_EQ(p.colour, mirrorVectors.jitterColour(0xFF808080, 9));
  EXPECT_EQ(p.countdown, mirror.randIntAround(4, 2));

  // renewLife 0 keeps the countdown at 0: renewed at every update.
  s.renewLife = 0;
  s.respawnFlags = 0;
  p.countdown = 0;
  update.moveParticles();
  EXPECT_EQ(p.countdown, 0);
}

TEST_F(UpdateFixture, CountdownOfThreeRenewsAtTheFourthUpdate) {
  ParticleSystem& s = filled(1);
  s.lifespan = 9;
  s.particles[0].countdown = 3;
  s.particles[0].lifespan = 3;
  for (int i = 0; i < 3; ++i) update.moveParticles();
  EXPECT_EQ(s.particles[0].countdown, 0);
  update.moveParticles();
  EXPECT_EQ(s.particles[0].countdown, 9);
}

struct Respawner {
  SystemTable* table;
  std::int32_t answer = 0;
  std::vector<int> asked;
  std::int32_t run() {
    asked.push_back(table->currentParticleIndex);
    table->currentParticle->velocity = {1, 1, 1};
    return answer;
  }
};

TEST_F(UpdateFixture, RespawnHookDecidesTheRenewal) {
  ParticleSystem& s = filled(3);
  s.lifespan = 20;
  table.expireParticles(0, -2);
  Respawner hook{&table, 0, {}};
  s.respawnHook = BasicHook<std::int32_t>::member<&Respawner::run>(&hook);

  // Declined: the particle stays due and is asked again.
  update.moveParticles();
  update.moveParticles();
  EXPECT_EQ(hook.asked, (std::vector<int>{0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(s.particles[1].countdown, 0);

  // Accepted: new life, then one more step with the velocity it was given.
  hook.answer = 1;
  const Vec3 at = s.particles[1].position;
  update.moveParticles();
  EXPECT_EQ(std::tuple(s.particles[1].countdown, s.particles[1].lifespan), std::tuple(20, 20));
  // The motion step moves it by the velocity the hook gave last time, the
  // finished renewal once more by the velocity it gives now.
  EXPECT_EQ(s.particles[1].position, (at + Vec3{1, 1, 1} + Vec3{1, 1, 1}));
}

struct Pusher {
  Vec3 force{0, 0, 0};
  double bounce = 0;
  Vec3 push() { return force; }
  double factor() { return bounce; }
};

TEST_F(UpdateFixture, ForceScalesByMobilityAndBounceStopsTheParticle) {
  ParticleSystem& s = filled(1);
  Particle& p = s.particles[0];
  p.velocity = {0, 0, 0};
  p.countdown = 5;
  Pusher pusher{{10, 0, -20}, 0};
  s.forceHook = BasicHook<Vec3>::member<&Pusher::push>(&pusher);
  update.moveParticles();
  const double shrunk = 1 - 0.3 * 0.1;
  EXPECT_EQ(p.velocity, (Vec3{3 * shrunk, 0, -6 * shrunk}));

  // A bounce factor of the sign of the motion reflects it; with the full
  // bounce loss the particle keeps no speed at all.
  s.forceHook = {};
  s.bounceHook = BasicHook<double>::member<&Pusher::factor>(&pusher);
  p.velocity = {5, 5, 5};
  pusher.bounce = -1;  // against the motion: no bounce
  const Vec3 at = p.position;
  update.moveParticles();
  EXPECT_EQ(p.position, (at + Vec3{5, 5, 5}));
  pusher.bounce = 1;
  update.moveParticles();
  EXPECT_EQ(p.velocity, (Vec3{0, 0, 0}));
}

TEST_F(UpdateFixture, LinkPassRunsOnItsIntervalOnlyWithGroupsAndParams) {
  ParticleSystem& s = filled(2);
  s.particles[0].position = {0, 0, 0};
  s.particles[1].position = {5, 0, 0};
  s.particles[0].velocity = {0, 0, 0};
  s.particles[1].velocity = {0, 0, 0};
  s.linkInterval = 1;
  const LinkGroup group{0, 0, 1, 0, 0, 0};
  const LinkParams params{10, 20, 40, 1, 2};
  s.setLinks({&group, 1}, {});
  update.linkPass();  // groups without params: no links, no error
  EXPECT_EQ(s.particles[0].velocity, (Vec3{0, 0, 0}));
  EXPECT_TRUE(platform.errorsShown.empty());

  s.setLinks({&group, 1}, {&params, 1});
  EXPECT_EQ(s.linkCountdown, 1);
  update.linkPass();  // counts down
  EXPECT_EQ(s.particles[0].velocity, (Vec3{0, 0, 0}));
  update.linkPass();  // acts
  EXPECT_LT(s.particles[0].velocity.x, 0);
  EXPECT_EQ(s.linkCountdown, 1);

  // A group naming a missing parameter set has no spring.
  const Vec3 v = s.particles[0].velocity;
  const LinkGroup stray{0, 0, 1, 0, 0, 3};
  s.setLinks({&stray, 1}, {&params, 1});
  s.linkCountdown = 0;
  update.linkPass();
  EXPECT_EQ(s.particles[0].velocity, v);
}

TEST_F(UpdateFixture, SystemWithoutParticlesIsAnIncompleteUpdate) {
  table.createSystem(0);
  EXPECT_THROW(update.moveParticles(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown.back(), errors::UPDATE_NOT_COMPLETE);
  const LinkGroup group{};
  const LinkParams params{};
  table.current().setLinks({&group, 1}, {&params, 1});
  EXPECT_THROW(update.linkPass(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown.size(), 2u);
}

}  // namespace
}  // namespace qv
