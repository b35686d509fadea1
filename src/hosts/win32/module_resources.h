#pragma once
// The resources of the program's own executable, by name (the window system
// compares names without regard to case) and type. Bitmap resources are
// stored without their file header; they are handed out with one built in
// front, so that every picture reaches the decoder as a whole picture file.

#include <windows.h>

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv::win32 {

class ModuleResources {
 public:
  explicit ModuleResources(HINSTANCE module) : module_(module) {}

  std::span<const std::uint8_t> find(std::string_view name, int type);
  std::span<const std::uint8_t> find(std::string_view name, std::string_view type);

 private:
  std::span<const std::uint8_t> load(const std::wstring& name, const wchar_t* type);

  HINSTANCE module_;
  // Bitmaps with their file header, by upper-case name; they live as long as
  // this object, as the resources themselves do.
  std::map<std::wstring, std::vector<std::uint8_t>> bitmapFiles_;
};

// A bitmap file: a file header in front of a packed DIB (info header,
// colour table, pixels). Empty when the DIB's header is not one of a DIB.
std::vector<std::uint8_t> bitmapFileFromPackedDib(std::span<const std::uint8_t> dib);

std::wstring widenAscii(std::string_view text);

}  // namespace qv::win32
