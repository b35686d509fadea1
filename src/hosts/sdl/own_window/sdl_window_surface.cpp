#include "hosts/sdl/own_window/sdl_window_surface.h"

#include <cstring>

namespace qv::sdl {

SdlWindowSurface::SdlWindowSurface(SDL_Window* window, bool showFps)
    : FrameSurface(showFps), window_(window), surface_(SDL_GetWindowSurface(window)) {}

// The frame's words, blue in the low byte; the top byte unused or opaque.
bool SdlWindowSurface::frameLayout() const {
  const Uint32 format = surface_->format->format;
  return format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888;
}

std::uint32_t* SdlWindowSurface::pixelsToLend(int w, int h) {
  if (surface_->w != w || surface_->h != h || surface_->pitch != w * 4 || SDL_MUSTLOCK(surface_) ||
      !frameLayout()) {
    return nullptr;
  }
  return static_cast<std::uint32_t*>(surface_->pixels);
}

void SdlWindowSurface::replacePixels(int /*w*/, int /*h*/) {
  // SDL frees the old surface here; nothing draws into it any more.
  surface_ = SDL_GetWindowSurface(window_);
}

void SdlWindowSurface::copyRows(const FrameView& frame, int x, int y, int w, int h) {
  const Uint32 format = surface_->format->format;
  const bool sameLayout = frameLayout();
  auto* base = static_cast<std::uint8_t*>(surface_->pixels);
  const int bytesPerPixel = surface_->format->BytesPerPixel;
  const bool mustLock = SDL_MUSTLOCK(surface_);
  if (mustLock) SDL_LockSurface(surface_);
  for (int r = y; r < y + h; ++r) {
    const std::uint32_t* src = frame.topRow(r) + x;
    std::uint8_t* dst = base + static_cast<std::ptrdiff_t>(r) * surface_->pitch +
                        static_cast<std::ptrdiff_t>(x) * bytesPerPixel;
    if (sameLayout) {
      std::memcpy(dst, src, static_cast<std::size_t>(w) * 4);
    } else {
      SDL_ConvertPixels(w, 1, SDL_PIXELFORMAT_ARGB8888, src, w * 4, format, dst, surface_->pitch);
    }
  }
  if (mustLock) SDL_UnlockSurface(surface_);
}

void SdlWindowSurface::fillArea(int x, int y, int w, int h, bool white) {
  const Uint8 level = white ? 255 : 0;
  const SDL_Rect area{x, y, w, h};
  SDL_FillRect(surface_, &area, SDL_MapRGB(surface_->format, level, level, level));
}

void SdlWindowSurface::show(const SurfaceArea& area) {
  const SDL_Rect rect{area.x, area.y, area.w, area.h};
  SDL_UpdateWindowSurfaceRects(window_, &rect, 1);
}

}  // namespace qv::sdl
