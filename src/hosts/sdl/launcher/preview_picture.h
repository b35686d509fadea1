#pragma once
// The screen-saver preview's picture (preview_layout.h), composed from the
// icon resources.

#include <cstdint>
#include <span>
#include <vector>

#include "hosts/portable/preview_layout.h"
#include "hosts/portable/resource_table.h"

namespace qv::sdl {

// The picture as ARGB words, top row first. An icon missing from `resources`
// (or unreadable) is left out, as the window system draws nothing for it.
std::vector<std::uint32_t> composePreviewPicture(std::span<const EmbeddedResource> resources);

}  // namespace qv::sdl
