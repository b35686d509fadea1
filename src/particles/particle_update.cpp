#include "particles/particle_update.h"

#include <algorithm>

#include "ground/runtime_error.h"

namespace qv {

void ParticleUpdate::linkPass() {
  ParticleSystem& s = systems_.current();
  if (s.linkCountdown != 0) {
    --s.linkCountdown;
    return;
  }
  s.linkCountdown = s.linkInterval;
  if (s.groups.empty() || s.linkParams.empty()) return;
  if (s.particles == nullptr) reportRuntimeError(systems_.platform(), errors::UPDATE_NOT_COMPLETE);

  const std::size_t groups = std::min<std::size_t>(s.groupCount, s.groups.size());
  for (std::size_t g = 0; g < groups; ++g) {
    const LinkGroup group = s.groups[g];
    // A group naming a parameter set that does not exist has no spring.
    if (group.paramsIndex < 0 || static_cast<std::size_t>(group.paramsIndex) >= s.linkParams.size()) {
      continue;
    }
    links_.applyGroup(s, group, s.linkParams[static_cast<std::size_t>(group.paramsIndex)]);
  }
}

void ParticleUpdate::moveParticles() {
  ParticleSystem& s = systems_.current();
  if (s.particles == nullptr) reportRuntimeError(systems_.platform(), errors::UPDATE_NOT_COMPLETE);

  const BasicHook<Vec3> forceHook = s.forceHook;
  const BasicHook<double> bounceHook = s.bounceHook;
  const std::uint32_t count = s.particleCount;
  Particle* const particles = s.particles.data();
  for (std::uint32_t i = 0; i < count; ++i) {
    systems_.setCurrentParticle(s, static_cast<std::int32_t>(i));
    Particle& p = particles[i];

    if (forceHook) {
      const Vec3 force = forceHook();
      p.velocity += p.mobility * force;
    }
    if (bounceHook) {
      const double b = bounceHook();
      if (b * (p.velocity.x + p.velocity.y + p.velocity.z) > 0) {
        // The speed is the length of the last normalisation before this one.
        const double speed = vectors_.lastLength;
        const Vec3 n = vectors_.normalised(p.velocity);
        p.velocity = reflect(n, Vec3{b, b, b}) * ((1 - bounceLoss) * speed);
      }
    }
    p.position += p.velocity * p.timeStep;
    p.velocity *= 1 - p.mobility * p.drag;

    if (p.countdown != 0) {
      --p.countdown;
    } else if (p.lifespan != 0) {
      renew(s, p);
    }
  }
}

void ParticleUpdate::renew(ParticleSystem& s, Particle& p) {
  RandomSource& rng = systems_.random();
  if (s.respawnHook) {
    if (s.respawnHook() == 0) return;  // done by the hook, or declined: stays due
    if (s.renewLife != 0) {
      p.countdown = rng.randIntAround(s.lifespan, s.lifespanJitter);
      p.lifespan = p.countdown;
    }
    p.position += p.velocity * p.timeStep;
    return;
  }
  if ((s.respawnFlags & RESPAWN_POSITION) != 0) {
    p.position = randVec3Around(rng, s.boxCentre, s.boxHalfSize.x, s.boxHalfSize.y, s.boxHalfSize.z);
  }
  if ((s.respawnFlags & RESPAWN_VELOCITY) != 0) p.velocity = vectors_.randomVelocity(s.speed, s.speedJitter);
  if ((s.respawnFlags & RESPAWN_COLOUR) != 0) p.colour = vectors_.jitterColour(s.baseColour, s.colourJitter);
  if (s.renewLife != 0) {
    p.countdown = rng.randIntAround(s.lifespan, s.lifespanJitter);
    p.lifespan = p.countdown;
  }
}

}  // namespace qv
