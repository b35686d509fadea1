#include "hosts/web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "ground/runtime_error.h"

// The page's side (page/page.js), reached through the module object.
// clang-format off
// Returns 0 when the page cannot make a canvas of the frame's size.
EM_JS(int, qvPagePresent, (const void* pixels, int width, int height, int strideWords, int bottomUp,
                            int x, int y, int w, int h), {
  return Module.qvPresent(pixels, width, height, strideWords, bottomUp !== 0, x, y, w, h) ? 1 : 0;
});
EM_JS(void, qvPageRuntimeError, (const char* text, int length), {
  Module.qvRuntimeError(UTF8ToString(text, length));
});
// clang-format on

namespace qv::web {

WebPlatform::WebPlatform(PageClock clock, std::span<const EmbeddedResource> resources)
    : PortablePlatform(resources), clock_(clock), originMs_(emscripten_date_now() - emscripten_get_now()) {}

void WebPlatform::showRuntimeError(std::string_view text) {
  qvPageRuntimeError(text.data(), static_cast<int>(text.size()));
}

std::uint64_t WebPlatform::clockTicks() {
  if (clock_ == PageClock::Virtual) return virtualTicks_;
  // Ticks of 10 microseconds.
  return static_cast<std::uint64_t>((originMs_ + emscripten_get_now()) * 100.0);
}

void WebPlatform::sleepMilliseconds(std::uint32_t ms) {
  if (clock_ == PageClock::Virtual) virtualTicks_ += static_cast<std::uint64_t>(ms) * 100;
}

void WebPlatform::present(const FrameView& frame, int x, int y, int w, int h) {
  if (!presentsShown_ || frame.pixels == nullptr) return;
  // A canvas too large for the browser is memory that ran out.
  if (qvPagePresent(frame.pixels, frame.width, frame.height, frame.strideWords, frame.bottomUp ? 1 : 0, x, y,
                    w, h) == 0) {
    reportRuntimeError(*this, errors::OUT_OF_MEMORY);
  }
}

void WebPlatform::setScreenSize(int w, int h) {
  if (w == screenWidth_ && h == screenHeight_) return;
  screenWidth_ = w;
  screenHeight_ = h;
  resized_ = true;
}

bool WebPlatform::takeResize(int& w, int& h) {
  w = screenWidth_;
  h = screenHeight_;
  const bool resized = resized_;
  resized_ = false;
  return resized;
}

}  // namespace qv::web
