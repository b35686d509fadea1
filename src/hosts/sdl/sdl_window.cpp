#include "hosts/sdl/sdl_window.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "hosts/portable/icon_decoder.h"
#include "hosts/portable/picture_codec.h"
#include "hosts/portable/resource_table.h"
#include "hosts/sdl/usage_box.h"

#if QV_HAVE_X11
#include <X11/Xlib.h>
#endif

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

bool rootWindowId(std::uint64_t& id) {
#if QV_HAVE_X11
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  id = static_cast<std::uint64_t>(DefaultRootWindow(display));
  XCloseDisplay(display);
  return true;
#else
  (void)id;
  return false;
#endif
}

AnimationWindow openForeignWindow(const LaunchRequest& request) {
  AnimationWindow result;
  if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") != 0) {
    std::fprintf(stderr, "quorvalent: -root and -window-id need an X11 display\n");
    return result;
  }
  std::uint64_t id = request.windowId;
  if (request.rootWindow && !rootWindowId(id)) {
    std::fprintf(stderr, "quorvalent: no root window\n");
    return result;
  }
  result.window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id)));
  if (result.window == nullptr) {
    std::fprintf(stderr, "quorvalent: cannot draw into window 0x%llx: %s\n", static_cast<unsigned long long>(id),
                 SDL_GetError());
    return result;
  }
  result.foreign = true;
  SDL_GetWindowSize(result.window, &result.screenWidth, &result.screenHeight);
  return result;
}

}  // namespace

AnimationWindow openAnimationWindow(const LaunchRequest& request) {
  if (request.embedded) return openForeignWindow(request);
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
