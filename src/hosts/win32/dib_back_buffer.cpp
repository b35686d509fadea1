#include "hosts/win32/dib_back_buffer.h"

#include <algorithm>

namespace qv::win32 {

namespace {

class ExclusiveLock {
 public:
  explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
  ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
  ExclusiveLock(const ExclusiveLock&) = delete;
  ExclusiveLock& operator=(const ExclusiveLock&) = delete;

 private:
  SRWLOCK& lock_;
};

BITMAPINFO bottomUpInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // positive: bottom-up
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

DibBackBuffer::DibBackBuffer() = default;

DibBackBuffer::~DibBackBuffer() {
  ExclusiveLock hold(lock_);
  destroyLocked();
}

std::uint32_t* DibBackBuffer::acquire(int width, int height) {
  ExclusiveLock hold(lock_);
  destroyLocked();
  if (width <= 0 || height <= 0) return nullptr;
  HDC windowDC = GetDC(window_);
  memoryDC_ = CreateCompatibleDC(windowDC);
  if (memoryDC_ == nullptr) {
    ReleaseDC(window_, windowDC);
    return nullptr;
  }
  const BITMAPINFO info = bottomUpInfo(width, height);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(windowDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap_ == nullptr || bits == nullptr) {
    ReleaseDC(window_, windowDC);
    destroyLocked();
    return nullptr;
  }
  previousBitmap_ = SelectObject(memoryDC_, bitmap_);
  // White first, as a fresh bitmap shows before its first fill.
  HGDIOBJ previousBrush = SelectObject(memoryDC_, GetStockObject(WHITE_BRUSH));
  PatBlt(memoryDC_, 0, 0, width, height, PATCOPY);
  SelectObject(memoryDC_, previousBrush);
  GdiFlush();
  ReleaseDC(window_, windowDC);
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return bits_;
}

void DibBackBuffer::release(std::uint32_t* pixels) {
  ExclusiveLock hold(lock_);
  if (pixels != nullptr && pixels == bits_) destroyLocked();
}

void DibBackBuffer::destroyLocked() {
  if (memoryDC_ != nullptr) {
    if (previousBitmap_ != nullptr) SelectObject(memoryDC_, previousBitmap_);
    DeleteDC(memoryDC_);
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  memoryDC_ = nullptr;
  bitmap_ = nullptr;
  previousBitmap_ = nullptr;
  bits_ = nullptr;
  width_ = 0;
  height_ = 0;
}

void DibBackBuffer::present(HDC target, const FrameView& frame, int x, int y, int w, int h) {
  if (frame.pixels == nullptr || w <= 0 || h <= 0) return;
  ExclusiveLock hold(lock_);
  if (memoryDC_ == nullptr) return;
  if (frame.pixels == bits_) {
    BitBlt(target, x, y, w, h, memoryDC_, x, y, SRCCOPY);
    return;
  }
  // Another buffer of the frame's own size (the half-size picture of a
  // requested clear): drawn straight from its memory, which is laid out as
  // the back buffer is.
  const int left = std::max(x, 0);
  const int top = std::max(y, 0);
  const int right = std::min(x + w, frame.width);
  const int bottom = std::min(y + h, frame.height);
  if (right <= left || bottom <= top) return;
  BITMAPINFO info = bottomUpInfo(frame.strideWords, frame.bottomUp ? frame.height : -frame.height);
  // SetDIBitsToDevice counts the source's y from the bottom of a bottom-up
  // bitmap.
  const int sourceY = frame.bottomUp ? frame.height - bottom : top;
  SetDIBitsToDevice(target, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top),
                    left, sourceY, 0, static_cast<UINT>(frame.height), frame.pixels, &info, DIB_RGB_COLORS);
}

bool DibBackBuffer::repaint(HDC target) {
  ExclusiveLock hold(lock_);
  if (memoryDC_ == nullptr) return false;
  BitBlt(target, 0, 0, width_, height_, memoryDC_, 0, 0, SRCCOPY);
  return true;
}

bool DibBackBuffer::exists() {
  ExclusiveLock hold(lock_);
  return memoryDC_ != nullptr;
}

}  // namespace qv::win32
