#pragma once
// The animation on its worker thread, as both kinds of window run it: the
// Animation is built over the platform, its entry runs on the worker, its
// frame buffers follow the window's size between frames, and a stop request
// ends it at its next frame boundary.

#include <atomic>
#include <memory>
#include <thread>

#include "ground/input_state.h"
#include "hosts/portable/scene_options.h"
#include "hosts/sdl/shared/sdl_platform.h"
#include "scene/animation.h"

namespace qv::sdl {

class FrameBoundary;

class AnimationWorker {
 public:
  // Builds the animation, its back buffer in the surface's memory (the
  // window's own pixels where they fit); a fatal error while it does shows
  // its box and throws RuntimeErrorStop.
  AnimationWorker(SdlPlatform& platform, InputState& input, const SceneChoices& choices,
                  FrameSurface& surface);
  ~AnimationWorker();
  AnimationWorker(const AnimationWorker&) = delete;
  AnimationWorker& operator=(const AnimationWorker&) = delete;

  // Starts the worker, which wakes the main thread (mainThreadWake) once the
  // animation is over: Escape, a fatal error, a stop request.
  void start();
  bool done() const { return done_.load(); }

  // Asks the animation to end at its next frame boundary.
  void requestStop();
  // Waits for the worker after requestStop. A worker still inside a long
  // frame after WORKER_STOP_WAIT is not waited for: the process ends there
  // with 0 (the worker still uses everything that would be freed under it).
  void finish();

 private:
  SdlPlatform& platform_;
  InputState& input_;
  SceneChoices choices_;
  std::unique_ptr<Animation> animation_;
  std::unique_ptr<FrameBoundary> boundary_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace qv::sdl
