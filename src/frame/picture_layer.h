#pragma once
// The small picture layer over the platform's decoder: picture support
// started and stopped by use count, one picture at a time loaded from a
// resource of the executable, an optional high-quality rescale, and read
// access to its pixels as 32-bit ARGB rows, top row first. The image brushes
// and the overlays load through it; pictures live only during a load.

#include <cstdint>
#include <string_view>

#include "ground/platform.h"

namespace qv {

// The type under which loadPicture looks resources up: a numbered type
// (RT_BITMAP) or a named one ("BINARYDATA").
struct ResourceType {
  int id = 0;
  std::string_view name;  // empty for a numbered type
  friend constexpr bool operator==(const ResourceType&, const ResourceType&) = default;
};
inline constexpr ResourceType BITMAP_RESOURCE{RESOURCE_TYPE_BITMAP, {}};
inline constexpr ResourceType BINARYDATA_RESOURCE{0, RESOURCE_TYPE_BINARYDATA};

class PictureLayer {
 public:
  explicit PictureLayer(Platform& platform);
  // Frees a picture a fatal error left behind and stops picture support if a
  // use is still open.
  ~PictureLayer();
  PictureLayer(const PictureLayer&) = delete;
  PictureLayer& operator=(const PictureLayer&) = delete;

  // Picture support by use count: started when the count leaves 0 (a failed
  // start is fatal), stopped when it returns to 0.
  void startGdiplus();
  void stopGdiplus();
  int gdiplusUsers() const { return gdiplusUsers_; }

  // Where loadPicture looks; the image brushes switch it to BINARYDATA and
  // leave it so.
  ResourceType resourceType = BITMAP_RESOURCE;

  // 1 when the named resource was found and decoded into the current
  // picture, else 0. A picture still held is released first.
  int loadPicture(std::string_view name);
  // Gives read access to the current picture's pixels; picturePixels stays
  // null when there is no picture.
  void lockPicture();
  void unlockPicture();
  void releasePicture();
  // Replaces the current picture by a high-quality rescale to w x h, unless
  // it already has that size.
  void scalePicture(int w, int h);

  int pictureWidth() const { return pictureWidth_; }
  int pictureHeight() const { return pictureHeight_; }
  const std::uint32_t* picturePixels() const { return picturePixels_; }
  int pictureBytes() const { return pictureBytes_; }
  bool hasPicture() const { return currentPicture_.pixels != nullptr; }

  Platform& platform() { return platform_; }

 private:
  Platform& platform_;
  int gdiplusUsers_ = 0;
  DecodedPicture currentPicture_;
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  const std::uint32_t* picturePixels_ = nullptr;
  int pictureBytes_ = 0;
};

}  // namespace qv
