#include "hosts/portable/scene_options.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <type_traits>

#include "ground/platform.h"
#include "hosts/portable/printable_text.h"
#include "hosts/portable/resource_table.h"

namespace qv {

namespace {

constexpr long long MAX_SEED = 0xFFFFFFFFll;
constexpr long long MAX_TRAIL = 0x7FFFFFFFll;

constexpr NamedBrush NAMED_BRUSHES[] = {
    {"disc", ADDING_DISC_BRUSH_KIND, {}},          {"ball", BALL_BRUSH_KIND, {}},
    {"spot", ADDING_SPOT_BRUSH_KIND, {}},          {"point", POINT_BRUSH_KIND, {}},
    {"picture", PICTURE_BRUSH_KIND, "STAR_FLARE"},
};

bool isDrawnBrushKind(std::uint32_t kind) {
  for (const std::int32_t drawn : drawnBrushKinds()) {
    if (kind == static_cast<std::uint32_t>(drawn)) return true;
  }
  return false;
}

std::string hexKind(std::uint32_t kind) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%X", static_cast<unsigned>(kind));
  return text;
}

// The kinds that draw, runs of neighbours joined: "0x10000-0x10001, ...".
std::string drawnKindsText() {
  std::string text;
  const std::span<const std::int32_t> kinds = drawnBrushKinds();
  for (std::size_t i = 0; i < kinds.size();) {
    std::size_t last = i;
    while (last + 1 < kinds.size() && kinds[last + 1] == kinds[last] + 1) ++last;
    // Appended piece by piece: GCC 12 at -O3 warns wrongly of overlapping
    // copies in "text" + std::string.
    text.append(text.empty() ? "" : ", ").append(hexKind(static_cast<std::uint32_t>(kinds[i])));
    if (last != i) text.append("-").append(hexKind(static_cast<std::uint32_t>(kinds[last])));
    i = last + 1;
  }
  return text;
}

// A picture the brushes can be set up from: one they generate (the exact
// name), or a BINARYDATA resource of the program (found as the resource
// lookup finds it, without regard to case).
bool isBrushPicture(std::string_view name) {
  for (const std::string_view generated : generatedBrushSources()) {
    if (name == generated) return true;
  }
  return !findEmbeddedResource(programResources(), name, RESOURCE_TYPE_BINARYDATA).empty();
}

std::string brushPicturesText() {
  std::string text;
  for (const EmbeddedResource& r : programResources()) {
    if (equalsIgnoringCase(r.typeName, RESOURCE_TYPE_BINARYDATA)) text += std::string(r.name) + ", ";
  }
  for (const std::string_view generated : generatedBrushSources()) text += std::string(generated) + ", ";
  text.resize(text.size() - 2);
  return text;
}

// A switch: named alone (or "1") it sets `field` to `on`, with "0" to `off`.
template <class T>
std::string readSwitch(std::string_view value, T& field, T on, T off) {
  bool given = false;
  if (!parseSwitch(value, given)) return "1 or 0";
  field = given ? on : off;
  return {};
}

std::string readNumber(std::string_view value, long long lo, long long hi, std::string_view expected,
                       auto& field) {
  long long n = 0;
  if (!parseInt(value, lo, hi, n)) return std::string(expected);
  field = static_cast<std::remove_reference_t<decltype(field)>>(n);
  return {};
}

std::string readBrushKind(std::string_view value, SceneChoices& c) {
  std::uint32_t kind = 0;
  if (!parseHex(value, kind)) return "a hexadecimal kind code such as 0x40002";
  if (!isDrawnBrushKind(kind)) return "a kind the program draws: " + drawnKindsText();
  c.scene.brushKind = static_cast<std::int32_t>(kind);
  c.brushKindGiven = true;
  return {};
}

// A name sets the kind and the picture, a kind code clears the picture.
std::string readBrush(std::string_view value, SceneChoices& c) {
  // std::find_if, not std::ranges: the web build's C++ library has no ranges.
  const auto named = std::find_if(std::begin(NAMED_BRUSHES), std::end(NAMED_BRUSHES),
                                  [value](const NamedBrush& brush) { return brush.name == value; });
  if (named == std::end(NAMED_BRUSHES)) {
    if (!readBrushKind(value, c).empty())
      return "disc, ball, spot, point, picture or a kind code the program draws";
    c.scene.brushPicture.clear();
    return {};
  }
  c.scene.brushKind = named->kind;
  c.scene.brushPicture = std::string(named->picture);
  c.brushKindGiven = true;
  return {};
}

std::string readBrushPicture(std::string_view value, SceneChoices& c) {
  if (!isBrushPicture(value)) return "a brush picture of the program: " + brushPicturesText();
  c.scene.brushPicture = std::string(value);
  if (!c.brushKindGiven) c.scene.brushKind = PICTURE_BRUSH_KIND;  // what a picture alone means
  return {};
}

std::string readTrail(std::string_view v, SceneChoices& c) {
  return readNumber(v, 0, MAX_TRAIL, "a number of 0 or more", c.scene.trail);
}

std::string readSeed(std::string_view value, SceneChoices& c) {
  std::string expected = readNumber(value, 0, MAX_SEED, "a number from 0 to 4294967295", c.scene.seed);
  if (expected.empty()) c.scene.seedGiven = true;
  return expected;
}

std::string readThreads(std::string_view v, SceneChoices& c) {
  return readNumber(v, 0, MAX_DRAWING_THREADS, "a number of threads from 0 to 64", c.threads);
}

std::string readDepthSort(std::string_view v, SceneChoices& c) {
  return readSwitch(v, c.scene.depthSortEnabled, 1, 0);
}
std::string readHalfRes(std::string_view v, SceneChoices& c) {
  return readSwitch(v, c.scene.halfResRequested, true, false);
}
std::string readNoOverlays(std::string_view v, SceneChoices& c) {
  return readSwitch(v, c.scene.overlays, false, true);
}
std::string readFps(std::string_view v, SceneChoices& c) { return readSwitch(v, c.showFps, true, false); }
std::string readNoFps(std::string_view v, SceneChoices& c) { return readSwitch(v, c.showFps, false, true); }

std::string showBrush(const SceneChoices& c) {
  for (const NamedBrush& brush : NAMED_BRUSHES) {
    if (brush.kind == c.scene.brushKind && brush.picture == c.scene.brushPicture)
      return std::string(brush.name);
  }
  return hexKind(static_cast<std::uint32_t>(c.scene.brushKind));
}
std::string showKind(const SceneChoices& c) { return hexKind(static_cast<std::uint32_t>(c.scene.brushKind)); }
std::string showTrail(const SceneChoices& c) { return std::to_string(c.scene.trail); }
std::string showSeed(const SceneChoices& c) {
  return c.scene.seedGiven ? std::to_string(c.scene.seed) : std::string("the clock");
}
std::string showThreads(const SceneChoices& c) {
  return c.threads == AUTOMATIC_DRAWING_THREADS ? std::string("0") : std::to_string(c.threads);
}

constexpr unsigned RENDERER = RENDERER_PROGRAM;
constexpr unsigned DESKTOP = DESKTOP_PROGRAM;

constexpr std::string_view KIND_HELP =
    "kind code of the brushes, one of 0x10000-0x10001\n"
    "point, 0x20000-0x20001 ball, 0x30000-0x30004 spot,\n"
    "0x40000-0x40004 disc or picture";
constexpr std::string_view PICTURE_HELP =
    "set the brushes up from the picture NAME: STAR_FLARE,\n"
    "or the generated compBALL or compSPOT; kind 0x40000\n"
    "unless given";

constexpr OptionRow<SceneChoices> SCENE_OPTIONS[] = {
    {"brush", "NAME|KIND",
     "the particles' brush: disc, ball, spot, point,\npicture (STAR_FLARE), or a kind code", readBrush,
     "a brush", EVERY_PROGRAM, showBrush},
    {"brush-kind", "HEX", KIND_HELP, readBrushKind, {}, RENDERER, showKind},
    {"brush-picture", "NAME", PICTURE_HELP, readBrushPicture, {}, RENDERER},
    {"trail", "N", "0 clears every frame, 1001 fades half-way,\nany other N subtracts N per channel",
     readTrail, "a number", EVERY_PROGRAM, showTrail},
    {"depth-sort", "", "draw the particles in depth order", readDepthSort},
    {"half-res", "", "render at half resolution from the first frame", readHalfRes},
    {"no-overlays", "", "leave out the logo and the controls legend", readNoOverlays, {}, RENDERER},
    {"seed", "N", "random seed, 0 to 4294967295", readSeed, "a number", EVERY_PROGRAM, showSeed},
    {"threads", "N",
     "threads that draw each frame, 1 to 64, or 0: one while\nit keeps up with the frame rate, else a thread a core;\nthe frames are the same for any number",
     readThreads, "a number", RENDERER | DESKTOP, showThreads},
    {"fps", "", "show the frame rate in the top-left corner", readFps, {}, DESKTOP | WEB_PAGE},
    {"no-fps", "", "do not show it (the default)", readNoFps, {}, DESKTOP},
};

}  // namespace

