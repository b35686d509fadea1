#include "particle_pictures.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "canvas.h"

namespace qv::resgen {
namespace {

// A small fixed generator of our own, so that the pictures never depend on a
// library's random numbers.
class SceneRandom {
 public:
  explicit SceneRandom(std::uint32_t seed) : state_(seed) {}
  double unit() {  // [0, 1)
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) * (1.0 / 16777216.0);
  }
  double around(double centre, double spread) { return centre + (unit() * 2 - 1) * spread; }

 private:
  std::uint32_t state_;
};

struct Vec {
  double x = 0, y = 0, z = 0;
};

// A point uniformly inside the unit ball.
Vec inBall(SceneRandom& rnd) {
  for (;;) {
    Vec v{rnd.unit() * 2 - 1, rnd.unit() * 2 - 1, rnd.unit() * 2 - 1};
    if (v.x * v.x + v.y * v.y + v.z * v.z <= 1) return v;
  }
}

// A unit direction in the x-z plane.
Vec flatDirection(SceneRandom& rnd) {
  for (;;) {
    const double x = rnd.unit() * 2 - 1, z = rnd.unit() * 2 - 1;
    const double q = x * x + z * z;
    if (q > 0.01 && q <= 1) {
      const double l = std::sqrt(q);
      return {x / l, 0, z / l};
    }
  }
}

// Turned about the x axis by 22.5 degrees, so that flat rings show as ellipses.
Vec tilt(Vec v) {
  constexpr double C = 0.9238795325112867, S = 0.3826834323650898;
  return {v.x, v.y * C - v.z * S, v.y * S + v.z * C};
}

// Turned by 60 degrees: a flat shape seen almost from above.
Vec tiltSteep(Vec v) {
  constexpr double C = 0.5, S = 0.8660254037844386;
  return {v.x, v.y * C - v.z * S, v.y * S + v.z * C};
}

struct Particle {
  double x = 0, y = 0;  // pixels
  double depth = 0;     // larger is farther
  double scale = 1;     // perspective size factor
  int colour = 0;       // 0..2 within the colour set
};

constexpr double CAMERA_DISTANCE = 3.2;
constexpr double FOCAL = 13.0 * CAMERA_DISTANCE;  // the unit ball fills about 26 pixels

Particle project(Vec v, int colour) {
  const double w = v.z + CAMERA_DISTANCE;
  return {PREVIEW_SIDE / 2.0 + FOCAL * v.x / w, PREVIEW_SIDE / 2.0 - FOCAL * v.y / w, v.z,
          CAMERA_DISTANCE / w, colour};
}

// The arrangements the animation shows.
std::vector<Particle> cloud(SceneRandom& rnd, int count) {
  std::vector<Particle> out;
  for (int i = 0; i < count; ++i) out.push_back(project(inBall(rnd), i % 3));
  return out;
}

std::vector<Particle> fountains(SceneRandom& rnd, int count) {
  std::vector<Particle> out;
  for (int i = 0; i < count; ++i) {
    const int f = i % 3;
    const double t = rnd.unit() * 1.3;
    const Vec base{0, -0.9, 0};
    const Vec v{rnd.around((f - 1) * 0.7, 0.1), rnd.around(2.6, 0.1), rnd.around((f - 1) * -0.3, 0.1)};
    const double g = -3.4;
    out.push_back(project({base.x + v.x * t, base.y + v.y * t + 0.5 * g * t * t, base.z + v.z * t}, f));
  }
  return out;
}

std::vector<Particle> orbit(SceneRandom& rnd, int count) {
  std::vector<Particle> out;
  for (int i = 0; i < count; ++i) {
    const Vec d = flatDirection(rnd);
    const double r = rnd.around(0.85, 0.08);
    out.push_back(project(tilt({d.x * r, rnd.around(0, 0.05), d.z * r}), i % 3));
  }
  for (int i = 0; i < count / 4; ++i) {
    const Vec c = inBall(rnd);
    out.push_back(project({c.x * 0.3, c.y * 0.3, c.z * 0.3}, i % 3));
  }
  return out;
}

std::vector<Particle> spiral(SceneRandom& rnd, int count) {
  // Unit vectors around the circle in 64 steps, made by repeated turning
  // through a fixed angle.
  constexpr int STEPS = 64;
  constexpr double C = 0.9951847266721969, S = 0.0980171403295606;
  double ring[STEPS][2];
  double x = 1, z = 0;
  for (auto& r : ring) {
    r[0] = x;
    r[1] = z;
    const double nx = x * C - z * S;
    z = x * S + z * C;
    x = nx;
  }
  std::vector<Particle> out;
  for (int i = 0; i < count; ++i) {
    const int arm = i % 2;
    const double u = rnd.unit();
    const int step = (static_cast<int>(u * 96) + arm * STEPS / 2) % STEPS;
    const double r = 0.12 + 0.85 * u;
    const Vec p{ring[step][0] * r + rnd.around(0, 0.07), rnd.around(0, 0.05),
                ring[step][1] * r + rnd.around(0, 0.07)};
    out.push_back(project(tiltSteep(p), static_cast<int>(u * 3)));
  }
  return out;
}

// Brush styles, after the program's own brushes.
double discShape(double dx, double dy, double r) { return dx * dx + dy * dy <= r * r ? 1.0 : 0.0; }

double ringShape(double dx, double dy, double r, double thickness) {
  const double q = dx * dx + dy * dy;
  return q <= r * r && q >= (r - thickness) * (r - thickness) ? 1.0 : 0.0;
}

double spotShape(double dx, double dy, double r) {
  const double q = (dx * dx + dy * dy) / (r * r);
  return q < 1 ? (1 - q) * (1 - q) : 0.0;
}

double flareShape(double dx, double dy, double r) {
  const double q = (dx * dx + dy * dy) / (r * r);
  if (q >= 1) return 0.0;
  const double core = 1 / (1 + q * 60);
  const double w = 0.012 * r * r;
  const double rays = (w / (w + dy * dy) + w / (w + dx * dx)) * (1 - q);
  return std::min(1.0, core + 0.55 * rays);
}

// A lit ball: diffuse light from the upper left and a small highlight.
bool ballShade(double dx, double dy, double r, Rgb base, Rgb& out) {
  const double q = (dx * dx + dy * dy) / (r * r);
  if (q > 1) return false;
  const double nx = dx / r, ny = dy / r, nz = std::sqrt(1 - q);
  const double diffuse = std::max(0.0, nx * -0.4511 + ny * -0.5514 + nz * 0.7018);
  const double h = std::max(0.0, nx * -0.2445 + ny * -0.2989 + nz * 0.9224);
  const double h2 = h * h, h4 = h2 * h2, h8 = h4 * h4, h16 = h8 * h8;
  const double highlight = 0.75 * h16 * h8;
  const double light = 0.12 + 0.88 * diffuse;
  out = {base.r * light + highlight, base.g * light + highlight, base.b * light + highlight};
  return true;
}

enum class Style { Disc, Ball, Spot, Ring, Point, Flare };

struct PreviewRecipe {
  std::uint32_t seed;
  int colourSet;
  Style style;
  std::vector<Particle> (*arrange)(SceneRandom&, int);
  int count;
  double size;      // brush radius in pixels at the cloud's centre
  double strength;  // how much light one particle adds
};

const PreviewRecipe PREVIEWS[PREVIEW_COUNT] = {
    {11, 0, Style::Disc, cloud, 46, 1.7, 0.65},      {23, 0, Style::Ball, cloud, 26, 2.6, 1.0},
    {37, 0, Style::Spot, fountains, 120, 2.2, 0.35}, {41, 1, Style::Ring, cloud, 20, 3.0, 0.9},
    {53, 0, Style::Point, fountains, 260, 0.7, 0.6}, {67, 1, Style::Flare, cloud, 22, 3.6, 0.9},
    {71, 1, Style::Disc, orbit, 60, 1.3, 0.7},       {89, 1, Style::Spot, spiral, 170, 1.9, 0.4},
};

}  // namespace

