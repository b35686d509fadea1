#include "particles/draw_list.h"

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

void DrawList::buildDrawList(std::int32_t sort) {
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

  std::int32_t e = 0;
  for (std::int32_t si = systems_.firstSystem; si <= systems_.lastSystem; ++si) {
    ParticleSystem* s = systems_.system(si);
    if (s == nullptr) continue;
    systems_.currentSystemIndex = si;
    systems_.currentSystem = s;
    if (s->particles == nullptr) continue;

    const std::int32_t t = s->transform;
    transforms_.selectTransform(t);
    const Transform& placement = transforms_.current();
    const bool offset = placement.hasPivotOffset != 0;
    const Vec3 pivot = placement.pivotOffset;
    const Vec3 wx = placement.worldAxes[0];
    const Vec3 wy = placement.worldAxes[1];
    const Vec3 wz = placement.worldAxes[2];
    const Vec3 origin = placement.worldPosition;

    const auto n = static_cast<std::int32_t>(s->particleCount);
    const Particle* const particles = s->particles.data();
    for (std::int32_t i = 0; i < n; ++i, ++e) {
      DrawEntry& entry = entries[e];
      const Particle& p = particles[i];
      currentEntry = &entry;
      systems_.setCurrentParticle(*s, i);
      if (t != 0) {
        // The axes apply even when the transform counts as unrotated.
        const Vec3 v = offset ? p.position + pivot : p.position;
        entry.position = carry(v, wx, wy, wz) + origin;
      } else {
        entry.position = p.position;
      }
      entry.systemIndex = si;
      entry.particleIndex = i;
      entry.brush = p.brush;
      entry.size = p.size;
      entry.colour = p.colour;
      entry.countdown = p.countdown;
      entry.lifespan = p.lifespan;
      if (entryHook) entryHook();
      order[e].entryIndex = e;
      if (sort != 0) order[e].depthKey = depthKeyOf(entry.position.z);
    }
  }
  systems_.selectSystem(systems_.firstSystem);

  if (sort != 0) sortPairs(0, drawCount - 1);
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
