#include "hosts/win32/host_shell.h"

#include <new>

#include "ground/input_state.h"
#include "ground/runtime_error.h"
#include "hosts/win32/command_line.h"
#include "hosts/win32/input_messages.h"
#include "hosts/win32/preview.h"
#include "hosts/win32/win32_platform.h"

namespace qv::win32 {

namespace {
// The worker gives the window a moment to come up before the scene starts.
constexpr DWORD WORKER_START_DELAY_MS = 3;
}  // namespace

HostShell::HostShell(HINSTANCE instance, HostSettings& settings, Win32Platform& platform, InputState& input)
    : instance_(instance), settings_(settings), platform_(platform), input_(input), darkMonitors_(instance) {
  if (!settings_.processHook) settings_.processHook = Hook::member<&HostShell::defaultProcess>(this);
  if (!settings_.redrawHook) settings_.redrawHook = Hook::member<&HostShell::defaultRedraw>(this);
}

HostShell::~HostShell() {
  if (workerThread_ != nullptr) CloseHandle(workerThread_);
}

void HostShell::defaultProcess() { MessageBoxW(mainWindow_, NO_PROCESS_TEXT, HOOK_CAPTION, MB_ICONERROR); }

void HostShell::defaultRedraw() { MessageBoxW(mainWindow_, NO_REDRAW_TEXT, HOOK_CAPTION, MB_ICONERROR); }

// 1: the program ends at once (a zero preview handle, or the usage box was
// shown); 0: it goes on, in preview mode when asked.
int HostShell::parseArgs() {
  previewMode_ = false;
  const ParsedArgs parsed = classifyArgs(GetCommandLineW());
  switch (parsed.outcome) {
    case ArgsOutcome::Run: return 0;
    case ArgsOutcome::Preview:
      previewParent_ = parsed.previewParent;
      previewMode_ = true;
      return 0;
    case ArgsOutcome::ExitSilently: return 1;
    case ArgsOutcome::ShowUsage:
      MessageBoxW(nullptr, settings_.usageText.c_str(), settings_.usageCaption.c_str(), MB_OK);
      return 1;
  }
  return 1;
}

int HostShell::winMain(int showCommand) {
  if (settings_.parseArguments != 0 && parseArgs() == 1) return 0;
  if (previewMode_) {
    if (!openPreview()) return 0;
  } else {
    if (!openMainWindow(showCommand)) return 0;
  }

  MSG message{};
  BOOL got;
  while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  const int result = got == 0 ? static_cast<int>(message.wParam) : 0;

  // A worker that reported an error may still be unwinding: it must be gone
  // before the device context and the animation go.
  finishWorker();
  if (!previewMode_ && windowDC_ != nullptr) {
    platform_.attachWindow(nullptr, nullptr);
    ReleaseDC(mainWindow_, windowDC_);
    windowDC_ = nullptr;
  }
  Sleep(1);
  return result;
}

bool HostShell::openPreview() {
  GetClientRect(previewParent_, &parentRect_);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_PARENTDC;
  windowClass.lpfnWndProc = &HostShell::windowProcedureEntry;
  windowClass.hInstance = instance_;
  windowClass.lpszClassName = settings_.windowName.c_str();
  if (RegisterClassExW(&windowClass) == 0) return false;
  mainWindow_ =
      CreateWindowExW(0, settings_.windowName.c_str(), settings_.windowName.c_str(),
                      WS_CHILD | WS_VISIBLE | WS_DISABLED, 0, 0, parentRect_.right - parentRect_.left,
                      parentRect_.bottom - parentRect_.top, previewParent_, nullptr, instance_, this);
  // A handle that names no window (or a parent gone meanwhile) leaves no
  // window whose destruction would end the loop.
  return mainWindow_ != nullptr;
}

bool HostShell::openMainWindow(int showCommand) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &HostShell::windowProcedureEntry;
  windowClass.hInstance = instance_;
  windowClass.hIcon = LoadIconW(instance_, L"ICON_MAIN");
  if (windowClass.hIcon == nullptr) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = settings_.windowName.c_str();
  if (RegisterClassW(&windowClass) == 0) return false;

  const DWORD style = settings_.fullScreen == 1 ? WS_POPUP : WS_OVERLAPPEDWINDOW;
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - settings_.width / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - settings_.height / 2;
  mainWindow_ = CreateWindowExW(0, settings_.windowName.c_str(), settings_.windowName.c_str(), style, x, y,
                                settings_.width, settings_.height, nullptr, nullptr, instance_, this);
  if (mainWindow_ == nullptr) return false;  // no window: no worker and no loop
  ShowWindow(mainWindow_, showCommand);
  UpdateWindow(mainWindow_);
  if (settings_.fullScreen == 1) darkMonitors_.follow(mainWindow_);
  windowDC_ = GetDC(mainWindow_);
  platform_.attachWindow(mainWindow_, windowDC_);
  startWorker();
  ShowCursor(settings_.showCursor);
  return true;
}

