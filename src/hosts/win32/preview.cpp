#include "hosts/win32/preview.h"

namespace qv::win32 {

void paintPreview(HDC dc, HINSTANCE module) {
  const RECT area{0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (const PreviewIcon& icon : PREVIEW_ICONS) {
    // An icon from LoadIconW is shared and is not destroyed.
    if (HICON handle = LoadIconW(module, icon.name); handle != nullptr) DrawIcon(dc, icon.x, icon.y, handle);
  }
}

}  // namespace qv::win32
