// On the two-monitor X server: the screen saver's dark window on the second
// monitor follows it as it is detached and attached again. (What the dark
// monitor shows, and input in it, are the two-monitor script's checks.)
#include <windows.h>

#include <string>
#include <vector>

#include "driver_support.h"
#include "hosts/win32/dark_monitors.h"
#include "hosts/win32/host_settings.h"

namespace qv::win32::testing {

namespace {

constexpr DWORD START_TIMEOUT_MS = 8000;
constexpr DWORD FOLLOW_TIMEOUT_MS = 10000;
constexpr ScreenArea PRIMARY{0, 0, 1024, 768};
constexpr ScreenArea SECOND{1024, 0, 800, 600};  // as two_monitors.conf arranges them

ScreenArea areaOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The monitor beside the primary one, detached and attached again the way
// the display settings do it; Wine passes the change to the X server and
// tells every window with WM_DISPLAYCHANGE.
bool attachSecondMonitor(const std::wstring& device, bool attach) {
  DEVMODEW mode{};
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
  if (attach) {
    mode.dmPosition = {SECOND.x, SECOND.y};
    mode.dmPelsWidth = static_cast<DWORD>(SECOND.width);
    mode.dmPelsHeight = static_cast<DWORD>(SECOND.height);
  }
  return ChangeDisplaySettingsExW(device.c_str(), &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET,
                                  nullptr) == DISP_CHANGE_SUCCESSFUL &&
         ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL;
}

// The process's dark window once it covers `area` (or, with a null area, once
// it has none), within the time limit.
bool waitForDarkWindow(DWORD processId, const ScreenArea* area, HWND& found) {
  for (DWORD waited = 0;; waited += 50) {
    found = waitForWindow(processId, DARK_MONITOR_CLASS, 0);
    if (area == nullptr ? found == nullptr : (found != nullptr && areaOf(found) == *area)) return true;
    if (waited >= FOLLOW_TIMEOUT_MS) return false;
    pause(50);
  }
}

}  // namespace

void runMonitorChecks(const std::wstring& exe) {
  const std::vector<ScreenArea> monitors = listMonitors();
  if (!check(monitors == std::vector<ScreenArea>{PRIMARY, SECOND}, "two monitors side by side",
             std::to_string(monitors.size()) + " monitor(s)")) {
    return;
  }
  MONITORINFOEXW second{};
  second.cbSize = sizeof(second);
  GetMonitorInfoW(MonitorFromPoint({SECOND.x + 10, 10}, MONITOR_DEFAULTTONULL), &second);
  const std::wstring device = second.szDevice;

  Launched process(exe, L"/s");
  const DWORD id = process.info.dwProcessId;
  HWND animation = waitForWindow(id, PROGRAM_WINDOW_NAME, START_TIMEOUT_MS);
  HWND dark = nullptr;
  if (!check(animation != nullptr && waitForDarkWindow(id, &SECOND, dark) && areaOf(animation) == PRIMARY,
             "the screen saver stays on the primary monitor and darkens the second")) {
    return;
  }
  check(attachSecondMonitor(device, false) && waitForDarkWindow(id, nullptr, dark),
        "a detached monitor's dark window goes");
  check(IsWindowVisible(animation) && areaOf(animation) == PRIMARY && waitForExit(process, 0) == -1,
        "the animation goes on without the second monitor");
  check(attachSecondMonitor(device, true) && waitForDarkWindow(id, &SECOND, dark),
        "an attached monitor gets a dark window", narrow(device));
  if (dark == nullptr) return;
  PostMessageW(dark, WM_CLOSE, 0, 0);
  const long code = waitForExit(process, 10000);
  check(code == 0, "closing the dark window ends the screen saver with 0", std::to_string(code));
}

}  // namespace qv::win32::testing
