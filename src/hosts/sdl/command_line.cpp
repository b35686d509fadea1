#include "hosts/sdl/command_line.h"

#include <charconv>

#include "hosts/portable/resource_table.h"

namespace qv::sdl {

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

namespace {

LaunchRequest usage() {
  LaunchRequest r;
  r.mode = LaunchMode::Usage;
  return r;
}

// The X screen-saver form: every token must be one of its options.
LaunchRequest parseScreensaverOptions(std::span<const std::string_view> args, const char* screensaverWindow) {
  LaunchRequest r;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string_view a = args[i];
    if (a == "-fps") {
      r.showFps = true;
    } else if (a == "-root") {
      r.embedded = true;
      r.rootWindow = true;
    } else if (a == "-window-id" && i + 1 < args.size()) {
      if (!parseWindowId(args[++i], r.windowId)) return usage();
      r.embedded = true;
      r.rootWindow = false;
    } else {
      return usage();
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

LaunchRequest parseCommandLine(std::span<const std::string_view> args, const char* screensaverWindow) {
  if (args.size() < 2) return LaunchRequest{};
  if (equalsIgnoringCase(args[1], "/s")) return LaunchRequest{};
  if (args.size() == 3 && equalsIgnoringCase(args[1], "/p")) {
    const std::int64_t handle = leadingDecimal(args[2]);
    LaunchRequest r;
    if (handle == 0) {
      r.mode = LaunchMode::ExitSilently;
      return r;
    }
    r.mode = LaunchMode::Preview;
    r.windowId = static_cast<std::uint64_t>(handle);
    return r;
  }
  if (args[1].starts_with('-')) return parseScreensaverOptions(args, screensaverWindow);
  return usage();
}

}  // namespace qv::sdl
