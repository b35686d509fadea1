#include "splat/brush_images.h"

#include <cmath>

#include "frame/lookup_tables.h"
#include "splat/brush.h"

namespace qv {

namespace {

// The normal's x and y signs of quadrants 0 ... 3.
constexpr double QUADRANT_SIGN_X[QUADRANT_COUNT] = {-1.0, 1.0, -1.0, 1.0};
constexpr double QUADRANT_SIGN_Y[QUADRANT_COUNT] = {-1.0, -1.0, 1.0, 1.0};

int red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }

std::uint32_t texel(int r, int g, int b) {
  return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}

Vec3 defaultBallLight() {
  const double length = std::sqrt(3.0);
  return {-1.0 / length, -1.0 / length, -1.0 / length};
}

}  // namespace

BrushImages::BrushImages(LookupTables& tables) : ballLight(defaultBallLight()), tables_(tables) {}

void BrushImages::generateBall(Brush& brush) {
  if (tables_.sphereTable() == nullptr) tables_.buildSphereTable();
  const Vec3 L = ballLight;
  const int R = red(brush.colour);
  const int G = green(brush.colour);
  const int B = blue(brush.colour);
  for (int i = 0; i < IMAGE_SIDE; ++i) {
    for (int j = 0; j < IMAGE_SIDE; ++j) {
      const std::int32_t v = tables_.sphereEntry(i, j)[0];
      if (v == 0) continue;
      const double z = -v * 0.125;
      const double d = std::sqrt(j * j + i * i + z * z);
      Vec3 n{static_cast<double>(j), static_cast<double>(i), z};
      if (d > 1e-16) n = Vec3{n.x / d, n.y / d, n.z / d};
      for (int q = 0; q < QUADRANT_COUNT; ++q) {
        std::uint32_t* image = brush.quadrantImages[q].data();
        if (image == nullptr) continue;
        double g = QUADRANT_SIGN_X[q] * n.x * L.x + QUADRANT_SIGN_Y[q] * n.y * L.y + n.z * L.z;
        if (g < 0) g = std::fabs(g) * BALL_BACK_LIGHT;
        const double m = BALL_AMBIENT + g * g * (3 - 2 * g) * (1 - BALL_AMBIENT);
        image[i * IMAGE_SIDE + j] = texel(static_cast<int>(R * m + 0.5), static_cast<int>(G * m + 0.5),
                                          static_cast<int>(B * m + 0.5));
      }
    }
  }
}

void BrushImages::generateSpot(Brush& brush) {
  if (tables_.sphereTable() == nullptr) tables_.buildSphereTable();
  const int variant = brushVariant(brush.kind);
  const std::uint32_t colour = variant == BRUSH_VARIANT_BLEND ? SPOT_VARIANT1_COLOUR : brush.colour;
  const int R = red(colour);
  const int G = green(colour);
  const int B = blue(colour);
  const double P = spotPeak;
  const double Q = spotShape;
  const double N = P * P * (3 - 2 * P);
  for (int i = 0; i < IMAGE_SIDE; ++i) {
    for (int j = 0; j < IMAGE_SIDE; ++j) {
      if (tables_.sphereEntry(i, j)[0] == 0) continue;
      const double r = std::sqrt(static_cast<double>(i * i + j * j));
      const double f = P * (1 - r / 255);
      const double F = f * f * (3 - 2 * f) / N;
      const double D = 1 - Q * F;
      const double m = D == 0 ? 1.0 : 1 - (1 - F) / D;
      std::uint32_t value = 0;
      if (variant == BRUSH_VARIANT_MULTIPLY) {
        value = texel(static_cast<int>(255.5 + m * (R - 255)), static_cast<int>(255.5 + m * (G - 255)),
                      static_cast<int>(255.5 + m * (B - 255)));
      } else {
        value = texel(static_cast<int>(R * m + 0.5), static_cast<int>(G * m + 0.5),
                      static_cast<int>(B * m + 0.5));
      }
      for (auto& image : brush.quadrantImages) {
        if (image != nullptr) image[i * IMAGE_SIDE + j] = value;
      }
    }
  }
}

}  // namespace qv
