#include "hosts/sdl/launcher/preview_picture.h"

#include "hosts/portable/icon_decoder.h"
#include "hosts/portable/picture_codec.h"

namespace qv::sdl {

std::vector<std::uint32_t> composePreviewPicture(std::span<const EmbeddedResource> resources) {
  std::vector<std::uint32_t> picture(static_cast<std::size_t>(PREVIEW_WIDTH) * PREVIEW_HEIGHT, 0xFF000000u);
  for (const PreviewIcon& icon : PREVIEW_ICONS) {
    const auto bytes = findEmbeddedResource(resources, icon.name, RESOURCE_TYPE_GROUP_ICON);
    DecodedPicture image;
    if (bytes.empty() || !decodeIconImage(bytes, PREVIEW_ICON_SIZE, image)) continue;
    drawIconOver(image, picture.data(), PREVIEW_WIDTH, PREVIEW_HEIGHT, icon.x, icon.y);
    freeDecodedPicture(image);
  }
  return picture;
}

}  // namespace qv::sdl
