// The scene's hooks: the renewal of due particles from the emitters, the
// placement of a renewed particle at its spawn, and the wobble of every draw
// entry along the periodic noise curve.

#include "scene/animation_modules.h"
#include "scene/scene.h"

namespace qv {

std::int32_t Scene::respawnFromEmitter() {
  const std::int32_t i = m_.systems.currentParticleIndex;
  Particle& p = *m_.systems.currentParticle;
  if (i >= TRAIL_FIRST_PARTICLE) {
    const auto j = static_cast<std::size_t>((i - TRAIL_FIRST_PARTICLE) % TRAIL_COUNT);
    if (m_.trailEmitters[j].emit() == 0) return 0;  // stays due
    p.countdown = TRAIL_DOT_LIFE;
    p.lifespan = TRAIL_DOT_LIFE;
    p.size = trailSize[j];
    placeFromSpawn();
    return 0;
  }
  const auto k = static_cast<std::size_t>(i % MAIN_EMITTER_COUNT);
  if (m_.mainEmitters[k].emit() == 0) return 0;

  // The spray eases in over the first frames of a burst and out over its
  // last ones; the switch is emitting, or emit would have failed.
  const RandUCNTswitch& burst = emitterSwitches[k];
  const double v = emitterSpeed[k];
  const int e = burst.period - burst.countdown;
  double s = v;
  if (e < RAMP_FRAMES) {
    const double t = static_cast<double>(e) / RAMP_FRAMES;
    s = t * t * (3 - 2 * t) * v;
  } else if (burst.countdown < RAMP_FRAMES) {
    const double t = static_cast<double>(burst.countdown) / RAMP_FRAMES;
    s = t * t * (3 - 2 * t) * v;
  }
  m_.emitterContext.spawn.speed = s;
  placeFromSpawn();
  if (k == 2) {
    p.countdown = SLOW_FOUNTAIN_LIFE;
    p.lifespan = SLOW_FOUNTAIN_LIFE;
    return 0;
  }
  return 1;  // the update gives it the system's life span
}

void Scene::placeFromSpawn() {
  Particle& p = *m_.systems.currentParticle;
  const Spawn& spawn = m_.emitterContext.spawn;
  p.position = spawn.position;
  p.velocity =
      Vec3{spawn.direction.x * spawn.speed, spawn.direction.y * spawn.speed, spawn.direction.z * spawn.speed};
}

namespace {

Scene::WobbleOffset computeWobble(const PeriodicTable& noise, bool trail, std::int32_t countdown) {
  const double d = countdown;
  // y first, then x: x reads the same curve 347 units further on.
  if (!trail) {
    return {noise.sampleTable(-1.5 * d, 1) * 10 - 5, noise.sampleTable(347 - 1.5 * d, 1) * 10 - 5};
  }
  return {noise.sampleTable(-2 * d, 1) * 4 - 2, noise.sampleTable(347 - 2 * d, 1) * 4 - 2};
}

}  // namespace

void Scene::buildWobbleTables() {
  const PeriodicTable& noise = m_.periodicTable;
  for (std::size_t d = 0; d < mainWobble.size(); ++d) {
    mainWobble[d] = computeWobble(noise, false, static_cast<std::int32_t>(d));
  }
  for (std::size_t d = 0; d < trailWobble.size(); ++d) {
    trailWobble[d] = computeWobble(noise, true, static_cast<std::int32_t>(d));
  }
}

Scene::WobbleOffset Scene::wobbleOffset(bool trail, std::int32_t d) const {
  const auto i = static_cast<std::size_t>(d);
  if (!trail && d >= 0 && i < mainWobble.size()) return mainWobble[i];
  if (trail && d >= 0 && i < trailWobble.size()) return trailWobble[i];
  return computeWobble(m_.periodicTable, trail, d);
}

void Scene::wobbleEntry() {
  // Only the cursor, so that threads may fill parts of the list at once.
  const DrawCursor& at = m_.drawList.cursor();
  const bool trail = at.particleIndex >= TRAIL_FIRST_PARTICLE;
  const WobbleOffset w = wobbleOffset(trail, at.particle->countdown);
  at.entry->position.y += w.dy;
  at.entry->position.x += w.dx;
}

}  // namespace qv
