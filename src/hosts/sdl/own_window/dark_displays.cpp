#include "hosts/sdl/own_window/dark_displays.h"

#include <cstring>

namespace qv::sdl {
namespace {

void paintBlack(SDL_Window* window) {
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  if (surface == nullptr) return;  // stays as the window system leaves it
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  SDL_UpdateWindowSurface(window);
}

ScreenArea windowArea(SDL_Window* window) {
  ScreenArea area;
  SDL_GetWindowPosition(window, &area.x, &area.y);
  SDL_GetWindowSize(window, &area.width, &area.height);
  return area;
}

std::vector<ScreenArea> listDisplays() {
  std::vector<ScreenArea> displays;
  const int count = SDL_GetNumVideoDisplays();
  for (int i = 0; i < count; ++i) {
    SDL_Rect bounds{};
    if (SDL_GetDisplayBounds(i, &bounds) == 0) displays.push_back({bounds.x, bounds.y, bounds.w, bounds.h});
  }
  return displays;
}

// The window an event belongs to, where it has one that matters here.
Uint32* eventWindowId(SDL_Event& e) {
  switch (e.type) {
    case SDL_WINDOWEVENT: return &e.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return &e.key.windowID;
    case SDL_TEXTEDITING: return &e.edit.windowID;
    case SDL_TEXTINPUT: return &e.text.windowID;
    case SDL_MOUSEMOTION: return &e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return &e.button.windowID;
    case SDL_MOUSEWHEEL: return &e.wheel.windowID;
    default: return nullptr;
  }
}

}  // namespace

std::optional<DarkDisplays::DarkWindow> DarkDisplays::open(const ScreenArea& area) {
  // Full screen on its display where a window manager keeps panels and
  // docks, and made at the display's size where there is none to do that.
  SDL_Window* window = SDL_CreateWindow(DARK_WINDOW_NAME, area.x, area.y, area.width, area.height,
                                        SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS |
                                            SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR);
  if (window == nullptr) return std::nullopt;  // that display keeps its desktop
  paintBlack(window);
  return DarkWindow{area, window};
}

void DarkDisplays::follow() { follow(listDisplays()); }

void DarkDisplays::follow(std::span<const ScreenArea> displays) {
  if (animation_ == nullptr) return;
  const std::vector<ScreenArea> wanted = darkAreas(displays, windowArea(animation_));
  followAreas(
      windows_, wanted, [this](const ScreenArea& area) { return open(area); },
      [this](const DarkWindow& dark) {
        // Without a window manager the keyboard focus would go nowhere with
        // the window that had it, and Escape would be lost.
        const bool hadFocus = SDL_GetKeyboardFocus() == dark.window;
        SDL_DestroyWindow(dark.window);
        if (hadFocus) SDL_SetWindowInputFocus(animation_);
      });
}

void DarkDisplays::closeAll() {
  for (const DarkWindow& dark : windows_) SDL_DestroyWindow(dark.window);
  windows_.clear();
}

std::vector<SDL_Window*> DarkDisplays::windows() const {
  std::vector<SDL_Window*> list;
  for (const DarkWindow& dark : windows_) list.push_back(dark.window);
  return list;
}

const DarkDisplays::DarkWindow* DarkDisplays::find(Uint32 windowId) const {
  for (const DarkWindow& dark : windows_) {
    if (SDL_GetWindowID(dark.window) == windowId) return &dark;
  }
  return nullptr;
}

void DarkDisplays::moveToAnimation(const DarkWindow& dark, Sint32& x, Sint32& y) const {
  const ScreenArea animation = windowArea(animation_);
  x += dark.area.x - animation.x;
  y += dark.area.y - animation.y;
}

bool DarkDisplays::takeEvent(SDL_Event& e) {
  if (animation_ == nullptr) return false;
  if (e.type == SDL_DISPLAYEVENT) {
    follow();
    return true;
  }
  Uint32* windowId = eventWindowId(e);
  const DarkWindow* dark = windowId != nullptr ? find(*windowId) : nullptr;
  if (dark == nullptr) return false;
  if (e.type == SDL_WINDOWEVENT && e.window.event != SDL_WINDOWEVENT_CLOSE) {
    if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
      paintBlack(dark->window);
    }
    return true;
  }
  switch (e.type) {
    case SDL_MOUSEMOTION: moveToAnimation(*dark, e.motion.x, e.motion.y); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: moveToAnimation(*dark, e.button.x, e.button.y); break;
#if SDL_VERSION_ATLEAST(2, 26, 0)
    case SDL_MOUSEWHEEL: moveToAnimation(*dark, e.wheel.mouseX, e.wheel.mouseY); break;
#endif
    default: break;
  }
  *windowId = SDL_GetWindowID(animation_);
  return false;
}

}  // namespace qv::sdl
