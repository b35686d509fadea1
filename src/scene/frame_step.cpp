// One frame of the animation: move everything, compose and present, measure
// and pace, then react to what the user did since the last frame.

#include "ground/input_state.h"
#include "scene/animation_modules.h"
#include "scene/scene.h"

namespace qv {

int Scene::frameStep() {
  m_.clock.beginFrameTiming();
  notify(FrameStepPoint::UpdateBegins);

  m_.registry.tickCounters();
  m_.transforms.updateTransforms();
  for (Emitter& e : m_.mainEmitters) e.startFrame();
  for (Emitter& e : m_.trailEmitters) e.startFrame();
  SystemTable& systems = m_.systems;
  // Each drawing thread moves the particles it will draw, so they stay on
  // its core.
  m_.update.parts = m_.composer.lendDrawingThreads(m_.update.runner, m_.update.partFirsts);
  if (!systems.empty()) {
    // nextSystem comes back to the first system after the last one.
    do {
      m_.update.linkPass();
      m_.update.moveParticles();
    } while (systems.nextSystem() != 0);
  }
  notify(FrameStepPoint::UpdateDone);

  m_.composer.renderFrame();
  notify(FrameStepPoint::CompositionDone);
  m_.clock.endFrameTiming();
  m_.composer.noteFrameWork(m_.clock.slotValue(m_.clock.meter().clockSlot));

  // A machine too slow for the animation early in the run draws at half
  // resolution from then on. An all-zero window reads as the clock rate
  // (the clock never divides by a zero sum), so a very fast frame never
  // counts as slow.
  if (startupFrames < STARTUP_FRAMES) {
    const FrameRateMeter& meter = m_.clock.meter();
    if (meter.windowFilled != 0 && meter.framesPerSecond < SLOW_FRAMES_PER_SECOND)
      m_.frame.halfResRequested = 1;
    startupFrames += 1;
  }
  m_.clock.paceFrame(TARGET_FRAMES_PER_SECOND);

  // Every event is taken at once; whatever arrives later waits for the next
  // frame.
  const InputSnapshot in = m_.input.takeInputEvents();
  if (in.keysReleased[KEY_ENTER] != 0) {
    colourPhase = (colourPhase + 1) % 2;
    applyColourSet();
  }
  if (in.keysReleased[KEY_ESCAPE] != 0) return 0;

  // The cloud's transform; the composition leaves it current, and naming it
  // keeps the controls on the cloud whatever ran last.
  TransformTable& t = m_.transforms;
  t.selectTransform(CLOUD_TRANSFORM);
  Vec3& position = t.current().position;
  if (in.keysPressed[KEY_UP] != 0 || in.wheel > 0) {
    if (position.z > NEAREST_Z) position.z -= DISTANCE_STEP;
  }
  if (in.keysPressed[KEY_DOWN] != 0 || in.wheel < 0) {
    if (position.z < FARTHEST_Z) position.z += DISTANCE_STEP;
  }

  if (in.mouseMoved != 0 && in.mouseDX > SPIN_MOUSE_THRESHOLD) {
    t.setSpin(0, -1, 0);
  } else if (in.mouseMoved != 0 && in.mouseDX < -SPIN_MOUSE_THRESHOLD) {
    t.setSpin(0, 1, 0);
  }
  if (in.keysPressed[KEY_LEFT] != 0) t.setSpin(0, -1, 0);
  if (in.keysPressed[KEY_RIGHT] != 0) t.setSpin(0, 1, 0);
  return 1;
}

void Scene::applyColourSet() {
  const auto& set = BRUSH_COLOUR_SETS[static_cast<std::size_t>(colourPhase % 2)];
  for (int i = 0; i < 3; ++i) {
    m_.brushes.selectBrush(i);
    m_.brushes.current().colour = set[static_cast<std::size_t>(i)];
  }
}

}  // namespace qv
