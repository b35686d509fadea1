#pragma once
// A small animation for the scene's tests: a scripted platform with a tiny
// screen, no overlays, a fixed seed.

#include <memory>

#include "ground/input_state.h"
#include "scene/animation.h"
#include "scene/animation_modules.h"
#include "support/test_platform.h"

namespace qv::testing {

struct SceneRig {
  explicit SceneRig(std::uint32_t seed = 1) {
    platform.screenW = 96;
    platform.screenH = 64;
    animation = std::make_unique<Animation>(platform, input);
    SceneOptions options;
    options.seedGiven = true;
    options.seed = seed;
    options.overlays = false;
    animation->setupScene(options);
  }

  AnimationModules& m() { return animation->modules(); }
  Scene& scene() { return m().scene; }
  ParticleSystem& cloud() { return *m().systems.system(0); }
  Particle& particle(int i) { return cloud().particles[i]; }
  bool step() { return animation->frameStep(); }
  void steps(int n) {
    for (int i = 0; i < n; ++i) step();
  }

  TestPlatform platform;
  InputState input;
  std::unique_ptr<Animation> animation;
};

}  // namespace qv::testing
