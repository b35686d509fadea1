#include "frame/picture_layer.h"

#include "ground/runtime_error.h"

namespace qv {

PictureLayer::PictureLayer(Platform& platform) : platform_(platform) {}

PictureLayer::~PictureLayer() {
  unlockPicture();
  releasePicture();
  if (gdiplusUsers_ != 0) {
    gdiplusUsers_ = 0;
    platform_.stopPictureSupport();
  }
}

void PictureLayer::startGdiplus() {
  if (gdiplusUsers_ == 0 && !platform_.startPictureSupport()) {
    reportRuntimeError(platform_, errors::NO_PICTURE_SUPPORT);
  }
  gdiplusUsers_ += 1;
}

void PictureLayer::stopGdiplus() {
  if (gdiplusUsers_ == 0) return;
  gdiplusUsers_ -= 1;
  if (gdiplusUsers_ == 0) platform_.stopPictureSupport();
}

int PictureLayer::loadPicture(std::string_view name) {
  unlockPicture();
  releasePicture();
  const std::span<const std::uint8_t> bytes = resourceType.name.empty()
                                                  ? platform_.findResource(name, resourceType.id)
                                                  : platform_.findResource(name, resourceType.name);
  if (bytes.empty()) return 0;
  DecodedPicture decoded;
  if (!platform_.decodePicture(bytes, decoded)) return 0;
  if (decoded.pixels == nullptr || decoded.width <= 0 || decoded.height <= 0) {
    platform_.freePicturePixels(decoded);
    return 0;
  }
  currentPicture_ = decoded;
  return 1;
}

void PictureLayer::lockPicture() {
  if (!hasPicture()) {
    unlockPicture();
    return;
  }
  pictureWidth_ = currentPicture_.width;
  pictureHeight_ = currentPicture_.height;
  picturePixels_ = currentPicture_.pixels;
  pictureBytes_ = pictureWidth_ * 4 * pictureHeight_;
}

void PictureLayer::unlockPicture() { picturePixels_ = nullptr; }

void PictureLayer::releasePicture() {
  unlockPicture();
  if (currentPicture_.pixels != nullptr) platform_.freePicturePixels(currentPicture_);
  currentPicture_ = DecodedPicture{};
}

void PictureLayer::scalePicture(int w, int h) {
  if (!hasPicture() || (currentPicture_.width == w && currentPicture_.height == h)) return;
  DecodedPicture scaled;
  if (!platform_.scalePicture(currentPicture_, w, h, scaled) || scaled.pixels == nullptr) {
    // The picture keeps its own size; the caller reads the size it has.
    if (scaled.pixels != nullptr) platform_.freePicturePixels(scaled);
    return;
  }
  releasePicture();
  currentPicture_ = scaled;
}

}  // namespace qv
