#pragma once
// Loading a named picture resource into a brush's four quadrant images.

#include <string_view>

namespace qv {

class Platform;
struct Brush;

// Until pictures can be decoded into brushes, no named picture is ever found:
// this reports "PSI: JPG Resource Not Found", as a missing resource would.
void loadBrushPicture(Platform& platform, Brush& brush, std::string_view name);

}  // namespace qv
