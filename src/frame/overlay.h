#pragma once
// Overlays: small bitmaps loaded once from resources and drawn over every
// frame at a fixed distance from a corner of the inner rectangle, combined
// with the frame by a blend mode. They are drawn after the particles and after
// the half-resolution swap-back, so they always appear at full resolution.

#include <cstdint>
#include <memory>
#include <string_view>

#include "ground/aligned_buffer.h"

namespace qv {

class Platform;
class PictureLayer;
struct FrameBufferGeometry;

// Blend modes (any value not listed copies the overlay rows over the frame).
inline constexpr std::int32_t OVERLAY_COPY = 0;
inline constexpr std::int32_t OVERLAY_ALPHA_BLEND = 1;  // by the overlay pixel's alpha
inline constexpr std::int32_t OVERLAY_ADD = 2;
inline constexpr std::int32_t OVERLAY_SUBTRACT = 3;
// Modes with no effect of their own: the overlay is not drawn.
inline constexpr std::int32_t OVERLAY_HIDDEN_4 = 4;
inline constexpr std::int32_t OVERLAY_HIDDEN_5 = 5;
inline constexpr std::int32_t OVERLAY_HIDDEN_6 = 6;
inline constexpr std::int32_t OVERLAY_BLACK_CUTS = 7;    // opaque black pixels clear the frame
inline constexpr std::int32_t OVERLAY_WHITE_PAINTS = 8;  // opaque white pixels paint white
// As the mode of a placement: keep the overlay's own mode.
inline constexpr std::int32_t KEEP_BLEND_MODE = -1;
// As a size: keep the picture's own.
inline constexpr int KEEP_PICTURE_SIZE = -1;
inline constexpr std::uint32_t NO_OVERLAY_TINT = 0xFFFFFFFF;

struct Overlay {
  std::int32_t left = 0;  // first column, relative to the inner rectangle
  std::int32_t top = 0;   // first drawing row (0 = top of the inner rectangle)
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t right = 0;   // left + width - 1
  std::int32_t bottom = 0;  // top + height - 1
  std::int32_t blendMode = OVERLAY_ALPHA_BLEND;
  // width x height words 0xAARRGGBB, top row first; empty when nothing loaded.
  AlignedBuffer<std::uint32_t> pixels;
};

// Loads overlays through the picture layer; holds the tint the next load
// multiplies in.
class OverlayLoader {
 public:
  OverlayLoader(Platform& platform, PictureLayer& pictures);

  // Multiplied into the next overlay loaded; back to NO_OVERLAY_TINT after
  // every load.
  std::uint32_t overlayTint = NO_OVERLAY_TINT;

  // A fresh overlay (mode 1, at 0, 0) loaded by loadOverlay.
  std::unique_ptr<Overlay> createOverlay(std::string_view colourName, std::string_view maskName, int w,
                                         int h);
  // Loads the colour picture, tinted and opaque, and takes the alpha from the
  // mask picture's blue byte (or, without a colour picture, builds the
  // overlay from the mask and the tint). Empty names are not given; w = -1
  // keeps the pictures' own size, otherwise both are rescaled to w x h.
  // A missing picture is fatal ("JPG or BMP Resource Not Found").
  // 1 when the overlay has pixels afterwards.
  int loadOverlay(Overlay& overlay, std::string_view colourName, std::string_view maskName, int w, int h);

 private:
  void openPicture(std::string_view name, int w, int h);
  void allocatePixels(Overlay& overlay);

  Platform& platform_;
  PictureLayer& pictures_;
};

// Places the overlay x pixels from the left (or right) edge and y pixels above
// the bottom edge of the inner rectangle; mode -1 keeps the blend mode.
void placeFromLeft(Overlay& overlay, const FrameBufferGeometry& frame, int x, int y, int mode);
void placeFromRight(Overlay& overlay, const FrameBufferGeometry& frame, int x, int y, int mode);

// Combines the overlay with the frame by its blend mode. Only the part inside
// the inner rectangle is drawn: an overlay larger than the frame, or placed
// partly outside it, is cut at the rectangle's edges.
void drawOverlay(const Overlay& overlay, const FrameBufferGeometry& frame);

// Frees the overlay's pixels and the record.
void destroyOverlay(std::unique_ptr<Overlay>& overlay);

}  // namespace qv
