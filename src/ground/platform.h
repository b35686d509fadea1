#pragma once
// The one interface through which the portable core reaches the platform.
// The Win32, SDL2 and headless hosts each implement it; the unit tests use a
// scripted implementation. Nothing else in the core knows which one runs.

#include <cstdint>
#include <span>
#include <string_view>

namespace qv {

// A window onto the 32-bit back buffer as it lies in memory: `rowStart(r)` is
// row r counted from the top of the picture (the buffer itself may be stored
// bottom-up, as a DIB is).
struct FrameView {
  const std::uint32_t* pixels = nullptr;  // lowest address of the buffer
  int width = 0;
  int height = 0;
  int strideWords = 0;   // 32-bit words from one stored row to the next
  bool bottomUp = true;  // stored row 0 is the bottom row of the picture

  const std::uint32_t* topRow(int r) const {
    const int stored = bottomUp ? height - 1 - r : r;
    return pixels + static_cast<std::ptrdiff_t>(stored) * strideWords;
  }
};

// A decoded picture: 32-bit ARGB words, top row first, `width` words a row.
struct DecodedPicture {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
};

// Picture resource types.
inline constexpr int RESOURCE_TYPE_BITMAP = 2;  // the platform's RT_BITMAP
inline constexpr std::string_view RESOURCE_TYPE_BINARYDATA = "BINARYDATA";

class Platform {
 public:
  virtual ~Platform() = default;

  // Shows the fatal error box ("Process Runtime Error" with `text`) and asks
  // the window to close. Returns; the caller then unwinds the worker
  // (see reportRuntimeError).
  virtual void showRuntimeError(std::string_view text) = 0;

  // The program clock in ticks of 10 microseconds.
  virtual std::uint64_t clockTicks() = 0;
  // Sleeps for whole milliseconds.
  virtual void sleepMilliseconds(std::uint32_t ms) = 0;

  // Program timer n (window timer id 1000 + n): start, stop, and whether it
  // has fired since it was started. A fired flag is never cleared by the host.
  virtual int startTimer(int n, std::uint32_t ms) = 0;
  virtual int stopTimer(int n) = 0;
  virtual bool timerFired(int n) = 0;

  // The size of the screen a FULL_SCREEN_REQUEST frame covers.
  virtual int screenWidth() = 0;
  virtual int screenHeight() = 0;

  // Copies the rectangle (x, y, w, h) of the frame (top-left origin) to the
  // window at the same place. Calls never overlap with the host's own repaint.
  virtual void present(const FrameView& frame, int x, int y, int w, int h) = 0;

  // An embedded resource by name (compared without regard to case) and type;
  // an empty span when there is none. `type` is RT_BITMAP's number or a name.
  virtual std::span<const std::uint8_t> findResource(std::string_view name, int type) = 0;
  virtual std::span<const std::uint8_t> findResource(std::string_view name, std::string_view type) = 0;

  // The picture decoder is started before a load and stopped after it, by use
  // count (the picture layer keeps the count). A failed start is fatal for
  // the caller. Hosts whose decoder needs no start keep these defaults.
  virtual bool startPictureSupport() { return true; }
  virtual void stopPictureSupport() {}

  // Decodes a picture (BMP, JPEG, PNG) into 32-bit ARGB. Returns false when
  // the bytes are not a picture. The caller frees `out.pixels` with
  // freePicturePixels.
  virtual bool decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) = 0;
  virtual void freePicturePixels(DecodedPicture& picture) = 0;
  // Rescales with a high-quality filter into a new picture of w x h.
  virtual bool scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) = 0;
};

}  // namespace qv
