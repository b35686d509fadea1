#include "hosts/win32/preview.h"

#include <string>

#include "hosts/win32/module_resources.h"

namespace qv::win32 {

void paintPreview(HDC dc, HINSTANCE module) {
  const RECT area{0, 0, PREVIEW_WIDTH, PREVIEW_HEIGHT};
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  for (const PreviewIcon& icon : PREVIEW_ICONS) {
    // An icon from LoadIconW is shared and is not destroyed.
    const std::wstring name = widenAscii(icon.name);
    if (HICON handle = LoadIconW(module, name.c_str()); handle != nullptr)
      DrawIcon(dc, icon.x, icon.y, handle);
  }
}

}  // namespace qv::win32
