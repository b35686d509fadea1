#include "frame/overlays.h"

#include "frame/frame_buffer.h"
#include "frame/picture_layer.h"
#include "ground/platform.h"

namespace qv {

namespace {
constexpr std::string_view LOGO_PICTURE = "Quorvalent";
constexpr std::string_view LEGEND_PICTURE = "control_info";
// Distances from the lower corners of the inner rectangle.
constexpr int LOGO_FROM_RIGHT = 32;
constexpr int LEGEND_FROM_LEFT = 24;
constexpr int ABOVE_BOTTOM = 8;
}  // namespace

Overlays::Overlays(Platform& platform, PictureLayer& pictures, const FrameBuffer& frame)
    : platform_(platform), pictures_(pictures), frame_(frame), loader_(platform, pictures) {}

void Overlays::setupOverlays() {
  pictures_.resourceType = BITMAP_RESOURCE;
  loader_.overlayTint = LOGO_TINT;
  logo_ = loader_.createOverlay(LOGO_PICTURE, {}, KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
  // The load put the tint back to none: the legend keeps its own colours.
  legend_ = loader_.createOverlay(LEGEND_PICTURE, {}, KEEP_PICTURE_SIZE, KEEP_PICTURE_SIZE);
}

void Overlays::drawOverlays() {
  const FrameBufferGeometry& g = frame_.geometry();
  if (logo_) {
    placeFromRight(*logo_, g, LOGO_FROM_RIGHT, ABOVE_BOTTOM, OVERLAY_ADD);
    drawOverlay(*logo_, g);
  }
  if (platform_.timerFired(LEGEND_TIMER)) {
    platform_.stopTimer(LEGEND_TIMER);
    return;
  }
  if (legend_) {
    placeFromLeft(*legend_, g, LEGEND_FROM_LEFT, ABOVE_BOTTOM, OVERLAY_ADD);
    drawOverlay(*legend_, g);
  }
}

void Overlays::destroyOverlays() {
  if (logo_) destroyOverlay(logo_);
  leaveOutLegend();
}

void Overlays::leaveOutLegend() {
  if (legend_) destroyOverlay(legend_);
}

}  // namespace qv
