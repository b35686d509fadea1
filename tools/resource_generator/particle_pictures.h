#pragma once
// Procedural particle pictures: the program's emblem, the eight small
// preview views of the animation and the sample brush picture. They are made
// here from code alone; the icon container does not care where its pictures
// come from.

#include <cstdint>

#include "image.h"

namespace qv::resgen {

constexpr int PREVIEW_COUNT = 8;
constexpr int PREVIEW_SIDE = 32;
constexpr int STAR_FLARE_SIDE = 511;

// The scene's two brush colour sets (three colours each).
constexpr std::uint32_t SCENE_COLOURS[2][3] = {
    {0xFF5300, 0x79FF00, 0x006CFA},
    {0x329BFF, 0xFF8C0F, 0xB4141E},
};

// Three glowing particle discs on a dark round ground, transparent around
// it, drawn at `side` x `side` pixels.
RgbaImage makeEmblem(int side);

// Preview view `number` (1..8): an opaque 32 x 32 particle picture, each
// with its own arrangement, brush style and colour set.
RgbaImage makePreview(int number);

// A soft white star with four long and four short rays, 511 x 511 grey
// levels 0..255, brightest at the centre pixel (255, 255) and black at the
// border, for a brush that tints it.
IndexedImage makeStarFlare();

}  // namespace qv::resgen
