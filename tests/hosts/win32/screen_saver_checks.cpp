// The screen saver's file as Windows lists it (its name and version block),
// and the screen saver run as its own process: the usage box, the silent exit,
// the preview child in a parent window of ours, the animation's window
// ending on a close, and the fatal error box; on the two-monitor X server,
// the dark window on the second monitor following it as it is detached and
// attached again. (The animation itself, with its logo and its ending on
// Escape, what the dark monitor shows and input in it are the two-monitor
// script's checks.)
#include <windows.h>

#include <cstdint>
#include <cstdio>
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

// The screen saver, started with `arguments` after its path, and ended when
// it still runs at the end of the check.
struct Launched {
  Launched(const std::wstring& exePath, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exePath + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    started = CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &info) != FALSE;
  }
  ~Launched() {
    if (!started) return;
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 99);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }
  PROCESS_INFORMATION info{};
  bool started = false;
};

// Waits ms while answering the messages sent to the driver's own windows
// (a preview child's creation notifies its parent and waits for the answer).
void pause(DWORD ms) {
  const DWORD start = GetTickCount();
  for (DWORD elapsed = 0; elapsed < ms; elapsed = GetTickCount() - start) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
  }
}

// A top-level window of the process with the class, or null after timeoutMs.
HWND waitForWindow(DWORD processId, const wchar_t* wantedClass, DWORD timeoutMs) {
  for (const DWORD start = GetTickCount();; pause(20)) {
    HWND window = nullptr;
    DWORD owner = 0;
    while ((window = FindWindowExW(nullptr, window, wantedClass, nullptr)) != nullptr) {
      if (GetWindowThreadProcessId(window, &owner) != 0 && owner == processId) return window;
    }
    if (GetTickCount() - start >= timeoutMs) return nullptr;
  }
}

// The process's exit code after it ended, or -1 when it still runs after
// timeoutMs.
long waitForExit(Launched& process, DWORD timeoutMs) {
  if (!process.started || WaitForSingleObject(process.info.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process.info.hProcess, &code);
  return static_cast<long>(code);
}

// The arguments in quotes, for the checks' names.
std::string quoted(const std::wstring& arguments) { return '"' + narrow(arguments) + '"'; }

// A message box's "text / caption", once both are in place (a box may be
// found before they are), or what it has after a couple of seconds.
std::wstring boxText(HWND box) {
  wchar_t text[512] = {}, caption[128] = {};
  for (int tries = 0; tries < 150 && (text[0] == 0 || caption[0] == 0); ++tries) {
    if (tries > 0) pause(20);
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    GetWindowTextW(box, caption, 128);
  }
  return std::wstring(text) + L" / " + caption;
}

// The pixels (0x00RRGGBB) of a w x h rectangle at (x, y) of a device
// context, top row first.
std::vector<std::uint32_t> capture(HDC source, int x, int y, int w, int h) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};  // top-down
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateDIBSection(source, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, source, x, y, SRCCOPY);
  GdiFlush();
  const auto* words = static_cast<const std::uint32_t*>(bits);
  std::vector<std::uint32_t> pixels(words, words + static_cast<std::size_t>(w) * h);
  for (std::uint32_t& p : pixels) p &= 0x00FFFFFFu;
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

// A box of the process with the text and caption (and an icon, whose
// picture cannot be read faithfully from another process); OK ends the
// process with 0.
void boxCheck(const std::wstring& exe, const wchar_t* arguments, const std::wstring& text,
              const std::wstring& caption, bool withIcon) {
  const std::string label = quoted(arguments);
  Launched process(exe, arguments);
  HWND box = waitForWindow(process.info.dwProcessId, L"#32770", START_TIMEOUT_MS);
  if (!check(box != nullptr, (label + " shows a box").c_str())) return;
  const std::wstring shown = boxText(box);
  check(shown == text + L" / " + caption, (label + " box text and caption").c_str(), narrow(shown));
  HWND icon = nullptr;
  while ((icon = FindWindowExW(box, icon, L"Static", nullptr)) != nullptr &&
         SendMessageW(icon, STM_GETICON, 0, 0) == 0) {}
  if (withIcon) check(icon != nullptr, (label + " box shows an icon").c_str());
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  const long code = waitForExit(process, 5000);
  check(code == 0, (label + " ends with 0 after OK").c_str(), std::to_string(code));
}

