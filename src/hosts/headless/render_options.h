#pragma once
// The command line of the offline renderer, quorvalent-render: which frames
// to render, how big, where to write them, and the input to feed the scene
// at given frames.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "scene/animation.h"

namespace qv {

enum class ImageFormat { Png, Ppm };

enum class ScriptedKey { Enter, Escape, Up, Down, Left, Right };

struct KeyEvent {
  int frame = 0;
  ScriptedKey key = ScriptedKey::Enter;
};
struct WheelEvent {
  int frame = 0;
  int direction = 1;  // +1 away from the user, -1 toward
};
struct MouseEvent {
  int frame = 0;
  int x = 0;
  int y = 0;
};

struct RenderOptions {
  std::uint32_t seed = 1;
  int width = 1920;
  int height = 1080;
  int frames = 100;
  int every = 1;  // write every K-th frame
  std::string outDir = "out";
  ImageFormat format = ImageFormat::Png;
  std::optional<std::string> video;  // a raw rgb24 stream: a file, or "-" for standard output
  std::uint32_t brushKind = ADDING_DISC_BRUSH_KIND;
  // A BINARYDATA picture for the scene's brushes; with it the kind defaults
  // to 0x40000 (a picture brush) unless --brush-kind is given.
  std::optional<std::string> brushPicture;
  // A grid of every written frame, shrunk, as one PNG.
  std::optional<std::string> contactSheet;
  int trail = 0;
  bool depthSort = false;
  bool halfRes = false;
  bool overlays = true;
  std::vector<KeyEvent> keys;
  std::vector<WheelEvent> wheels;
  std::vector<MouseEvent> mice;
  bool bench = false;
  int benchFrom = 1;
  int threads = 1;  // threads that draw each frame, 1 ... 64
};

inline constexpr int MIN_RENDER_SIDE = 16;
inline constexpr int MAX_RENDER_SIDE = 16384;

struct RenderOptionsResult {
  RenderOptions options;
  bool help = false;  // --help was given: print renderUsage() and exit 0
  std::string error;  // one line naming the argument; the caller exits with 2
  bool ok() const { return error.empty(); }
};

// args excludes the program name.
RenderOptionsResult parseRenderOptions(std::span<const std::string_view> args);
RenderOptionsResult parseRenderOptions(int argc, const char* const* argv);

std::string_view renderUsage();

}  // namespace qv
