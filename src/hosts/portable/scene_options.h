#pragma once
// The scene's options: one table behind the desktop program's command line,
// the renderer's, the man page and the screen-saver settings (which tests
// hold against it) and the web page's query. Each row names a choice, reads
// its value into SceneChoices and gives its help line; `users` says which
// programs offer it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "hosts/portable/option_table.h"
#include "scene/animation.h"

namespace qv {

// What a program's options choose for its Animation. The defaults are the
// program's own scene, drawn by one thread while one keeps up.
struct SceneChoices {
  SceneOptions scene;
  int threads = AUTOMATIC_DRAWING_THREADS;
  bool showFps = false;         // the frame-rate figure in the top-left corner
  bool brushKindGiven = false;  // a brush picture then keeps the kind
};

std::span<const OptionRow<SceneChoices>> sceneOptions();

// For readers of name=value pairs (the web page's query): reads `value`
// into the option `name` that `user` offers; a switch takes "", "1" (on) or
// "0" (off). Empty when it was taken, else one line naming the bad name or
// value.
std::string setSceneOption(std::string_view name, std::string_view value, unsigned user,
                           SceneChoices& choices);

// A whole decimal number in [lo, hi] (lo >= 0): digits only, no sign, blanks
// or trailing text.
bool parseInt(std::string_view text, long long lo, long long hi, long long& out);

// A size "WxH" (or "WXH"), each side a whole number in [lo, hi] as parseInt reads it.
bool parseSize(std::string_view text, long long lo, long long hi, long long& width, long long& height);

// A switch's value: "" or "1" (on), "0" (off).
bool parseSwitch(std::string_view text, bool& on);

// A 32-bit value in hexadecimal, with or without a leading 0x.
bool parseHex(std::string_view text, std::uint32_t& out);

// The brushes by name: disc (the scene's own), ball, spot, point, picture.
struct NamedBrush {
  std::string_view name;
  std::int32_t kind;
  std::string_view picture;  // empty: none
};
std::span<const NamedBrush> namedBrushes();

}  // namespace qv
