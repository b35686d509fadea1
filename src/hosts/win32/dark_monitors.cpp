#include "hosts/win32/dark_monitors.h"

#include <windowsx.h>

namespace qv::win32 {

namespace {

BOOL CALLBACK addMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
  reinterpret_cast<std::vector<ScreenArea>*>(list)->push_back(
      {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top});
  return TRUE;
}

ScreenArea windowArea(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool isKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }
bool isMouseMessage(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
// The wheels give their position on the screen; every other mouse message
// gives it in the window's client area.
bool isWheelMessage(UINT message) { return message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL; }

// A dark window's procedure; its user data is the animation window.
LRESULT CALLBACK darkProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  HWND animation = reinterpret_cast<HWND>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (animation == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (isMouseMessage(message) && !isWheelMessage(message)) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    MapWindowPoints(window, animation, &at, 1);
    return SendMessageW(animation, message, wParam, MAKELPARAM(at.x, at.y));
  }
  if (isKeyMessage(message) || isWheelMessage(message))
    return SendMessageW(animation, message, wParam, lParam);
  switch (message) {
    case WM_SETCURSOR: SetCursor(nullptr); return TRUE;
    case WM_CLOSE:
      // The animation's close takes every dark window with it.
      PostMessageW(animation, WM_CLOSE, 0, 0);
      return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

std::vector<ScreenArea> listMonitors() {
  std::vector<ScreenArea> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &addMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

bool DarkMonitors::registerClass() {
  if (classRegistered_) return true;
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &darkProcedure;
  windowClass.hInstance = instance_;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = DARK_MONITOR_CLASS;  // no cursor: none shows over it
  classRegistered_ = RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return classRegistered_;
}

std::optional<DarkMonitors::DarkWindow> DarkMonitors::open(HWND animation, const ScreenArea& area) {
  // A tool window: no button on the task bar, none in the Alt+Tab list.
  HWND window =
      CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, DARK_MONITOR_CLASS, DARK_MONITOR_CLASS, WS_POPUP,
                      area.x, area.y, area.width, area.height, animation, nullptr, instance_, animation);
  if (window == nullptr) return std::nullopt;  // that monitor keeps its desktop
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return DarkWindow{area, window};
}

void DarkMonitors::follow(HWND animation, std::span<const ScreenArea> monitors) {
  if (!registerClass()) return;
  const std::vector<ScreenArea> wanted = darkAreas(monitors, windowArea(animation));
  followAreas(
      windows_, wanted, [&](const ScreenArea& area) { return open(animation, area); },
      [](const DarkWindow& dark) { DestroyWindow(dark.window); });
}

void DarkMonitors::closeAll() {
  // The animation window's destruction may have taken them already.
  for (const DarkWindow& dark : windows_) {
    if (IsWindow(dark.window)) DestroyWindow(dark.window);
  }
  windows_.clear();
}

std::vector<HWND> DarkMonitors::windows() const {
  std::vector<HWND> handles;
  for (const DarkWindow& dark : windows_) handles.push_back(dark.window);
  return handles;
}

}  // namespace qv::win32
