#include "hosts/win32/win32_platform.h"

#include <mmsystem.h>

#include <string>

#include "ground/clock.h"

namespace qv::win32 {

namespace {

std::wstring widenUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

}  // namespace

Win32Platform::Win32Platform(HINSTANCE module)
    : stopEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), resources_(module) {
  // Sleep and the timers run at 1 ms resolution for the whole run.
  timeBeginPeriod(1);
  QueryPerformanceFrequency(&counterFrequency_);
}

Win32Platform::~Win32Platform() {
  if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
}

void Win32Platform::attachWindow(HWND window, HDC windowDC) {
  window_ = window;
  windowDC_ = windowDC;
  backBuffer_.attachWindow(window);
}

void Win32Platform::showRuntimeError(std::string_view text) {
  const std::wstring wide = widenUtf8(text);
  MessageBoxW(window_, wide.c_str(), RUNTIME_ERROR_CAPTION_W, MB_ICONERROR);
  workerDone_ = 1;
  SendMessageW(window_, WM_CLOSE, 0, 0);
}

std::uint64_t Win32Platform::clockTicks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  const auto count = static_cast<std::uint64_t>(now.QuadPart);
  const auto frequency = static_cast<std::uint64_t>(counterFrequency_.QuadPart);
  constexpr std::uint64_t ticksPerSecond = TICKS_PER_SECOND;
  if (frequency == 0) return static_cast<std::uint64_t>(timeGetTime()) * 100;
  // Whole seconds and the rest apart, so the product cannot overflow.
  return count / frequency * ticksPerSecond + count % frequency * ticksPerSecond / frequency;
}

void Win32Platform::throwIfStopped() {
  if (stopRequested_.load()) throw WorkerStopRequest();
}

void Win32Platform::sleepMilliseconds(std::uint32_t ms) {
  throwIfStopped();
  if (waitForStop(ms)) throw WorkerStopRequest();
}

bool Win32Platform::waitForStop(std::uint32_t ms) {
  return WaitForSingleObject(stopEvent_, ms) == WAIT_OBJECT_0;
}

void Win32Platform::requestStop() {
  stopRequested_ = true;
  SetEvent(stopEvent_);
}

int Win32Platform::startTimer(int n, std::uint32_t ms) {
  if (n < 0 || n >= PROGRAM_TIMER_COUNT) return 0;
  return static_cast<int>(
      SendMessageW(window_, WM_QV_START_TIMER, static_cast<WPARAM>(n), static_cast<LPARAM>(ms)));
}

int Win32Platform::stopTimer(int n) {
  if (n < 0 || n >= PROGRAM_TIMER_COUNT) return 0;
  return static_cast<int>(SendMessageW(window_, WM_QV_STOP_TIMER, static_cast<WPARAM>(n), 0));
}

bool Win32Platform::timerFired(int n) {
  return n >= 0 && n < PROGRAM_TIMER_COUNT && timerFired_[static_cast<std::size_t>(n)].load() != 0;
}

void Win32Platform::markTimerFired(UINT timerId) {
  if (timerId < TIMER_ID_BASE) return;
  const UINT n = timerId - TIMER_ID_BASE;
  if (n < PROGRAM_TIMER_COUNT) timerFired_[n] = 1;
}

int Win32Platform::screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int Win32Platform::screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void Win32Platform::present(const FrameView& frame, int x, int y, int w, int h) {
  throwIfStopped();
  if (windowDC_ == nullptr) return;
  backBuffer_.present(windowDC_, frame, x, y, w, h);
}

std::span<const std::uint8_t> Win32Platform::findResource(std::string_view name, int type) {
  return resources_.find(name, type);
}

std::span<const std::uint8_t> Win32Platform::findResource(std::string_view name, std::string_view type) {
  return resources_.find(name, type);
}

bool Win32Platform::startPictureSupport() { return pictures_.start(); }
void Win32Platform::stopPictureSupport() { pictures_.stop(); }

bool Win32Platform::decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  return pictures_.decode(bytes, out);
}

void Win32Platform::freePicturePixels(DecodedPicture& picture) { GdiplusPictures::freePixels(picture); }

bool Win32Platform::scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) {
  return pictures_.scale(in, w, h, out);
}

}  // namespace qv::win32
