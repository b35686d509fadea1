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
  double drag = 0.1;      // velocity shrinks by 1 - mobility * drag per update
  double mobility = 0.3;  // inverse mass: scales forces and the drag
  double timeStep = 1.0;  // position advances by velocity * timeStep
  double size = 1.0;
  std::int32_t brush = 0;
  std::int32_t countdown = 0;  // updates left before renewal
  std::int32_t lifespan = 0;   // countdown given at the last birth; 0 = never renewed
  std::uint32_t colour = 0;    // 0xAARRGGBB, alpha = opacity
};

// Draw modes: the life curve by which the splat set-up fades a system's
// particles as their countdown runs out; any other mode keeps a particle at
// full strength for its whole life.
inline constexpr std::int32_t LIFE_LINEAR = 1;
inline constexpr std::int32_t LIFE_EASED = 1000;
inline constexpr std::int32_t LIFE_EASED_SQUARED = 1001;
inline constexpr std::int32_t LIFE_SMOOTH = 1002;
inline constexpr std::int32_t LIFE_BIAS_050 = 1003;
inline constexpr std::int32_t LIFE_BIAS_075 = 1004;
inline constexpr std::int32_t LIFE_BIAS_093 = 1005;
inline constexpr std::int32_t LIFE_BIAS_099 = 1006;
inline constexpr std::int32_t LIFE_UNTIL_END = 1007;

// Row counts of the grid-like link kinds: -3 = as many rows as the width,
// -2 = unbounded.
inline constexpr std::int32_t LINK_ROWS_AS_WIDTH = -3;
inline constexpr std::int32_t LINK_ROWS_UNBOUNDED = -2;

// Link kinds: the pattern in which a group ties its particles.
inline constexpr std::int32_t LINK_ENDS = 0;  // first with last
inline constexpr std::int32_t LINK_ALL_PAIRS = 1;
inline constexpr std::int32_t LINK_TWO_RANGES = 2;  // first ... last with width ... depth
inline constexpr std::int32_t LINK_CHAIN = 3;
inline constexpr std::int32_t LINK_RING = 4;
inline constexpr std::int32_t LINK_STRIDED_CHAIN = 5;
inline constexpr std::int32_t LINK_STRIDED_RING = 6;
inline constexpr std::int32_t LINK_SKIP = 7;
inline constexpr std::int32_t LINK_WRAPPED_SKIP = 8;
inline constexpr std::int32_t LINK_NONE = 9;
inline constexpr std::int32_t LINK_RING_ROWS = 10;
inline constexpr std::int32_t LINK_TUBE = 11;
inline constexpr std::int32_t LINK_WRAPPED_LAYERS = 12;  // layered grid, wrapping in depth
inline constexpr std::int32_t LINK_SKIP_AND_RING = 13;
inline constexpr std::int32_t LINK_TORUS = 14;
inline constexpr std::int32_t LINK_SHEET = 15;
inline constexpr std::int32_t LINK_CUBE_LATTICE = 16;
inline constexpr std::int32_t LINK_OPEN_LAYERS = 17;  // layered grid, open
inline constexpr std::int32_t LINK_TWISTED_BAND = 18;

// One group of particles tied together in a fixed pattern.
struct LinkGroup {
  std::int32_t kind = LINK_ENDS;
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
