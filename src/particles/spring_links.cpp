#include "particles/spring_links.h"

#include "particles/link_layout.h"
#include "particles/particle_system.h"

namespace qv {

namespace {

double smooth(double x) { return x * x * (3 - 2 * x); }

}  // namespace

void SpringLinks::link(ParticleSystem& system, std::int64_t a, std::int64_t b, const LinkParams& params) {
  if (a == b) return;
  const auto count = static_cast<std::int64_t>(system.particleCount);
  if (system.particles == nullptr || a < 0 || b < 0 || a >= count || b >= count) return;
  Particle& pa = system.particles[a];
  Particle& pb = system.particles[b];

  const Vec3 d = pb.position - pa.position;
  Vec3 n = vectors_.normalised(d);
  const double dist = vectors_.lastLength;
  double f = 0;
  if (dist == 0) {
    // Two particles on one spot: kick them apart along any direction.
    n = vectors_.randomInCube(1);
    f = 1;
  } else if (dist < params.innerRadius) {
    const double x = 1 - dist / params.innerRadius;
    f = -smooth(x) * params.repulsion;
  } else if (params.reach == params.outerRadius) {
    return;
  } else if (dist < params.outerRadius) {
    const double x = (dist - params.innerRadius) / (params.outerRadius - params.innerRadius);
    f = smooth(x) * params.attraction;
  } else {
    const double q = (dist - params.outerRadius) / (params.reach - params.outerRadius);
    f = params.attraction / (1 + 9 * q * q);
  }
  if (f == 0) return;

  pa.velocity.x += f * n.x * pa.mobility;
  pa.velocity.y += f * n.y * pa.mobility;
  pa.velocity.z += f * n.z * pa.mobility;
  pb.velocity.x -= f * n.x * pb.mobility;
  pb.velocity.y -= f * n.y * pb.mobility;
  pb.velocity.z -= f * n.z * pb.mobility;
}

void SpringLinks::applyGroup(ParticleSystem& system, const LinkGroup& group, const LinkParams& params) {
  forEachLink(group, system.particleCount,
              [&](std::int64_t a, std::int64_t b) { link(system, a, b, params); });
}

}  // namespace qv
