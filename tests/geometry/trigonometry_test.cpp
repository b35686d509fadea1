// The program's own sine and cosine against MPFR's correctly rounded ones,
// over every angle the scene computes and over random arguments of the
// scene's range and of every size. How many of the C library's results
// differ is printed for the record: glibc rounds a few in a thousand the
// other way, and differently with and without FMA, which is why the core
// computes its own.

#include <gtest/gtest.h>
#include <mpfr.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

#include "geometry/trigonometry.h"
#include "ground/input_state.h"
#include "scene/animation.h"
#include "scene/animation_modules.h"
#include "support/test_platform.h"

namespace qv {
namespace {

// ./test runs the full sweep in the optimised build; a debug or sanitizer
// build, ten to thirty times slower, takes a small share of it.
#ifdef NDEBUG
constexpr int SCENE_FRAMES = 3000;
constexpr int RANDOM_ARGUMENTS = 2000000;
#else
constexpr int SCENE_FRAMES = 100;
constexpr int RANDOM_ARGUMENTS = 100000;
#endif

std::uint64_t bitsOf(double v) {
  return std::isnan(v) ? 0x7FF8000000000000u : std::bit_cast<std::uint64_t>(v);
}

// Holds the program's functions against MPFR's and counts glibc's misses.
class Comparison {
 public:
  Comparison() { mpfr_init2(value_, 53); }
  ~Comparison() { mpfr_clear(value_); }
  Comparison(const Comparison&) = delete;
  Comparison& operator=(const Comparison&) = delete;

  void add(double x) {
    ++arguments;
    compare(x, sine(x), std::sin(x), mpfr_sin);
    compare(x, cosine(x), std::cos(x), mpfr_cos);
  }

  void report(const char* what) const {
    std::printf(
        "%s: %ld arguments; of their sines and cosines, %ld of ours and %ld of the C library's are "
        "not correctly rounded\n",
        what, arguments, oursWrong, libraryWrong);
  }

  long arguments = 0;
  long oursWrong = 0;
  long libraryWrong = 0;

 private:
  void compare(double x, double ours, double library, int (*exact)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t)) {
    mpfr_set_d(value_, x, MPFR_RNDN);
    exact(value_, value_, MPFR_RNDN);
    const std::uint64_t expected = bitsOf(mpfr_get_d(value_, MPFR_RNDN));
    if (bitsOf(library) != expected) ++libraryWrong;
    if (bitsOf(ours) == expected) return;
    if (++oursWrong <= 10)
      ADD_FAILURE() << std::hexfloat << x << ": " << ours << " instead of " << mpfr_get_d(value_, MPFR_RNDN);
  }

  mpfr_t value_;
};

// Every angle whose sine and cosine the scene asks for in `frames` frames:
// the transforms' turn and spin angles after the set-up, and the wobble
// angles that the carriers' counters hand their hooks frame by frame.
std::vector<double> sceneAngles(std::uint32_t seed, int frames) {
  testing::TestPlatform platform;
  platform.screenW = 96;
  platform.screenH = 64;
  InputState input;
  Animation animation(platform, input);
  SceneOptions options;
  options.seedGiven = true;
  options.seed = seed;
  options.overlays = false;
  animation.setupScene(options);
  AnimationModules& m = animation.modules();

  std::vector<double> angles;
  for (int i = 0; i < TRANSFORM_SLOTS; ++i) {
    if (const Transform* t = m.transforms.at(i)) angles.insert(angles.end(), {t->turnAngle, t->spinAngle});
  }
  struct Recorder {
    Hook wobble;
    const double* value;
    std::vector<double>* angles;
    void record() {
      angles->push_back(*value);
      wobble();
    }
  };
  std::vector<Recorder> recorders;
  recorders.reserve(MAIN_EMITTER_COUNT + TRAIL_COUNT);
  const auto wrap = [&](SmRandUCNTfloat& counter) {
    recorders.push_back({counter.hook, &m.counterContext.currentCounterValue, &angles});
    counter.hook = Hook::member<&Recorder::record>(&recorders.back());
  };
  for (auto& counter : m.scene.wobbleCounters) wrap(counter);
  for (auto& counter : m.scene.trailWobbleCounters) wrap(counter);
  for (int f = 0; f < frames; ++f) animation.frameStep();
  animation.endScene();
  return angles;
}

TEST(Trigonometry, EveryAngleOfTheSceneIsCorrectlyRounded) {
  std::vector<double> angles;
  for (const std::uint32_t seed : {1u, 2u, 3u, 7u}) {
    const std::vector<double> seen = sceneAngles(seed, SCENE_FRAMES);
    EXPECT_GT(seen.size(), static_cast<std::size_t>(SCENE_FRAMES) * (MAIN_EMITTER_COUNT + TRAIL_COUNT))
        << seed;
    angles.insert(angles.end(), seen.begin(), seen.end());
  }
  // The emitters' rings: point i of n at i * 2 pi / n, at elevations k / 64.
  for (int n = 1; n <= 64; ++n) {
    for (int i = 0; i < n; ++i) angles.push_back(i * 2 * std::numbers::pi / n);
    angles.push_back(n / 64.0 * 2 * std::numbers::pi);
  }
  std::sort(angles.begin(), angles.end());
  angles.erase(std::unique(angles.begin(), angles.end()), angles.end());
  Comparison c;
  for (const double x : angles) c.add(x);
  c.report("the scene's angles");
  EXPECT_EQ(c.oursWrong, 0);
}

TEST(Trigonometry, RandomArgumentsOfEverySizeAreCorrectlyRounded) {
  std::mt19937_64 random(20261207);
  Comparison scene;  // the scene's angles lie within a turn and a bit
  std::uniform_real_distribution<double> turn(-8.0, 8.0);
  for (int i = 0; i < RANDOM_ARGUMENTS; ++i) scene.add(turn(random));
  scene.report("random arguments in [-8, 8]");
  EXPECT_EQ(scene.oursWrong, 0);

  Comparison sizes;  // every exponent, subnormals and the largest included; -0 stays -0
  std::uniform_int_distribution<std::uint64_t> anyBits(0, 0x7FEFFFFFFFFFFFFFu);
  for (int i = 0; i < RANDOM_ARGUMENTS / 10; ++i)
    sizes.add((i % 2 != 0 ? -1 : 1) * std::bit_cast<double>(anyBits(random)));
  constexpr double inf = std::numeric_limits<double>::infinity();
  for (const double x : {0.0, -0.0, 0x1p-1074, 0x1p-27, 0x1.fffffffffffffp-28, 0x1.921fb54442d18p-1,
                         0x1.921fb54442d19p-1, std::numbers::pi, 1e22, 0x1.6ac5b262ca1ffp+849,  // near k pi/2
                         std::numeric_limits<double>::max(), inf, -inf, std::nan("")})
    sizes.add(x);
  sizes.report("random arguments of every size");
  EXPECT_EQ(sizes.oursWrong, 0);
}

}  // namespace
}  // namespace qv
