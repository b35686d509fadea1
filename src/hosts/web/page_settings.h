#pragma once
// The web page's settings as its address carries them:
//
//   ?brush=ball&trail=1001&depth-sort&half-res&seed=7&fps      the scene's choices
//   ?wallpaper                                                 no panel, no cursor
//   ?seed=1&size=1280x720&frames=250&still                     frame 250 of the renderer
//
// The scene's choices are the rows of the scene's option table offered to
// the page (scene_options.h), read by the table's own readers, and the
// settings panel shows those rows. `still` draws frames 1 ... frames on the
// renderer's virtual clock and shows the last, as quorvalent-render --seed N
// --size WxH --frames F writes it (its seed is 1 unless given); `bench-from=F`
// with it times frames F ... frames. A switch is on when it is present with
// no value or 1, off with 0. An entry the page does not know, or whose value
// is bad, is named in `problems` and the default kept.

#include <string>
#include <string_view>
#include <vector>

#include "hosts/portable/scene_options.h"

namespace qv::web {

inline constexpr int DEFAULT_STILL_FRAMES = 100;  // the renderer's --frames
inline constexpr int MIN_FRAME_SIDE = 16;         // the renderer's --size limits
inline constexpr int MAX_FRAME_SIDE = 16384;

struct PageSettings {
  SceneChoices choices;                      // the program's own scene unless the query says otherwise
  std::vector<std::string_view> switchesOn;  // the scene's switches the query turned on
  bool wallpaper = false;
  bool still = false;
  int width = 0;  // size=WxH; 0 x 0: the window's size
  int height = 0;
  int frames = DEFAULT_STILL_FRAMES;
  int benchFrom = 0;  // 0: no timing
  std::vector<std::string> problems;
};

// `query` is the address's search part, with or without its leading '?'.
PageSettings parsePageQuery(std::string_view query);

// The settings as a query again (without '?'): the scene's choices in the
// table's order, then the page's own, only what differs from the defaults.
// The address the page shows, which the settings panel reads back.
std::string pageQuery(const PageSettings& settings);

// The settings panel: one line a scene option the page offers, its fields
// parted by tabs: name, value name (empty for a switch), help (on one line),
// the default, and the named values a choice offers (parted by commas).
std::string panelRows();

}  // namespace qv::web
