// The dark windows on the monitors beside the animation's: the windows
// around a window of ours standing in for the animation's, with a made-up
// monitor list, and, on the two-monitor X server, the screen saver
// following a monitor that is detached and attached again.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver_checks.h"
#include "driver_support.h"
#include "hosts/win32/dark_monitors.h"
#include "hosts/win32/host_settings.h"

namespace qv::win32::testing {

namespace {

constexpr DWORD START_TIMEOUT_MS = 8000;
constexpr DWORD FOLLOW_TIMEOUT_MS = 10000;
constexpr ScreenArea PRIMARY{0, 0, 1024, 768};
constexpr ScreenArea SECOND{1024, 0, 800, 600};  // as two_monitors.conf arranges them

std::string describe(const std::vector<ScreenArea>& areas) {
  std::string text;
  for (const ScreenArea& a : areas) {
    char one[64];
    std::snprintf(one, sizeof one, "[%d,%d %dx%d]", a.x, a.y, a.width, a.height);
    text += one;
  }
  return text.empty() ? "none" : text;
}

ScreenArea areaOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The stand-in for the animation's window keeps the last message it got.
struct Received {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
Received received;

LRESULT CALLBACK standInProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
      (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_CLOSE) {
    received = {message, wParam, lParam};
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND openStandIn() {
  WNDCLASSW standInClass{};
  standInClass.lpfnWndProc = &standInProcedure;
  standInClass.hInstance = GetModuleHandleW(nullptr);
  standInClass.lpszClassName = L"QvAnimationStandIn";
  RegisterClassW(&standInClass);
  return CreateWindowExW(0, L"QvAnimationStandIn", L"stand-in", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

void darkWindowChecks() {
  HWND standIn = openStandIn();
  const ScreenArea right{640, 0, 320, 240};
  const ScreenArea aboveLeft{-320, -240, 320, 240};
  const std::vector<ScreenArea> monitors = {{0, 0, 640, 480}, right, aboveLeft};
  DarkMonitors dark(GetModuleHandleW(nullptr));
  dark.follow(standIn, monitors);
  const std::vector<HWND> windows = dark.windows();
  if (!check(windows.size() == 2, "a dark window on each monitor beside the animation's",
             std::to_string(windows.size()))) {
    DestroyWindow(standIn);
    return;
  }
  std::vector<ScreenArea> placed;
  bool plain = true;
  for (HWND window : windows) {
    placed.push_back(areaOf(window));
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    plain =
        plain && className(window) == DARK_MONITOR_CLASS && (style & WS_POPUP) != 0 &&
        IsWindowVisible(window) && (exStyle & WS_EX_TOPMOST) != 0 && (exStyle & WS_EX_TOOLWINDOW) != 0 &&
        GetWindow(window, GW_OWNER) == standIn && GetClassLongPtrW(window, GCLP_HCURSOR) == 0 &&
        reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)) == GetStockObject(BLACK_BRUSH);
  }
  check(placed == std::vector<ScreenArea>{right, aboveLeft}, "the dark windows cover their monitors",
        describe(placed));
  check(plain, "dark windows are black, topmost, cursor-less popups owned by the animation's window");

  // What happens in a dark window arrives at the animation's window; mouse
  // positions are moved into its coordinates (the wheel's are the screen's).
  struct Forwarded {
    const char* name;
    HWND to;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LPARAM arriving;
  };
  const Forwarded cases[] = {
      {"a mouse move", windows[0], WM_MOUSEMOVE, 0, MAKELPARAM(10, 20), MAKELPARAM(650, 20)},
      {"a click above and left", windows[1], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5),
       MAKELPARAM(-315, -235)},
      {"the wheel", windows[0], WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(700, 30),
       MAKELPARAM(700, 30)},
      {"a close", windows[1], WM_CLOSE, 0, 0, 0},
  };
  for (const Forwarded& c : cases) {
    received = {};
    SendMessageW(c.to, c.message, c.wParam, c.lParam);
    for (int tries = 0; tries < 200 && received.message == 0; ++tries) pause(10);  // a close is posted on
    check(received.message == c.message && received.wParam == c.wParam && received.lParam == c.arriving,
          (std::string(c.name) + " in a dark window reaches the animation's window").c_str(),
          std::to_string(received.message) + " " + std::to_string(static_cast<long long>(received.lParam)));
  }
  // A monitor that goes takes its window; one that changes its size gets a
  // new window of the new size (the X server's monitors only come and go).
  const ScreenArea grown{640, 0, 400, 300};
  dark.follow(standIn, std::vector<ScreenArea>{{0, 0, 640, 480}, grown});
  check(dark.windows().size() == 1 && !IsWindow(windows[0]) && !IsWindow(windows[1]) &&
            areaOf(dark.windows()[0]) == grown,
        "the dark windows follow the monitors that go and change", describe({areaOf(dark.windows()[0])}));
  DestroyWindow(standIn);
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

void followingChecks(const std::wstring& exe) {
  const std::vector<ScreenArea> monitors = listMonitors();
  std::printf("Wine reports %zu monitor(s): %s\n", monitors.size(), describe(monitors).c_str());
  if (!check(monitors == std::vector<ScreenArea>{PRIMARY, SECOND}, "two monitors side by side")) return;
  MONITORINFOEXW second{};
  second.cbSize = sizeof(second);
  GetMonitorInfoW(MonitorFromPoint({SECOND.x + 10, 10}, MONITOR_DEFAULTTONULL), &second);
  const std::wstring device = second.szDevice;

  Launched process;
  launch(process, exe, L"/s");
  HWND animation = waitForWindow(process.info.dwProcessId, PROGRAM_WINDOW_NAME, START_TIMEOUT_MS);
  HWND dark = nullptr;
  if (!check(animation != nullptr && waitForDarkWindow(process.info.dwProcessId, &SECOND, dark),
             "the screen saver darkens the second monitor")) {
    return;
  }
  check(areaOf(animation) == PRIMARY, "the animation stays on the primary monitor",
        describe({areaOf(animation)}));

  const bool detached = attachSecondMonitor(device, false);
  check(detached && waitForDarkWindow(process.info.dwProcessId, nullptr, dark),
        "a detached monitor's dark window goes");
  check(IsWindowVisible(animation) && areaOf(animation) == PRIMARY && waitForExit(process, 0) == -1,
        "the animation goes on without the second monitor");
  const bool attached = attachSecondMonitor(device, true);
  check(attached && waitForDarkWindow(process.info.dwProcessId, &SECOND, dark),
        "an attached monitor gets a dark window", narrow(device));
  if (dark == nullptr) return;
  PostMessageW(dark, WM_CLOSE, 0, 0);
  const long code = waitForExit(process, 10000);
  check(code == 0, "closing the dark window ends the screen saver with 0", std::to_string(code));
}

}  // namespace

void runMonitorChecks(const std::wstring& exe) {
  darkWindowChecks();
  followingChecks(exe);
}

}  // namespace qv::win32::testing
