#pragma once
// What the portable hosts' platforms (the desktop program's, the headless
// one and the web page's) have in common: the program's resources from an
// embedded table, pictures decoded and rescaled in software, the part of a
// present that lies inside the frame, and the fatal error's line.

#include <cstdio>
#include <span>

#include "ground/platform.h"
#include "hosts/portable/resource_table.h"

namespace qv {

// A fatal error's line: "Process Runtime Error: TEXT", flushed.
void printRuntimeError(std::FILE* stream, std::string_view text);

// The part of a rectangle inside a frame; right and bottom exclusive.
struct FrameArea {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool empty() const { return right <= left || bottom <= top; }
};
FrameArea frameAreaOf(const FrameView& frame, int x, int y, int w, int h);

class PortablePlatform : public Platform {
 public:
  explicit PortablePlatform(std::span<const EmbeddedResource> resources) : resources_(resources) {}

  std::span<const std::uint8_t> findResource(std::string_view name, int type) override;
  std::span<const std::uint8_t> findResource(std::string_view name, std::string_view type) override;
  bool decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) override;
  void freePicturePixels(DecodedPicture& picture) override;
  bool scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) override;

 private:
  std::span<const EmbeddedResource> resources_;
};

}  // namespace qv
