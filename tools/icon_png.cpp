// Build step: writes the program's icon of one size (from the embedded
// "ICON_MAIN") as a PNG for the desktop's icon theme.
//
//   qv_icon_png SIZE OUTPUT.png

#include <png.h>

#include <cstdio>
#include <cstdlib>

#include "hosts/portable/icon_decoder.h"
#include "hosts/portable/picture_codec.h"
#include "hosts/portable/resource_table.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: qv_icon_png SIZE OUTPUT.png\n");
    return 2;
  }
  const int size = std::atoi(argv[1]);
  const auto bytes =
      qv::findEmbeddedResource(qv::programResources(), "ICON_MAIN", qv::RESOURCE_TYPE_GROUP_ICON);
  qv::DecodedPicture icon;
  if (bytes.empty() || !qv::decodeIconImage(bytes, size, icon)) {
    std::fprintf(stderr, "qv_icon_png: ICON_MAIN has no %d x %d image\n", size, size);
    return 1;
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(icon.width);
  image.height = static_cast<png_uint_32>(icon.height);
  // ARGB words lie in memory as B, G, R, A.
  image.format = PNG_FORMAT_BGRA;
  const int ok = png_image_write_to_file(&image, argv[2], 0, icon.pixels, icon.width * 4, nullptr);
  qv::freeDecodedPicture(icon);
  if (ok == 0) {
    std::fprintf(stderr, "qv_icon_png: %s\n", image.message);
    return 1;
  }
  return 0;
}
