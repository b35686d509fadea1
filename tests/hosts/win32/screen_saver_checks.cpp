// The screen saver run as its own process: the usage box, the silent exits,
// the preview child in a parent window of ours, and the animation's window
// with its endings by Escape and by a close.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver_checks.h"
#include "driver_support.h"
#include "hosts/win32/host_settings.h"

namespace qv::win32::testing {

namespace {

constexpr DWORD START_TIMEOUT_MS = 8000;

// The arguments in quotes, for the checks' names.
std::string quoted(const wchar_t* arguments) {
  std::string label(1, '"');
  label.append(narrow(arguments));
  label.push_back('"');
  return label;
}

void usageBoxCheck(const std::wstring& exe, const wchar_t* arguments) {
  const std::string label = quoted(arguments);
  Launched process;
  launch(process, exe, arguments);
  HWND box = waitForWindow(process.info.dwProcessId, L"#32770", START_TIMEOUT_MS);
  if (!check(box != nullptr, (label + " shows the usage box").c_str())) return;
  // The box may be found before its text and caption are in place.
  wchar_t text[512] = {};
  wchar_t caption[128] = {};
  for (int tries = 0; tries < 100; ++tries) {
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    GetWindowTextW(box, caption, 128);
    if (text[0] != 0 && caption[0] != 0) break;
    pause(20);
  }
  check(std::wstring(text) == USAGE_TEXT, (label + " box text").c_str(), narrow(text));
  check(std::wstring(caption) == USAGE_CAPTION, (label + " box caption").c_str(), narrow(caption));
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  const long code = waitForExit(process, 5000);
  check(code == 0, (label + " ends with 0 after OK").c_str(), std::to_string(code));
}

void silentExitCheck(const std::wstring& exe, const wchar_t* arguments) {
  const std::string label = quoted(arguments);
  Launched process;
  launch(process, exe, arguments);
  const long code = waitForExit(process, 5000);
  check(code == 0, (label + " exits at once with 0").c_str(), std::to_string(code));
  check(waitForWindow(process.info.dwProcessId, L"#32770", 0) == nullptr, (label + " shows no box").c_str());
}

void previewCheck(const std::wstring& exe) {
  WNDCLASSW parentClass{};
  parentClass.lpfnWndProc = DefWindowProcW;
  parentClass.hInstance = GetModuleHandleW(nullptr);
  parentClass.lpszClassName = L"QvPreviewParent";
  RegisterClassW(&parentClass);
  HWND parent = CreateWindowExW(0, L"QvPreviewParent", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 340,
                                260, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RECT parentClient{};
  GetClientRect(parent, &parentClient);
  Launched process;
  launch(process, exe, L"/p " + std::to_wstring(reinterpret_cast<INT_PTR>(parent)));
  HWND child = nullptr;
  for (DWORD waited = 0; child == nullptr && waited < START_TIMEOUT_MS; waited += 20) {
    child = FindWindowExW(parent, nullptr, PROGRAM_WINDOW_NAME, nullptr);
    if (child == nullptr) pause(20);
  }
  if (check(child != nullptr, "\"/p HWND\" creates a child of class Quorvalent")) {
    // The child is made visible just after its creation.
    const LONG wanted = WS_CHILD | WS_VISIBLE | WS_DISABLED;
    LONG style = GetWindowLongW(child, GWL_STYLE);
    for (int tries = 0; tries < 50 && (style & wanted) != wanted; ++tries) {
      pause(20);
      style = GetWindowLongW(child, GWL_STYLE);
    }
    check((style & wanted) == wanted,
          "the preview child is a visible, disabled child", std::to_string(style));
    RECT rect{};
    GetClientRect(child, &rect);
    check(rect.right == parentClient.right && rect.bottom == parentClient.bottom,
          "the preview child fills the parent's client area",
          std::to_string(rect.right) + " x " + std::to_string(rect.bottom));
    // Another process's child keeps no painting we could read; shown on its
    // own for a moment, it paints where the screen can be read.
    SetParent(child, nullptr);
    SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    pause(400);
    POINT origin{0, 0};
    ClientToScreen(child, &origin);
    HDC screen = GetDC(nullptr);
    const auto shown = capture(screen, origin.x, origin.y, 152, 112);
    ReleaseDC(nullptr, screen);
    int lit = 0;
    for (std::uint32_t p : shown) lit += p != 0 ? 1 : 0;
    check(shown[0] == 0 && shown[151] == 0 && shown[111 * 152] == 0 && lit > 800,
          "the preview shows the icons on black", std::to_string(lit) + " lit pixels");
    SetParent(child, parent);
  }
  DestroyWindow(parent);
  const long code = waitForExit(process, 5000);
  check(code == 0, "the preview ends with 0 when its parent goes", std::to_string(code));
}

HWND startAnimation(Launched& process, const std::wstring& exe, const wchar_t* arguments) {
  launch(process, exe, arguments);
  return waitForWindow(process.info.dwProcessId, PROGRAM_WINDOW_NAME, START_TIMEOUT_MS);
}

void animationCheck(const std::wstring& exe) {
  Launched process;
  HWND window = startAnimation(process, exe, L"/s");
  if (!check(window != nullptr, "\"/s\" opens the animation window")) return;
  RECT rect{};
  GetWindowRect(window, &rect);
  check((GetWindowLongW(window, GWL_STYLE) & WS_POPUP) != 0 && rect.left == 0 && rect.top == 0 &&
            rect.right == GetSystemMetrics(SM_CXSCREEN) && rect.bottom == GetSystemMetrics(SM_CYSCREEN),
        "the animation covers the screen as a popup",
        std::to_string(rect.right) + " x " + std::to_string(rect.bottom));
  // The fountains need a moment to fill the cloud; the logo is there from
  // the first frame, 32 pixels from the right edge and 8 above the bottom.
  pause(2000);
  const int w = rect.right - rect.left;
  const int h = rect.bottom - rect.top;
  HDC dc = GetDC(window);
  const auto first = capture(dc, 0, 0, w, h - 40);
  pause(400);
  const auto second = capture(dc, 0, 0, w, h - 40);
  const auto logo = capture(dc, w - 32 - 159, h - 8 - 12, 159, 12);
  ReleaseDC(window, dc);
  int lit = 0;
  for (std::uint32_t p : first) lit += (p & 0xFFFFFF) > 0x202020 ? 1 : 0;
  check(lit > 50 && first != second, "after two seconds particles are drawn and move",
        std::to_string(lit) + " lit pixels");
  // The logo is tinted toward blue: (20, 50, 80) times the picture.
  int bluish = 0;
  for (std::uint32_t p : logo) bluish += ((p & 0xFF) > 40 && (p & 0xFF) > ((p >> 16) & 0xFF)) ? 1 : 0;
  check(bluish > 100, "the logo is drawn in the lower right corner", std::to_string(bluish));
  PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  PostMessageW(window, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
  const long code = waitForExit(process, 3000);
  check(code == 0, "Escape ends the animation with 0", std::to_string(code));
}

void closeCheck(const std::wstring& exe, const wchar_t* arguments, DWORD runMs) {
  const std::string label = quoted(arguments);
  Launched process;
  HWND window = startAnimation(process, exe, arguments);
  if (!check(window != nullptr, (label + " opens the animation window").c_str())) return;
  pause(runMs);
  const DWORD start = GetTickCount();
  PostMessageW(window, WM_CLOSE, 0, 0);
  const long code = waitForExit(process, 3000);
  const DWORD took = GetTickCount() - start;
  check(code == 0 && took < 1000, (label + " closes at once with 0 on WM_CLOSE").c_str(),
        "code " + std::to_string(code) + " after " + std::to_string(took) + " ms");
}

BOOL CALLBACK findIconControl(HWND control, LPARAM found) {
  if ((GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  *reinterpret_cast<HWND*>(found) = control;
  return FALSE;
}

// A build without the controls legend: the overlays' set-up reports the
// missing picture in the fatal error box, and OK ends the program.
void missingLegendCheck(const std::wstring& exe) {
  Launched process;
  launch(process, exe, L"/s");
  HWND box = waitForWindow(process.info.dwProcessId, L"#32770", START_TIMEOUT_MS);
  if (!check(box != nullptr, "a missing legend shows a box")) return;
  wchar_t text[256] = {};
  wchar_t caption[128] = {};
  for (int tries = 0; tries < 100 && (text[0] == 0 || caption[0] == 0); ++tries) {
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    GetWindowTextW(box, caption, 128);
    pause(20);
  }
  check(std::wstring(text) == L"JPG or BMP Resource Not Found" && std::wstring(caption) == L"Process Runtime Error",
        "the missing legend's box text and caption", narrow(text) + " / " + narrow(caption));
  HWND iconControl = nullptr;
  EnumChildWindows(box, &findIconControl, reinterpret_cast<LPARAM>(&iconControl));
  // Another process's icon cannot be drawn here faithfully, so only its
  // presence is checked.
  check(iconControl != nullptr && SendMessageW(iconControl, STM_GETICON, 0, 0) != 0, "the box shows an icon");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  const long code = waitForExit(process, 5000);
  check(code == 0, "after OK the program ends with 0", std::to_string(code));
}

// The animation measured over a few seconds by a test build of its own.
void frameRateMeasure(const std::wstring& exe, const std::wstring& resultFile) {
  DeleteFileW(resultFile.c_str());
  Launched process;
  launch(process, exe, L"/s");
  const long code = waitForExit(process, 30000);
  char line[256] = {};
  FILE* in = _wfopen(resultFile.c_str(), L"r");
  if (in != nullptr) {
    if (std::fgets(line, sizeof line, in) == nullptr) line[0] = 0;
    std::fclose(in);
  }
  long frames = 0;
  std::sscanf(line, "frames %ld", &frames);
  check(code == 0 && frames > 0, "the frame-rate build runs the animation and ends", line);
  std::printf("frame rate at %d x %d: %s", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), line);
}

}  // namespace

void runScreenSaverChecks(const std::wstring& exe) {
  usageBoxCheck(exe, L"/c");
  usageBoxCheck(exe, L"/p");
  usageBoxCheck(exe, L"/p 1 2");
  silentExitCheck(exe, L"/p 0");
  silentExitCheck(exe, L"/p junk");
  previewCheck(exe);
  animationCheck(exe);
  closeCheck(exe, L"/S extra", 500);
  closeCheck(exe, L"", 0);
  const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/") + 1);
  missingLegendCheck(folder + L"QuorvalentNoLegend.scr");
  frameRateMeasure(folder + L"QuorvalentFrameRate.scr", folder + L"frame_rate.txt");
}

}  // namespace qv::win32::testing
