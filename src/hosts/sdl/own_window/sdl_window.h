#pragma once
// The animation's own window: it covers the primary display and carries the
// program's icon.

#include <SDL.h>

namespace qv::sdl {

inline constexpr const char* WINDOW_NAME = "Quorvalent";

struct AnimationWindow {
  SDL_Window* window = nullptr;  // null when it could not be made (reported)
  int screenWidth = 0;           // what a whole-screen frame covers
  int screenHeight = 0;
};

// SDL's video must be initialised. SDL_DestroyWindow releases it.
AnimationWindow openAnimationWindow();

}  // namespace qv::sdl
