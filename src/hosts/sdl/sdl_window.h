#pragma once
// The animation's window: its own, covering the primary display with the
// program's icon, or an existing X11 window taken over at its size.

#include <SDL.h>

#include "hosts/sdl/command_line.h"

namespace qv::sdl {

struct AnimationWindow {
  SDL_Window* window = nullptr;  // null when it could not be made (reported)
  int screenWidth = 0;           // what a whole-screen frame covers
  int screenHeight = 0;
  bool foreign = false;
};

// SDL's video must be initialised.
// SDL_DestroyWindow releases it; an existing window stays as it was.
AnimationWindow openAnimationWindow(const LaunchRequest& request);

}  // namespace qv::sdl