RgbaImage makePreview(int number) {
  if (number < 1 || number > PREVIEW_COUNT) throw std::out_of_range("preview numbers run from 1 to 8");
  const PreviewRecipe& recipe = PREVIEWS[number - 1];
  SceneRandom rnd(recipe.seed);
  std::vector<Particle> particles = recipe.arrange(rnd, recipe.count);
  // Far particles first, so near opaque balls cover them.
  std::stable_sort(particles.begin(), particles.end(),
                   [](const Particle& a, const Particle& b) { return a.depth > b.depth; });
  Canvas canvas(PREVIEW_SIDE, PREVIEW_SIDE);
  for (const Particle& p : particles) {
    const Rgb colour = rgbFromHex(SCENE_COLOURS[recipe.colourSet][p.colour]);
    const double r = recipe.size * p.scale;
    switch (recipe.style) {
      case Style::Disc:
        canvas.addLight(p.x, p.y, r, colour, recipe.strength,
                        [r](double dx, double dy) { return discShape(dx, dy, r); });
        break;
      case Style::Ring:
        canvas.addLight(p.x, p.y, r, colour, recipe.strength,
                        [r](double dx, double dy) { return ringShape(dx, dy, r, 0.9); });
        break;
      case Style::Spot:
        canvas.addLight(p.x, p.y, r, colour, recipe.strength,
                        [r](double dx, double dy) { return spotShape(dx, dy, r); });
        break;
      case Style::Point:
        canvas.addLight(p.x, p.y, r, colour, recipe.strength,
                        [r](double dx, double dy) { return discShape(dx, dy, r); });
        break;
      case Style::Flare:
        canvas.addLight(p.x, p.y, r, colour, recipe.strength,
                        [r](double dx, double dy) { return flareShape(dx, dy, r); });
        break;
      case Style::Ball:
        canvas.paint(p.x, p.y, r, [r, colour](double dx, double dy, Rgb& out) {
          return ballShade(dx, dy, r, colour, out);
        });
        break;
    }
  }
  RgbaImage image = canvas.toImage();
  for (std::uint32_t& px : image.pixels) px |= 0xFF000000u;  // previews are drawn on black
  return image;
}

