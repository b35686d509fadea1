#include "frame/overlay.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "frame/frame_buffer.h"
#include "frame/picture_layer.h"
#include "frame/pixel_ops.h"
#include "ground/memory_blocks.h"
#include "ground/runtime_error.h"

namespace qv {

namespace {
constexpr std::uint32_t OPAQUE = 0xFF000000;
constexpr std::uint32_t OPAQUE_WHITE = 0xFFFFFFFF;
constexpr std::uint32_t FRAME_WHITE = 0x00FFFFFF;

void blendRow(std::uint32_t* f, const std::uint32_t* o, int count, std::int32_t mode) {
  switch (mode) {
    case OVERLAY_ALPHA_BLEND:
      for (int c = 0; c < count; ++c) {
        const int alpha = static_cast<int>(o[c] >> 24);
        if (alpha == 255) {
          f[c] = o[c];
        } else if (alpha != 0) {
          f[c] = lerpChannels(f[c], o[c], alpha);
        }
      }
      break;
    case OVERLAY_ADD:
      for (int c = 0; c < count; ++c) f[c] = addSaturate(f[c], o[c]);
      break;
    case OVERLAY_SUBTRACT:
      for (int c = 0; c < count; ++c) f[c] = subtractFloor(f[c], o[c]);
      break;
    case OVERLAY_HIDDEN_4:
    case OVERLAY_HIDDEN_5:
    case OVERLAY_HIDDEN_6: break;
    case OVERLAY_BLACK_CUTS:
      for (int c = 0; c < count; ++c) {
        if (o[c] == OPAQUE) f[c] = 0;
      }
      break;
    case OVERLAY_WHITE_PAINTS:
      for (int c = 0; c < count; ++c) {
        if (o[c] == OPAQUE_WHITE) f[c] = FRAME_WHITE;
      }
      break;
    default: std::memcpy(f, o, static_cast<std::size_t>(count) * sizeof(std::uint32_t)); break;
  }
}
}  // namespace

OverlayLoader::OverlayLoader(Platform& platform, PictureLayer& pictures)
    : platform_(platform), pictures_(pictures) {}

std::unique_ptr<Overlay> OverlayLoader::createOverlay(std::string_view colourName, std::string_view maskName,
                                                      int w, int h) {
  auto overlay = std::make_unique<Overlay>();
  loadOverlay(*overlay, colourName, maskName, w, h);
  return overlay;
}

// Room for the open picture, whole words of its byte size.
void OverlayLoader::allocatePixels(Overlay& overlay) {
  const auto bytes = static_cast<std::size_t>(pictures_.pictureBytes());
  overlay.pixels.allocate(platform_, bytes / sizeof(std::uint32_t), ALIGNMENT_16, FILL_NONE);
}

void OverlayLoader::openPicture(std::string_view name, int w, int h) {
  pictures_.startGdiplus();
  if (pictures_.loadPicture(name) == 0) reportRuntimeError(platform_, errors::PICTURE_NOT_FOUND);
  if (w != KEEP_PICTURE_SIZE) pictures_.scalePicture(w, h);
  pictures_.lockPicture();
  if (pictures_.picturePixels() == nullptr) reportRuntimeError(platform_, errors::PICTURE_NOT_FOUND);
}

int OverlayLoader::loadOverlay(Overlay& overlay, std::string_view colourName, std::string_view maskName,
                               int w, int h) {
  overlay.pixels.reset();
  overlay.right = overlay.left + overlay.width - 1;
  overlay.bottom = overlay.top + overlay.height - 1;

  if (!colourName.empty()) {
    openPicture(colourName, w, h);
    const std::uint32_t* source = pictures_.picturePixels();
    overlay.width = pictures_.pictureWidth();
    overlay.height = pictures_.pictureHeight();
    allocatePixels(overlay);
    const std::size_t count =
        static_cast<std::size_t>(overlay.width) * static_cast<std::size_t>(overlay.height);
    for (std::size_t i = 0; i < count; ++i)
      overlay.pixels[i] = OPAQUE | multiplyChannels(source[i], overlayTint);
    pictures_.unlockPicture();
    pictures_.releasePicture();
    pictures_.stopGdiplus();
  }

  if (!maskName.empty()) {
    openPicture(maskName, w, h);
    const std::uint32_t* mask = pictures_.picturePixels();
    const int maskWidth = pictures_.pictureWidth();
    const int maskHeight = pictures_.pictureHeight();
    if (overlay.pixels != nullptr) {
      // Position by position; where a mask of its own size does not cover the
      // colour picture, the pixels stay opaque.
      const int rows = std::min(overlay.height, maskHeight);
      const int columns = std::min(overlay.width, maskWidth);
      for (int r = 0; r < rows; ++r) {
        std::uint32_t* row = overlay.pixels.data() + static_cast<std::ptrdiff_t>(r) * overlay.width;
        const std::uint32_t* maskRow = mask + static_cast<std::ptrdiff_t>(r) * maskWidth;
        for (int c = 0; c < columns; ++c) row[c] = (row[c] & 0x00FFFFFFu) | (maskRow[c] << 24);
      }
    } else {
      overlay.width = maskWidth;
      overlay.height = maskHeight;
      allocatePixels(overlay);
      const std::size_t count = static_cast<std::size_t>(maskWidth) * static_cast<std::size_t>(maskHeight);
      for (std::size_t i = 0; i < count; ++i) overlay.pixels[i] = (mask[i] << 24) | overlayTint;
    }
    pictures_.unlockPicture();
    pictures_.releasePicture();
    pictures_.stopGdiplus();
  }

  overlayTint = NO_OVERLAY_TINT;
  return overlay.pixels != nullptr ? 1 : 0;
}

void placeFromLeft(Overlay& overlay, const FrameBufferGeometry& frame, int x, int y, int mode) {
  if (mode != KEEP_BLEND_MODE) overlay.blendMode = mode;
  overlay.left = x;
  overlay.top = frame.innerHeight - overlay.height - y;
  overlay.right = overlay.left + overlay.width - 1;
  overlay.bottom = overlay.top + overlay.height - 1;
}

void placeFromRight(Overlay& overlay, const FrameBufferGeometry& frame, int x, int y, int mode) {
  if (mode != KEEP_BLEND_MODE) overlay.blendMode = mode;
  overlay.left = frame.innerWidth - overlay.width - x;
  overlay.top = frame.innerHeight - overlay.height - y;
  overlay.right = overlay.left + overlay.width - 1;
  overlay.bottom = overlay.top + overlay.height - 1;
}

void drawOverlay(const Overlay& overlay, const FrameBufferGeometry& frame) {
  if (overlay.pixels == nullptr || frame.pixels == nullptr) return;
  const int innerRows = std::min(frame.innerHeight, static_cast<int>(frame.rowStart.size()));
  const int firstRow = std::max(overlay.top, 0);
  const int lastRow = std::min({overlay.bottom, overlay.top + overlay.height - 1, innerRows - 1});
  const int firstColumn = std::max(overlay.left, 0);
  const int lastColumn = std::min(overlay.left + overlay.width - 1, frame.innerWidth - 1);
  if (firstRow > lastRow || firstColumn > lastColumn) return;
  const int count = lastColumn - firstColumn + 1;
  if (frame.drawn != nullptr) frame.drawn->mark(firstRow, lastRow, firstColumn, lastColumn);
  for (int r = firstRow; r <= lastRow; ++r) {
    std::uint32_t* f = frame.pixels + frame.rowStart[static_cast<std::size_t>(r)] + firstColumn;
    const std::uint32_t* o = overlay.pixels.data() +
                             static_cast<std::ptrdiff_t>(r - overlay.top) * overlay.width +
                             (firstColumn - overlay.left);
    blendRow(f, o, count, overlay.blendMode);
  }
}

void destroyOverlay(std::unique_ptr<Overlay>& overlay) { overlay.reset(); }

}  // namespace qv
