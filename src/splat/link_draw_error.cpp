#include "ground/runtime_error.h"
#include "splat/kernel.h"
#include "splat/splat_params.h"

namespace qv {

void reportLinkDrawError(SplatParams& p) { reportRuntimeError(*p.platform, errors::LINK_DRAW_ERROR); }

}  // namespace qv
