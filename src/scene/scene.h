#pragma once
// The animation's content and its frame loop: one cloud of 45300 particles
// fed by three wandering fountains and twelve trails, three disc brushes and
// the 48 counters that keep it all moving, then one frame after another until
// Escape is released. The scene drives the modules of AnimationModules and
// installs its three hooks into them (the renewal of due particles, the
// wobble of draw entries, the wobble of the carrier transforms).

#include <array>
#include <cstdint>

#include "counters/counters.h"
#include "scene/scene_constants.h"
#include "scene/wobble_hooks.h"

namespace qv {

struct AnimationModules;
struct SceneOptions;

// Where a frame step stands, for a driver that times the steps.
enum class FrameStepPoint {
  UpdateBegins,     // after the frame's clock has started
  UpdateDone,       // counters, transforms, emitters and particles moved
  CompositionDone,  // the frame composed and presented
};

class FrameStepObserver {
 public:
  virtual ~FrameStepObserver() = default;
  virtual void atFrameStep(FrameStepPoint point) = 0;

 protected:
  FrameStepObserver() = default;
  FrameStepObserver(const FrameStepObserver&) = default;
  FrameStepObserver& operator=(const FrameStepObserver&) = default;
};

class Scene {
 public:
  explicit Scene(AnimationModules& modules);
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  // The set-up of runScene, everything before the first frame.
  void setupScene(const SceneOptions& options);
  // One frame: 1 to go on, 0 when Escape was released.
  int frameStep();
  // The set-up, frames until the frame step says stop, the working tables
  // released.
  void runScene(const SceneOptions& options);

  // The hooks.
  std::int32_t respawnFromEmitter();
  void placeFromSpawn();
  void wobbleEntry();

  // Scene objects.
  std::array<SmRandUCNTfloat, MAIN_EMITTER_COUNT> wobbleCounters;
  std::array<SmRandUCNTfloat, MAIN_EMITTER_COUNT> radiusCounters;
  std::array<SmRandUCNTfloat, MAIN_EMITTER_COUNT> speedCounters;
  std::array<RandUCNTswitch, MAIN_EMITTER_COUNT> emitterSwitches;
  std::array<SmRandUCNTfloat, TRAIL_COUNT> trailWobbleCounters;
  std::array<SmRandUCNTfloat, TRAIL_COUNT> trailRadiusCounters;
  std::array<SmRandUCNTfloat, TRAIL_COUNT> trailSizeCounters;
  std::array<double, MAIN_EMITTER_COUNT> emitterSpeed{};
  std::array<double, TRAIL_COUNT> trailSize{1.0};

  std::int32_t colourPhase = 0;
  std::int32_t startupFrames = 0;

  // The wobble of an entry depends only on its group and countdown; the
  // offsets of the countdowns the scene gives out are worked out once per
  // noise curve, each by the very expression wobbleEntry would evaluate.
  struct WobbleOffset {
    double dy = 0.0;
    double dx = 0.0;
  };
  std::array<WobbleOffset, SLOW_FOUNTAIN_LIFE + 1> mainWobble{};
  std::array<WobbleOffset, TRAIL_DOT_LIFE + 1> trailWobble{};
  // Fills the two tables from the current noise curve; run again whenever
  // the curve is refilled.
  void buildWobbleTables();
  // The offsets of an entry of the main (or trail) group with countdown d,
  // from the tables where they hold d.
  WobbleOffset wobbleOffset(bool trail, std::int32_t d) const;

  // Told between the steps of every frame when set; nothing is done for it
  // otherwise.
  FrameStepObserver* observer = nullptr;

 private:
  void setupBrushes(const SceneOptions& options);
  void setupParticleSystem();
  void setupFountains();
  void setupTrails();
  void setupTransforms();
  void registerCounters();
  void applyColourSet();
  void notify(FrameStepPoint point) {
    if (observer != nullptr) observer->atFrameStep(point);
  }

  AnimationModules& m_;
  std::array<TransformWobble, MAIN_EMITTER_COUNT> fountainWobbles_;
  std::array<TransformWobble, TRAIL_COUNT> trailWobbles_;
};

}  // namespace qv
