#include "hosts/sdl/shared/worker_run.h"

#include <poll.h>

#include <memory>

#include "ground/runtime_error.h"
#include "hosts/sdl/shared/animation_worker.h"
#include "hosts/sdl/shared/stop_signals.h"
#include "hosts/sdl/shared/wake_pipe.h"

#if QV_HAVE_X11
#include "hosts/sdl/shared/x11_errors.h"
#endif

namespace qv::sdl {
namespace {

// How often a window without an event source to wait on is looked at.
constexpr int UNWATCHED_WINDOW_MS = 10;

// Whether the window is gone under the program (another client destroyed it).
bool windowGone() {
#if QV_HAVE_X11
  return takeWindowGoneError();
#else
  return false;
#endif
}

// Waits for the window's events or the wake; true when the wake came.
bool waitForWake(int eventSource) {
  const WakePipe& wake = mainThreadWake();
  pollfd sources[2] = {{wake.fd(), POLLIN, 0}, {eventSource, POLLIN, 0}};
  // A signal cuts the wait short; the caller looks at what it asked for.
  if (poll(sources, eventSource >= 0 ? 2 : 1, eventSource >= 0 ? -1 : UNWATCHED_WINDOW_MS) <= 0) return false;
  if ((sources[0].revents & POLLIN) == 0) return false;
  wake.drain();
  return true;
}

}  // namespace

RunEnd runWorker(const RunWindow& window, SdlPlatform& platform, InputState& input, FrameSurface& surface,
                 const SceneChoices& choices) {
  std::unique_ptr<AnimationWorker> worker;
  try {
    worker = std::make_unique<AnimationWorker>(platform, input, choices, surface);
  } catch (const RuntimeErrorStop&) {
    return RunEnd::Ended;  // the box has been shown; the program ends
  }
  worker->start();
  window.workerStarted();
  RunEnd end = RunEnd::Ended;
  while (window.takeEvents() && !stopSignalled() && !worker->done()) {
    if (windowGone()) {
      end = RunEnd::WindowGone;
      break;
    }
    if (waitForWake(window.eventSource)) surface.showPendingFrame();
  }
  // A close while the animation runs: the window goes at once, and the
  // worker ends at its next frame boundary.
  worker->requestStop();
  window.leave(!worker->done() && end != RunEnd::WindowGone);
  worker->finish();
  return end;
}

}  // namespace qv::sdl
