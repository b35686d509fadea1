#pragma once
// The icon container: an ICONDIR with one entry per image, each image a
// 32-bit BGRA device-independent bitmap followed by its 1-bit AND mask.
// It takes finished pictures and knows nothing of how they were made, so the
// preview icons can later be fed with frames from the renderer itself.

#include <vector>

#include "image.h"

namespace qv::resgen {

constexpr int ICON_MAX_SIDE = 256;

// Encodes the images in the given order (largest first by convention).
// Sides must be 1..256; there must be at least one image. A pixel whose alpha
// is 0 is marked transparent in the AND mask too, for readers that ignore
// alpha.
Bytes encodeIcon(const std::vector<RgbaImage>& images);

}  // namespace qv::resgen
