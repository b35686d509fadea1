#pragma once
// The one place where the Win32 host meets the animation: it owns the
// Animation, and configureHost gives the shell this program's settings.

#include <memory>

#include "hosts/win32/host_settings.h"

namespace qv {
class Animation;
class BackBufferMemory;
class InputState;
class Platform;
}  // namespace qv

namespace qv::win32 {

class AnimationHost {
 public:
  AnimationHost(Platform& platform, InputState& input, BackBufferMemory* memory);
  ~AnimationHost();
  AnimationHost(const AnimationHost&) = delete;
  AnimationHost& operator=(const AnimationHost&) = delete;

  // The program's values: the window name "Quorvalent", a hidden cursor, the
  // animation as the worker's process, and the frame size request for the
  // whole screen, whose result sizes the window. Returns 1.
  int configureHost(HostSettings& settings);

  // After the worker had to be cut off mid-frame the animation's records
  // cannot be trusted, not even to release them: they are left to the
  // process's end.
  void abandon();

  // The animation itself, for test builds that run it in their own way.
  Animation& animation() { return *animation_; }

 private:
  std::unique_ptr<Animation> animation_;
};

}  // namespace qv::win32
