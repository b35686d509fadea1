#pragma once
// Hooks are the program's argument-less call-backs: a counter's hook, a
// particle system's force/bounce/respawn/draw hooks, the draw list's entry
// hook. The callee finds its subject in the current-object state of the
// module that calls it. A hook here is a plain function pointer plus the
// object it belongs to, so the scene can install member functions without any
// process-wide variable, and a call costs one indirect jump.

#include <utility>

namespace qv {

template <class R>
class BasicHook {
 public:
  using Fn = R (*)(void*);

  constexpr BasicHook() = default;
  constexpr BasicHook(Fn fn, void* context) : fn_(fn), context_(context) {}

  // A hook that calls obj->Method().
  template <auto Method, class T>
  static constexpr BasicHook member(T* obj) {
    return BasicHook([](void* p) -> R { return (static_cast<T*>(p)->*Method)(); }, obj);
  }

  // A hook from a function without arguments and without context.
  template <R (*Function)()>
  static constexpr BasicHook function() {
    return BasicHook([](void*) -> R { return Function(); }, nullptr);
  }

  constexpr explicit operator bool() const { return fn_ != nullptr; }
  R operator()() const { return fn_(context_); }

  friend constexpr bool operator==(const BasicHook& a, const BasicHook& b) {
    return a.fn_ == b.fn_ && a.context_ == b.context_;
  }

 private:
  Fn fn_ = nullptr;
  void* context_ = nullptr;
};

using Hook = BasicHook<void>;

}  // namespace qv
