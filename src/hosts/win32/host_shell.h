#pragma once
// The host shell: the command line, the preview child or the main window
// (full screen: with dark windows on the other monitors), the worker thread
// that runs the process hook, the window procedure and the message loop.
// The main thread only dispatches messages once the worker runs; the two
// threads meet in the input record, the worker's done flag, the program
// timers' fired flags and the presentation lock.

#include <windows.h>

#include "hosts/win32/dark_monitors.h"
#include "hosts/win32/host_settings.h"

namespace qv {
class InputState;
}

namespace qv::win32 {

class Win32Platform;

// How long a close waits for the worker to reach its next frame boundary
// after a stop request before it is cut off. A frame sleeps or presents
// every 40 ms or so, but the scene's set-up does neither and may take
// longer on a slow machine; a worker cut off there may hold the heap's
// lock, and the process then never ends. The window is hidden meanwhile.
inline constexpr DWORD WORKER_STOP_WAIT_MS = 2000;
// How long the end of the program waits for a worker still unwinding.
inline constexpr DWORD WORKER_END_WAIT_MS = 2000;

class HostShell {
 public:
  // Unset hooks become the shell's defaults, which only say that nothing
  // was configured.
  HostShell(HINSTANCE instance, HostSettings& settings, Win32Platform& platform, InputState& input);
  ~HostShell();
  HostShell(const HostShell&) = delete;
  HostShell& operator=(const HostShell&) = delete;

  // The start-up, the message loop and the shutdown; returns WinMain's
  // result.
  int winMain(int showCommand);

  // False when the worker had to be cut off and the animation's state is
  // not to be touched any more.
  bool workerEndedCleanly() const { return !workerCutOff_; }

 private:
  static LRESULT CALLBACK windowProcedureEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI workerEntry(void* shell);
  LRESULT windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT previewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  int parseArgs();
  bool openPreview();
  bool openMainWindow(int showCommand);
  void startWorker();
  void runWorker();
  void stopWorker();
  void finishWorker();
  bool waitForWorker(DWORD ms);
  void onTimer(UINT_PTR id);

  void defaultProcess();
  void defaultRedraw();

  HINSTANCE instance_;
  HostSettings& settings_;
  Win32Platform& platform_;
  InputState& input_;
  HWND mainWindow_ = nullptr;
  DarkMonitors darkMonitors_;  // the other monitors, while full screen
  HDC windowDC_ = nullptr;
  bool previewMode_ = false;
  HWND previewParent_ = nullptr;
  RECT parentRect_{};
  HANDLE workerThread_ = nullptr;
  DWORD workerId_ = 0;
  bool workerCutOff_ = false;
  bool closing_ = false;
  int redrawBusy_ = 0;
};

}  // namespace qv::win32
