#include "resource_tree.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace qv::resgen {
namespace {

TEST(ResourceTree, ScriptNamesEveryResourceWithAFileOfTheTree) {
  const auto files = generateResourceTree();
  std::set<std::string> paths;
  for (const auto& f : files) paths.insert(f.path);
  const std::string rc = resourceScriptText();
  const std::regex line(R"(^(\w+)\s+(\w+)\s+\"([^\"]+)\"$)");
  std::set<std::string> names;
  std::size_t start = 0;
  while (start < rc.size()) {
    const std::size_t end = rc.find('\n', start);
    const std::string text = rc.substr(start, end - start);
    start = end + 1;
    std::smatch m;
    if (!std::regex_match(text, m, line)) continue;
    names.insert(m[1].str() + " " + m[2].str());
    EXPECT_TRUE(paths.count(m[3].str())) << m[3] << " is named but not made";
    EXPECT_EQ(m[3].str().find('\\'), std::string::npos);
  }
  const std::set<std::string> expected = {"ICON_MAIN ICON",
                                          "ICON_SSPRVW01 ICON",
                                          "ICON_SSPRVW02 ICON",
                                          "ICON_SSPRVW03 ICON",
                                          "ICON_SSPRVW04 ICON",
                                          "ICON_SSPRVW05 ICON",
                                          "ICON_SSPRVW06 ICON",
                                          "ICON_SSPRVW07 ICON",
                                          "ICON_SSPRVW08 ICON",
                                          "QUORVALENT BITMAP",
                                          "CONTROL_INFO BITMAP",
                                          std::string(SAMPLE_BRUSH_NAME) + " BINARYDATA",
                                          "1 24"};
  EXPECT_EQ(names, expected);
  // Every made file but the script itself is named by it.
  EXPECT_EQ(paths.size(), expected.size() + 1);
}

}  // namespace
}  // namespace qv::resgen