void silentExitCheck(const std::wstring& exe, const wchar_t* arguments) {
  Launched process(exe, arguments);
  const long code = waitForExit(process, 5000);
  check(code == 0 && waitForWindow(process.info.dwProcessId, L"#32770", 0) == nullptr,
        (quoted(arguments) + " exits at once with 0 and no box").c_str(), std::to_string(code));
}

// Another process's child keeps no painting we could read: shown on its own
// for a moment, it paints where the screen can be read, and then goes back.
void checkPreviewPicture(HWND child, HWND parent) {
  SetParent(child, nullptr);
  SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  POINT origin{0, 0};
  ClientToScreen(child, &origin);
  // Exactly the eight icons at their places on a black 152 x 112 area.
  const POINT icons[] = {{44, 7}, {76, 7}, {44, 39}, {76, 39}, {12, 71}, {44, 71}, {76, 71}, {108, 71}};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 152, 112);
  SelectObject(memory, bitmap);
  const RECT area{0, 0, 152, 112};
  FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (int i = 0; i < 8; ++i) {
    const std::wstring name = L"ICON_SSPRVW0" + std::to_wstring(i + 1);
    DrawIcon(memory, icons[i].x, icons[i].y, LoadIconW(GetModuleHandleW(nullptr), name.c_str()));
  }
  const auto expected = capture(memory, 0, 0, 152, 112);
  std::vector<std::uint32_t> shown;
  for (DWORD waited = 0; shown != expected && waited < START_TIMEOUT_MS; waited += 100) {
    pause(100);
    shown = capture(screen, origin.x, origin.y, 152, 112);
  }
  int differing = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) differing += shown[i] != expected[i] ? 1 : 0;
  check(shown == expected, "the preview shows the eight icons on black",
        std::to_string(differing) + " differ");
  DeleteDC(memory);
  DeleteObject(bitmap);
  ReleaseDC(nullptr, screen);
  SetParent(child, parent);
}

