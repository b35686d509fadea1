#include "particles/draw_list.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <utility>

#include "ground/runtime_error.h"

namespace qv {

namespace {

constexpr std::size_t ENTRY_ALIGNMENT = 64;

// trunc(10000 * z), held inside the int32 range so that a particle beyond
// the range still sorts as the farthest (or nearest) one.
std::int32_t depthKeyOf(double z) {
  const double scaled = 10000 * z;
  if (scaled >= 2147483648.0) return std::numeric_limits<std::int32_t>::max();
  if (scaled <= -2147483649.0) return std::numeric_limits<std::int32_t>::min();
  if (scaled != scaled) return 0;
  return static_cast<std::int32_t>(scaled);
}

// A system's transform, as the entries take it: none for transform 0.
struct Placement {
  bool moved = false;
  bool offset = false;
  Vec3 pivot, wx, wy, wz, origin;
};

Placement placementOf(std::int32_t index, const Transform& t) {
  // The axes apply even when the transform counts as unrotated.
  return {index != 0, t.hasPivotOffset != 0, t.pivotOffset, t.worldAxes[0], t.worldAxes[1], t.worldAxes[2],
          t.worldPosition};
}

void fillEntry(DrawEntry& entry, const Particle& p, const Placement& at, std::int32_t system,
               std::int32_t index) {
  if (at.moved) {
    const Vec3 v = at.offset ? p.position + at.pivot : p.position;
    entry.position = carry(v, at.wx, at.wy, at.wz) + at.origin;
  } else {
    entry.position = p.position;
  }
  entry.systemIndex = system;
  entry.particleIndex = index;
  entry.brush = p.brush;
  entry.size = p.size;
  entry.colour = p.colour;
  entry.countdown = p.countdown;
  entry.lifespan = p.lifespan;
}

}  // namespace

DrawList::DrawList(Platform& platform, SystemTable& systems, TransformTable& transforms)
    : platform_(platform), systems_(systems), transforms_(transforms) {}

DrawList::~DrawList() { freeDrawList(); }

void DrawList::freeDrawList() {
  entries.reset();
  drawCount = 0;
  currentEntry = nullptr;
  order.reset();
}

std::int32_t DrawList::sizeList() {
  if (systems_.empty()) reportRuntimeError(platform_, errors::NO_PARTICLES);
  std::uint64_t total = 0;
  for (std::int32_t si = systems_.firstSystem; si <= systems_.lastSystem; ++si) {
    const ParticleSystem* s = systems_.system(si);
    if (s != nullptr && s->particles != nullptr) total += s->particleCount;
  }
  if (total == 0) reportRuntimeError(platform_, errors::NO_PARTICLES);
  if (total > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max() / 2)) {
    reportRuntimeError(platform_, errors::OUT_OF_MEMORY);
  }
  const auto count = static_cast<std::int32_t>(total);
  if (count != drawCount) {
    currentEntry = nullptr;
    drawCount = 0;
    entries.allocate(platform_, static_cast<std::size_t>(count), ENTRY_ALIGNMENT, FILL_NONE);
    for (DrawEntry& entry : entries) new (&entry) DrawEntry();
    drawCount = count;
  }
  // The order grows with the particle total and is never outgrown.
  if (count > orderCapacity())
    order.allocate(platform_, static_cast<std::size_t>(count), ALIGNMENT_16, FILL_ZERO);
  return count;
}

template <class EachSystem>
void DrawList::walkSystems(EachSystem&& each) {
  std::int32_t e = 0;
  for (std::int32_t si = systems_.firstSystem; si <= systems_.lastSystem; ++si) {
    ParticleSystem* s = systems_.system(si);
    if (s == nullptr) continue;
    systems_.currentSystemIndex = si;
    systems_.currentSystem = s;
    if (s->particles == nullptr) continue;
    transforms_.selectTransform(s->transform);
    each(si, *s, e);
    e += static_cast<std::int32_t>(s->particleCount);
  }
}

