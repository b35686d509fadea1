#pragma once
// The two overlay pictures: the product logo and the controls legend. Both
// are light on black, since the program adds them onto the animation (black
// adds nothing), and both use the 16 evenly spaced greys of OVERLAY_PALETTE.

#include "image.h"

namespace qv::resgen {

constexpr int LOGO_WIDTH = 159;
constexpr int LOGO_HEIGHT = 12;
constexpr int LEGEND_WIDTH = 553;
constexpr int LEGEND_HEIGHT = 13;
constexpr int OVERLAY_GREYS = 16;

// Palette indices of the overlays (grey level = index * 17).
constexpr std::uint8_t INK_FULL = 15;
constexpr std::uint8_t INK_ACTION = 12;  // what a key does: a little dimmer than the key itself
constexpr std::uint8_t INK_SOFT = 8;     // smoothed corners of the logo
constexpr std::uint8_t INK_KEYCAP = 6;   // outline of a key

IndexedImage makeLogo();
IndexedImage makeLegend();

}  // namespace qv::resgen
