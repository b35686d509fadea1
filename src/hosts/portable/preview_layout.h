#pragma once
// The screen-saver preview: a 152 x 112 black picture with the eight
// preview icons, the first four a 2 x 2 block centred at the top and the
// last four a row across the bottom, at the top-left of the preview window
// whatever its size. Header only: the Win32 host draws it with the window
// system's icons, the desktop program with the icon decoder.

namespace qv {

inline constexpr int PREVIEW_WIDTH = 152;
inline constexpr int PREVIEW_HEIGHT = 112;
inline constexpr int PREVIEW_ICON_SIZE = 32;

struct PreviewIcon {
  const char* name;  // an icon resource
  int x;
  int y;
};

inline constexpr PreviewIcon PREVIEW_ICONS[8] = {
    {"ICON_SSPRVW01", 44, 7},  {"ICON_SSPRVW02", 76, 7},   {"ICON_SSPRVW03", 44, 39},
    {"ICON_SSPRVW04", 76, 39}, {"ICON_SSPRVW05", 12, 71},  {"ICON_SSPRVW06", 44, 71},
    {"ICON_SSPRVW07", 76, 71}, {"ICON_SSPRVW08", 108, 71},
};

}  // namespace qv
