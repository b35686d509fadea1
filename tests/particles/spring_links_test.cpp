#include "particles/spring_links.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "particles/link_layout.h"
#include "particles/particle_system.h"
#include "support/test_platform.h"

namespace qv {
namespace {

using Pairs = std::vector<std::pair<int, int>>;

Pairs linksOf(int kind, int first, int last, int width, int depth, std::int64_t count = 1000) {
  Pairs pairs;
  forEachLink(LinkGroup{kind, first, last, width, depth, 0}, count, [&](std::int64_t a, std::int64_t b) {
    pairs.emplace_back(static_cast<int>(a), static_cast<int>(b));
  });
  return pairs;
}

TEST(LinkLayout, PairAndChainKinds) {
  EXPECT_EQ(linksOf(0, 1, 4, 0, 0), (Pairs{{1, 4}}));
  EXPECT_EQ(linksOf(1, 0, 3, 0, 0), (Pairs{{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}));
  EXPECT_EQ(linksOf(2, 0, 1, 3, 4), (Pairs{{0, 3}, {0, 4}, {1, 3}, {1, 4}}));
  EXPECT_EQ(linksOf(3, 2, 5, 0, 0), (Pairs{{2, 3}, {3, 4}, {4, 5}}));
  EXPECT_EQ(linksOf(4, 0, 3, 0, 0), (Pairs{{0, 1}, {1, 2}, {2, 3}, {3, 0}}));
  EXPECT_EQ(linksOf(5, 1, 7, 2, 0), (Pairs{{1, 3}, {3, 5}, {5, 7}}));
  EXPECT_EQ(linksOf(6, 1, 7, 2, 0), (Pairs{{1, 3}, {3, 5}, {5, 7}, {5, 0}}));
  EXPECT_EQ(linksOf(7, 0, 4, 2, 0), (Pairs{{0, 2}, {1, 3}, {2, 4}}));
  EXPECT_EQ(linksOf(8, 1, 5, 2, 0), (Pairs{{1, 3}, {2, 4}, {3, 5}, {4, 1}, {5, 2}}));
  EXPECT_EQ(linksOf(9, 0, 5, 2, 2), Pairs{});
  EXPECT_EQ(linksOf(13, 0, 3, 2, 0), (Pairs{{0, 2}, {0, 1}, {1, 3}, {1, 2}, {2, 1}, {2, 3}, {3, 2}, {3, 0}}));
}

TEST(LinkLayout, GridKinds) {
  EXPECT_EQ(linksOf(10, 0, 5, 3, 0), (Pairs{{0, 1}, {1, 2}, {2, 0}, {3, 4}, {4, 5}, {5, 3}}));
  EXPECT_EQ(linksOf(11, 0, 5, 3, 2),
            (Pairs{{0, 1}, {0, 3}, {1, 2}, {1, 4}, {2, 0}, {2, 5}, {3, 4}, {4, 5}, {5, 3}}));
  EXPECT_EQ(linksOf(12, 0, 7, 2, 2), (Pairs{{0, 1},
                                            {0, 2},
                                            {0, 4},
                                            {1, 3},
                                            {1, 5},
                                            {2, 3},
                                            {2, 6},
                                            {3, 7},
                                            {4, 5},
                                            {4, 6},
                                            {4, 0},
                                            {5, 7},
                                            {5, 1},
                                            {6, 7},
                                            {6, 2},
                                            {7, 3}}));
  // Kind 14 with an unbounded depth takes the row count from the length.
  EXPECT_EQ(
      linksOf(14, 0, 5, 3, -2),
      (Pairs{
          {0, 1}, {0, 3}, {1, 2}, {1, 4}, {2, 0}, {2, 5}, {3, 4}, {3, 0}, {4, 5}, {4, 1}, {5, 3}, {5, 2}}));
  EXPECT_EQ(linksOf(15, 0, 5, 3, 2), (Pairs{{0, 1}, {0, 3}, {1, 2}, {1, 4}, {2, 5}, {3, 4}, {4, 5}}));
  EXPECT_EQ(
      linksOf(16, 0, 7, 2, 0),
      (Pairs{
          {0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3}, {2, 6}, {3, 7}, {4, 5}, {4, 6}, {5, 7}, {6, 7}}));
  EXPECT_EQ(linksOf(17, 0, 5, 2, 2), (Pairs{{0, 1}, {0, 2}, {0, 4}, {1, 3}, {1, 5}, {2, 3}, {4, 5}}));
  // The twisted band: row ends join rows from the other side.
  EXPECT_EQ(linksOf(18, 0, 5, 2, 3),
            (Pairs{{0, 1}, {0, 2}, {1, 4}, {1, 3}, {2, 3}, {2, 4}, {3, 2}, {3, 5}, {4, 5}, {5, 0}}));
  // -3 reads the depth as the width.
  EXPECT_EQ(linksOf(15, 0, 5, 3, -3), linksOf(15, 0, 5, 3, 3));
}

TEST(LinkLayout, LayoutsReachingPastTheArrayLoseOnlyThoseLinks) {
  // A group longer than the 6 particles: links into 6 and 7 are dropped.
  const Pairs tube = linksOf(11, 0, 7, 2, -2, 6);
  for (const auto& [a, b] : tube) {
    EXPECT_LT(a, 6);
    EXPECT_LT(b, 6);
  }
  EXPECT_EQ(tube, (Pairs{{0, 1}, {0, 2}, {1, 0}, {1, 3}, {2, 3}, {2, 4}, {3, 2}, {3, 5}, {4, 5}, {5, 4}}));
  // The unbounded row count of the layered kinds would overflow W * R.
  EXPECT_EQ(linksOf(17, 0, 5, 2, -2, 6), (Pairs{{0, 1}, {0, 2}, {1, 3}, {2, 3}, {2, 4}, {3, 5}, {4, 5}}));
  EXPECT_EQ(linksOf(12, 0, 3, 2, -2, 4), (Pairs{{0, 1}, {0, 2}, {1, 3}, {2, 3}}));
  // A strided ring that never links has no last index to close with.
  EXPECT_EQ(linksOf(6, 3, 4, 2, 0), Pairs{});
  EXPECT_EQ(linksOf(5, 0, 9, 0, 0), Pairs{});  // a zero stride would never end
  EXPECT_EQ(linksOf(1, 0, 2000000000, 0, 0, 3), (Pairs{{0, 1}, {0, 2}, {1, 2}}));
  EXPECT_EQ(linksOf(0, -1, 2, 0, 0, 3), Pairs{});
}

struct SpringFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{9};
  VectorOps vectors{rng};
  SystemTable table{platform, rng, vectors};
  SpringLinks links{vectors};
  LinkParams params{10, 20, 40, 2, 3};

  // Two resting particles of mobility 1, `distance` apart along x.
  ParticleSystem& pair(double distance) {
    table.createSystem(0);
    table.fillParticles(2, 0, 0, 0);
    ParticleSystem& s = table.current();
    s.particles[0] = Particle{{0, 0, 0}, {0, 0, 0}, 0, 1, 1, 1, 0, 0, 0, 0};
    s.particles[1] = Particle{{distance, 0, 0}, {0, 0, 0}, 0, 1, 1, 1, 0, 0, 0, 0};
    return s;
  }
};

TEST_F(SpringFixture, TheForcePushesInsideThePullsBetweenAndFallsOffBeyondTheRadii) {
  // Inside the inner radius -smooth(1 - d / 10) * 3, between the radii
  // smooth((d - 10) / 10) * 2, beyond them 2 / (1 + 9 q^2) with q = (d - 20) / 20.
  for (auto [distance, force] : {std::pair{5.0, -1.5}, {15.0, 1.0}, {30.0, 2 / 3.25}}) {
    ParticleSystem& s = pair(distance);
    links.link(s, 0, 1, params);
    EXPECT_DOUBLE_EQ(s.particles[0].velocity.x, force) << distance;
    EXPECT_DOUBLE_EQ(s.particles[1].velocity.x, -force) << distance;
  }
  params.reach = params.outerRadius;  // nothing beyond the inner radius
  ParticleSystem& none = pair(15);
  links.link(none, 0, 1, params);
  EXPECT_EQ(none.particles[0].velocity, (Vec3{0, 0, 0}));
}

TEST_F(SpringFixture, ParticlesOnOneSpotAreKickedApartAndSelfOrStrayLinksDoNothing) {
  ParticleSystem& s = pair(0);
  RandomSource mirror(rng.state());
  VectorOps mirrorVectors(mirror);
  links.link(s, 0, 1, params);
  const Vec3 kick = mirrorVectors.randomInCube(1);
  EXPECT_EQ(std::tuple(s.particles[0].velocity, s.particles[1].velocity),
            std::tuple(kick, Vec3{0, 0, 0} - kick));
  for (auto [a, b] : {std::pair{1, 1}, {0, 2}, {-1, 0}}) links.link(s, a, b, params);
  EXPECT_EQ(s.particles[0].velocity, kick);
  EXPECT_EQ(rng.state(), mirror.state());
  // A group applies each of its links: a ring of two ties (0, 1) and (1, 0).
  ParticleSystem& ring = pair(15);
  links.applyGroup(ring, LinkGroup{4, 0, 1, 0, 0, 0}, params);
  EXPECT_EQ(std::tuple(ring.particles[0].velocity.x, ring.particles[1].velocity.x), std::tuple(2.0, -2.0));
}

}  // namespace
}  // namespace qv
