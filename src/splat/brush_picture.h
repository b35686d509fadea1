#pragma once
// Loading a named picture resource into a brush's four quadrant images.

#include <string_view>

namespace qv {

class PictureLayer;
struct Brush;

// Fills the brush's four (already allocated) quadrant images from the square
// "BINARYDATA" picture `name`: 511 x 511 pixels map one to one onto the
// texels around the centre, 255 x 255 pixels cover 2 x 2 texels each. The
// picture is tinted by the brush colour, or, for a variant 4 brush that is not
// a picture brush, read as a grey mask from white to the colour. A missing or
// undecodable picture is fatal ("PSI: JPG Resource Not Found"), and so is any
// other size ("PSI: JPG Resource Have Wrong Resolution").
void loadBrushPicture(PictureLayer& pictures, Brush& brush, std::string_view name);

}  // namespace qv