void HostShell::startWorker() {
  workerThread_ = CreateThread(nullptr, 0, &HostShell::workerEntry, this, 0, &workerId_);
  if (workerThread_ == nullptr) return;  // the window stays until the user closes it
  if (settings_.workerPriority == 2) {
    SetThreadPriority(workerThread_, THREAD_PRIORITY_TIME_CRITICAL);
  } else if (settings_.workerPriority == 1) {
    SetThreadPriority(workerThread_, THREAD_PRIORITY_HIGHEST);
  }
}

DWORD WINAPI HostShell::workerEntry(void* shell) {
  static_cast<HostShell*>(shell)->runWorker();
  return 0;
}

void HostShell::runWorker() {
  // A close that came before the worker began leaves nothing to run.
  if (platform_.waitForStop(WORKER_START_DELAY_MS)) return;
  platform_.workerDone() = 0;
  try {
    settings_.processHook();
  } catch (const RuntimeErrorStop&) {
    // A fatal error's box has closed the window already, or the user's close
    // stopped the worker: either way there is nothing left to do here.
    return;
  } catch (const std::bad_alloc&) {
    platform_.showRuntimeError(errors::OUT_OF_MEMORY);
    return;
  }
  platform_.workerDone() = 1;
  SendMessageW(mainWindow_, WM_CLOSE, 0, 0);
}

bool HostShell::waitForWorker(DWORD ms) {
  if (workerThread_ == nullptr) return true;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    const DWORD left = elapsed >= ms ? 0 : ms - elapsed;
    // Messages the worker sends meanwhile (its own close, a box's owner
    // being disabled, a timer) are answered, so it can run to its end.
    const DWORD woke = MsgWaitForMultipleObjects(1, &workerThread_, FALSE, left, QS_SENDMESSAGE);
    if (woke == WAIT_OBJECT_0) return true;
    if (woke != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void HostShell::stopWorker() {
  if (workerThread_ == nullptr) return;
  platform_.requestStop();
  if (!waitForWorker(WORKER_STOP_WAIT_MS)) {
    // The worker did not reach a sleep or a presentation in time (a box of
    // its own is open, or a long set-up): the window closes regardless.
    TerminateThread(workerThread_, 0);
    workerCutOff_ = true;
  }
}

void HostShell::finishWorker() {
  if (workerThread_ == nullptr || workerCutOff_) return;
  if (waitForWorker(WORKER_END_WAIT_MS)) return;
  stopWorker();
}

void HostShell::onTimer(UINT_PTR id) {
  if (id == REDRAW_TIMER_ID) {
    if (redrawBusy_ != 0) return;  // the previous redraw is still running
    redrawBusy_ = 1;
    settings_.redrawHook();
    redrawBusy_ = 0;
    return;
  }
  platform_.markTimerFired(static_cast<UINT>(id));
}

LRESULT CALLBACK HostShell::windowProcedureEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* shell = reinterpret_cast<HostShell*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (shell == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (shell->previewMode_) return shell->previewProcedure(window, message, wParam, lParam);
  return shell->windowProcedure(window, message, wParam, lParam);
}

LRESULT HostShell::previewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      paintPreview(dc, GetModuleHandleW(nullptr));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT HostShell::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (recordInputMessage(input_, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_PAINT: {
      // The whole back buffer once it exists; before that the update region
      // is only validated.
      PAINTSTRUCT paint;
      BeginPaint(window, &paint);
      if (windowDC_ != nullptr) platform_.backBuffer().repaint(windowDC_);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;  // the frames cover the whole window
    case WM_CLOSE:
      // A close sent while another is waiting for the worker (the worker's
      // own close at its end) is left to the one already under way.
      if (closing_) return 0;
      closing_ = true;
      // The window leaves the screen at once, whatever the worker still needs.
      ShowWindow(window, SW_HIDE);
      darkMonitors_.closeAll();
      if (platform_.workerDone().load() == 0) stopWorker();
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
      // Monitors came or went: the animation stays where it is, the dark
      // windows follow.
      if (settings_.fullScreen == 1 && !closing_) darkMonitors_.follow(window);
      return DefWindowProcW(window, message, wParam, lParam);
    case WM_GETMINMAXINFO: {
      auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
      limits->ptMaxTrackSize.x = settings_.width;
      limits->ptMaxTrackSize.y = settings_.height;
      return 0;
    }
    case WM_TIMER: onTimer(wParam); return 0;
    case WM_QV_START_TIMER:
      return static_cast<LRESULT>(
          SetTimer(window, TIMER_ID_BASE + wParam, static_cast<UINT>(lParam), nullptr));
    case WM_QV_STOP_TIMER: return KillTimer(window, TIMER_ID_BASE + wParam);
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace qv::win32
