#include "scene/wobble_hooks.h"

namespace qv {

void TransformWobble::wobbleTransform() {
  TransformTable& t = *transforms_;
  t.selectTransform(transformIndex_);
  t.setTurnSteps(1, 0, 0);
  const double remembered = t.current().turnAngle;
  t.setTurnAngle(context_->currentCounterValue);
  t.stepRotation();
  // Back to the orbit's own turn about Y.
  t.setTurnSteps(0, 1, 0);
  t.setTurnAngle(remembered);
}

}  // namespace qv
