#pragma once
// The frame surface of the program's own SDL window: its window surface,
// shown with SDL_UpdateWindowSurfaceRects. The frame is drawn straight into
// the window surface where its pixels are 32-bit words without a gap between
// rows.

#include <SDL.h>

#include "hosts/sdl/shared/frame_surface.h"

namespace qv::sdl {

class SdlWindowSurface final : public FrameSurface {
 public:
  // Main thread; takes the window's surface.
  SdlWindowSurface(SDL_Window* window, bool showFps);

 protected:
  bool hasPixels() const override { return surface_ != nullptr; }
  int width() const override { return surface_->w; }
  int height() const override { return surface_->h; }
  std::uint32_t* pixelsToLend(int w, int h) override;
  // Takes the window's surface again; SDL sizes it.
  void replacePixels(int w, int h) override;
  void copyRows(const FrameView& frame, int x, int y, int w, int h) override;
  void fillArea(int x, int y, int w, int h, bool white) override;
  void show(const SurfaceArea& area) override;

 private:
  bool frameLayout() const;

  SDL_Window* window_;
  SDL_Surface* surface_ = nullptr;  // guarded by pixelLock()
};

}  // namespace qv::sdl
