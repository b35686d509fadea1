#pragma once
// The hooks of the wobble counters. A counter's hook takes no arguments, so
// each wobbling transform gets a small record that names it; the hook gives
// that transform one extra turn about its own X axis by the counter's value.

#include "counters/counters.h"
#include "geometry/transform.h"

namespace qv {

class TransformWobble {
 public:
  TransformWobble() = default;
  TransformWobble(TransformTable& transforms, const CounterContext& context, int transformIndex)
      : transforms_(&transforms), context_(&context), transformIndex_(transformIndex) {}

  // Leaves the wobbled transform current.
  void wobbleTransform();
  Hook hook() { return Hook::member<&TransformWobble::wobbleTransform>(this); }

 private:
  TransformTable* transforms_ = nullptr;
  const CounterContext* context_ = nullptr;
  int transformIndex_ = 0;
};

}  // namespace qv
