#pragma once
// Running the renderer inside a test: arguments in, exit code and both output
// streams out, in a fresh folder of its own.

#include <stb_image.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "hosts/headless/image_output.h"
#include "hosts/headless/render_run.h"

namespace qv::testing {

struct RenderRun {
  int code = -1;
  std::string out, err;
};

// A fresh, empty folder under the system's temporary folder.
inline std::filesystem::path freshFolder(const std::string& name) {
  const auto path =
      std::filesystem::temp_directory_path() / ("qv-render-test-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::remove_all(path);
  return path;
}

inline std::string drain(std::FILE* f) {
  std::string text;
  std::rewind(f);
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  std::fclose(f);
  return text;
}

inline RenderRun runRenderer(const std::vector<std::string>& args) {
  std::vector<const char*> argv{"quorvalent-render"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int code = renderMain(static_cast<int>(argv.size()), argv.data(), out, err);
  return {code, drain(out), drain(err)};  // (braces: drained in this order)
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An RGB picture of PNG bytes; empty when they are no PNG.
inline RgbImage decodePng(const std::vector<std::uint8_t>& png) {
  int w = 0, h = 0, n = 0;
  stbi_uc* data = stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &w, &h, &n, 3);
  if (data == nullptr) return {};
  RgbImage image(w, h);
  std::copy(data, data + image.rgb.size(), image.rgb.begin());
  stbi_image_free(data);
  return image;
}

}  // namespace qv::testing
