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

namespace {

// A particle's motion after the forces: it moves, its drag slows it.
inline void coast(Particle& p) {
  p.position += p.velocity * p.timeStep;
  p.velocity *= 1 - p.mobility * p.drag;
}

// Fewer particles than this move one by one on the calling thread: handing
// parts to other threads costs more than the pass saves.
constexpr std::uint32_t MIN_PARTICLES_IN_PARTS = 4096;

}  // namespace

void ParticleUpdate::moveParticles() {
  ParticleSystem& s = systems_.current();
  if (s.particles == nullptr) reportRuntimeError(systems_.platform(), errors::UPDATE_NOT_COMPLETE);
  if (movesInParts(s)) {
    moveInParts(s);
    return;
  }

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
    coast(p);

    if (p.countdown != 0) {
      --p.countdown;
    } else if (p.lifespan != 0) {
      renew(s, p);
    }
  }
}

int ParticleUpdate::partCount() const { return parts > 1 && runner != nullptr ? parts : 1; }

std::uint32_t ParticleUpdate::firstOfPart(std::uint32_t count, int part) const {
  const int n = partCount();
  if (n == 1) return part == 0 ? 0 : count;
  if (partFirsts.size() == static_cast<std::size_t>(n) + 1 && partFirsts.back() >= 0 &&
      static_cast<std::uint32_t>(partFirsts.back()) == count) {
    return static_cast<std::uint32_t>(partFirsts[static_cast<std::size_t>(part)]);
  }
  return static_cast<std::uint32_t>(std::uint64_t{count} * static_cast<std::uint64_t>(part) /
                                    static_cast<std::uint64_t>(n));
}

// On one thread too: the motion alone is a tighter loop than motion and
// renewal in turn.
bool ParticleUpdate::movesInParts(const ParticleSystem& s) const {
  return s.particleCount >= MIN_PARTICLES_IN_PARTS && !s.forceHook && !s.bounceHook &&
         (!s.respawnHook || s.respawnHookKeepsToParticle);
}

// The same update as the loop in moveParticles: a particle's motion reads
// only itself, and a renewal only the particle renewed (and what no motion
// changes), so the renewals may follow all the motion, in the same order.
void ParticleUpdate::moveInParts(ParticleSystem& s) {
  const std::uint32_t count = s.particleCount;
  Particle* const particles = s.particles.data();
  const int n = partCount();
  if (due_.size() < static_cast<std::size_t>(n)) due_.resize(static_cast<std::size_t>(n));
  auto move = [&](int part) {
    std::vector<std::uint32_t>& due = due_[static_cast<std::size_t>(part)];
    due.clear();
    const auto first = firstOfPart(count, part);
    const auto end = firstOfPart(count, part + 1);
    for (std::uint32_t i = first; i < end; ++i) {
      Particle& p = particles[i];
      coast(p);
      if (p.countdown != 0) {
        --p.countdown;
      } else if (p.lifespan != 0) {
        due.push_back(i);
      }
    }
  };
  if (n == 1) {
    move(0);
  } else {
    runner->runParts(n, move);
  }
  for (int part = 0; part < n; ++part) {
    for (const std::uint32_t i : due_[static_cast<std::size_t>(part)]) {
      systems_.setCurrentParticle(s, static_cast<std::int32_t>(i));
      renew(s, particles[i]);
    }
  }
  systems_.setCurrentParticle(s, static_cast<std::int32_t>(count - 1));
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
