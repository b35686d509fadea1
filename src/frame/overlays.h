#pragma once
// The program's two overlays: the product logo in the lower right corner for
// the whole run, and the controls legend in the lower left corner until
// program timer 0 (started by the scene) has fired. Both are drawn additively,
// placed anew every frame so that they follow the live geometry.
//
// drawOverlays is the frame hook: Hook::member<&Overlays::drawOverlays>(&overlays).

#include <cstdint>
#include <memory>

#include "frame/overlay.h"

namespace qv {

class Platform;
class PictureLayer;
class FrameBuffer;

inline constexpr std::uint32_t LOGO_TINT = 0xFF143250;
inline constexpr int LEGEND_TIMER = 0;

class Overlays {
 public:
  Overlays(Platform& platform, PictureLayer& pictures, const FrameBuffer& frame);

  // Loads the logo (tinted) and the legend from the program's bitmaps.
  void setupOverlays();
  // The logo, then the legend unless its timer has fired.
  void drawOverlays();
  // Frees the logo, then the legend (each only if it exists).
  void destroyOverlays();
  // Frees the legend now: from then on the logo alone is drawn.
  void leaveOutLegend();

  OverlayLoader& loader() { return loader_; }
  Overlay* logo() const { return logo_.get(); }
  Overlay* legend() const { return legend_.get(); }

 private:
  Platform& platform_;
  PictureLayer& pictures_;
  const FrameBuffer& frame_;
  OverlayLoader loader_;
  std::unique_ptr<Overlay> logo_;
  std::unique_ptr<Overlay> legend_;
};

}  // namespace qv
