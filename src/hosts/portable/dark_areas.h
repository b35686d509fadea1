#pragma once
// Which monitors go dark while the animation runs full screen on one of them,
// and how a host's dark windows follow the monitors as they come and go.
// Header only: the Win32 host uses it too, without the rest of this folder.
//
// Every monitor that shows nothing of the animation's window gets a plain
// black window. One that overlaps it (a mirrored display, or an arrangement
// where two monitors share pixels) gets none, so a dark window never hides
// the animation.

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

namespace qv {

// A rectangle on the desktop, in pixels: the top-left corner and the size.
struct ScreenArea {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenArea&) const = default;
};

inline bool areasOverlap(const ScreenArea& a, const ScreenArea& b) {
  return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The monitors to darken, in the order given, each once; empty ones are left
// out.
inline std::vector<ScreenArea> darkAreas(std::span<const ScreenArea> monitors, const ScreenArea& animation) {
  std::vector<ScreenArea> dark;
  for (const ScreenArea& monitor : monitors) {
    if (monitor.width <= 0 || monitor.height <= 0 || areasOverlap(monitor, animation)) continue;
    if (std::ranges::find(dark, monitor) == dark.end()) dark.push_back(monitor);
  }
  return dark;
}

// Brings `windows` (anything with an `area`) to one per wanted area: a window
// whose area is still wanted stays as it is (no flicker on the monitors that
// did not change), the others are closed, and the missing ones opened.
// `open(area)` returns std::optional of the new window (empty when it could
// not be made); `close(window)` destroys one.
template <class Window, class Open, class Close>
void followAreas(std::vector<Window>& windows, std::span<const ScreenArea> wanted, Open open, Close close) {
  std::erase_if(windows, [&](Window& window) {
    if (std::ranges::find(wanted, window.area) != wanted.end()) return false;
    close(window);
    return true;
  });
  for (const ScreenArea& area : wanted) {
    if (std::ranges::any_of(windows, [&](const Window& window) { return window.area == area; })) continue;
    if (std::optional<Window> made = open(area)) windows.push_back(*made);
  }
}

}  // namespace qv
