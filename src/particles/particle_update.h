#pragma once
// The per-frame update of the current particle system: the link pass (spring
// links on an interval) and the motion pass (forces, bounce, motion, drag,
// life countdown and renewal). Hooks find their particle in the table's
// currentParticle.

#include "geometry/vector_ops.h"
#include "particles/particle_system.h"
#include "particles/spring_links.h"

namespace qv {

class ParticleUpdate {
 public:
  ParticleUpdate(SystemTable& systems, VectorOps& vectors)
      : systems_(systems), vectors_(vectors), links_(vectors) {}

  // Share of a bouncing particle's speed that is lost; 1 stops it.
  double bounceLoss = 1.0;

  void linkPass();
  void moveParticles();

  SpringLinks& links() { return links_; }

 private:
  void renew(ParticleSystem& s, Particle& p);

  SystemTable& systems_;
  VectorOps& vectors_;
  SpringLinks links_;
};

}  // namespace qv
