#include "overlay_pictures.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "pixel_font.h"

namespace qv::resgen {
namespace {

struct LegendGroup {
  std::vector<std::u32string> keys;
  std::u32string action;
};

// What the controls do, in the order the user meets them.
const std::vector<LegendGroup>& legendGroups() {
  static const std::vector<LegendGroup> groups = {
      {{U"Esc"}, U"exit"},
      {{U"Enter"}, U"switch colours"},
      {{U"\u2191", U"\u2193", U"wheel"}, U"move nearer / farther"},
      {{U"mouse", U"\u2190", U"\u2192"}, U"spin the cloud"},
  };
  return groups;
}

constexpr int KEYCAP_PADDING = 2;  // columns between outline and label
constexpr int KEYCAP_GAP = 2;      // between two keys of one control
constexpr int ACTION_GAP = 4;      // between the keys and their action
constexpr int MIN_GROUP_GAP = 12;  // between two controls at the least
constexpr int TEXT_TOP = 3;        // capitals centred in the 13 rows, descenders below

int keycapWidth(const PixelFont& font, const std::u32string& label) {
  return font.textWidth(label) + 2 * KEYCAP_PADDING + 2;
}

int groupWidth(const PixelFont& font, const LegendGroup& group) {
  int width = 0;
  for (const std::u32string& key : group.keys) width += keycapWidth(font, key) + KEYCAP_GAP;
  return width - KEYCAP_GAP + ACTION_GAP + font.textWidth(group.action);
}

// A key drawn as a cap: a one-pixel outline with clipped corners, the whole
// height of the legend, its label inside.
int drawKeycap(IndexedImage& image, const PixelFont& font, int x, const std::u32string& label) {
  const int width = keycapWidth(font, label);
  const int bottom = image.height - 1;
  for (int c = x + 1; c < x + width - 1; ++c) {
    image.at(c, 0) = INK_KEYCAP;
    image.at(c, bottom) = INK_KEYCAP;
  }
  for (int r = 1; r < bottom; ++r) {
    image.at(x, r) = INK_KEYCAP;
    image.at(x + width - 1, r) = INK_KEYCAP;
  }
  font.draw(image, x + 1 + KEYCAP_PADDING, TEXT_TOP, label, INK_FULL, INK_FULL);
  return x + width;
}

}  // namespace

IndexedImage makeLogo() {
  IndexedImage image(LOGO_WIDTH, LOGO_HEIGHT);
  const PixelFont& font = logoFont();
  const std::u32string name = U"QUORVALENT";
  const int x = (LOGO_WIDTH - font.textWidth(name)) / 2;
  const int y = 1;  // capitals on rows 1-10, the tail of the Q below
  font.draw(image, x, y, name, INK_FULL, INK_SOFT);
  return image;
}

IndexedImage makeLegend() {
  IndexedImage image(LEGEND_WIDTH, LEGEND_HEIGHT);
  const PixelFont& font = legendFont();
  const auto& groups = legendGroups();
  int content = 0;
  for (const LegendGroup& g : groups) content += groupWidth(font, g);
  const int gaps = static_cast<int>(groups.size()) - 1;
  const int spare = LEGEND_WIDTH - content;
  if (spare < gaps * MIN_GROUP_GAP)
    throw std::out_of_range("controls legend is " + std::to_string(content + gaps * MIN_GROUP_GAP) +
                            " pixels wide, more than its picture");
  // The controls are spread over the whole width, which the program
  // reserves for the legend; earlier gaps take the odd pixels.
  int x = 0;
  for (std::size_t i = 0; i < groups.size(); ++i) {
    const LegendGroup& g = groups[i];
    for (std::size_t k = 0; k < g.keys.size(); ++k) {
      x = drawKeycap(image, font, x, g.keys[k]);
      if (k + 1 < g.keys.size()) x += KEYCAP_GAP;
    }
    x = font.draw(image, x + ACTION_GAP, TEXT_TOP, g.action, INK_ACTION, INK_ACTION);
    if (static_cast<int>(i) < gaps) {
      const int gap = (spare / gaps) + (static_cast<int>(i) < spare % gaps ? 1 : 0);
      // A faint dot halfway marks where one control ends and the next begins.
      image.at(x + gap / 2, TEXT_TOP + 4) = INK_KEYCAP;
      x += gap;
    }
  }
  return image;
}

}  // namespace qv::resgen
