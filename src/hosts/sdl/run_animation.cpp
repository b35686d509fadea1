// The one place that knows the animation object: it is built here, its
// entry runs on the worker thread, and its frame buffer follows the window's
// size between frames.

#include "hosts/sdl/run_animation.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "frame/frame_buffer.h"
#include "ground/input_state.h"
#include "ground/runtime_error.h"
#include "hosts/sdl/dark_displays.h"
#include "hosts/sdl/event_input.h"
#include "hosts/sdl/sdl_platform.h"
#include "hosts/sdl/sdl_window.h"
#include "scene/animation.h"

namespace qv::sdl {
namespace {

// How long a close waits for the worker to reach a frame boundary and end.
constexpr auto WORKER_STOP_WAIT = std::chrono::milliseconds(200);
// The worker's start, as the window system's thread start gives the window
// time to show first.
constexpr auto WORKER_START_DELAY = std::chrono::milliseconds(3);

// Runs on the worker at every pacing sleep, that is between frames.
class FrameBoundary {
 public:
  FrameBoundary(SdlPlatform& platform, InputState& input, Animation& animation)
      : platform_(platform), input_(input), animation_(animation) {}

  void atBoundary() {
    // A close request: the frame loop ends at its next look at the input,
    // however often the scene clears the record in between.
    if (platform_.stopRequested()) input_.recordKeyUp(VKEY_ESCAPE);
    followWindowSize();
  }

 private:
  // A window that changed size gets frame buffers of its new size; the
  // margins the scene chose stay.
  void followWindowSize() {
    FrameBuffer& frame = animation_.frameBuffer();
    // Before the scene has made its buffers it will make them at the new size.
    if (frame.geometry().pixels == nullptr) return;
    int w = 0;
    int h = 0;
    if (!platform_.takeResize(w, h) || w <= 0 || h <= 0) return;
    const int marginX = frame.geometry().marginX;
    const int marginY = frame.geometry().marginY;
    frame.setFrameSize(frame.fullScreen() != 0 ? FULL_SCREEN_REQUEST : w, h);
    frame.setMargins(marginX, marginY);
    frame.createFrameBuffers();
  }

  SdlPlatform& platform_;
  InputState& input_;
  Animation& animation_;
};

}  // namespace

int runAnimation(const LaunchRequest& request, std::span<const EmbeddedResource> resources) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "quorvalent: no display to run on: %s\n", SDL_GetError());
    return 1;
  }
  const AnimationWindow target = openAnimationWindow(request);
  if (target.window == nullptr) {
    SDL_Quit();
    return 1;
  }
  // Dark windows on the other displays: only around the program's own window.
  DarkDisplays darkDisplays(target.foreign ? nullptr : target.window);
  darkDisplays.follow();
  const Uint32 frameEvent = SDL_RegisterEvents(2);
  const Uint32 workerEndEvent = frameEvent + 1;

  auto platform = std::make_unique<SdlPlatform>(target.window, frameEvent, request.showFps, resources);
  platform->setScreenSize(target.screenWidth, target.screenHeight);
  int unused = 0;
  platform->takeResize(unused, unused);  // the first size is no resize
  platform->acquireSurface();

  auto input = std::make_unique<InputState>();
  std::unique_ptr<Animation> animation;
  try {
    animation = std::make_unique<Animation>(*platform, *input);
  } catch (const RuntimeErrorStop&) {
    darkDisplays.closeAll();
    SDL_DestroyWindow(target.window);
    SDL_Quit();
    return 0;
  }
  FrameBoundary boundary(*platform, *input, *animation);
  platform->setFrameBoundaryHook(Hook::member<&FrameBoundary::atBoundary>(&boundary));

  std::atomic<bool> workerDone{false};
  std::thread worker([&] {
    std::this_thread::sleep_for(WORKER_START_DELAY);
    try {
      animation->animationMain();
    } catch (const RuntimeErrorStop&) {
      // The box has been shown; the program closes.
    }
    workerDone.store(true);
    SDL_Event e{};
    e.type = workerEndEvent;
    SDL_PushEvent(&e);
  });
  SDL_ShowCursor(SDL_DISABLE);

  SDL_Event e;
  bool running = true;
  while (running && SDL_WaitEvent(&e) != 0) {
    if (darkDisplays.takeEvent(e)) continue;  // displays came or went, or a dark window's own paint
    if (e.type == frameEvent) {
      platform->showPendingFrame();
    } else if (e.type == workerEndEvent || e.type == SDL_QUIT) {
      running = false;
    } else if (e.type == SDL_WINDOWEVENT) {
      switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED: platform->repaint(); break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          platform->acquireSurface();
          platform->setScreenSize(e.window.data1, e.window.data2);
          break;
        case SDL_WINDOWEVENT_CLOSE: running = false; break;
        default: break;
      }
    } else {
      recordInputEvent(e, *input);
    }
  }

  // A close while the animation runs: it goes at once from the screen, and
  // the worker is asked to end at its next frame boundary.
  platform->requestStop();
  // Also straight into the record, for frames too slow to sleep at all.
  input->recordKeyUp(VKEY_ESCAPE);
  if (!workerDone.load()) SDL_HideWindow(target.window);
  darkDisplays.closeAll();
  const auto deadline = std::chrono::steady_clock::now() + WORKER_STOP_WAIT;
  while (!workerDone.load() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  if (!workerDone.load()) {
    // Still inside a long frame: the process ends without it (the worker
    // still uses everything it would otherwise be freed under it).
    worker.detach();
    std::fflush(nullptr);
    std::_Exit(0);
  }
  worker.join();
  animation.reset();
  platform.reset();
  SDL_DestroyWindow(target.window);
  SDL_Quit();
  return 0;
}

}  // namespace qv::sdl
