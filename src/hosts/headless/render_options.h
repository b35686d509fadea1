#pragma once
// The command line of the offline renderer, quorvalent-render: which frames
// to render, how big, where to write them, and the input to feed the scene
// at given frames.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hosts/portable/scene_options.h"

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

// The scene as the renderer draws it unless told otherwise: the program's
// own scene from seed 1, drawn by one thread.
inline SceneChoices renderSceneDefaults() {
  SceneChoices c;
  c.scene.seedGiven = true;
  c.scene.seed = 1;
  c.threads = 1;
  return c;
}

struct RenderOptions {
  SceneChoices choices = renderSceneDefaults();  // --brush, --trail, --seed, --threads, ...
  int width = 1920;
  int height = 1080;
  int frames = 100;
  int every = 1;  // write every K-th frame
  std::string outDir = "out";
  ImageFormat format = ImageFormat::Png;
  std::optional<std::string> video;  // a raw rgb24 stream: a file, or "-" for standard output
  // A grid of every written frame, shrunk, as one PNG.
  std::optional<std::string> contactSheet;
  std::vector<KeyEvent> keys;
  std::vector<WheelEvent> wheels;
  std::vector<MouseEvent> mice;
  bool bench = false;
  int benchFrom = 1;
  bool help = false;  // --help: print renderUsage() and exit 0
};

inline constexpr int MIN_RENDER_SIDE = 16;
inline constexpr int MAX_RENDER_SIDE = 16384;

struct RenderOptionsResult {
  RenderOptions options;
  std::string error;  // one line naming the argument; the caller exits with 2
  bool ok() const { return error.empty(); }
};

// The options only the renderer has (frames, outputs, scripted input, ...);
// the scene's come from sceneOptions().
std::span<const OptionRow<RenderOptions>> renderOptions();

// args excludes the program name.
RenderOptionsResult parseRenderOptions(std::span<const std::string_view> args);
RenderOptionsResult parseRenderOptions(int argc, const char* const* argv);

std::string_view renderUsage();

}  // namespace qv
