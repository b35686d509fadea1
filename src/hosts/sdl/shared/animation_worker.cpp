// The one place that knows the animation object: it is built here, its
// entry runs on the worker thread, and its frame buffer follows the window's
// size between frames.

#include "hosts/sdl/shared/animation_worker.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "frame/frame_buffer.h"
#include "ground/runtime_error.h"
#include "hosts/sdl/shared/wake_pipe.h"
#include "scene/scene.h"

namespace qv::sdl {

namespace {

// How long a stop waits for the worker to reach a frame boundary and end.
constexpr auto WORKER_STOP_WAIT = std::chrono::milliseconds(200);
// The worker's start, as the window system's thread start gives the window
// time to show first.
constexpr auto WORKER_START_DELAY = std::chrono::milliseconds(3);

}  // namespace

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

AnimationWorker::AnimationWorker(SdlPlatform& platform, InputState& input, const SceneChoices& choices,
                                 FrameSurface& surface)
    : platform_(platform),
      input_(input),
      choices_(choices),
      animation_(std::make_unique<Animation>(platform, input, &surface)),
      boundary_(std::make_unique<FrameBoundary>(platform, input, *animation_, surface)) {
  platform.setFrameBoundaryHook(Hook::member<&FrameBoundary::atBoundary>(boundary_.get()));
  animation_->scene().observer = boundary_.get();
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
    std::fflush(nullptr);
    std::_Exit(0);
  }
  thread_.join();
}

}  // namespace qv::sdl
