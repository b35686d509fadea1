#include "ground/runtime_error.h"

#include "ground/platform.h"

namespace qv {

void reportRuntimeError(Platform& platform, std::string_view text) {
  platform.showRuntimeError(text);
  throw RuntimeErrorStop(text);
}

}  // namespace qv
