#pragma once
// The back buffer as the window system holds it: a 32-bit bottom-up DIB
// section selected into a memory device context, from which frames are
// copied to the window with BitBlt. Every copy and the buffer's creation and
// release hold one lock, so the worker's presentation of a frame and the
// window's repaint never run at the same time, and a repaint never meets a
// half-released bitmap.

#include <windows.h>

#include <cstdint>

#include "frame/frame_buffer.h"
#include "ground/platform.h"

namespace qv::win32 {

class DibBackBuffer : public BackBufferMemory {
 public:
  DibBackBuffer();
  ~DibBackBuffer() override;
  DibBackBuffer(const DibBackBuffer&) = delete;
  DibBackBuffer& operator=(const DibBackBuffer&) = delete;

  // The window whose device context the memory context is made compatible
  // with. Set before the first acquire.
  void attachWindow(HWND window) { window_ = window; }

  // BackBufferMemory: null when the memory context or the bitmap cannot be
  // made (then there is no back buffer and nothing is shown).
  std::uint32_t* acquire(int width, int height) override;
  void release(std::uint32_t* pixels) override;

  // Copies the rectangle (x, y, w, h) of `frame` to `target` at the same
  // place. The back buffer itself is copied by BitBlt from its memory
  // context; any other frame (the half-size one) goes through
  // SetDIBitsToDevice. Nothing happens once the buffer is released.
  void present(HDC target, const FrameView& frame, int x, int y, int w, int h);
  // The whole back buffer to `target`; false when there is none.
  bool repaint(HDC target);

  bool exists();

 private:
  void destroyLocked();

  HWND window_ = nullptr;
  SRWLOCK lock_ = SRWLOCK_INIT;
  HDC memoryDC_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

}  // namespace qv::win32
