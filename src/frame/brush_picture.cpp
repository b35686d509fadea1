#include "frame/brush_picture.h"

#include "host/runtime_error.h"

namespace qv {

void loadBrushPicture(Platform& platform, Brush& /*brush*/, std::string_view /*name*/) {
  reportRuntimeError(platform, errors::JPG_NOT_FOUND);
}

}  // namespace qv
