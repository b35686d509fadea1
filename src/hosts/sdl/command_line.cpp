#include "hosts/sdl/command_line.h"

#include <charconv>

#include "hosts/portable/resource_table.h"
#include "hosts/portable/scene_option_values.h"

namespace qv::sdl {

namespace {

constexpr std::string_view OPTION_LIST =
    "usage: quorvalent [options]\n"
    "  -root, --root                draw into $XSCREENSAVER_WINDOW, else the root window\n"
    "  -window-id, --window-id ID   draw into the X window ID (decimal or 0x...)\n"
    "  -fps, --fps                  show the frame rate in the top-left corner\n"
    "  -no-fps, --no-fps            do not show it (the default)\n"
    "  -display, --display NAME     the X display to use\n"
    "  -brush, --brush NAME|KIND    the particles' brush: disc (the default), ball, spot,\n"
    "                               point, picture, or a kind code such as 0x30002\n"
    "  -trail, --trail N            0 clears every frame (the default), 1001 fades\n"
    "                               half-way, any other N subtracts N per channel\n"
    "  -depth-sort, --depth-sort    draw the particles in depth order\n"
    "  -half-res, --half-res        render at half resolution\n"
    "  -seed, --seed N              random seed, 0 to 4294967295 (default: the clock)\n"
    "  -h, --help                   show this text\n"
    "Without options the animation runs full screen (also /s); Esc quits.\n"
    "/p ID paints the preview into window ID; /c shows the controls.\n";

constexpr long long MAX_SEED = 0xFFFFFFFFll;
constexpr long long MAX_TRAIL = 0x7FFFFFFFll;

LaunchRequest modeOnly(LaunchMode mode) {
  LaunchRequest r;
  r.mode = mode;
  return r;
}

LaunchRequest badOption(std::string line) {
  LaunchRequest r;
  r.mode = LaunchMode::BadOption;
  r.error = "quorvalent: " + std::move(line);
  return r;
}

// "--name" and "-name" are the same option; returns "name".
std::string_view optionName(std::string_view token) {
  if (token.starts_with("--")) return token.substr(2);
  return token.substr(1);
}

bool setBrush(std::string_view value, SceneOptions& scene) {
  if (const auto named = brushByName(value)) {
    scene.brushKind = static_cast<std::int32_t>(named->kind);
    scene.brushPicture = std::string(named->picture);
    return true;
  }
  std::uint32_t kind = 0;
  if (!parseHex(value, kind) || !isDrawnBrushKind(kind)) return false;
  scene.brushKind = static_cast<std::int32_t>(kind);
  scene.brushPicture.clear();
  return true;
}

// The X screen-saver form: every token must be one of its options.
LaunchRequest parseScreensaverOptions(std::span<const std::string_view> args, const char* screensaverWindow) {
  LaunchRequest r;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view token = args[i];
    const std::string_view name = token.starts_with('-') ? optionName(token) : std::string_view();
    const bool hasValue = i + 1 < args.size();
    const std::string_view value = hasValue ? args[i + 1] : std::string_view();
    long long number = 0;
    if (name == "h" || name == "help") return modeOnly(LaunchMode::Help);
    if (name == "fps") {
      r.showFps = true;
    } else if (name == "no-fps") {
      r.showFps = false;
    } else if (name == "root") {
      r.embedded = true;
      r.rootWindow = true;
    } else if (name == "depth-sort") {
      r.scene.depthSortEnabled = 1;
    } else if (name == "half-res") {
      r.scene.halfResRequested = true;
    } else if (name == "window-id") {
      if (!hasValue) return badOption(std::string(token) + " needs a window id");
      if (!parseWindowId(value, r.windowId)) {
        return badOption(std::string(token) + ": expected a window id, got '" + std::string(value) + "'");
      }
      r.embedded = true;
      r.rootWindow = false;
      ++i;
    } else if (name == "display") {
      if (!hasValue || value.empty()) return badOption(std::string(token) + " needs a display name");
      r.display = std::string(value);
      ++i;
    } else if (name == "brush") {
      if (!hasValue) return badOption(std::string(token) + " needs a brush");
      if (!setBrush(value, r.scene)) {
        return badOption(std::string(token) + ": expected " + std::string(BRUSH_NAMES) +
                         " or a kind code the program draws, got '" + std::string(value) + "'");
      }
      ++i;
    } else if (name == "trail") {
      if (!hasValue) return badOption(std::string(token) + " needs a number");
      if (!parseInt(value, 0, MAX_TRAIL, number)) {
        return badOption(std::string(token) + ": expected a number of 0 or more, got '" + std::string(value) +
                         "'");
      }
      r.scene.trail = static_cast<std::int32_t>(number);
      ++i;
    } else if (name == "seed") {
      if (!hasValue) return badOption(std::string(token) + " needs a number");
      if (!parseInt(value, 0, MAX_SEED, number)) {
        return badOption(std::string(token) + ": expected a number from 0 to 4294967295, got '" +
                         std::string(value) + "'");
      }
      r.scene.seedGiven = true;
      r.scene.seed = static_cast<std::uint32_t>(number);
      ++i;
    } else {
      return badOption("unrecognised option: " + std::string(token));
    }
  }
  // "-root" under the screen saver means its own window, which it names in
  // the environment; an explicit -window-id wins over both.
  if (r.rootWindow && screensaverWindow != nullptr) {
    std::uint64_t id = 0;
    if (parseWindowId(screensaverWindow, id)) {
      r.rootWindow = false;
      r.windowId = id;
    }
  }
  return r;
}

}  // namespace

std::string_view optionList() { return OPTION_LIST; }

std::int64_t leadingDecimal(std::string_view token) {
  std::size_t i = 0;
  while (i < token.size() && (token[i] == ' ' || token[i] == '\t')) ++i;
  bool negative = false;
  if (i < token.size() && (token[i] == '-' || token[i] == '+')) negative = token[i++] == '-';
  std::int64_t value = 0;
  for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
    // Window handles fit in 32 bits; stop growing well before overflow.
    if (value < (std::int64_t{1} << 40)) value = value * 10 + (token[i] - '0');
  }
  return negative ? -value : value;
}

bool parseWindowId(std::string_view token, std::uint64_t& id) {
  int base = 10;
  if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
    token.remove_prefix(2);
    base = 16;
  }
  if (token.empty()) return false;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), value, base);
  if (ec != std::errc() || end != token.data() + token.size() || value == 0) return false;
  id = value;
  return true;
}

LaunchRequest parseCommandLine(std::span<const std::string_view> args, const char* screensaverWindow) {
  if (args.size() < 2) return LaunchRequest{};
  if (!args[1].starts_with('/')) return parseScreensaverOptions(args, screensaverWindow);
  if (equalsIgnoringCase(args[1], "/s")) return LaunchRequest{};
  if (args.size() == 3 && equalsIgnoringCase(args[1], "/p")) {
    const std::int64_t handle = leadingDecimal(args[2]);
    if (handle == 0) return modeOnly(LaunchMode::ExitSilently);
    LaunchRequest r = modeOnly(LaunchMode::Preview);
    r.windowId = static_cast<std::uint64_t>(handle);
    return r;
  }
  return modeOnly(LaunchMode::Usage);
}

}  // namespace qv::sdl
