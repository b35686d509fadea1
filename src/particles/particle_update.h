#pragma once
// The per-frame update of the current particle system: the link pass (spring
// links on an interval) and the motion pass (forces, bounce, motion, drag,
// life countdown and renewal). Hooks find their particle in the table's
// currentParticle.

#include <cstdint>
#include <span>
#include <vector>

#include "geometry/vector_ops.h"
#include "ground/part_runner.h"
#include "particles/particle_system.h"
#include "particles/spring_links.h"

namespace qv {

class ParticleUpdate {
 public:
  ParticleUpdate(SystemTable& systems, VectorOps& vectors)
      : systems_(systems), vectors_(vectors), links_(vectors) {}

  // Share of a bouncing particle's speed that is lost; 1 stops it.
  double bounceLoss = 1.0;
  // Threads lent for the motion: `parts` parts run by `runner` (1 and none:
  // this thread alone). A system's particles move first and are renewed
  // after, in particle order on this thread, where nothing but the particle
  // itself is read: no force or bounce hook, and a renewal hook, if any,
  // that keeps to the current particle; else one by one, in turn.
  PartRunner* runner = nullptr;
  int parts = 1;
  // Where the parts begin (parts + 1 firsts, the last the particle count):
  // used for a system whose particles are all there are; else equal parts.
  std::span<const std::int32_t> partFirsts;

  void linkPass();
  void moveParticles();

  SpringLinks& links() { return links_; }

 private:
  void renew(ParticleSystem& s, Particle& p);
  bool movesInParts(const ParticleSystem& s) const;
  int partCount() const;  // parts lent, or 1
  std::uint32_t firstOfPart(std::uint32_t count, int part) const;
  void moveInParts(ParticleSystem& s);

  // Per part, the particles its motion found due for renewal.
  std::vector<std::vector<std::uint32_t>> due_;

  SystemTable& systems_;
  VectorOps& vectors_;
  SpringLinks links_;
};

}  // namespace qv
