#include "hosts/web/page_run.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>

#include "frame/frame_buffer.h"

namespace qv::web {

namespace {

// How long a still draws at one refresh before the page gets its turn.
constexpr double STILL_SLICE_MS = 50.0;

}  // namespace

PageRun::PageRun(const PageSettings& settings, int canvasWidth, int canvasHeight)
    : settings_(settings), platform_(settings.still ? PageClock::Virtual : PageClock::Real) {
  // A size in the settings, and a still's, stays; otherwise the frame
  // follows the canvas.
  if (settings_.width == 0 && settings_.still) {
    settings_.width = canvasWidth;
    settings_.height = canvasHeight;
  }
  const bool fixedSize = settings_.width > 0;
  platform_.setScreenSize(fixedSize ? settings_.width : canvasWidth, fixedSize ? settings_.height : canvasHeight);
  int unused = 0;
  platform_.takeResize(unused, unused);  // the first size is no resize
  animation_ = std::make_unique<Animation>(platform_, input_);
  // As the renderer: the frame exactly the requested size, without margins.
  if (fixedSize) animation_->frameBuffer().setFrameSize(settings_.width, settings_.height);
  // The page has one thread; frames are the same for any number.
  animation_->setDrawingThreads(1);
  animation_->setupOverlays();
  animation_->setupScene(settings_.choices.scene);
  animation_->scene().observer = this;
}

PageRun::~PageRun() {
  animation_->scene().observer = nullptr;
  animation_->endScene();
  animation_->destroyOverlays();
}

bool PageRun::refresh(double nowMs) {
  if (ended_) return false;
  if (!settings_.still) {
    if (!pacer_.frameDue(nowMs)) return false;
    drawFrame();
    return true;
  }
  if (stillDone()) return false;
  const double sliceEnd = emscripten_get_now() + STILL_SLICE_MS;
  do {
    platform_.showPresents(framesDrawn_ + 1 == settings_.frames);
    drawFrame();
  } while (!stillDone() && !ended_ && emscripten_get_now() < sliceEnd);
  return stillDone();
}

void PageRun::drawFrame() {
  // Escape ends the scene; the page passes it on never (it leaves full
  // screen, as the browser's own key).
  ended_ = !animation_->frameStep();
  ++framesDrawn_;
}

void PageRun::atFrameStep(FrameStepPoint point) {
  const bool timed = settings_.benchFrom > 0 && framesDrawn_ + 1 >= settings_.benchFrom;
  if (point == FrameStepPoint::UpdateBegins) {
    followCanvasSize();
    if (timed) frameBegan_ = emscripten_get_now();
  } else if (point == FrameStepPoint::CompositionDone && timed) {
    benchTimes_.push_back(emscripten_get_now() - frameBegan_);
  }
}

// A canvas that changed size gets frame buffers of its new size; the
// margins the scene chose stay.
void PageRun::followCanvasSize() {
  FrameBuffer& frame = animation_->frameBuffer();
  int w = 0;
  int h = 0;
  if (!platform_.takeResize(w, h) || frame.fullScreen() == 0 || w <= 0 || h <= 0) return;
  const int marginX = frame.geometry().marginX;
  const int marginY = frame.geometry().marginY;
  frame.setFrameSize(FULL_SCREEN_REQUEST, h);
  frame.setMargins(marginX, marginY);
  frame.createFrameBuffers();
}

std::string PageRun::benchLine() const {
  if (settings_.benchFrom == 0 || !stillDone() || benchTimes_.empty()) return {};
  std::vector<double> t = benchTimes_;
  std::sort(t.begin(), t.end());
  const std::size_t n = t.size();
  const double median = n % 2 != 0 ? t[n / 2] : (t[n / 2 - 1] + t[n / 2]) / 2;
  char line[96];
  std::snprintf(line, sizeof line, "bench frames=%zu total_median_ms=%.3f", n, median);
  return line;
}

}  // namespace qv::web
