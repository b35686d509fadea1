#include "hosts/portable/scene_options.h"

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
    {"disc", ADDING_DISC_BRUSH_KIND, {}},  {"ball", BALL_BRUSH_KIND, {}},
    {"spot", ADDING_SPOT_BRUSH_KIND, {}},  {"point", POINT_BRUSH_KIND, {}},
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
    text += (text.empty() ? "" : ", ") + hexKind(static_cast<std::uint32_t>(kinds[i]));
    if (last != i) text += "-" + hexKind(static_cast<std::uint32_t>(kinds[last]));
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

// A switch: on when named alone (or "1"), off with "0".
std::string readSwitch(std::string_view value, bool& on) {
  if (value != "" && value != "1" && value != "0") return "1 or 0";
  on = value != "0";
  return {};
}

std::string readNumber(std::string_view value, long long lo, long long hi, std::string_view expected,
                       auto& field) {
  long long n = 0;
  if (!parseInt(value, lo, hi, n)) return std::string(expected);
  field = static_cast<std::remove_reference_t<decltype(field)>>(n);
  return {};
}

void setBrush(SceneChoices& c, std::int32_t kind, std::string_view picture) {
  c.scene.brushKind = kind;
  c.scene.brushPicture = std::string(picture);
  c.brushKindGiven = true;
}

std::string readBrush(std::string_view value, SceneChoices& c) {
  for (const NamedBrush& brush : NAMED_BRUSHES) {
    if (value != brush.name) continue;
    setBrush(c, brush.kind, brush.picture);
    return {};
  }
  std::uint32_t kind = 0;
  if (!parseHex(value, kind) || !isDrawnBrushKind(kind)) {
    return "disc, ball, spot, point, picture or a kind code the program draws";
  }
  setBrush(c, static_cast<std::int32_t>(kind), {});
  return {};
}

std::string showBrush(const SceneChoices& c) {
  for (const NamedBrush& brush : NAMED_BRUSHES) {
    if (brush.kind == c.scene.brushKind && brush.picture == c.scene.brushPicture) return std::string(brush.name);
  }
  return hexKind(static_cast<std::uint32_t>(c.scene.brushKind));
}

std::string readBrushKind(std::string_view value, SceneChoices& c) {
  std::uint32_t kind = 0;
  if (!parseHex(value, kind)) return "a hexadecimal kind code such as 0x40002";
  if (!isDrawnBrushKind(kind)) return "a kind the program draws: " + drawnKindsText();
  c.scene.brushKind = static_cast<std::int32_t>(kind);
  c.brushKindGiven = true;
  return {};
}

std::string readBrushPicture(std::string_view value, SceneChoices& c) {
  if (!isBrushPicture(value)) return "a brush picture of the program: " + brushPicturesText();
  c.scene.brushPicture = std::string(value);
  if (!c.brushKindGiven) c.scene.brushKind = PICTURE_BRUSH_KIND;  // what a picture alone means
  return {};
}

std::string readSeed(std::string_view value, SceneChoices& c) {
  std::string expected = readNumber(value, 0, MAX_SEED, "a number from 0 to 4294967295", c.scene.seed);
  if (expected.empty()) c.scene.seedGiven = true;
  return expected;
}

