#include "particles/draw_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
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
  EXPECT_EQ(platform.errorsShown, std::vector<std::string>(2, "PARTCACH: No Particles"));

  ParticleSystem& s = system(3, 3);
  s.particles[2] = Particle{{1, 2, 3}, {}, 0, 0, 0, 2.5, 7, 4, 9, 0x11223344};
  system(5, 1);
  list.buildDrawList(0);
  EXPECT_EQ(drawnParticles(), (std::vector<int>{0, 1, 2, 0}));
  const DrawEntry& e = list.entries[2];
  EXPECT_EQ(std::tuple(e.systemIndex, e.particleIndex, e.brush, e.size, e.colour, e.countdown, e.lifespan,
                       e.position),
            std::tuple(3, 2, 7, 2.5, 0x11223344u, 4, 9, Vec3{1, 2, 3}));  // transform 0 places nothing
  EXPECT_EQ(table.currentSystemIndex, 0);                                 // the first system again
  EXPECT_THROW(list.selectEntry(4), RuntimeErrorStop);
}

TEST_F(DrawListFixture, SortedOrderRunsFarToNearOnTruncatedKeysTakenAfterTheEntryHook) {
  ParticleSystem& s = system(0, 8);
  const double depths[8] = {0.5, -2.0, 3.25, -0.00005, 0.0, 7.0, 3.25, 1e9};
  for (int i = 0; i < 8; ++i) s.particles[i].position = {0, 0, depths[i]};
  struct Nudge {
    DrawList* list;
    SystemTable* table;
    void run() { list->currentEntry->position.z += table->currentParticleIndex == 4 ? 10 : 0; }
  } nudge{&list, &table};
  list.entryHook = Hook::member<&Nudge::run>(&nudge);
  list.buildDrawList(1);
  // 1e9 lies beyond the key range and still sorts farthest; the hook moves
  // particle 4 to 10; -0.00005 truncates to key 0; the two 3.25s share a key.
  const std::vector<int> drawn = drawnParticles();
  EXPECT_EQ(std::tuple(drawn[0], drawn[1], drawn[2], drawn[5], drawn[6], drawn[7]),
            std::tuple(7, 4, 5, 0, 3, 1));
  EXPECT_EQ(std::tuple(list.order[0].depthKey, list.order[1].depthKey, list.order[3].depthKey,
                       list.order[4].depthKey, list.order[6].depthKey),
            std::tuple(2147483647, 100000, 32500, 32500, 0));

  // Many keys with many repeats, beyond any fixed table size: a
  // permutation, largest key first.
  const std::uint32_t n = 300000;
  ParticleSystem& big = system(0, n);
  for (std::uint32_t i = 0; i < n; ++i) big.particles[i].position.z = (rng.draw() % 300) * 0.01 - 1;
  list.buildDrawList(1);
  const auto farFirst = [](const DrawPair& a, const DrawPair& b) { return a.depthKey > b.depthKey; };
  EXPECT_TRUE(std::is_sorted(list.order.begin(), list.order.end(), farFirst));
  std::vector<int> seen(n, 0);
  for (const DrawPair& pair : list.order) ++seen[static_cast<std::size_t>(pair.entryIndex)];
  EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), n);

  // The order is kept when the total shrinks; the same total reuses the entries.
  table.fillParticles(4, 0, 2, 0);
  list.buildDrawList(0);
  const DrawEntry* entries = list.entries.data();
  list.buildDrawList(0);
  EXPECT_EQ(std::tuple(list.drawCount, list.orderCapacity(), list.entries.data()),
            std::tuple(4, 300000, entries));
  EXPECT_EQ(drawnParticles(), (std::vector<int>{0, 1, 2, 3}));
}

// Filled in parts on several threads at once, the list is the one built
// whole: the same entries in the same order, the hook run once per entry
// with that entry and its particle in its thread's cursor, and the same
// things current afterwards. Parts start and end inside systems.
TEST_F(DrawListFixture, PartsFilledOnSeveralThreadsMakeTheListBuiltWhole) {
  ParticleSystem& a = system(2, 700);
  a.transform = 3;
  transforms.selectTransform(3);
  transforms.setPosition(5, -7, 11);
  transforms.setPivotOffset(1, 2, 3);
  transforms.setTurnSteps(1, 1, 0);
  transforms.setTurnAngle(30);
  transforms.stepRotation();
  transforms.updateTransforms();
  system(4, 0);
  system(6, 900);
  for (ParticleSystem* s : {table.system(2), table.system(6)}) {
    for (std::uint32_t i = 0; i < s->particleCount; ++i) {
      s->particles[i].position = {rng.randAround(0.0, 50.0), rng.randAround(0.0, 50.0), rng.randAround(0.0, 50.0)};
      s->particles[i].countdown = static_cast<std::int32_t>(i % 37);
    }
  }
  struct Shift {
    const DrawList* list;
    void run() {
      const DrawCursor& at = list->cursor();
      at.entry->position.x += at.particleIndex * 0.5 + at.particle->countdown;
    }
  } shift{&list};
  list.entryHook = Hook::member<&Shift::run>(&shift);
  list.entryHookKeepsToCursor = true;
  ASSERT_TRUE(list.fillsInParts(0));
  EXPECT_FALSE(list.fillsInParts(1));

  list.buildDrawList(0);
  const std::vector<DrawEntry> whole(list.entries.begin(), list.entries.end());
  const std::tuple current(list.currentEntry - list.entries.data(), table.currentParticleIndex,
                           table.currentParticle, table.currentSystemIndex, transforms.currentIndex());

  for (DrawEntry& e : list.entries) e = DrawEntry();
  transforms.selectTransform(0);
  list.beginDrawList();
  const std::int32_t cuts[] = {0, 333, 700, 1234, 1600};
  std::vector<std::thread> threads;
  for (int part = 0; part < 4; ++part) {
    threads.emplace_back([&, part] { list.fillEntries(cuts[part], cuts[part + 1]); });
  }
  for (std::thread& t : threads) t.join();
  list.endDrawList();

  ASSERT_EQ(list.drawCount, 1600);
  for (std::int32_t e = 0; e < list.drawCount; ++e) {
    const DrawEntry& got = list.entries[e];
    const DrawEntry& want = whole[static_cast<std::size_t>(e)];
    ASSERT_EQ(std::tuple(got.systemIndex, got.particleIndex, got.position, got.countdown, list.order[e].entryIndex),
              std::tuple(want.systemIndex, want.particleIndex, want.position, want.countdown, e))
        << "entry " << e;
  }
  EXPECT_EQ(std::tuple(list.currentEntry - list.entries.data(), table.currentParticleIndex, table.currentParticle,
                       table.currentSystemIndex, transforms.currentIndex()),
            current);
}

}  // namespace
}  // namespace qv
