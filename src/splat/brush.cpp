#include "splat/brush.h"

#include <algorithm>

namespace qv {

void Brush::copyFrom(Platform& platform, const Brush& source) {
  if (&source == this) return;
  kind = source.kind;
  colour = source.colour;
  useParticleColour = source.useParticleColour;
  fadeDivisor = source.fadeDivisor;
  sizeScale = source.sizeScale;
  innerScale1 = source.innerScale1;
  innerScale2 = source.innerScale2;
  nextBrush = source.nextBrush;
  kindRecord = source.kindRecord;
  for (int q = 0; q < QUADRANT_COUNT; ++q) {
    AlignedBuffer<std::uint32_t>& image = quadrantImages[q];
    const AlignedBuffer<std::uint32_t>& from = source.quadrantImages[q];
    if (from == nullptr) {
      image.reset();
      continue;
    }
    if (image == nullptr) image.allocate(platform, IMAGE_TEXELS, IMAGE_ALIGNMENT, FILL_NONE);
    std::copy(from.begin(), from.end(), image.begin());
  }
}

}  // namespace qv
