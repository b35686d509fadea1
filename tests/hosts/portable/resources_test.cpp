#include "hosts/portable/resource_table.h"

#include <gtest/gtest.h>

#include <utility>

namespace qv {
namespace {

TEST(EmbeddedResources, NamesAndNamedTypesAreFoundWithoutRegardToCase) {
  static constexpr std::uint8_t data[] = {1, 2, 3};
  static constexpr EmbeddedResource table[] = {
      {"QUORVALENT", 2, "", data, 1},
      {"QUORVALENT", 0, "BINARYDATA", data, 3},
  };
  EXPECT_EQ(findEmbeddedResource(table, "quorvalent", 2).size(), 1u);
  EXPECT_EQ(findEmbeddedResource(table, "Quorvalent", "binarydata").size(), 3u);
  for (auto [name, type] : {std::pair{"QUORVALENT", 3}, {"QUORV", 2}, {"", 2}}) {
    EXPECT_TRUE(findEmbeddedResource(table, name, type).empty()) << name << " " << type;
  }
  EXPECT_TRUE(findEmbeddedResource(table, "Quorvalent", "").empty());
  EXPECT_TRUE(findEmbeddedResource(table, "Quorvalent", "BINARY").empty());
}

}  // namespace
}  // namespace qv
