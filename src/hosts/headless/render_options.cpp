#include "hosts/headless/render_options.h"

#include <cstdio>
#include <limits>

#include "ground/platform.h"
#include "hosts/headless/printable_text.h"
#include "hosts/portable/resource_table.h"
#include "hosts/portable/scene_option_values.h"
#include "scene/animation.h"

namespace qv {

namespace {

constexpr std::string_view USAGE =
    "usage: quorvalent-render [options]\n"
    "  --seed N          random seed (default 1)\n"
    "  --size WxH        frame size, 16x16 to 16384x16384 (default 1920x1080)\n"
    "  --frames N        number of frames to render (default 100)\n"
    "  --every K         write every K-th frame (default 1)\n"
    "  --out DIR         folder for the frames (default out)\n"
    "  --format png|ppm  image format of the frames (default png)\n"
    "  --video FILE|-    also write a raw rgb24 stream to FILE or standard output\n"
    "  --brush-kind HEX  kind code of the scene's brushes (default 0x40002,\n"
    "                    0x40000 with --brush-picture), one of\n"
    "                    0x10000-0x10001 point, 0x20000-0x20001 ball,\n"
    "                    0x30000-0x30004 spot, 0x40000-0x40004 disc\n"
    "                    (a picture with --brush-picture)\n"
    "  --brush-picture NAME  set the brushes up from the picture NAME:\n"
    "                    STAR_FLARE, or the generated compBALL or compSPOT\n"
    "  --trail N         trail fade: 0 clears, 1001 fades half-way, else subtracts N\n"
    "  --depth-sort      draw particles in depth order\n"
    "  --half-res        render at half resolution\n"
    "  --no-overlays     leave out the logo and the controls legend\n"
    "  --key F:NAME      press and release a key at frame F\n"
    "                    (enter, escape, up, down, left, right); may repeat\n"
    "  --wheel F:+1|-1   turn the wheel one notch at frame F; may repeat\n"
    "  --mouse F:X,Y     move the mouse to X,Y at frame F; may repeat\n"
    "  --contact-sheet FILE  also write a PNG grid of the written frames\n"
    "  --bench           time the frames and print the figures\n"
    "  --bench-from F    first frame that counts for --bench (default 1);\n"
    "                    implies --bench\n"
    "  --threads N       threads that draw each frame, 1 to 64 (default 1);\n"
    "                    the frames are the same for any number\n"
    "  --help            show this text\n";

std::optional<ScriptedKey> keyByName(std::string_view name) {
  if (name == "enter") return ScriptedKey::Enter;
  if (name == "escape") return ScriptedKey::Escape;
  if (name == "up") return ScriptedKey::Up;
  if (name == "down") return ScriptedKey::Down;
  if (name == "left") return ScriptedKey::Left;
  if (name == "right") return ScriptedKey::Right;
  return std::nullopt;
}

constexpr long long INT_LIMIT = std::numeric_limits<int>::max();

// Splits "F:REST" and reads the frame number F (0 or more).
bool splitFrame(std::string_view text, int& frame, std::string_view& rest) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  long long f = 0;
  if (!parseInt(text.substr(0, colon), 0, INT_LIMIT, f)) return false;
  frame = static_cast<int>(f);
  rest = text.substr(colon + 1);
  return true;
}

RenderOptionsResult failure(std::string message) {
  RenderOptionsResult r;
  r.error = std::move(message);
  return r;
}

std::string bad(std::string_view option, std::string_view value, std::string_view expected) {
  return "quorvalent-render: " + std::string(option) + ": expected " + std::string(expected) + ", got '" +
         printableText(value) + "'";
}

// The kinds that draw, runs of neighbours joined: "0x10000-0x10001, ...".
std::string drawnKindsText() {
  std::string text;
  const std::span<const std::int32_t> kinds = drawnBrushKinds();
  for (std::size_t i = 0; i < kinds.size();) {
    std::size_t last = i;
    while (last + 1 < kinds.size() && kinds[last + 1] == kinds[last] + 1) ++last;
    char run[32];
    if (last == i) {
      std::snprintf(run, sizeof run, "0x%X", static_cast<unsigned>(kinds[i]));
    } else {
      std::snprintf(run, sizeof run, "0x%X-0x%X", static_cast<unsigned>(kinds[i]),
                    static_cast<unsigned>(kinds[last]));
    }
    text += (text.empty() ? "" : ", ") + std::string(run);
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

}  // namespace

std::string_view renderUsage() { return USAGE; }

RenderOptionsResult parseRenderOptions(std::span<const std::string_view> args) {
  RenderOptionsResult result;
  RenderOptions& o = result.options;
  bool kindGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    // Options without a value.
    if (arg == "--help" || arg == "-h") {
      result.help = true;
      continue;
    }
    if (arg == "--depth-sort") {
      o.depthSort = true;
      continue;
    }
    if (arg == "--half-res") {
      o.halfRes = true;
      continue;
    }
    if (arg == "--no-overlays") {
      o.overlays = false;
      continue;
    }
    if (arg == "--bench") {
      o.bench = true;
      continue;
    }
    static constexpr std::string_view WITH_VALUE[] = {
        "--seed",       "--size",          "--frames",        "--every",  "--out",   "--format",
        "--video",      "--brush-kind",    "--trail",         "--key",    "--wheel", "--mouse",
        "--bench-from", "--brush-picture", "--contact-sheet", "--threads"};
    bool known = false;
    for (std::string_view name : WITH_VALUE) known = known || arg == name;
    if (!known)
      return failure("quorvalent-render: unknown argument '" + printableText(arg) + "' (see --help)");
    if (i + 1 >= args.size()) return failure("quorvalent-render: " + std::string(arg) + " needs a value");
    const std::string_view value = args[++i];
    long long n = 0;

    if (arg == "--seed") {
      if (!parseInt(value, 0, 0xFFFFFFFFll, n))
        return failure(bad(arg, value, "a number from 0 to 4294967295"));
      o.seed = static_cast<std::uint32_t>(n);
    } else if (arg == "--size") {
      const std::size_t x = value.find_first_of("xX");
      long long w = 0;
      long long h = 0;
      if (x == std::string_view::npos || !parseInt(value.substr(0, x), 0, INT_LIMIT, w) ||
          !parseInt(value.substr(x + 1), 0, INT_LIMIT, h)) {
        return failure(bad(arg, value, "WxH"));
      }
      if (w < MIN_RENDER_SIDE || h < MIN_RENDER_SIDE || w > MAX_RENDER_SIDE || h > MAX_RENDER_SIDE) {
        return failure(bad(arg, value, "a size from 16x16 to 16384x16384"));
      }
      o.width = static_cast<int>(w);
      o.height = static_cast<int>(h);
    } else if (arg == "--frames") {
      if (!parseInt(value, 1, INT_LIMIT, n))
        return failure(bad(arg, value, "a number of frames of 1 or more"));
      o.frames = static_cast<int>(n);
    } else if (arg == "--every") {
      if (!parseInt(value, 1, INT_LIMIT, n)) return failure(bad(arg, value, "a number of 1 or more"));
      o.every = static_cast<int>(n);
    } else if (arg == "--out") {
      if (value.empty()) return failure(bad(arg, value, "a folder name"));
      o.outDir = std::string(value);
    } else if (arg == "--format") {
      if (value == "png") {
        o.format = ImageFormat::Png;
      } else if (value == "ppm") {
        o.format = ImageFormat::Ppm;
      } else {
        return failure(bad(arg, value, "png or ppm"));
      }
    } else if (arg == "--video") {
      if (value.empty()) return failure(bad(arg, value, "a file name or -"));
      o.video = std::string(value);
    } else if (arg == "--brush-kind") {
      if (!parseHex(value, o.brushKind))
        return failure(bad(arg, value, "a hexadecimal kind code such as 0x40002"));
      if (!isDrawnBrushKind(o.brushKind))
        return failure(bad(arg, value, "a kind the program draws: " + drawnKindsText()));
      kindGiven = true;
    } else if (arg == "--brush-picture") {
      if (!isBrushPicture(value))
        return failure(bad(arg, value, "a brush picture of the program: " + brushPicturesText()));
      o.brushPicture = std::string(value);
    } else if (arg == "--contact-sheet") {
      if (value.empty()) return failure(bad(arg, value, "a file name"));
      o.contactSheet = std::string(value);
    } else if (arg == "--trail") {
      if (!parseInt(value, 0, INT_LIMIT, n)) return failure(bad(arg, value, "a number of 0 or more"));
      o.trail = static_cast<int>(n);
    } else if (arg == "--key") {
      KeyEvent e;
      std::string_view name;
      std::optional<ScriptedKey> key;
      if (!splitFrame(value, e.frame, name) || !(key = keyByName(name))) {
        return failure(bad(arg, value, "F:NAME with NAME one of enter, escape, up, down, left, right"));
      }
      e.key = *key;
      o.keys.push_back(e);
    } else if (arg == "--wheel") {
      WheelEvent e;
      std::string_view dir;
      if (!splitFrame(value, e.frame, dir) || (dir != "+1" && dir != "-1")) {
        return failure(bad(arg, value, "F:+1 or F:-1"));
      }
      e.direction = dir == "+1" ? 1 : -1;
      o.wheels.push_back(e);
    } else if (arg == "--mouse") {
      MouseEvent e;
      std::string_view pos;
      long long x = 0;
      long long y = 0;
      const bool split = splitFrame(value, e.frame, pos);
      const std::size_t comma = split ? pos.find(',') : std::string_view::npos;
      // Positions travel as 16-bit window coordinates.
      if (comma == std::string_view::npos || !parseInt(pos.substr(0, comma), 0, 65535, x) ||
          !parseInt(pos.substr(comma + 1), 0, 65535, y)) {
        return failure(bad(arg, value, "F:X,Y with X and Y from 0 to 65535"));
      }
      e.x = static_cast<int>(x);
      e.y = static_cast<int>(y);
      o.mice.push_back(e);
    } else if (arg == "--threads") {
      if (!parseInt(value, 1, MAX_DRAWING_THREADS, n))
        return failure(bad(arg, value, "a number of threads from 1 to 64"));
      o.threads = static_cast<int>(n);
    } else {  // --bench-from
      if (!parseInt(value, 0, INT_LIMIT, n)) return failure(bad(arg, value, "a frame number of 0 or more"));
      o.benchFrom = static_cast<int>(n);
      o.bench = true;  // a first frame to time asks for the timing
    }
  }
  if (o.brushPicture && !kindGiven) o.brushKind = PICTURE_BRUSH_KIND;  // what --brush-picture means alone
  return result;
}

RenderOptionsResult parseRenderOptions(int argc, const char* const* argv) {
  std::vector<std::string_view> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return parseRenderOptions(args);
}

}  // namespace qv
