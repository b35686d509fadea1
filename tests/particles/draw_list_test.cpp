#include "particles/draw_list.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>

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
};

TEST_F(DrawListFixture, UnsortedEntriesFollowSystemsAndParticles) {
  ParticleSystem& a = system(0, 0);
  ParticleSystem& b = system(3, 5);
  (void)a;
  b.particles[2].size = 2.5;
  b.particles[2].colour = 0x11223344;
  b.particles[2].countdown = 7;
  b.particles[2].lifespan = 9;
  list.buildDrawList(0);
  ASSERT_EQ(list.drawCount, 5);
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(list.order[k].entryIndex, k);
    EXPECT_EQ(list.order[k].depthKey, 0);  // never written without the sort
    EXPECT_EQ(std::tuple(list.entries[k].systemIndex, list.entries[k].particleIndex, list.entries[k].brush),
              std::tuple(3, k, k % 3));
    // Transform 0 leaves positions as they are.
    EXPECT_EQ(list.entries[k].position, b.particles[k].position);
  }
  const DrawEntry& e = list.entries[2];
  EXPECT_EQ(std::tuple(e.size, e.colour, e.countdown, e.lifespan), std::tuple(2.5, 0x11223344u, 7, 9));
  EXPECT_EQ(table.currentSystemIndex, 0);  // the first system again
  list.selectEntry(4);
  EXPECT_EQ(list.currentEntry, &list.entries[4]);
}

TEST_F(DrawListFixture, NothingToDrawIsFatal) {
  EXPECT_THROW(list.buildDrawList(0), RuntimeErrorStop);
  system(0, 0);
  EXPECT_THROW(list.buildDrawList(1), RuntimeErrorStop);
  ASSERT_EQ(platform.errorsShown.size(), 2u);
  EXPECT_EQ(platform.errorsShown.back(), errors::NO_PARTICLES);
}

TEST_F(DrawListFixture, PlacementAppliesAxesEvenWhenUnrotated) {
  ParticleSystem& s = system(0, 1);
  s.transform = 2;
  s.particles[0].position = {1, 2, 3};
  transforms.selectTransform(2);
  transforms.setPosition(100, 200, 300);
  transforms.setPivotOffset(10, 0, 0);
  transforms.updateTransforms();
  // Swap world X and Y but leave the transform marked as unrotated.
  Transform& t = transforms.current();
  t.worldAxes = {Vec3{0, 1, 0}, Vec3{1, 0, 0}, Vec3{0, 0, 1}};
  t.rotated = 0;
  transforms.selectTransform(1);
  list.buildDrawList(0);
  EXPECT_EQ(list.entries[0].position, (Vec3{102, 211, 303}));
  EXPECT_EQ(transforms.currentIndex(), 2);  // the last system's transform stays current
}

TEST_F(DrawListFixture, SortedOrderRunsFarToNear) {
  ParticleSystem& s = system(0, 8);
  const double depths[8] = {0.5, -2.0, 3.25, -0.00005, 0.0, 7.0, 3.25, 1e9};
  for (int i = 0; i < 8; ++i) s.particles[i].position = {0, 0, depths[i]};
  list.buildDrawList(1);
  std::vector<int> keys;
  for (int k = 0; k < 8; ++k) {
    list.selectEntry(k);
    keys.push_back(list.order[k].depthKey);
    EXPECT_EQ(list.currentEntry, &list.entries[list.order[k].entryIndex]);
    if (list.currentEntry->position.z < 2e5) {
      EXPECT_EQ(list.order[k].depthKey, static_cast<int>(10000 * list.currentEntry->position.z));
    }
  }
  EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend()));
  EXPECT_EQ(list.order[0].entryIndex, 7);  // beyond the key range: still the farthest
  EXPECT_EQ(std::tuple(list.order[0].depthKey, list.order[1].entryIndex, list.order[7].entryIndex),
            std::tuple(2147483647, 5, 1));
  // Just in front of the eye plane truncates to the same key as z = 0.
  EXPECT_EQ(std::count(keys.begin(), keys.end(), 0), 2);
}

TEST_F(DrawListFixture, SortMatchesAReferenceOnManyKeys) {
  ParticleSystem& s = system(0, 5000);
  for (std::uint32_t i = 0; i < 5000; ++i) s.particles[i].position.z = (rng.draw() % 300) * 0.01 - 1;
  list.buildDrawList(1);
  std::vector<int> keys;
  std::vector<int> seen(5000, 0);
  for (int k = 0; k < 5000; ++k) {
    keys.push_back(list.order[k].depthKey);
    ++seen[static_cast<std::size_t>(list.order[k].entryIndex)];
  }
  EXPECT_TRUE(std::is_sorted(keys.rbegin(), keys.rend()));
  EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
}

struct Wobble {
  DrawList* list;
  SystemTable* table;
  std::vector<int> particles;
  void run() {
    particles.push_back(table->currentParticleIndex);
    list->currentEntry->position.z += 100 * table->currentParticleIndex;
  }
};

TEST_F(DrawListFixture, EntryHookSeesEachEntryBeforeItsKey) {
  ParticleSystem& s = system(0, 3);
  for (int i = 0; i < 3; ++i) s.particles[i].position = {0, 0, -static_cast<double>(i)};
  Wobble wobble{&list, &table, {}};
  list.entryHook = Hook::member<&Wobble::run>(&wobble);
  list.buildDrawList(1);
  EXPECT_EQ(wobble.particles, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(list.order[0].entryIndex, 2);  // z = -2 + 200 is now the farthest
  EXPECT_EQ(list.order[0].depthKey, 1980000);
}

TEST_F(DrawListFixture, TheOrderGrowsWithTheParticleTotal) {
  ParticleSystem& s = system(0, 10);
  list.buildDrawList(1);
  EXPECT_EQ(list.orderCapacity(), 10);
  DrawEntry* entries = list.entries.data();
  list.buildDrawList(1);
  EXPECT_EQ(list.entries.data(), entries);  // same total: nothing is reallocated
  table.fillParticles(300000, 0, 2, 0);  // beyond any fixed table size
  (void)s;
  list.buildDrawList(1);
  EXPECT_EQ(list.drawCount, 300000);
  EXPECT_GE(list.orderCapacity(), 300000);
  table.fillParticles(4, 0, 2, 0);
  list.buildDrawList(0);
  EXPECT_EQ(list.drawCount, 4);
  EXPECT_EQ(list.orderCapacity(), 300000);
  EXPECT_THROW(list.selectEntry(4), RuntimeErrorStop);
  EXPECT_THROW(list.selectEntry(-1), RuntimeErrorStop);
  list.freeDrawList();
  EXPECT_EQ(std::tuple(list.drawCount, list.entries.data()), std::tuple(0, nullptr));
}

}  // namespace
}  // namespace qv
