#include "hosts/sdl/launcher/command_line.h"

#include <charconv>

#include "hosts/portable/printable_text.h"
#include "hosts/portable/resource_table.h"

namespace qv::sdl {

namespace {

constexpr std::size_t HELP_COLUMN = 31;

LaunchRequest modeOnly(LaunchMode mode) {
  LaunchRequest r;
  r.mode = mode;
  return r;
}

std::string readWindowId(std::string_view value, LaunchRequest& r) {
  if (!parseWindowId(value, r.windowId)) return "a window id";
  r.embedded = true;
  return {};
}

std::string readRoot(std::string_view, LaunchRequest& r) {
  r.embedded = true;
  r.rootWindow = true;
  return {};
}

std::string readDisplay(std::string_view value, LaunchRequest& r) {
  r.display = std::string(value);
  return value.empty() ? "a display name" : "";
}

std::string readHelp(std::string_view, LaunchRequest& r) {
  r.mode = LaunchMode::Help;
  return {};
}

constexpr OptionRow<LaunchRequest> DESKTOP_OPTIONS[] = {
    {"root", "", "draw into $XSCREENSAVER_WINDOW, else the root window", readRoot},
    {"window-id", "ID", "draw into the X window ID (decimal or 0x...)", readWindowId, "a window id"},
    {"display", "NAME", "the X display to use", readDisplay, "a display name"},
    {"help", "", "show this text", readHelp, {}, EVERY_PROGRAM, nullptr, "h"},
};

std::string problemLine(const OptionProblem& p) {
  switch (p.kind) {
    case OptionProblem::Unknown: return "unrecognised option: " + printableText(p.token);
    case OptionProblem::NoValue: return std::string(p.token) + " needs " + std::string(p.valueNoun);
    default: return badValueLine(p);
  }
}

// The X screen-saver form: every token must be one of its options.
LaunchRequest parseScreensaverOptions(std::span<const std::string_view> args, const char* screensaverWindow) {
  LaunchRequest r;
  const OptionProblem problem = readOptions<LaunchRequest, SceneChoices>(
      args.subspan(1), Dashes::OneOrTwo, DESKTOP_PROGRAM, DESKTOP_OPTIONS, r, sceneOptions(), r.choices);
  // The help asked for before any problem.
  if (r.mode == LaunchMode::Help) return modeOnly(LaunchMode::Help);
  if (problem) {
    LaunchRequest bad = modeOnly(LaunchMode::BadOption);
    bad.error = "quorvalent: " + problemLine(problem);
    return bad;
  }
  // Two windows to draw into: neither is the one the user meant.
  if (r.rootWindow && r.windowId != 0) {
    LaunchRequest bad = modeOnly(LaunchMode::BadOption);
    bad.error = "quorvalent: -root and -window-id name different windows: give one of them";
    return bad;
  }
  // "-root" under the screen saver means its own window, which it names in
  // the environment.
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

std::span<const OptionRow<LaunchRequest>> desktopOptions() { return DESKTOP_OPTIONS; }

std::string_view optionList() {
  static const std::string list =
      "usage: quorvalent [options]\n" +
      optionHelp(sceneOptions(), DESKTOP_PROGRAM, Dashes::OneOrTwo, SceneChoices(), HELP_COLUMN) +
      optionHelp<LaunchRequest>(DESKTOP_OPTIONS, DESKTOP_PROGRAM, Dashes::OneOrTwo, {}, HELP_COLUMN) +
      "Without options the animation runs full screen (also /s); Esc quits.\n"
      "/p ID paints the preview into window ID; /c shows the controls.\n";
  return list;
}

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
  if (ec != std::errc() || end != token.data() + token.size() || value == 0 || value > MAX_X_ID) return false;
  id = value;
  return true;
}

LaunchRequest parseCommandLine(std::span<const std::string_view> args, const char* screensaverWindow) {
  if (args.size() < 2) return LaunchRequest{};
  if (!args[1].starts_with('/')) return parseScreensaverOptions(args, screensaverWindow);
  if (equalsIgnoringCase(args[1], "/s")) return LaunchRequest{};
  if (args.size() == 3 && equalsIgnoringCase(args[1], "/p")) {
    const std::int64_t handle = leadingDecimal(args[2]);
    // A handle no X window can have names no window: as a bad handle.
    if (handle <= 0 || handle > static_cast<std::int64_t>(MAX_X_ID)) return modeOnly(LaunchMode::ExitSilently);
    LaunchRequest r = modeOnly(LaunchMode::Preview);
    r.windowId = static_cast<std::uint64_t>(handle);
    return r;
  }
  return modeOnly(LaunchMode::Usage);
}

}  // namespace qv::sdl
