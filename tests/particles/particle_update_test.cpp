#include "particles/particle_update.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

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

TEST_F(UpdateFixture, MovesThenDragsByMobilityAndRenewsAfterTheCountdown) {
  ParticleSystem& s = filled(2);
  s.lifespan = 9;
  Particle& p = s.particles[0];
  p = Particle{{1, 2, 3}, {10, -20, 40}, 0.15, 0.7, 0.5, 1, 0, 1, 1, 0};
  s.particles[1].countdown = 0;
  s.particles[1].lifespan = 0;  // never ages, never renewed
  update.moveParticles();
  EXPECT_EQ(p.position, (Vec3{1 + 10 * 0.5, 2 + -20 * 0.5, 3 + 40 * 0.5}));
  EXPECT_EQ(p.velocity, (Vec3{10 * (1 - 0.7 * 0.15), -20 * (1 - 0.7 * 0.15), 40 * (1 - 0.7 * 0.15)}));
  EXPECT_EQ(std::tuple(p.countdown, table.currentParticle), std::tuple(0, &s.particles[1]));
  update.moveParticles();  // the update after the countdown reached 0 renews
  EXPECT_EQ(std::tuple(p.countdown, p.lifespan, s.particles[1].countdown), std::tuple(9, 9, 0));
}

TEST_F(UpdateFixture, BuiltInRenewalRedrawsWhatTheFlagsSayInOrder) {
  ParticleSystem& s = filled(1);
  s.lifespan = 4;
  s.lifespanJitter = 2;
  s.colourJitter = 9;
  s.baseColour = 0xFF808080;
  Particle& p = s.particles[0];
  const Particle before = p;
  table.expireParticles(0, 0);
  RandomSource mirror(rng.state());
  VectorOps mirrorVectors(mirror);
  update.moveParticles();  // no flags: only the life
  EXPECT_EQ(std::tuple(p.position, p.colour, p.countdown),
            std::tuple(before.position + before.velocity, before.colour, mirror.randIntAround(4, 2)));
  EXPECT_EQ(p.lifespan, p.countdown);

  s.respawnFlags = RESPAWN_POSITION | RESPAWN_VELOCITY | RESPAWN_COLOUR;
  p.countdown = 0;
  update.moveParticles();
  EXPECT_EQ(p.position, randVec3Around(mirror, s.boxCentre, 500, 500, 500));
  EXPECT_EQ(p.velocity, mirrorVectors.randomVelocity(100, 0));
  EXPECT_EQ(p.colour, mirrorVectors.jitterColour(0xFF808080, 9));
  EXPECT_EQ(p.countdown, mirror.randIntAround(4, 2));
  EXPECT_EQ(rng.state(), mirror.state());

  s.renewLife = 0;  // the countdown stays 0: renewed at every update
  s.respawnFlags = 0;
  p.countdown = 0;
  update.moveParticles();
  EXPECT_EQ(p.countdown, 0);
}

TEST_F(UpdateFixture, TheRespawnHookDecidesTheRenewal) {
  ParticleSystem& s = filled(3);
  s.lifespan = 20;
  table.expireParticles(0, RANGE_TO_END);
  struct Respawner {
    SystemTable* table;
    std::int32_t answer = 0;
    std::vector<int> asked;
    std::int32_t run() {
      asked.push_back(table->currentParticleIndex);
      table->currentParticle->velocity = {1, 1, 1};
      return answer;
    }
  } hook{&table, 0, {}};
  s.respawnHook = BasicHook<std::int32_t>::member<&Respawner::run>(&hook);
  update.moveParticles();  // declined: the particles stay due and are asked again
  update.moveParticles();
  EXPECT_EQ(hook.asked, (std::vector<int>{0, 1, 2, 0, 1, 2}));
  EXPECT_EQ(s.particles[1].countdown, 0);
  // Accepted: a new life, and one more step with the velocity it was given.
  hook.answer = 1;
  const Vec3 at = s.particles[1].position;
  update.moveParticles();
  EXPECT_EQ(std::tuple(s.particles[1].countdown, s.particles[1].lifespan, s.particles[1].position),
            std::tuple(20, 20, at + Vec3{1, 1, 1} + Vec3{1, 1, 1}));
}

TEST_F(UpdateFixture, ForceScalesByMobilityAndAFullBounceStopsTheParticle) {
  ParticleSystem& s = filled(1);
  Particle& p = s.particles[0];
  p.velocity = {0, 0, 0};
  p.countdown = 5;
  struct Pusher {
    double bounce = 0;
    Vec3 push() { return {10, 0, -20}; }
    double factor() { return bounce; }
  } pusher;
  s.forceHook = BasicHook<Vec3>::member<&Pusher::push>(&pusher);
  update.moveParticles();
  EXPECT_EQ(p.velocity, (Vec3{3 * (1 - 0.3 * 0.1), 0, -6 * (1 - 0.3 * 0.1)}));

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

TEST_F(UpdateFixture, TheLinkPassActsOnceInLinkIntervalPlusOneUpdates) {
  ParticleSystem& s = filled(2);
  s.particles[0].position = {0, 0, 0};
  s.particles[1].position = {5, 0, 0};
  s.particles[0].velocity = {0, 0, 0};
  s.linkInterval = 2;
  const LinkGroup group{0, 0, 1, 0, 0, 0};
  const LinkGroup stray{0, 0, 1, 0, 0, 3};  // names a missing parameter set: no spring
  const LinkParams params{10, 20, 40, 1, 2};
  s.setLinks({&group, 1}, {});
  update.linkPass();  // groups without parameters: nothing, and no error
  EXPECT_EQ(s.particles[0].velocity, (Vec3{0, 0, 0}));
  s.setLinks({&group, 1}, {&params, 1});
  std::vector<int> acted;
  for (int i = 0; i < 6; ++i) {
    const double before = s.particles[0].velocity.x;
    update.linkPass();
    if (s.particles[0].velocity.x != before) acted.push_back(i);
  }
  EXPECT_EQ(acted, (std::vector<int>{2, 5}));
  s.setLinks({&stray, 1}, {&params, 1});
  s.linkCountdown = 0;
  const Vec3 v = s.particles[0].velocity;
  update.linkPass();
  EXPECT_EQ(s.particles[0].velocity, v);

  table.createSystem(1);  // no particles: an incomplete update
  table.current().setLinks({&group, 1}, {&params, 1});
  EXPECT_THROW(update.linkPass(), RuntimeErrorStop);
  EXPECT_THROW(update.moveParticles(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>(2, std::string(errors::UPDATE_NOT_COMPLETE)));
}

}  // namespace
}  // namespace qv
