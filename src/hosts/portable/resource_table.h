#pragma once
// The program's resources, embedded in the executable at build time from the
// resources/ folder (bitmaps as RT_BITMAP, icon files as RT_GROUP_ICON, brush
// pictures as "BINARYDATA").
// Names and type names are found without regard to case, as the window
// system's own resource lookup does.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qv {

// An icon resource: the whole .ico file (directory and images).
inline constexpr int RESOURCE_TYPE_GROUP_ICON = 14;

struct EmbeddedResource {
  std::string_view name;      // upper case
  int typeId = 0;             // a numbered type (RT_BITMAP = 2), or 0 for a named one
  std::string_view typeName;  // a named type ("BINARYDATA"), or empty for a numbered one
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
};

// The table built from resources/ (empty when there is none).
std::span<const EmbeddedResource> programResources();

bool equalsIgnoringCase(std::string_view a, std::string_view b);

// The bytes of the resource, or an empty span when the table has none of
// that name and type.
std::span<const std::uint8_t> findEmbeddedResource(std::span<const EmbeddedResource> table,
                                                   std::string_view name, int typeId);
std::span<const std::uint8_t> findEmbeddedResource(std::span<const EmbeddedResource> table,
                                                   std::string_view name, std::string_view typeName);

}  // namespace qv
