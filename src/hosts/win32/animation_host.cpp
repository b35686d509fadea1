#include "hosts/win32/animation_host.h"

#include "frame/frame_buffer.h"
#include "scene/animation.h"

namespace qv::win32 {

AnimationHost::AnimationHost(Platform& platform, InputState& input, BackBufferMemory* memory)
    : animation_(std::make_unique<Animation>(platform, input, memory)) {}

AnimationHost::~AnimationHost() = default;

int AnimationHost::configureHost(HostSettings& settings) {
  settings.windowName = PROGRAM_WINDOW_NAME;
  settings.showCursor = 0;
  settings.processHook = Hook::member<&Animation::animationMain>(animation_.get());
  // The Animation's construction gave the frame the configured colours and
  // its size request (the whole screen).
  const FrameBuffer& frame = animation_->frameBuffer();
  settings.width = frame.geometry().width;
  settings.height = frame.geometry().height;
  settings.fullScreen = frame.fullScreen();
  return 1;
}

void AnimationHost::abandon() { static_cast<void>(animation_.release()); }

}  // namespace qv::win32