std::span<const OptionRow<SceneChoices>> sceneOptions() { return SCENE_OPTIONS; }

std::span<const NamedBrush> namedBrushes() { return NAMED_BRUSHES; }

std::string setSceneOption(std::string_view name, std::string_view value, unsigned user,
                           SceneChoices& choices) {
  const OptionProblem problem = readNamedOption(sceneOptions(), name, value, user, choices);
  if (problem.kind == OptionProblem::Unknown) return "unknown option '" + printableText(name) + "'";
  return problem ? badValueLine(problem) : std::string();
}

bool parseInt(std::string_view text, long long lo, long long hi, long long& out) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  long long value = 0;
  const char* last = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), last, value);
  if (ec != std::errc() || ptr != last || value < lo || value > hi) return false;
  out = value;
  return true;
}

bool parseSize(std::string_view text, long long lo, long long hi, long long& width, long long& height) {
  const std::size_t x = text.find_first_of("xX");
  long long w = 0;
  long long h = 0;
  if (x == std::string_view::npos || !parseInt(text.substr(0, x), lo, hi, w) ||
      !parseInt(text.substr(x + 1), lo, hi, h)) {
    return false;
  }
  width = w;
  height = h;
  return true;
}

bool parseSwitch(std::string_view text, bool& on) {
  if (text != "" && text != "1" && text != "0") return false;
  on = text != "0";
  return true;
}

bool parseHex(std::string_view text, std::uint32_t& out) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
  if (text.empty() || text[0] == '+' || text[0] == '-') return false;
  unsigned long long value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (ec != std::errc() || ptr != text.data() + text.size() || value > 0xFFFFFFFFull) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace qv