RgbaImage makeEmblem(int side) {
  if (side < 8) throw std::invalid_argument("emblem needs at least 8 pixels");
  const double s = side;
  const double c = s / 2;
  Canvas canvas(side, side);
  // The dark ground: a disc filling the icon, edges smoothed.
  const double ground = s * 0.48;
  const Rgb groundColour = rgbFromHex(0x0C1222);
  canvas.paint(c, c, ground, [ground, groundColour](double dx, double dy, Rgb& out) {
    if (dx * dx + dy * dy > ground * ground) return false;
    out = groundColour;
    return true;
  });
  // Three discs on a triangle, each with a soft halo; where they overlap
  // their light adds up to the colours between them.
  const double offsets[3][2] = {{0, -1}, {-0.8660254037844386, 0.5}, {0.8660254037844386, 0.5}};
  const double spread = s * 0.15, radius = s * 0.165, halo = s * 0.11;
  for (int i = 0; i < 3; ++i) {
    const double x = c + offsets[i][0] * spread, y = c + offsets[i][1] * spread;
    const Rgb colour = rgbFromHex(SCENE_COLOURS[0][i]);
    canvas.addLight(x, y, radius + halo, colour, 1.0, [radius, halo](double dx, double dy) {
      const double q = dx * dx + dy * dy;
      if (q <= radius * radius) return 0.85;
      const double d = std::sqrt(q) - radius;
      if (d >= halo) return 0.0;
      const double t = 1 - d / halo;
      return 0.4 * t * t;
    });
  }
  // A few small sparks around, as particles flying off.
  if (side >= 32) {
    const double sparks[5][3] = {
        {0.80, 0.26, 0}, {0.17, 0.30, 1}, {0.78, 0.75, 2}, {0.22, 0.72, 0}, {0.52, 0.86, 1}};
    for (const auto& sp : sparks) {
      const double r = s * 0.035;
      canvas.addLight(sp[0] * s, sp[1] * s, r * 2, rgbFromHex(SCENE_COLOURS[0][static_cast<int>(sp[2])]), 1.0,
                      [r](double dx, double dy) { return spotShape(dx, dy, r * 2); });
    }
  }
  return canvas.toImage();
}

IndexedImage makeStarFlare() {
  IndexedImage image(STAR_FLARE_SIDE, STAR_FLARE_SIDE);
  const int centre = STAR_FLARE_SIDE / 2;
  const double edge = centre;
  for (int y = 0; y < STAR_FLARE_SIDE; ++y)
    for (int x = 0; x < STAR_FLARE_SIDE; ++x) {
      const double dx = x - centre, dy = y - centre;
      const double q = (dx * dx + dy * dy) / (edge * edge);
      if (q >= 1) continue;
      const double window = (1 - q) * (1 - q);
      const double core = 1 / (1 + (dx * dx + dy * dy) / 64);
      const double glow = 0.22 * window;
      // Long rays along the axes, shorter fainter ones on the diagonals.
      const double w = 5.0;
      const double ax = std::abs(dx) / edge, ay = std::abs(dy) / edge;
      const double fadeX = (1 - ax) * (1 - ax) * (1 - ax), fadeY = (1 - ay) * (1 - ay) * (1 - ay);
      const double rays = w / (w + dy * dy) * fadeX + w / (w + dx * dx) * fadeY;
      const double u = (dx + dy) * 0.7071067811865476, v = (dx - dy) * 0.7071067811865476;
      const double au = std::abs(u) / (edge * 0.6), av = std::abs(v) / (edge * 0.6);
      const double fadeU = au < 1 ? (1 - au) * (1 - au) * (1 - au) : 0.0;
      const double fadeV = av < 1 ? (1 - av) * (1 - av) * (1 - av) : 0.0;
      const double diagonal = 0.45 * (w / (w + v * v) * fadeU + w / (w + u * u) * fadeV);
      double level = window * (core + glow + 0.9 * rays + diagonal);
      if (level > 1) level = 1;
      image.at(x, y) = static_cast<std::uint8_t>(level * 255 + 0.5);
    }
  return image;
}

}  // namespace qv::resgen
