// The particle systems: their table, the fill, the update with its renewal
// and its springs, and the noise table they share.

#include <gtest/gtest.h>

#include <functional>
#include <span>
#include <thread>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ground/runtime_error.h"
#include "particles/particle_system.h"
#include "particles/particle_update.h"
#include "particles/periodic_table.h"
#include "particles/spring_links.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct Systems : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{7};
  RandomSource mirror{7};  // replays the draws a test expects
  VectorOps vectors{rng}, mirrorVectors{mirror};
  SystemTable table{platform, rng, vectors};
  ParticleUpdate update{table, vectors};
  SpringLinks links{vectors};
  LinkParams params{10, 20, 40, 2, 3};

  ParticleSystem& filled(std::uint32_t n, int lifespan) {
    table.createSystem(0);
    ParticleSystem& s = table.current();
    s.speedJitter = 0;
    s.lifespan = lifespan;
    table.fillParticles(n, 0, 0, 0);
    mirror = RandomSource(rng.state());
    return s;
  }
  // Two resting particles of mobility 1, `distance` apart along x.
  ParticleSystem& pair(double distance) {
    ParticleSystem& s = filled(2, 0);
    s.particles[0] = Particle{{0, 0, 0}, {0, 0, 0}, 0, 1, 1, 1, 0, 0, 0, 0};
    s.particles[1] = Particle{{distance, 0, 0}, {0, 0, 0}, 0, 1, 1, 1, 0, 0, 0, 0};
    return s;
  }
};

TEST_F(Systems, IndicesOutsideTheTableOrTheParticlesAndUpdatesWithoutParticlesAreFatal) {
  table.createSystem(0);
  table.createSystem(3);
  table.fillParticles(4, 0, 0, 0);
  const std::vector<std::function<void()>> faults = {[&] { table.createSystem(256); },
                                                     [&] { table.createSystem(-1); },
                                                     [&] { table.destroySystems(300); },
                                                     [&] { table.selectSystem(1); },
                                                     [&] { table.selectParticle(4); },
                                                     [&] { table.expireParticles(3, RANGE_NEXT_ONE); },
                                                     [&] { table.copyParticleSettings(9, RANGE_ALL, 0); },
                                                     [&] { table.createSystem(5), update.moveParticles(); }};
  for (const auto& fault : faults) EXPECT_THROW(fault(), RuntimeErrorStop);
  std::vector<std::string> texts(faults.size() - 1, "PSI: Index out of range");
  texts.push_back("PSI: Update is not complete");
  EXPECT_EQ(platform.errorsShown, texts);
}

