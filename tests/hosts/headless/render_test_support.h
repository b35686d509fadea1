#pragma once
// Running the renderer inside a test: arguments in, exit code and both output
// streams out, in a fresh folder of its own.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "hosts/headless/image_output.h"

namespace qv::testing {

struct RenderRun {
  int code = -1;
  std::string out;
  std::string err;
};

// A fresh, empty folder under the system's temporary folder.
std::filesystem::path freshFolder(const std::string& name);
RenderRun runRenderer(const std::vector<std::string>& args);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
// An RGB picture of PNG bytes; empty when they are no PNG.
RgbImage decodePng(const std::vector<std::uint8_t>& png);

}  // namespace qv::testing
