#pragma once
// The displays beside the animation's. While the animation runs full screen
// on display 0, every other display gets a plain black borderless window on
// top, so no desktop (and no open document) shows there. The dark windows
// follow the displays as they come and go; what happens in one of them
// happens in the animation's window: its keys, buttons, wheel and mouse (the
// position in the animation window's coordinates), and its close.
//
// Inside a foreign window (-root, -window-id) there are none: the screen
// saver daemon starts one program per screen itself.

#include <SDL.h>

#include <optional>
#include <span>
#include <vector>

#include "hosts/portable/dark_areas.h"

namespace qv::sdl {

inline constexpr char DARK_WINDOW_NAME[] = "Quorvalent dark display";

class DarkDisplays {
 public:
  // `animation`: the animation's own window; null means no dark windows.
  explicit DarkDisplays(SDL_Window* animation) : animation_(animation) {}
  ~DarkDisplays() { closeAll(); }
  DarkDisplays(const DarkDisplays&) = delete;
  DarkDisplays& operator=(const DarkDisplays&) = delete;

  // A dark window on every one of `displays` that shows nothing of the
  // animation's window; those already there for an unchanged display stay.
  void follow(std::span<const ScreenArea> displays);
  // The same for the displays SDL knows now.
  void follow();
  void closeAll();

  std::vector<SDL_Window*> windows() const;

  // Every event of the main loop comes here first. A display's arrival or
  // departure, and a dark window's own painting and sizing, are dealt with
  // here: true, nothing more to do. A dark window's input and close are
  // turned into the animation window's and left to the loop (false), as is
  // every other event.
  bool takeEvent(SDL_Event& e);

 private:
  struct DarkWindow {
    ScreenArea area;
    SDL_Window* window;
  };
  std::optional<DarkWindow> open(const ScreenArea& area);
  const DarkWindow* find(Uint32 windowId) const;
  void moveToAnimation(const DarkWindow& dark, Sint32& x, Sint32& y) const;

  SDL_Window* animation_;
  std::vector<DarkWindow> windows_;
};

}  // namespace qv::sdl