void DrawList::buildDrawList(std::int32_t sort) {
  sizeList();
  walkSystems([&](std::int32_t si, ParticleSystem& s, std::int32_t first) {
    const Placement at = placementOf(s.transform, transforms_.current());
    const auto n = static_cast<std::int32_t>(s.particleCount);
    const Particle* const particles = s.particles.data();
    for (std::int32_t i = 0, e = first; i < n; ++i, ++e) {
      DrawEntry& entry = entries[e];
      fillEntry(entry, particles[i], at, si, i);
      currentEntry = &entry;
      systems_.setCurrentParticle(s, i);
      cursor_ = {&entry, i, &particles[i]};
      if (entryHook) entryHook();
      order[e].entryIndex = e;
      if (sort != 0) order[e].depthKey = depthKeyOf(entry.position.z);
    }
  });
  systems_.selectSystem(systems_.firstSystem);

  if (sort != 0) sortPairs(0, drawCount - 1);
}

void DrawList::beginDrawList() {
  sizeList();
  // The systems and transforms become current in turn, as in the whole
  // build, so that the parts only read them (a transform slot is made here).
  runs_.clear();
  walkSystems([&](std::int32_t si, const ParticleSystem& s, std::int32_t first) {
    if (s.particleCount != 0) runs_.push_back({si, first});
  });
}

void DrawList::fillEntries(std::int32_t first, std::int32_t end) {
  DrawCursor cursor;
  threadCursor_ = &cursor;
  struct Forget {
    ~Forget() { threadCursor_ = nullptr; }
  } forget;
  std::size_t r = 0;
  while (r + 1 < runs_.size() && runs_[r + 1].firstEntry <= first) ++r;
  for (std::int32_t e = first; e < end && r < runs_.size(); ++r) {
    const SystemRun& run = runs_[r];
    const ParticleSystem& s = *systems_.system(run.systemIndex);
    const Placement at = placementOf(s.transform, *transforms_.at(s.transform));
    const Particle* const particles = s.particles.data();
    const std::int32_t runEnd = run.firstEntry + static_cast<std::int32_t>(s.particleCount);
    for (const std::int32_t stop = std::min(end, runEnd); e < stop; ++e) {
      const std::int32_t i = e - run.firstEntry;
      DrawEntry& entry = entries[e];
      fillEntry(entry, particles[i], at, run.systemIndex, i);
      cursor = {&entry, i, &particles[i]};
      if (entryHook) entryHook();
      order[e].entryIndex = e;
    }
  }
}

void DrawList::endDrawList() {
  // The last entry and its particle stay current, as after the whole build.
  const SystemRun& last = runs_.back();
  ParticleSystem& s = *systems_.system(last.systemIndex);
  const std::int32_t i = drawCount - 1 - last.firstEntry;
  currentEntry = &entries[drawCount - 1];
  systems_.setCurrentParticle(s, i);
  cursor_ = {currentEntry, i, &s.particles[i]};
  systems_.selectSystem(systems_.firstSystem);
}

void DrawList::selectEntry(std::int32_t k) {
  if (k < 0 || k >= drawCount) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  currentEntry = &entries[order[k].entryIndex];
}

// Quicksort on the depth keys, largest first. Each partition works only
// inside its own range, so which part is handled first does not change the
// result; the smaller part is the one recursed into, which bounds the depth.
void DrawList::sortPairs(std::int32_t lo, std::int32_t hi) {
  DrawPair* const a = order.data();
  while (lo < hi) {
    const std::int32_t pivot = a[(lo + hi) / 2].depthKey;
    std::int32_t i = lo;
    std::int32_t j = hi;
    do {
      while (a[i].depthKey > pivot && i < hi) ++i;
      while (a[j].depthKey < pivot && j > lo) --j;
      if (i <= j) {
        std::swap(a[i], a[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (j - lo < hi - i) {
      if (lo < j) sortPairs(lo, j);
      lo = i;
    } else {
      if (i < hi) sortPairs(i, hi);
      hi = j;
    }
  }
}

}  // namespace qv
