#pragma once
// The animation in the page: built over the web platform for the page's
// settings, one frame at each refresh of the display that the pacer says is
// due, the frame following the canvas's size between frames. A still draws
// its frames in slices of a refresh each, unseen but the last, so the page
// stays alive however many it has.

#include <memory>
#include <string>
#include <vector>

#include "ground/input_state.h"
#include "hosts/web/frame_pacer.h"
#include "hosts/web/page_settings.h"
#include "hosts/web/web_platform.h"
#include "scene/animation.h"
#include "scene/scene.h"

namespace qv::web {

class PageRun : public FrameStepObserver {
 public:
  // Builds the animation and sets its scene up in a canvas of
  // canvasWidth x canvasHeight device pixels (a size in the settings wins).
  // A fatal error shows its text in the page and throws RuntimeErrorStop.
  PageRun(const PageSettings& settings, int canvasWidth, int canvasHeight);
  ~PageRun() override;
  PageRun(const PageRun&) = delete;
  PageRun& operator=(const PageRun&) = delete;

  // A refresh of the display at `nowMs` (performance.now()). Returns whether
  // a frame reached the canvas; none does once the scene has ended.
  bool refresh(double nowMs);
  int framesDrawn() const { return framesDrawn_; }
  // A still has shown its last frame.
  bool stillDone() const { return settings_.still && framesDrawn_ >= settings_.frames; }

  // The canvas's new size in device pixels; the frame follows it at the
  // start of the next frame, unless the settings fixed the frame's size.
  void resize(int canvasWidth, int canvasHeight) { platform_.setScreenSize(canvasWidth, canvasHeight); }
  InputState& input() { return input_; }

  // "bench frames=N total_median_ms=X" over the timed frames of a still,
  // the renderer's figure; empty until they are all drawn.
  std::string benchLine() const;

  void atFrameStep(FrameStepPoint point) override;

 private:
  void drawFrame();
  void followCanvasSize();

  PageSettings settings_;
  WebPlatform platform_;
  InputState input_;
  std::unique_ptr<Animation> animation_;
  FramePacer pacer_;
  int framesDrawn_ = 0;
  bool ended_ = false;  // the scene said stop
  double frameBegan_ = 0.0;
  std::vector<double> benchTimes_;
};

}  // namespace qv::web
