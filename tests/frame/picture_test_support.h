#pragma once
// Raw test pictures for the scripted platform, and a platform that counts the
// picture-support starts and stops.

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "support/test_platform.h"

namespace qv::testing {

// The scripted platform's raw picture format: width, height, then the ARGB
// words top row first.
inline std::vector<std::uint8_t> rawPicture(int w, int h,
                                            const std::function<std::uint32_t(int, int)>& pixelAt) {
  std::vector<std::uint8_t> bytes(8 + static_cast<std::size_t>(w) * h * 4);
  std::memcpy(bytes.data(), &w, 4);
  std::memcpy(bytes.data() + 4, &h, 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = pixelAt(x, y);
      std::memcpy(bytes.data() + 8 + (static_cast<std::size_t>(y) * w + x) * 4, &p, 4);
    }
  }
  return bytes;
}

inline const std::string BITMAP_TYPE = std::to_string(2);
inline const std::string BINARYDATA_TYPE = "BINARYDATA";

class PictureTestPlatform : public TestPlatform {
 public:
  int starts = 0;
  int stops = 0;
  bool supportPresent = true;
  bool startPictureSupport() override {
    ++starts;
    return supportPresent;
  }
  void stopPictureSupport() override { ++stops; }
};

}  // namespace qv::testing
