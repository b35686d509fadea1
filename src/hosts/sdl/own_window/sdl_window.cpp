#include "hosts/sdl/own_window/sdl_window.h"

#include <cstdio>

#include "hosts/portable/icon_decoder.h"
#include "hosts/portable/picture_codec.h"
#include "hosts/portable/resource_table.h"

namespace qv::sdl {
namespace {

constexpr int WINDOW_ICON_SIZE = 32;

// The window icon from "ICON_MAIN"; without it the window keeps SDL's own.
void setWindowIcon(SDL_Window* window) {
  const auto bytes = findEmbeddedResource(programResources(), "ICON_MAIN", RESOURCE_TYPE_GROUP_ICON);
  DecodedPicture icon;
  if (bytes.empty() || !decodeIconImage(bytes, WINDOW_ICON_SIZE, icon)) return;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.pixels, icon.width, icon.height, 32,
                                                            icon.width * 4, SDL_PIXELFORMAT_ARGB8888);
  if (surface != nullptr) {
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
  }
  freeDecodedPicture(icon);
}

}  // namespace

AnimationWindow openAnimationWindow() {
  AnimationWindow result;
  SDL_Rect screen{};
  if (SDL_GetDisplayBounds(0, &screen) != 0) {
    std::fprintf(stderr, "quorvalent: no display: %s\n", SDL_GetError());
    return result;
  }
  result.window = SDL_CreateWindow(WINDOW_NAME, screen.x, screen.y, screen.w, screen.h,
                                   SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS);
  if (result.window == nullptr) {
    std::fprintf(stderr, "quorvalent: cannot open the window: %s\n", SDL_GetError());
    return result;
  }
  result.screenWidth = screen.w;
  result.screenHeight = screen.h;
  setWindowIcon(result.window);
  return result;
}

}  // namespace qv::sdl
