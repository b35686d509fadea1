#pragma once
// The platform on Windows: the error box, a 10 us clock from the performance
// counter with the millisecond timer set to 1 ms resolution, sleeps that a
// stop request cuts short, program timers (window timers 1000 + n, set on the
// window's own thread), presentation into the window's device context, the
// executable's resources and GDI+ pictures.
//
// A user's close while the animation runs stops the worker: the stop request
// makes the worker's next sleep or presentation unwind it (as a fatal error's
// report does), so the frame loop never goes on after the window has closed.

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdint>

#include "ground/platform.h"
#include "ground/runtime_error.h"
#include "hosts/win32/dib_back_buffer.h"
#include "hosts/win32/gdiplus_pictures.h"
#include "hosts/win32/module_resources.h"

namespace qv::win32 {

inline constexpr UINT TIMER_ID_BASE = 1000;
inline constexpr UINT REDRAW_TIMER_ID = 347;
inline constexpr int PROGRAM_TIMER_COUNT = 16;
// Sent by the worker so that SetTimer and KillTimer run on the window's
// thread: wParam the timer number, lParam the interval.
inline constexpr UINT WM_QV_START_TIMER = WM_APP + 1;
inline constexpr UINT WM_QV_STOP_TIMER = WM_APP + 2;

inline constexpr wchar_t RUNTIME_ERROR_CAPTION_W[] = L"Process Runtime Error";

// Unwinds the worker after a stop request, as RuntimeErrorStop does after a
// fatal error's box.
class WorkerStopRequest : public RuntimeErrorStop {
 public:
  WorkerStopRequest() : RuntimeErrorStop("worker stopped") {}
};

class Win32Platform : public Platform {
 public:
  explicit Win32Platform(HINSTANCE module);
  ~Win32Platform() override;
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The main window and its kept device context, once they exist.
  void attachWindow(HWND window, HDC windowDC);

  void showRuntimeError(std::string_view text) override;
  std::uint64_t clockTicks() override;
  void sleepMilliseconds(std::uint32_t ms) override;
  int startTimer(int n, std::uint32_t ms) override;
  int stopTimer(int n) override;
  bool timerFired(int n) override;
  int screenWidth() override;
  int screenHeight() override;
  void present(const FrameView& frame, int x, int y, int w, int h) override;
  std::span<const std::uint8_t> findResource(std::string_view name, int type) override;
  std::span<const std::uint8_t> findResource(std::string_view name, std::string_view type) override;
  bool startPictureSupport() override;
  void stopPictureSupport() override;
  bool decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) override;
  void freePicturePixels(DecodedPicture& picture) override;
  bool scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) override;

  // Window side (main thread).
  void markTimerFired(UINT timerId);
  DibBackBuffer& backBuffer() { return backBuffer_; }

  // The worker's life: 0 while it runs (or has not begun), 1 once it has
  // finished or an error ended it.
  std::atomic<int>& workerDone() { return workerDone_; }
  void requestStop();
  bool stopRequested() const { return stopRequested_.load(); }
  // Waits up to ms; true when a stop was requested.
  bool waitForStop(std::uint32_t ms);

 private:
  void throwIfStopped();

  HWND window_ = nullptr;
  HDC windowDC_ = nullptr;
  HANDLE stopEvent_;
  std::atomic<bool> stopRequested_{false};
  std::atomic<int> workerDone_{0};
  std::array<std::atomic<int>, PROGRAM_TIMER_COUNT> timerFired_{};
  LARGE_INTEGER counterFrequency_{};
  DibBackBuffer backBuffer_;
  ModuleResources resources_;
  GdiplusPictures pictures_;
};

}  // namespace qv::win32
