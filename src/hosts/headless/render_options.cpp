#include "hosts/headless/render_options.h"

#include <limits>

#include "hosts/portable/printable_text.h"

namespace qv {

namespace {

constexpr long long INT_LIMIT = std::numeric_limits<int>::max();
constexpr std::size_t HELP_COLUMN = 20;

std::optional<ScriptedKey> keyByName(std::string_view name) {
  constexpr std::string_view NAMES[] = {"enter", "escape", "up", "down", "left", "right"};
  for (std::size_t i = 0; i < std::size(NAMES); ++i) {
    if (name == NAMES[i]) return static_cast<ScriptedKey>(i);
  }
  return std::nullopt;
}

// Splits "F:REST" and reads the frame number F (0 or more).
bool splitFrame(std::string_view text, int& frame, std::string_view& rest) {
  const std::size_t colon = text.find(':');
  long long f = 0;
  if (colon == std::string_view::npos || !parseInt(text.substr(0, colon), 0, INT_LIMIT, f)) return false;
  frame = static_cast<int>(f);
  rest = text.substr(colon + 1);
  return true;
}

std::string readCount(std::string_view value, long long lo, std::string_view expected, int& field) {
  long long n = 0;
  if (!parseInt(value, lo, INT_LIMIT, n)) return std::string(expected);
  field = static_cast<int>(n);
  return {};
}

// A name that must not be empty.
std::string readName(std::string_view value, std::string_view expected, auto& field) {
  if (value.empty()) return std::string(expected);
  field = std::string(value);
  return {};
}

std::string readSize(std::string_view value, RenderOptions& o) {
  long long w = 0;
  long long h = 0;
  if (!parseSize(value, 0, INT_LIMIT, w, h)) return "WxH";
  if (w < MIN_RENDER_SIDE || h < MIN_RENDER_SIDE || w > MAX_RENDER_SIDE || h > MAX_RENDER_SIDE) {
    return "a size from 16x16 to 16384x16384";
  }
  o.width = static_cast<int>(w);
  o.height = static_cast<int>(h);
  return {};
}

std::string readKey(std::string_view value, RenderOptions& o) {
  KeyEvent e;
  std::string_view name;
  std::optional<ScriptedKey> key;
  if (!splitFrame(value, e.frame, name) || !(key = keyByName(name))) {
    return "F:NAME with NAME one of enter, escape, up, down, left, right";
  }
  e.key = *key;
  o.keys.push_back(e);
  return {};
}

std::string readWheel(std::string_view value, RenderOptions& o) {
  WheelEvent e;
  std::string_view direction;
  if (!splitFrame(value, e.frame, direction) || (direction != "+1" && direction != "-1")) {
    return "F:+1 or F:-1";
  }
  e.direction = direction == "+1" ? 1 : -1;
  o.wheels.push_back(e);
  return {};
}

std::string readMouse(std::string_view value, RenderOptions& o) {
  MouseEvent e;
  std::string_view position;
  long long x = 0;
  long long y = 0;
  const bool split = splitFrame(value, e.frame, position);
  const std::size_t comma = split ? position.find(',') : std::string_view::npos;
  // Positions travel as 16-bit window coordinates.
  if (comma == std::string_view::npos || !parseInt(position.substr(0, comma), 0, 65535, x) ||
      !parseInt(position.substr(comma + 1), 0, 65535, y)) {
    return "F:X,Y with X and Y from 0 to 65535";
  }
  e.x = static_cast<int>(x);
  e.y = static_cast<int>(y);
  o.mice.push_back(e);
  return {};
}

std::string readFrames(std::string_view v, RenderOptions& o) {
  return readCount(v, 1, "a number of frames of 1 or more", o.frames);
}
std::string readEvery(std::string_view v, RenderOptions& o) {
  return readCount(v, 1, "a number of 1 or more", o.every);
}
std::string readOut(std::string_view v, RenderOptions& o) { return readName(v, "a folder name", o.outDir); }
std::string readVideo(std::string_view v, RenderOptions& o) {
  return readName(v, "a file name or -", o.video);
}
std::string readSheet(std::string_view v, RenderOptions& o) {
  return readName(v, "a file name", o.contactSheet);
}

std::string readFormat(std::string_view v, RenderOptions& o) {
  if (v != "png" && v != "ppm") return "png or ppm";
  o.format = v == "png" ? ImageFormat::Png : ImageFormat::Ppm;
  return {};
}

std::string readBench(std::string_view, RenderOptions& o) {
  o.bench = true;
  return {};
}

std::string readBenchFrom(std::string_view v, RenderOptions& o) {
  o.bench = true;  // a first frame to time asks for the timing
  return readCount(v, 0, "a frame number of 0 or more", o.benchFrom);
}

std::string readHelp(std::string_view, RenderOptions& o) {
  o.help = true;
  return {};
}

// The renderer's own options; the scene's come from sceneOptions().
constexpr OptionRow<RenderOptions> RENDER_OPTIONS[] = {
    {"size", "WxH", "frame size, 16x16 to 16384x16384 (default: 1920x1080)", readSize},
    {"frames", "N", "number of frames to render (default: 100)", readFrames},
    {"every", "K", "write every K-th frame, and the last (default: 1)", readEvery},
    {"out", "DIR", "folder for the frames (default: out)", readOut},
    {"format", "png|ppm", "image format of the frames (default: png)", readFormat},
    {"video", "FILE|-", "also write a raw rgb24 stream to FILE or standard output", readVideo},
    {"contact-sheet", "FILE", "also write a PNG grid of the written frames", readSheet},
    {"key", "F:NAME",
     "press and release a key at frame F\n(enter, escape, up, down, left, right); may repeat", readKey},
    {"wheel", "F:+1|-1", "turn the wheel one notch at frame F; may repeat", readWheel},
    {"mouse", "F:X,Y", "move the mouse to X,Y at frame F; may repeat", readMouse},
    {"bench", "", "time the frames and print the figures", readBench},
    {"bench-from", "F", "first frame that counts for --bench (default: 1);\nimplies --bench", readBenchFrom},
    {"help", "", "show this text", readHelp, {}, EVERY_PROGRAM, nullptr, "h"},
};

std::string problemLine(const OptionProblem& p) {
  switch (p.kind) {
    case OptionProblem::Unknown: return "unknown argument '" + printableText(p.token) + "' (see --help)";
    case OptionProblem::NoValue: return std::string(p.token) + " needs a value";
    default: return badValueLine(p);
  }
}

}  // namespace

std::span<const OptionRow<RenderOptions>> renderOptions() { return RENDER_OPTIONS; }

std::string_view renderUsage() {
  static const std::string usage =
      "usage: quorvalent-render [options]\n" +
      optionHelp(sceneOptions(), RENDERER_PROGRAM, Dashes::Two, renderSceneDefaults(), HELP_COLUMN) +
      optionHelp<RenderOptions>(RENDER_OPTIONS, RENDERER_PROGRAM, Dashes::Two, {}, HELP_COLUMN);
  return usage;
}

RenderOptionsResult parseRenderOptions(std::span<const std::string_view> args) {
  RenderOptionsResult result;
  RenderOptions& o = result.options;
  const OptionProblem problem = readOptions<RenderOptions, SceneChoices>(
      args, Dashes::Two, RENDERER_PROGRAM, RENDER_OPTIONS, o, sceneOptions(), o.choices);
  if (problem) result.error = "quorvalent-render: " + problemLine(problem);
  return result;
}

RenderOptionsResult parseRenderOptions(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return parseRenderOptions(args);
}

}  // namespace qv
