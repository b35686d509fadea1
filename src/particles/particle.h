#pragma once
// The particle record and the two small records of the spring links. These
// are plain values kept in contiguous arrays that the update and the draw list
// walk in index order, so they carry no behaviour of their own.

#include <cstdint>

#include "geometry/vec3.h"

namespace qv {

struct Particle {
  Vec3 position;
  Vec3 velocity;
  double drag = 0.1;       // velocity shrinks by 1 - mobility * drag per update
  double mobility = 0.3;   // inverse mass: scales forces and the drag
  double timeStep = 1.0;   // position advances by velocity * timeStep
  double size = 1.0;
  std::int32_t brush = 0;
  std::int32_t countdown = 0;  // updates left before renewal
  std::int32_t lifespan = 0;   // countdown given at the last birth; 0 = never renewed
  std::uint32_t colour = 0;    // 0xAARRGGBB, alpha = opacity
};

// Row counts of the grid-like link kinds: -3 = as many rows as the width,
// -2 = unbounded.
inline constexpr std::int32_t LINK_ROWS_AS_WIDTH = -3;
inline constexpr std::int32_t LINK_ROWS_UNBOUNDED = -2;

// One group of particles tied together in a fixed pattern.
struct LinkGroup {
  std::int32_t kind = 0;   // 0 ... 18
  std::int32_t first = 0;  // inclusive range of particle indices
  std::int32_t last = 0;
  std::int32_t width = 0;
  std::int32_t depth = 0;
  std::int32_t paramsIndex = 0;  // into the system's linkParams
};

// The spring of a link group: pushes inside innerRadius, pulls up to
// outerRadius, and pulls with a falling force beyond it.
struct LinkParams {
  double innerRadius = 0.0;
  double outerRadius = 0.0;
  double reach = 0.0;
  double attraction = 0.0;
  double repulsion = 0.0;
};

}  // namespace qv
