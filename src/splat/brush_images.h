#pragma once
// The generated brush images: a lit sphere (four differently lit quadrants)
// and a soft spot (four equal quadrants), computed over the sphere table's
// disc when a brush is set up. Texels outside the disc keep the fill the
// images were allocated with.

#include <cstdint>

#include "geometry/vec3.h"

namespace qv {

class LookupTables;
struct Brush;

inline constexpr double BALL_AMBIENT = 0.125;
inline constexpr double BALL_BACK_LIGHT = 0.5;
inline constexpr std::uint32_t SPOT_VARIANT1_COLOUR = 0xFF0000FF;

class BrushImages {
 public:
  explicit BrushImages(LookupTables& tables);

  // The light falls along (-1, -1, -1), normalised.
  Vec3 ballLight;
  double spotPeak = 1.0;
  double spotShape = 0.5;

  // Fill the four quadrant images of a brush that has them. The sphere table
  // is built first if it does not exist yet.
  void generateBall(Brush& brush);
  void generateSpot(Brush& brush);

 private:
  LookupTables& tables_;
};

}  // namespace qv
