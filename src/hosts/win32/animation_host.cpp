#include "hosts/win32/animation_host.h"

#include "frame/frame_buffer.h"
#include "scene/animation.h"

namespace qv::win32 {

namespace {
constexpr std::uint32_t CONFIGURED_CLEAR_COLOUR = 0xFF0A0A0A;
constexpr std::uint32_t CONFIGURED_BACKGROUND_COLOUR = 0xFF000000;
constexpr int CONFIGURED_HEIGHT_REQUEST = 1024;  // unused by a full-screen request
}  // namespace

AnimationHost::AnimationHost(Platform& platform, InputState& input, BackBufferMemory* memory)
    : animation_(std::make_unique<Animation>(platform, input, memory)) {}

AnimationHost::~AnimationHost() = default;

int AnimationHost::configureHost(HostSettings& settings) {
  settings.windowName = PROGRAM_WINDOW_NAME;
  settings.showCursor = 0;
  settings.processHook = Hook::member<&Animation::animationMain>(animation_.get());
  FrameBuffer& frame = animation_->frameBuffer();
  frame.clearColour = CONFIGURED_CLEAR_COLOUR;
  frame.backgroundColour = CONFIGURED_BACKGROUND_COLOUR;
  frame.setFrameSize(FULL_SCREEN_REQUEST, CONFIGURED_HEIGHT_REQUEST);
  settings.width = frame.geometry().width;
  settings.height = frame.geometry().height;
  settings.fullScreen = frame.fullScreen();
  return 1;
}

void AnimationHost::abandon() { static_cast<void>(animation_.release()); }

}  // namespace qv::win32
