#include "hosts/portable/resource_table.h"

namespace qv {

namespace {
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

std::span<const std::uint8_t> findEmbeddedResource(std::span<const EmbeddedResource> table,
                                                   std::string_view name, int typeId) {
  for (const EmbeddedResource& r : table) {
    if (r.typeName.empty() && r.typeId == typeId && equalsIgnoringCase(r.name, name)) {
      return {r.bytes, r.size};
    }
  }
  return {};
}

std::span<const std::uint8_t> findEmbeddedResource(std::span<const EmbeddedResource> table,
                                                   std::string_view name, std::string_view typeName) {
  if (typeName.empty()) return {};
  for (const EmbeddedResource& r : table) {
    if (equalsIgnoringCase(r.typeName, typeName) && equalsIgnoringCase(r.name, name)) {
      return {r.bytes, r.size};
    }
  }
  return {};
}

}  // namespace qv
