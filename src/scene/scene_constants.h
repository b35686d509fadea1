#pragma once
// The scene's fixed numbers: how the particle indices divide between the
// fountains and the trails, the brush colour sets, and the limits of the
// distance and spin controls.

#include <array>
#include <cstdint>

#include "splat/brush.h"

namespace qv {

inline constexpr int MAIN_EMITTER_COUNT = 3;
inline constexpr int TRAIL_COUNT = 12;
inline constexpr std::uint32_t SCENE_PARTICLE_COUNT = 45300;
// Particles from here on belong to the trails, 25 to a trail.
inline constexpr std::int32_t TRAIL_FIRST_PARTICLE = 45000;
// Frames over which a fountain's spray speed eases in and out.
inline constexpr int RAMP_FRAMES = 15;
inline constexpr std::int32_t TRAIL_DOT_LIFE = 24;
inline constexpr std::int32_t FOUNTAIN_LIFE = 750;
inline constexpr std::int32_t SLOW_FOUNTAIN_LIFE = 1500;  // fountain 2

inline constexpr std::int32_t SCENE_BRUSH_KIND = brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_ADD);  // a disc
inline constexpr std::int32_t SCENE_PICTURE_BRUSH_KIND = brushKind(BRUSH_CLASS_PICTURE, BRUSH_VARIANT_PLAIN);
inline constexpr double SCENE_BRUSH_SIZE_SCALE = 0.0105;

// Transforms: the cloud, the fountains' carriers (10 + k), the trails' (100 + j).
inline constexpr int CLOUD_TRANSFORM = 1;
inline constexpr int FOUNTAIN_TRANSFORM_BASE = 10;
inline constexpr int TRAIL_TRANSFORM_BASE = 100;
inline constexpr double CLOUD_SPIN_ANGLE = 0.0041887902047863905;  // pi / 750

// Brush colours 0, 1, 2 for an even and an odd colour phase.
inline constexpr std::array<std::array<std::uint32_t, 3>, 2> BRUSH_COLOUR_SETS{{
    {0xFFFF5300, 0xFF79FF00, 0xFF006CFA},
    {0xFF329BFF, 0xFFFF8C0F, 0xFFB4141E},
}};

// The distance control moves the cloud in steps, tested against the limits
// before each step.
inline constexpr double DISTANCE_STEP = 7.5;
inline constexpr double NEAREST_Z = -350.0;
inline constexpr double FARTHEST_Z = 350.0;
// A horizontal mouse move of more than this many pixels sets the spin.
inline constexpr int SPIN_MOUSE_THRESHOLD = 2;

// The slow-machine switch looks at the first frames only.
inline constexpr int STARTUP_FRAMES = 250;
inline constexpr int SLOW_FRAMES_PER_SECOND = 20;
inline constexpr int TARGET_FRAMES_PER_SECOND = 25;
inline constexpr int FRAME_RATE_WINDOW = 10;
// The controls legend is shown for this long (program timer 0).
inline constexpr std::uint32_t LEGEND_MILLISECONDS = 10000;

}  // namespace qv