constexpr OptionRow<SceneChoices> SCENE_OPTIONS[] = {
    {.name = "brush",
     .valueName = "NAME|KIND",
     .help = "the particles' brush: disc, ball, spot, point,\n"
             "picture (STAR_FLARE), or a kind code such as 0x30002",
     .read = readBrush,
     .shown = showBrush,
     .valueNoun = "a brush"},
    {.name = "brush-kind",
     .valueName = "HEX",
     .help = "kind code of the brushes, one of 0x10000-0x10001\n"
             "point, 0x20000-0x20001 ball, 0x30000-0x30004 spot,\n"
             "0x40000-0x40004 disc or picture",
     .read = readBrushKind,
     .shown = [](const SceneChoices& c) { return hexKind(static_cast<std::uint32_t>(c.scene.brushKind)); },
     .users = RENDERER_PROGRAM},
    {.name = "brush-picture",
     .valueName = "NAME",
     .help = "set the brushes up from the picture NAME: STAR_FLARE,\n"
             "or the generated compBALL or compSPOT; kind 0x40000\n"
             "unless given",
     .read = readBrushPicture,
     .users = RENDERER_PROGRAM},
    {.name = "trail",
     .valueName = "N",
     .help = "0 clears every frame, 1001 fades half-way,\nany other N subtracts N per channel",
     .read = [](std::string_view v, SceneChoices& c) {
       return readNumber(v, 0, MAX_TRAIL, "a number of 0 or more", c.scene.trail);
     },
     .shown = [](const SceneChoices& c) { return std::to_string(c.scene.trail); },
     .valueNoun = "a number"},
    {.name = "depth-sort",
     .help = "draw the particles in depth order",
     .read = [](std::string_view v, SceneChoices& c) {
       bool on = c.scene.depthSortEnabled != 0;
       std::string expected = readSwitch(v, on);
       c.scene.depthSortEnabled = on ? 1 : 0;
       return expected;
     }},
    {.name = "half-res",
     .help = "render at half resolution from the first frame",
     .read = [](std::string_view v, SceneChoices& c) { return readSwitch(v, c.scene.halfResRequested); }},
    {.name = "no-overlays",
     .help = "leave out the logo and the controls legend",
     .read = [](std::string_view v, SceneChoices& c) {
       bool off = !c.scene.overlays;
       std::string expected = readSwitch(v, off);
       c.scene.overlays = !off;
       return expected;
     },
     .users = RENDERER_PROGRAM},
    {.name = "seed",
     .valueName = "N",
     .help = "random seed, 0 to 4294967295",
     .read = readSeed,
     .shown = [](const SceneChoices& c) {
       return c.scene.seedGiven ? std::to_string(c.scene.seed) : std::string("the clock");
     },
     .valueNoun = "a number"},
    {.name = "threads",
     .valueName = "N",
     .help = "threads that draw each frame, 1 to 64; the frames\nare the same for any number",
     .read = [](std::string_view v, SceneChoices& c) {
       return readNumber(v, 1, MAX_DRAWING_THREADS, "a number of threads from 1 to 64", c.threads);
     },
     .shown = [](const SceneChoices& c) {
       return c.threads == AUTOMATIC_DRAWING_THREADS ? std::string("a thread a core on wide frames")
                                                     : std::to_string(c.threads);
     },
     .users = RENDERER_PROGRAM,
     .valueNoun = "a number"},
    {.name = "fps",
     .help = "show the frame rate in the top-left corner",
     .read = [](std::string_view v, SceneChoices& c) { return readSwitch(v, c.showFps); },
     .users = DESKTOP_PROGRAM},
    {.name = "no-fps",
     .help = "do not show it (the default)",
     .read = [](std::string_view v, SceneChoices& c) {
       bool off = !c.showFps;
       std::string expected = readSwitch(v, off);
       c.showFps = !off;
       return expected;
     },
     .users = DESKTOP_PROGRAM},
};

}  // namespace

std::span<const OptionRow<SceneChoices>> sceneOptions() { return SCENE_OPTIONS; }

std::span<const NamedBrush> namedBrushes() { return NAMED_BRUSHES; }

std::string setSceneOption(std::string_view name, std::string_view value, unsigned user,
                           SceneChoices& choices) {
  for (const OptionRow<SceneChoices>& row : SCENE_OPTIONS) {
    if ((row.users & user) == 0 || row.name != name) continue;
    std::string expected = row.read(value, choices);
    if (expected.empty()) return {};
    return badValueLine({.kind = OptionProblem::BadValue, .token = name, .value = value, .expected = std::move(expected)});
  }
  return "unknown option '" + printableText(name) + "'";
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
