#pragma once
// The screen-saver preview (preview_layout.h), painted with the window
// system's icons.

#include <windows.h>

#include "hosts/portable/preview_layout.h"

namespace qv::win32 {

// Paints the preview picture into dc; the icons come from `module`'s
// resources, loaded afresh at every paint.
void paintPreview(HDC dc, HINSTANCE module);

}  // namespace qv::win32