TEST_F(Systems, FillDrawsSpeedPositionBrushLifeAndColourInThatOrder) {
  ParticleSystem& s = filled(0, 100);
  s.boxCentre = {10, 20, 30};
  s.boxHalfSize = {5, 0, 7};  // y draws nothing
  s.speedJitter = 50;
  s.lifespanJitter = 10;
  s.baseColour = 0x80102030;
  s.colourJitter = 3;
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

TEST_F(Systems, ExpireAndCopyWorkOnRangesAndCopyKeepsTheMaskedFields) {
  ParticleSystem& s = filled(0, 40);
  s.lifespanJitter = 20;
  s.colourJitter = 30;
  table.fillParticles(6, 0, 5, 0);
  table.expireParticles(2, RANGE_NEXT_ONE);
  EXPECT_EQ(std::tuple(s.particles[2].countdown, s.particles[3].lifespan, s.particles[4].countdown == 0,
                       table.currentParticleIndex),
            std::tuple(0, 1, false, 3));

  s.particles[0] = Particle{{}, {}, 0.15, 0.7, 0.01, 2.5, 0, 0, 0, 0};
  const Particle third = s.particles[3];
  table.keepMask = KEEP_POSITION | KEEP_VELOCITY | KEEP_BRUSH | KEEP_COLOUR | KEEP_LIFE;
  table.copyParticleSettings(0, RANGE_ALL, 99);
  const Particle& p = s.particles[3];
  EXPECT_EQ(std::tuple(p.drag, p.mobility, p.timeStep, p.size, p.brush, table.currentParticleIndex),
            std::tuple(0.15, 0.7, 0.01, 2.5, 3, 0));
  EXPECT_EQ(std::tuple(p.position, p.velocity, p.colour, p.countdown, p.lifespan),
            std::tuple(third.position, third.velocity, third.colour, third.countdown, third.lifespan));
  table.expireParticles(0, RANGE_TO_END);
  EXPECT_EQ(std::tuple(table.currentParticle, s.particles[5].countdown), std::tuple(&s.particles[5], 0));
}

TEST_F(Systems, UpdateMovesThenDragsByMobilityAndRenewsAfterTheCountdown) {
  ParticleSystem& s = filled(2, 9);
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

TEST_F(Systems, BuiltInRenewalRedrawsWhatTheFlagsSayInOrder) {
  ParticleSystem& s = filled(1, 4);
  s.lifespanJitter = 2;
  s.colourJitter = 9;
  s.baseColour = 0xFF808080;
  s.respawnFlags = RESPAWN_POSITION | RESPAWN_VELOCITY | RESPAWN_COLOUR;
  Particle& p = s.particles[0];
  p.countdown = 0;
  update.moveParticles();
  EXPECT_EQ(p.position, randVec3Around(mirror, s.boxCentre, 500, 500, 500));
  EXPECT_EQ(p.velocity, mirrorVectors.randomVelocity(100, 0));
  EXPECT_EQ(p.colour, mirrorVectors.jitterColour(0xFF808080, 9));
  EXPECT_EQ(std::tuple(p.countdown, p.lifespan), std::tuple(mirror.randIntAround(4, 2), p.countdown));
  EXPECT_EQ(rng.state(), mirror.state());

  s.renewLife = 0;  // the countdown stays 0: renewed at every update
  s.respawnFlags = 0;
  p.countdown = 0;
  update.moveParticles();
  EXPECT_EQ(p.countdown, 0);
}

// Moved in parts on several threads, a system ends each update as it does
// moved on one: the renewals (built in, or by a hook that keeps to its
// particle) come in particle order, drawing the same random numbers. A
// force hook keeps the motion on one thread.
TEST_F(Systems, MotionInPartsOnSeveralThreadsRenewsInParticleOrder) {
  struct Threads final : PartRunner {
    void runPartJobs(int parts, PartJob job, void* context) override {
      std::vector<std::thread> threads;
      for (int part = parts - 1; part >= 1; --part) threads.emplace_back(job, context, part);
      job(context, 0);
      for (std::thread& t : threads) t.join();
      ++runs;
    }
    int runs = 0;
  } threads;
  struct Renewal {
    SystemTable* table;
    RandomSource* rng;
    std::int32_t run() {
      Particle& p = *table->currentParticle;
      p.size = rng->randUnit() + table->currentParticleIndex;
      return table->currentParticleIndex % 3;  // some stay due
    }
  };
  const std::int32_t uneven[] = {0, 100, 8000, 9000};
  auto run = [&](int parts, bool hooked) {
    rng = RandomSource(11);
    ParticleSystem& s = filled(9000, 0);
    s.respawnFlags = RESPAWN_POSITION | RESPAWN_VELOCITY;
    s.lifespan = 5;
    s.lifespanJitter = 4;
    Renewal renewal{&table, &rng};
    if (hooked) {
      s.respawnHook = BasicHook<std::int32_t>::member<&Renewal::run>(&renewal);
      s.respawnHookKeepsToParticle = true;
    }
    for (std::uint32_t i = 0; i < s.particleCount; ++i) {
      s.particles[i].countdown = static_cast<std::int32_t>(i % 7);
      s.particles[i].lifespan = 5;
    }
    update.parts = parts;
    update.runner = &threads;
    if (hooked) update.partFirsts = uneven;  // as the drawing threads' pace cuts them
    for (int step = 0; step < 12; ++step) update.moveParticles();
    std::vector<std::tuple<Vec3, Vec3, double, std::int32_t, std::int32_t>> state;
    for (const Particle& p : std::span(s.particles.data(), s.particleCount)) {
      state.emplace_back(p.position, p.velocity, p.size, p.countdown, p.lifespan);
    }
    EXPECT_EQ(table.currentParticle, &s.particles[s.particleCount - 1]);
    return std::pair(state, rng.state());
  };
  for (bool hooked : {false, true}) {
    const auto one = run(1, hooked);
    EXPECT_EQ(threads.runs, 0);
    EXPECT_TRUE(run(3, hooked) == one) << (hooked ? "hook" : "built in");
    EXPECT_EQ(threads.runs, 12);
    threads.runs = 0;
  }

  struct Still {
    Vec3 force() { return {0, 0, 0}; }
  } still;
  ParticleSystem& s = filled(9000, 0);
  s.forceHook = BasicHook<Vec3>::member<&Still::force>(&still);
  update.moveParticles();
  EXPECT_EQ(threads.runs, 0);
}

TEST_F(Systems, TheForcePushesInsideThePullsBetweenAndFallsOffBeyondTheRadii) {
  // Inside the inner radius -smooth(1 - d / 10) * 3, between the radii
  // smooth((d - 10) / 10) * 2, beyond them 2 / (1 + 9 q^2) with q = (d - 20) / 20.
  for (auto [distance, force] : {std::pair{5.0, -1.5}, {15.0, 1.0}, {30.0, 2 / 3.25}}) {
    ParticleSystem& s = pair(distance);
    links.link(s, 0, 1, params);
    EXPECT_DOUBLE_EQ(s.particles[0].velocity.x, force) << distance;
    EXPECT_DOUBLE_EQ(s.particles[1].velocity.x, -force) << distance;
  }
  // A group applies each of its links: a ring of two ties (0, 1) and (1, 0).
  ParticleSystem& ring = pair(15);
  links.applyGroup(ring, LinkGroup{4, 0, 1, 0, 0, 0}, params);
  EXPECT_EQ(std::tuple(ring.particles[0].velocity.x, ring.particles[1].velocity.x), std::tuple(2.0, -2.0));
  // Nothing beyond the inner radius; a particle linked with itself or with
  // one outside the system is left alone.
  params.reach = params.outerRadius;
  ParticleSystem& none = pair(15);
  for (auto [a, b] : {std::pair{0, 1}, {1, 1}, {0, 2}, {-1, 0}}) links.link(none, a, b, params);
  EXPECT_EQ(std::tuple(none.particles[0].velocity, none.particles[1].velocity), std::tuple(Vec3{}, Vec3{}));
}

TEST_F(Systems, TheLinkPassActsOnceInLinkIntervalPlusOneUpdatesWithTheSetItNames) {
  ParticleSystem& s = pair(5);
  s.linkInterval = 2;
  const LinkGroup groups[] = {{0, 0, 1, 0, 0, 0}, {0, 0, 1, 0, 0, 3}};  // the second names no set
  s.setLinks({&groups[1], 1}, {&params, 1});
  update.linkPass();  // no spring for a missing set, and no error
  EXPECT_EQ(s.particles[0].velocity.x, 0);
  s.setLinks({groups, 1}, {&params, 1});
  std::vector<int> acted;
  for (int i = 0; i < 6; ++i) {
    const double before = s.particles[0].velocity.x;
    update.linkPass();
    if (s.particles[0].velocity.x != before) acted.push_back(i);
  }
  EXPECT_EQ(acted, (std::vector<int>{2, 5}));
  table.createSystem(1);  // no particles: an incomplete update
  table.current().setLinks({groups, 1}, {&params, 1});
  EXPECT_THROW(update.linkPass(), RuntimeErrorStop);
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>{"PSI: Update is not complete"});
}

TEST(PeriodicTable, FilledInDrawOrderSampledLinearlyOrSmoothlyAndWrapped) {
  testing::TestPlatform platform;
  RandomSource rng{1}, mirror{1};
  PeriodicTable table{platform, rng};
  table.resizeTable(25, 25.0);
  for (int i = 0; i <= 25; ++i) EXPECT_EQ(table.values[i], mirror.randUnit());
  table.resizeTable(1, 10);
  table.values[0] = 0.2;
  table.values[1] = 0.6;
  const std::tuple<double, int, double> cases[] = {{0, 0, 0.2},         {0, 1, 0.2},  {2.5, 0, 0.3},
                                                   {2.5, 1, 21.0 / 80}, {5, 1, 0.4},  {15, 0, 0.4},
                                                   {25, 0, 0.4},        {-5, 0, 0.4}, {-2.5, 0, 0.3}};
  for (auto [x, smooth, value] : cases)
    EXPECT_NEAR(table.sampleTable(x, smooth), value, 1e-15) << x << " " << smooth;
  // fmod gives -1e-17, and adding 2 rounds to exactly 2.0, one past the end:
  // that is the start of the next period.
  table.scale = 1;
  EXPECT_EQ(std::tuple(table.sampleTable(-1e-17, 0), table.sampleTable(-1e-17, 1)), std::tuple(0.2, 0.2));
}

}  // namespace
}  // namespace qv
