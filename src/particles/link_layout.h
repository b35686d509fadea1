#pragma once
// The link patterns of the spring-link kinds: which pairs of particles a
// link group ties, in the fixed order in which they are applied. Pairs that
// name a particle outside the array are left out, so a layout that breaks the
// group rules (a length that is not a multiple of the width, a wrap past the
// end, an unbounded row count) can never reach outside the particles.

#include <cstdint>
#include <type_traits>

#include "particles/particle.h"

namespace qv {

using LinkVisitor = void (*)(void* context, std::int64_t a, std::int64_t b);

// Calls visit(context, a, b) for every link of the group, in order.
void forEachLink(const LinkGroup& group, std::int64_t particleCount, LinkVisitor visit, void* context);

template <class F>
void forEachLink(const LinkGroup& group, std::int64_t particleCount, F&& visit) {
  using Visitor = std::remove_reference_t<F>;
  forEachLink(
      group, particleCount,
      [](void* c, std::int64_t a, std::int64_t b) { (*static_cast<Visitor*>(c))(a, b); },
      static_cast<void*>(&visit));
}

}  // namespace qv
