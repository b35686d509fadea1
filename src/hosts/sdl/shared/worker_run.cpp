#include "hosts/sdl/shared/worker_run.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "frame/frame_buffer.h"
#include "ground/input_state.h"
#include "ground/runtime_error.h"
#include "hosts/sdl/shared/stop_signals.h"
#include "hosts/sdl/shared/wake_pipe.h"
#include "scene/animation.h"
#include "scene/scene.h"

#if QV_HAVE_X11
#include "hosts/sdl/shared/x11_errors.h"
#endif

namespace qv::sdl {
namespace {

// How often a window without an event source to wait on is looked at.
constexpr int UNWATCHED_WINDOW_MS = 10;
// How long a stop waits for the worker to reach a frame boundary and end.
constexpr auto WORKER_STOP_WAIT = std::chrono::milliseconds(200);
// The worker's start, as the window system's thread start gives the window
// time to show first.
constexpr auto WORKER_START_DELAY = std::chrono::milliseconds(3);

// Runs on the worker between frames: stop requests after each pacing sleep,
// the window's size as each frame begins (a frame slower than the pace has
// no sleep at all).
class FrameBoundary : public FrameStepObserver {
 public:
  FrameBoundary(SdlPlatform& platform, InputState& input, Animation& animation, FrameSurface& surface)
      : platform_(platform), input_(input), animation_(animation), surface_(surface) {}

  void atBoundary() {
    // A stop request: the frame loop ends at its next look at the input,
    // however often the scene clears the record in between.
    if (platform_.stopRequested()) input_.recordKeyUp(VKEY_ESCAPE);
  }

  void atFrameStep(FrameStepPoint point) override {
    if (point == FrameStepPoint::UpdateBegins) followWindowSize();
  }

 private:
  // A window that changed size gets frame buffers of its new size; the
  // margins the scene chose stay. New buffers also let go of the window's
  // old pixels, which the window replaces then.
  void followWindowSize() {
    FrameBuffer& frame = animation_.frameBuffer();
    // Before the scene has made its buffers it will make them at the new size.
    if (frame.geometry().pixels == nullptr) return;
    int w = platform_.screenWidth();
    int h = platform_.screenHeight();
    const bool resized = platform_.takeResize(w, h);
    if (!resized && !surface_.wantsNewPixels()) return;
    if (w <= 0 || h <= 0) return;
    const int marginX = frame.geometry().marginX;
    const int marginY = frame.geometry().marginY;
    frame.setFrameSize(frame.fullScreen() != 0 ? FULL_SCREEN_REQUEST : w, h);
    frame.setMargins(marginX, marginY);
    frame.createFrameBuffers();
  }

  SdlPlatform& platform_;
  InputState& input_;
  Animation& animation_;
  FrameSurface& surface_;
};

// The animation on its worker thread: built over the platform, its
// frame buffers following the window's size between frames, and ended by
// a stop request at its next frame boundary.
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

  // Starts the worker, which wakes the main thread once the animation is
  // over: Escape, a fatal error, a stop request.
  void start();
  bool done() const { return done_.load(); }

  // Asks the animation to end at its next frame boundary.
  void requestStop();
  // Waits for the worker after requestStop. A worker still inside a long
  // frame after WORKER_STOP_WAIT is not waited for: the process ends there,
  // by the stop signal or with 0 (the worker still uses everything that
  // would be freed under it).
  void finish();

 private:
  SdlPlatform& platform_;
  InputState& input_;
  SceneChoices choices_;
  std::unique_ptr<Animation> animation_;
  FrameBoundary boundary_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

AnimationWorker::AnimationWorker(SdlPlatform& platform, InputState& input, const SceneChoices& choices,
                                 FrameSurface& surface)
    : platform_(platform),
      input_(input),
      choices_(choices),
      animation_(std::make_unique<Animation>(platform, input, &surface)),
      boundary_(platform, input, *animation_, surface) {
  platform.setFrameBoundaryHook(Hook::member<&FrameBoundary::atBoundary>(&boundary_));
  animation_->scene().observer = &boundary_;
  animation_->setDrawingThreads(choices.threads);
}

AnimationWorker::~AnimationWorker() {
  if (thread_.joinable()) {
    requestStop();
    finish();
  }
  platform_.setFrameBoundaryHook(Hook());
  animation_->scene().observer = nullptr;
}

void AnimationWorker::start() {
  thread_ = std::thread([this] {
    std::this_thread::sleep_for(WORKER_START_DELAY);
    try {
      animation_->animationMainWith(choices_.scene);
    } catch (const RuntimeErrorStop&) {
      // The box has been shown; the program closes.
    }
    done_.store(true);
    mainThreadWake().notify();
  });
}

void AnimationWorker::requestStop() {
  platform_.requestStop();
  // Also straight into the record, for frames too slow to sleep at all.
  input_.recordKeyUp(VKEY_ESCAPE);
}

void AnimationWorker::finish() {
  if (!thread_.joinable()) return;
  const auto deadline = std::chrono::steady_clock::now() + WORKER_STOP_WAIT;
  while (!done_.load() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!done_.load()) {
    thread_.detach();
    endAsSignalled();
    std::fflush(nullptr);
    std::_Exit(0);
  }
  thread_.join();
}

// Whether the window is gone under the program (another client destroyed it).
bool windowGone() {
#if QV_HAVE_X11
  return takeWindowGoneError();
#else
  return false;
#endif
}

}  // namespace

RunEnd runWorker(const RunWindow& window, SdlPlatform& platform, InputState& input, FrameSurface& surface,
                 const SceneChoices& choices) {
  if (stopSignalled()) return RunEnd::Ended;  // it came while the window was made
  std::unique_ptr<AnimationWorker> worker;
  try {
    worker = std::make_unique<AnimationWorker>(platform, input, choices, surface);
  } catch (const RuntimeErrorStop&) {
    return RunEnd::Ended;  // the box has been shown; the program ends
  }
  worker->start();
  RunEnd end = RunEnd::Ended;
  while (window.takeEvents() && !stopSignalled() && !worker->done()) {
    if (windowGone()) {
      end = RunEnd::WindowGone;
      break;
    }
    const int limit = window.eventSource >= 0 ? -1 : UNWATCHED_WINDOW_MS;
    if (waitForWake(window.eventSource, limit)) surface.showPendingFrame();
  }
  // A close while the animation runs: the window goes at once, and the
  // worker ends at its next frame boundary.
  worker->requestStop();
  window.leave(!worker->done() && end != RunEnd::WindowGone);
  worker->finish();
  return end;
}

}  // namespace qv::sdl
