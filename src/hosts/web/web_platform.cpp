#include "hosts/web/web_platform.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "ground/runtime_error.h"
#include "hosts/portable/picture_codec.h"

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
    : clock_(clock), resources_(resources), originMs_(emscripten_date_now() - emscripten_get_now()) {}

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

void WebPlatform::latch(Timer& t) {
  if (t.running && clockTicks() - t.startTicks >= t.intervalTicks) t.fired = true;
}

int WebPlatform::startTimer(int n, std::uint32_t ms) {
  Timer& t = timers_[n];
  latch(t);  // a fired flag stays set, as the host never clears it
  t.running = true;
  t.startTicks = clockTicks();
  t.intervalTicks = static_cast<std::uint64_t>(ms) * 100;
  return 1000 + n;
}

int WebPlatform::stopTimer(int n) {
  auto it = timers_.find(n);
  if (it == timers_.end() || !it->second.running) return 0;
  latch(it->second);
  it->second.running = false;
  return 1;
}

bool WebPlatform::timerFired(int n) {
  auto it = timers_.find(n);
  if (it == timers_.end()) return false;
  latch(it->second);
  return it->second.fired;
}

void WebPlatform::present(const FrameView& frame, int x, int y, int w, int h) {
  if (!presentsShown_ || frame.pixels == nullptr) return;
  // A canvas too large for the browser is memory that ran out.
  if (qvPagePresent(frame.pixels, frame.width, frame.height, frame.strideWords, frame.bottomUp ? 1 : 0, x, y, w,
                    h) == 0) {
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

std::span<const std::uint8_t> WebPlatform::findResource(std::string_view name, int type) {
  return findEmbeddedResource(resources_, name, type);
}

std::span<const std::uint8_t> WebPlatform::findResource(std::string_view name, std::string_view type) {
  return findEmbeddedResource(resources_, name, type);
}

bool WebPlatform::decodePicture(std::span<const std::uint8_t> bytes, DecodedPicture& out) {
  return decodePictureBytes(bytes, out);
}

void WebPlatform::freePicturePixels(DecodedPicture& picture) { freeDecodedPicture(picture); }

bool WebPlatform::scalePicture(const DecodedPicture& in, int w, int h, DecodedPicture& out) {
  return scaleDecodedPicture(in, w, h, out);
}

}  // namespace qv::web
