#pragma once
// The monitors beside the animation's. While the animation runs full screen
// on the primary monitor, every other monitor gets a plain black, topmost
// popup without a cursor, so no desktop (and no open document) shows there.
// What happens in a dark window happens in the animation's: keys, buttons,
// the wheel and the mouse (its position in the animation window's
// coordinates) go to the animation window's procedure, and closing one
// closes the animation. The dark windows are owned by the animation window,
// so they go with it at the latest.

#include <windows.h>

#include <optional>
#include <span>
#include <vector>

#include "hosts/portable/dark_areas.h"

namespace qv::win32 {

inline constexpr wchar_t DARK_MONITOR_CLASS[] = L"QuorvalentDarkMonitor";

// The monitors there are now, as EnumDisplayMonitors reports them.
std::vector<ScreenArea> listMonitors();

class DarkMonitors {
 public:
  explicit DarkMonitors(HINSTANCE instance) : instance_(instance) {}
  ~DarkMonitors() { closeAll(); }
  DarkMonitors(const DarkMonitors&) = delete;
  DarkMonitors& operator=(const DarkMonitors&) = delete;

  // A dark window on every one of `monitors` that shows nothing of the
  // `animation` window; those already there for an unchanged monitor stay.
  void follow(HWND animation, std::span<const ScreenArea> monitors);
  // The same for the monitors there are now (at the start, and after
  // WM_DISPLAYCHANGE).
  void follow(HWND animation) { follow(animation, listMonitors()); }
  void closeAll();

  std::vector<HWND> windows() const;

 private:
  struct DarkWindow {
    ScreenArea area;
    HWND window;
  };
  bool registerClass();
  std::optional<DarkWindow> open(HWND animation, const ScreenArea& area);

  HINSTANCE instance_;
  bool classRegistered_ = false;
  std::vector<DarkWindow> windows_;
};

}  // namespace qv::win32
