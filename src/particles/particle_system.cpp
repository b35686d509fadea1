#include "particles/particle_system.h"

#include <new>

#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"

namespace qv {

namespace {
// Particles are walked in cache-line steps by the update and the draw list.
constexpr std::size_t PARTICLE_ALIGNMENT = 64;
}  // namespace

void ParticleSystem::setLinks(std::span<const LinkGroup> newGroups, std::span<const LinkParams> newParams) {
  groups.assign(newGroups.begin(), newGroups.end());
  linkParams.assign(newParams.begin(), newParams.end());
  groupCount = static_cast<std::uint32_t>(groups.size());
}

SystemTable::SystemTable(Platform& platform, RandomSource& rng, VectorOps& vectors)
    : platform_(platform), rng_(rng), vectors_(vectors) {}

SystemTable::~SystemTable() = default;

ParticleSystem* SystemTable::system(std::int32_t index) const {
  if (index < 0 || index >= SYSTEM_SLOTS) return nullptr;
  return slots_[index].get();
}

ParticleSystem& SystemTable::current() {
  if (currentSystem == nullptr) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  return *currentSystem;
}

void SystemTable::selectSystem(std::int32_t index) {
  ParticleSystem* s = system(index);
  if (s == nullptr) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  currentSystemIndex = index;
  currentSystem = s;
}

void SystemTable::createSystem(std::int32_t index) {
  if (index < 0 || index >= SYSTEM_SLOTS) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  if (slots_[index]) {
    destroySystems(index);
    // destroySystems spares a lone system 0; its replacement must still not
    // leak the old record and particles.
    if (slots_[index]) destroyOne(index);
  }
  slots_[index] = std::make_unique<ParticleSystem>();
  currentSystemIndex = index;
  currentSystem = slots_[index].get();
  if (lastSystem < index) lastSystem = index;
  if (firstSystem > index) firstSystem = index;
}

void SystemTable::destroySystems(std::int32_t code) {
  if (firstSystem == SYSTEM_SLOTS || lastSystem == 0) return;
  switch (code) {
    case DESTROY_ALL_SYSTEMS:
      while (destroyOne(firstSystem) != 0) {}
      return;
    case DESTROY_FIRST_SYSTEM: destroyOne(firstSystem); return;
    case DESTROY_LAST_SYSTEM: destroyOne(lastSystem); return;
    default:
      if (code < 0 || code >= SYSTEM_SLOTS) reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
      destroyOne(code);
      return;
  }
}

int SystemTable::destroyOne(std::int32_t index) {
  if (!slots_[index]) return 0;
  if (currentSystem == slots_[index].get()) {
    currentSystem = nullptr;
    currentParticle = nullptr;
  }
  slots_[index].reset();
  if (index == firstSystem) {
    if (index == lastSystem) {
      firstSystem = SYSTEM_SLOTS;
      lastSystem = 0;
      return 0;
    }
    int i = index + 1;
    while (!slots_[i]) ++i;  // lastSystem is occupied, so this stops there
    firstSystem = i;
  } else if (index == lastSystem) {
    int i = index - 1;
    while (!slots_[i]) --i;  // firstSystem is occupied
    lastSystem = i;
  }
  return 1;
}

std::int32_t SystemTable::nextSystem() {
  if (empty()) {
    currentSystemIndex = SYSTEM_SLOTS;
    currentSystem = nullptr;
    return 0;
  }
  for (int i = currentSystemIndex + 1; i <= lastSystem; ++i) {
    if (i >= 0 && slots_[i]) {
      currentSystemIndex = i;
      currentSystem = slots_[i].get();
      return 1;
    }
  }
  currentSystemIndex = firstSystem;
  currentSystem = slots_[firstSystem].get();
  return 0;
}

void SystemTable::fillParticles(std::uint32_t count, std::int32_t brushFirst, std::int32_t brushLast,
                                std::int32_t randomBrush) {
  ParticleSystem& s = current();
  s.particleCount = 0;
  currentParticle = nullptr;
  s.particles.allocate(platform_, count, PARTICLE_ALIGNMENT, FILL_NONE);
  for (Particle& p : s.particles) new (&p) Particle();
  s.particleCount = count;

  std::int32_t brushCursor = brushFirst;
  for (std::uint32_t i = 0; i < count; ++i) {
    setCurrentParticle(s, static_cast<std::int32_t>(i));
    Particle& p = *currentParticle;

    const double v = rng_.randAround(s.speed, s.speedJitter);
    p.velocity = {v, v, v};
    p.position = randVec3Around(rng_, s.boxCentre, s.boxHalfSize.x, s.boxHalfSize.y, s.boxHalfSize.z);

    if (randomBrush != 0) {
      if (brushLast != 0) {
        if (brushFirst == brushLast) {
          p.brush = brushFirst;
        } else {
          const double u = rng_.draw() / 32767.0;
          p.brush = static_cast<std::int32_t>(u * (brushLast - brushFirst) + brushFirst + 0.5);
        }
      } else if (brushFirst != 0) {
        const double u = rng_.draw() / 32767.0;
        p.brush = static_cast<std::int32_t>(brushFirst * u + 0.5);
      } else {
        p.brush = 0;
      }
    } else {
      p.brush = brushCursor;
      ++brushCursor;
      if (static_cast<std::uint32_t>(brushCursor) > static_cast<std::uint32_t>(brushLast)) {
        brushCursor = brushFirst;
      }
    }

    p.size = 1.0;
    p.lifespan = rng_.randIntAround(s.lifespan, s.lifespanJitter);
    p.countdown = p.lifespan;
    p.colour = vectors_.jitterColour(s.baseColour, s.colourJitter);
    p.timeStep = 1.0;
    p.drag = 0.1;
    p.mobility = 0.3;
  }
  s.filled = 1;
}

void SystemTable::checkParticleIndex(const ParticleSystem& s, std::int64_t index) {
  if (s.particles == nullptr || index < 0 || index >= static_cast<std::int64_t>(s.particleCount)) {
    reportRuntimeError(platform_, errors::INDEX_OUT_OF_RANGE);
  }
}

void SystemTable::selectParticle(std::int32_t index) {
  ParticleSystem& s = current();
  checkParticleIndex(s, index);
  setCurrentParticle(s, index);
}

void SystemTable::expireParticles(std::int32_t first, std::int32_t last) {
  ParticleSystem& s = current();
  std::int64_t end = last;
  if (last == RANGE_NEXT_ONE) end = static_cast<std::int64_t>(first) + 1;
  if (last == RANGE_TO_END) end = static_cast<std::int64_t>(s.particleCount) - 1;
  if (first > end) return;
  checkParticleIndex(s, first);
  checkParticleIndex(s, end);
  for (std::int64_t i = first; i <= end; ++i) {
    setCurrentParticle(s, static_cast<std::int32_t>(i));
    currentParticle->lifespan = 1;
    currentParticle->countdown = 0;
  }
}

void SystemTable::copyParticleSettings(std::int32_t source, std::int32_t first, std::int32_t last) {
  ParticleSystem& s = current();
  std::int64_t from = first;
  std::int64_t to = last;
  if (first == RANGE_ALL) {
    from = 0;
    to = static_cast<std::int64_t>(s.particleCount) - 1;
  } else if (last == RANGE_NEXT_ONE) {
    to = first;
  }
  if (from > to) return;
  checkParticleIndex(s, source);
  checkParticleIndex(s, from);
  checkParticleIndex(s, to);
  const std::uint8_t keep = keepMask;
  for (std::int64_t t = from; t <= to; ++t) {
    Particle& target = s.particles[t];
    const Particle saved = target;
    target = s.particles[source];
    if ((keep & KEEP_POSITION) != 0) target.position = saved.position;
    if ((keep & KEEP_VELOCITY) != 0) target.velocity = saved.velocity;
    if ((keep & KEEP_BRUSH) != 0) target.brush = saved.brush;
    if ((keep & KEEP_COLOUR) != 0) target.colour = saved.colour;
    if ((keep & KEEP_LIFE) != 0) {
      target.lifespan = saved.lifespan;
      target.countdown = saved.countdown;
    }
  }
  setCurrentParticle(s, static_cast<std::int32_t>(from));
}

}  // namespace qv
