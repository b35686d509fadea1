#include "hosts/portable/portable_platform.h"

#include <algorithm>

#include "ground/runtime_error.h"
#include "hosts/portable/picture_codec.h"

namespace qv {

void printRuntimeError(std::FILE* stream, std::string_view text) {
  std::fprintf(stream, "%.*s: %.*s\n", static_cast<int>(RUNTIME_ERROR_CAPTION.size()),
               RUNTIME_ERROR_CAPTION.data(), static_cast<int>(text.size()), text.data());
  std::fflush(stream);
}

FrameArea frameAreaOf(const FrameView& frame, int x, int y, int w, int h) {
  return {std::max(x, 0), std::max(y, 0),
          static_cast<int>(std::min<long long>(static_cast<long long>(x) + w, frame.width)),
          static_cast<int>(std::min<long long>(static_cast<long long>(y) + h, frame.height))};
}

std::span<const std::uint8_t> PortablePlatform::findResource(std::string_view name, int type) {
  return findEmbeddedResource(resources_, name, type);
}

std::span<const std::uint8_t> PortablePlatform::findResource(std::string_view name, std::string_view type) {
  return findEmbeddedResource(resources_, name, type);
}

bool PortablePlatform::decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  return decodePictureBytes(bytes, out);
}

void PortablePlatform::freePicturePixels(DecodedPicture& picture) { freeDecodedPicture(picture); }

bool PortablePlatform::scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) {
  return scaleDecodedPicture(in, w, h, out);
}

}  // namespace qv
