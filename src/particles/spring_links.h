#pragma once
// Spring links: groups of particles of one system tied together in a fixed
// pattern (chain, ring, grid, tube, torus, lattice, ...). A link changes only
// the velocities of its two particles; the motion pass then moves them.
// A link that names a particle outside the system's array is skipped, so a
// careless layout can never reach outside the particles.

#include <cstdint>

#include "geometry/vector_ops.h"
#include "particles/particle.h"

namespace qv {

struct ParticleSystem;

class SpringLinks {
 public:
  explicit SpringLinks(VectorOps& vectors) : vectors_(vectors) {}

  // One spring force between particles a and b of the system.
  void link(ParticleSystem& system, std::int64_t a, std::int64_t b, const LinkParams& params);
  // All links of the group's kind, in their fixed order.
  void applyGroup(ParticleSystem& system, const LinkGroup& group, const LinkParams& params);

 private:
  VectorOps& vectors_;
};

}  // namespace qv