void previewCheck(const std::wstring& exe) {
  WNDCLASSW parentClass{};
  parentClass.lpfnWndProc = DefWindowProcW;
  parentClass.hInstance = GetModuleHandleW(nullptr);
  parentClass.lpszClassName = L"QvPreviewParent";
  RegisterClassW(&parentClass);
  HWND parent = CreateWindowExW(0, L"QvPreviewParent", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                340, 260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RECT parentClient{};
  GetClientRect(parent, &parentClient);
  Launched process(exe, L"/p " + std::to_wstring(reinterpret_cast<INT_PTR>(parent)));
  HWND child = nullptr;
  const LONG wanted = WS_CHILD | WS_VISIBLE | WS_DISABLED;  // visible just after its creation
  for (DWORD waited = 0; waited < START_TIMEOUT_MS; waited += 20) {
    child = FindWindowExW(parent, nullptr, PROGRAM_WINDOW_NAME, nullptr);
    if (child != nullptr && (GetWindowLongW(child, GWL_STYLE) & wanted) == wanted) break;
    pause(20);
  }
  if (check(child != nullptr, "\"/p HWND\" creates a child of class Quorvalent")) {
    RECT rect{};
    GetClientRect(child, &rect);
    check((GetWindowLongW(child, GWL_STYLE) & wanted) == wanted && rect.right == parentClient.right &&
              rect.bottom == parentClient.bottom,
          "the preview child is a visible, disabled child that fills the parent's client area",
          std::to_string(rect.right) + " x " + std::to_string(rect.bottom));
    checkPreviewPicture(child, parent);
  }
  DestroyWindow(parent);
  const long code = waitForExit(process, 5000);
  check(code == 0, "the preview ends with 0 when its parent goes", std::to_string(code));
}

// WM_CLOSE ends the animation at once (at the next frame boundary), while it
// starts or runs; the limit is for a busy machine, the time is printed.
void closeCheck(const std::wstring& exe, const wchar_t* arguments, DWORD runMs) {
  const std::string label = quoted(arguments);
  Launched process(exe, arguments);
  HWND window = waitForWindow(process.info.dwProcessId, PROGRAM_WINDOW_NAME, START_TIMEOUT_MS);
  if (!check(window != nullptr, (label + " opens the animation window").c_str())) return;
  pause(runMs);
  const DWORD start = GetTickCount();
  PostMessageW(window, WM_CLOSE, 0, 0);
  const long code = waitForExit(process, 10000);
  check(code == 0, (label + " closes with 0 on WM_CLOSE").c_str(),
        "code " + std::to_string(code) + " after " + std::to_string(GetTickCount() - start) + " ms");
}

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

// The version block and string 1 as Windows reads them from the file: the
// name in the screen-saver list, the numbers and texts in Properties > Details.
void listingChecks(const std::wstring& exe) {
  DWORD ignored = 0;
  std::vector<std::uint8_t> block(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  const bool read = !block.empty() && GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()),
                                                          block.data()) != FALSE;
  const auto value = [&](const std::wstring& path) -> std::pair<const void*, UINT> {
    void* found = nullptr;
    UINT size = 0;
    if (!read || VerQueryValueW(block.data(), path.c_str(), &found, &size) == FALSE) return {nullptr, 0};
    return {found, size};
  };
  const auto [fixedData, fixedSize] = value(L"\\");
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(fixedData);
  const DWORD high = MAKELONG(QV_VERSION_MINOR, QV_VERSION_MAJOR);
  const DWORD low = MAKELONG(0, QV_VERSION_PATCH);
  const std::wstring version = std::to_wstring(QV_VERSION_MAJOR) + L"." + std::to_wstring(QV_VERSION_MINOR) +
                               L"." + std::to_wstring(QV_VERSION_PATCH);
  check(fixed != nullptr && fixedSize >= sizeof(VS_FIXEDFILEINFO) && fixed->dwFileVersionMS == high &&
            fixed->dwFileVersionLS == low && fixed->dwProductVersionMS == high &&
            fixed->dwProductVersionLS == low,
        "the file and product versions are the project's", narrow(version));
  const auto text = [&](const wchar_t* name) {
    const auto [data, size] = value(std::wstring(L"\\StringFileInfo\\040904B0\\") + name);
    return data == nullptr || size == 0 ? std::wstring() : std::wstring(static_cast<const wchar_t*>(data));
  };
  check(text(L"ProductName") == L"Quorvalent" && text(L"ProductVersion") == version &&
            text(L"FileVersion") == version,
        "the version texts name the product and the project's version", narrow(text(L"ProductVersion")));
  check(!text(L"FileDescription").empty() && text(L"LegalCopyright").starts_with(L"Copyright"),
        "the version block has a description and a copyright", narrow(text(L"LegalCopyright")));

  HMODULE module =
      LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  wchar_t name[64] = {};
  const int length = module != nullptr ? LoadStringW(module, 1, name, 64) : 0;
  if (module != nullptr) FreeLibrary(module);
  check(length > 0 && std::wstring(name) == L"Quorvalent", "string 1, the listed name, is \"Quorvalent\"",
        narrow(name));
}

}  // namespace

void runScreenSaverChecks(const std::wstring& exe) {
  listingChecks(exe);
  boxCheck(exe, L"/c", USAGE_TEXT, USAGE_CAPTION, false);
  silentExitCheck(exe, L"/p 0");
  previewCheck(exe);
  closeCheck(exe, L"/S extra", 500);
  closeCheck(exe, L"", 0);
  // A build without the controls legend: the overlays' set-up reports it.
  const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  boxCheck(folder + L"QuorvalentNoLegend.scr", L"/s", L"JPG or BMP Resource Not Found",
           L"Process Runtime Error", true);
}

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
