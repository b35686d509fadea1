#pragma once
// The screen-saver preview: a fixed 152 x 112 black picture with eight icons
// at the top-left of the child window, whatever the parent's size.

#include <windows.h>

namespace qv::win32 {

inline constexpr int PREVIEW_WIDTH = 152;
inline constexpr int PREVIEW_HEIGHT = 112;

struct PreviewIcon {
  const wchar_t* name;
  int x;
  int y;
};

// The first four form a 2 x 2 block centred at the top, the last four a row
// across the bottom.
inline constexpr PreviewIcon PREVIEW_ICONS[8] = {
    {L"ICON_SSPRVW01", 44, 7},  {L"ICON_SSPRVW02", 76, 7},   {L"ICON_SSPRVW03", 44, 39},
    {L"ICON_SSPRVW04", 76, 39}, {L"ICON_SSPRVW05", 12, 71},  {L"ICON_SSPRVW06", 44, 71},
    {L"ICON_SSPRVW07", 76, 71}, {L"ICON_SSPRVW08", 108, 71},
};

// Paints the preview picture into dc; the icons come from `module`'s
// resources, loaded afresh at every paint.
void paintPreview(HDC dc, HINSTANCE module);

}  // namespace qv::win32
