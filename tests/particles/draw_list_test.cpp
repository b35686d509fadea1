#include "particles/draw_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "ground/runtime_error.h"
#include "support/test_platform.h"

namespace qv {
namespace {

struct DrawListFixture : ::testing::Test {
  testing::TestPlatform platform;
  RandomSource rng{5};
  VectorOps vectors{rng};
  SystemTable table{platform, rng, vectors};
  TransformTable transforms{platform, vectors};
  DrawList list{platform, table, transforms};

  ParticleSystem& system(int index, std::uint32_t n) {
    table.createSystem(index);
    table.fillParticles(n, 0, 2, 0);
    return table.current();
  }
  std::vector<int> drawnParticles() {
    std::vector<int> drawn;
    for (int k = 0; k < list.drawCount; ++k) {
      list.selectEntry(k);
      drawn.push_back(list.currentEntry->particleIndex);
    }
    return drawn;
  }
};

TEST_F(DrawListFixture, UnsortedEntriesCopyTheParticlesInSystemOrder) {
  EXPECT_THROW(list.buildDrawList(0), RuntimeErrorStop);  // no system
  system(0, 0);
  EXPECT_THROW(list.buildDrawList(0), RuntimeErrorStop);  // no particle
  EXPECT_EQ(platform.errorsShown.back(), errors::NO_PARTICLES);

  ParticleSystem& s = system(3, 3);
  s.particles[2] = Particle{{1, 2, 3}, {}, 0, 0, 0, 2.5, 7, 4, 9, 0x11223344};
  list.buildDrawList(0);
  EXPECT_EQ(drawnParticles(), (std::vector<int>{0, 1, 2}));
  const DrawEntry& e = list.entries[2];
  EXPECT_EQ(std::tuple(e.systemIndex, e.particleIndex, e.brush, e.size, e.colour, e.countdown, e.lifespan,
                       e.position),
            std::tuple(3, 2, 7, 2.5, 0x11223344u, 4, 9, Vec3{1, 2, 3}));  // transform 0 places nothing
  EXPECT_EQ(table.currentSystemIndex, 0);                                 // the first system again
  EXPECT_THROW(list.selectEntry(3), RuntimeErrorStop);
}

TEST_F(DrawListFixture, ThePlacementAppliesTheAxesEvenWhenUnrotated) {
  ParticleSystem& s = system(0, 1);
  s.transform = 2;
  s.particles[0].position = {1, 2, 3};
  transforms.selectTransform(2);
  transforms.setPosition(100, 200, 300);
  transforms.setPivotOffset(10, 0, 0);
  transforms.updateTransforms();
  Transform& t = transforms.current();
  t.worldAxes = {Vec3{0, 1, 0}, Vec3{1, 0, 0}, Vec3{0, 0, 1}};  // x and y swapped, still "unrotated"
  transforms.selectTransform(1);
  list.buildDrawList(0);
  EXPECT_EQ(list.entries[0].position, (Vec3{102, 211, 303}));
  EXPECT_EQ(transforms.currentIndex(), 2);  // the last system's transform stays current
}

TEST_F(DrawListFixture, SortedOrderRunsFarToNearOnTruncatedKeys) {
  ParticleSystem& s = system(0, 8);
  const double depths[8] = {0.5, -2.0, 3.25, -0.00005, 0.0, 7.0, 3.25, 1e9};
  for (int i = 0; i < 8; ++i) s.particles[i].position = {0, 0, depths[i]};
  list.buildDrawList(1);
  // 1e9 lies beyond the key range and still sorts farthest; -0.00005 and 0
  // share key 0, as do the two 3.25s.
  const std::vector<int> drawn = drawnParticles();
  EXPECT_EQ(std::tuple(drawn[0], drawn[1], drawn[4], drawn[7]), std::tuple(7, 5, 0, 1));
  EXPECT_EQ(std::tuple(list.order[0].depthKey, list.order[1].depthKey, list.order[7].depthKey),
            std::tuple(2147483647, 70000, -20000));
  EXPECT_EQ(std::tuple(list.order[5].depthKey, list.order[6].depthKey), std::tuple(0, 0));

  // Many keys with many repeats: a permutation, largest key first.
  ParticleSystem& big = system(0, 5000);
  for (std::uint32_t i = 0; i < 5000; ++i) big.particles[i].position.z = (rng.draw() % 300) * 0.01 - 1;
  list.buildDrawList(1);
  std::vector<int> keys;
  std::vector<int> seen(5000, 0);
  for (int k = 0; k < 5000; ++k) {
    keys.push_back(list.order[k].depthKey);
    ++seen[static_cast<std::size_t>(list.order[k].entryIndex)];
  }
  EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend()));
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 5000);
}

TEST_F(DrawListFixture, TheEntryHookMovesEachEntryBeforeItsKeyIsTaken) {
  ParticleSystem& s = system(0, 3);
  for (int i = 0; i < 3; ++i) s.particles[i].position = {0, 0, -static_cast<double>(i)};
  struct Wobble {
    DrawList* list;
    SystemTable* table;
    std::vector<int> particles;
    void run() {
      particles.push_back(table->currentParticleIndex);
      list->currentEntry->position.z += 100 * table->currentParticleIndex;
    }
  } wobble{&list, &table, {}};
  list.entryHook = Hook::member<&Wobble::run>(&wobble);
  list.buildDrawList(1);
  EXPECT_EQ(wobble.particles, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(std::tuple(list.order[0].entryIndex, list.order[0].depthKey), std::tuple(2, 1980000));
}

TEST_F(DrawListFixture, TheOrderGrowsWithTheParticleTotalAndIsKept) {
  system(0, 10);
  list.buildDrawList(1);
  const DrawEntry* entries = list.entries.data();
  list.buildDrawList(1);
  EXPECT_EQ(list.entries.data(), entries);  // the same total reuses the entries
  table.fillParticles(300000, 0, 2, 0);     // beyond any fixed table size
  list.buildDrawList(1);
  table.fillParticles(4, 0, 2, 0);
  list.buildDrawList(0);
  EXPECT_EQ(std::tuple(list.drawCount, list.orderCapacity()), std::tuple(4, 300000));
  EXPECT_EQ(drawnParticles(), (std::vector<int>{0, 1, 2, 3}));
}

}  // namespace
}  // namespace qv
