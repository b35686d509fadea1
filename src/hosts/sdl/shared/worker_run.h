#pragma once
// The one run of the animation for both kinds of window (the program's own,
// and one it did not create): the worker thread runs the animation, and the
// main thread waits for the window's events and for its wake
// (mainThreadWake), showing the frames the worker presents, until the
// animation ends, a stop signal comes, or the window closes or goes.

#include <functional>

#include "hosts/portable/scene_options.h"
#include "hosts/sdl/shared/frame_surface.h"
#include "hosts/sdl/shared/sdl_platform.h"

namespace qv {
class InputState;
}

namespace qv::sdl {

// A window as the run sees it from the main thread.
struct RunWindow {
  // The connection its events arrive on, to wait on; -1 when there is none
  // (they are then looked at every few milliseconds).
  int eventSource = -1;
  // Handles every event waiting, Xlib's or SDL's queued ones included;
  // false once the window has closed.
  std::function<bool()> takeEvents;
  // The run ends. `hide`: the worker is still inside its last frame and the
  // window still there; it goes from the screen now.
  std::function<void(bool hide)> leave = [](bool) {};
};

enum class RunEnd {
  Ended,       // the animation ended, a stop signal came, or the window closed
  WindowGone,  // someone else destroyed the window: calls on it fail now
};

// Runs the animation with `choices` into `surface`. A fatal error while the
// animation is built shows its box and ends the run at once.
RunEnd runWorker(const RunWindow& window, SdlPlatform& platform, InputState& input, FrameSurface& surface,
                 const SceneChoices& choices);

}  // namespace qv::sdl
