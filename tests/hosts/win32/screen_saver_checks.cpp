// The screen saver run as its own process: the usage box, the silent exit,
// the preview child in a parent window of ours, the animation's window
// ending on a close, and the fatal error box. (The animation itself, with
// its logo and its ending on Escape, is the two-monitor cases' to see.)
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "driver_support.h"
#include "hosts/win32/host_settings.h"

namespace qv::win32::testing {

namespace {

constexpr DWORD START_TIMEOUT_MS = 8000;

// The arguments in quotes, for the checks' names.
std::string quoted(const std::wstring& arguments) {
  std::string label(1, '"');  // (not "\"" + ...: GCC 12 warns of a false overlap)
  label.append(narrow(arguments));
  label.push_back('"');
  return label;
}

// A message box's text and caption, once both are in place (a box may be
// found before they are), or empty after a couple of seconds.
struct BoxText {
  std::wstring text, caption;
};
BoxText boxText(HWND box) {
  wchar_t text[512] = {}, caption[128] = {};
  for (int tries = 0; tries < 150 && (text[0] == 0 || caption[0] == 0); ++tries) {
    if (tries > 0) pause(20);
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    GetWindowTextW(box, caption, 128);
  }
  return {text, caption};
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
  const BoxText shown = boxText(box);
  check(shown.text == text && shown.caption == caption, (label + " box text and caption").c_str(),
        narrow(shown.text) + " / " + narrow(shown.caption));
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

}  // namespace

void runScreenSaverChecks(const std::wstring& exe) {
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

}  // namespace qv::win32::testing
