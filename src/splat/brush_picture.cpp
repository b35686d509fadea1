#include "splat/brush_picture.h"

#include <cstddef>
#include <cstdint>

#include "frame/picture_layer.h"
#include "frame/pixel_ops.h"
#include "ground/runtime_error.h"
#include "splat/brush.h"

namespace qv {

namespace {
// The spot's own tint for its variant 1 (blend towards the colour): blue.
constexpr std::uint32_t SPOT_BLEND_TINT = 0xFF0000FF;
constexpr std::uint32_t MASK_WHITE = 0x00FFFFFF;

[[noreturn]] void giveUp(PictureLayer& pictures, std::string_view text) {
  pictures.stopGdiplus();
  reportRuntimeError(pictures.platform(), text);
}
}  // namespace

void loadBrushPicture(PictureLayer& pictures, Brush& brush, std::string_view name) {
  const int cls = brushClass(brush.kind);
  const int variant = brushVariant(brush.kind);
  const std::uint32_t tint =
      (cls == BRUSH_CLASS_SPOT && variant == BRUSH_VARIANT_BLEND) ? SPOT_BLEND_TINT : brush.colour;

  pictures.startGdiplus();
  pictures.resourceType = BINARYDATA_RESOURCE;
  if (pictures.loadPicture(name) == 0) giveUp(pictures, errors::JPG_NOT_FOUND);
  pictures.lockPicture();
  if (pictures.picturePixels() == nullptr) {
    pictures.releasePicture();
    giveUp(pictures, errors::JPG_NOT_FOUND);
  }

  int shift = 0;
  int centre = 0;
  const int width = pictures.pictureWidth();
  // Only the width decides the mapping; a picture with fewer rows than
  // columns would be read past its last row, so it counts as wrong too.
  if (width == 255 && pictures.pictureHeight() >= width) {
    shift = 1;
    centre = 127;
  } else if (width == 511 && pictures.pictureHeight() >= width) {
    shift = 0;
    centre = 255;
  } else {
    pictures.releasePicture();
    giveUp(pictures, errors::JPG_WRONG_RESOLUTION);
  }

  const std::uint32_t* source = pictures.picturePixels();
  const bool greyMask = variant == BRUSH_VARIANT_MULTIPLY && cls != BRUSH_CLASS_PICTURE;
  auto texel = [&](int row, int column) {
    const std::uint32_t p = source[static_cast<std::ptrdiff_t>(row) * width + column];
    return greyMask ? lerpChannels(MASK_WHITE, tint, static_cast<int>(p & 0xFFu)) : multiplyChannels(p, tint);
  };
  std::uint32_t* const q0 = brush.quadrantImages[0].data();
  std::uint32_t* const q1 = brush.quadrantImages[1].data();
  std::uint32_t* const q2 = brush.quadrantImages[2].data();
  std::uint32_t* const q3 = brush.quadrantImages[3].data();
  for (int i = 0; i < IMAGE_SIDE; ++i) {
    const int di = i >> shift;
    for (int j = 0; j < IMAGE_SIDE; ++j) {
      const int dj = j >> shift;
      const std::size_t at = static_cast<std::size_t>(i) * IMAGE_SIDE + static_cast<std::size_t>(j);
      if (q0 != nullptr) q0[at] = texel(centre - di, centre - dj);
      if (q1 != nullptr) q1[at] = texel(centre - di, centre + dj);
      if (q2 != nullptr) q2[at] = texel(centre + di, centre - dj);
      if (q3 != nullptr) q3[at] = texel(centre + di, centre + dj);
    }
  }

  pictures.unlockPicture();
  pictures.releasePicture();
  pictures.stopGdiplus();
}

}  // namespace qv
