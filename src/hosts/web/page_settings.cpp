#include "hosts/web/page_settings.h"

#include <cstdio>
#include <optional>

#include "hosts/portable/scene_option_values.h"

namespace qv::web {

namespace {

constexpr long long MAX_SEED = 0xFFFFFFFFll;
constexpr long long MAX_INT = 0x7FFFFFFFll;

// What became of one entry of the query.
enum class Entry { Unknown, Taken, Bad };

// An address's percent escapes and '+' for a blank; a broken escape stays
// as it is written.
std::string decoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  const auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The entry as the address shows it, safe to put on a line of its own.
std::string quoted(std::string_view raw) {
  std::string out(raw);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return out;
}

Entry flag(std::string_view value, bool& out) {
  if (value.empty() || value == "1") {
    out = true;
  } else if (value == "0") {
    out = false;
  } else {
    return Entry::Bad;
  }
  return Entry::Taken;
}

Entry flag(std::string_view value, std::int32_t& out) {
  bool on = false;
  const Entry e = flag(value, on);
  if (e == Entry::Taken) out = on ? 1 : 0;
  return e;
}

Entry brush(std::string_view value, SceneOptions& scene) {
  if (const std::optional<BrushChoice> named = brushByName(value)) {
    scene.brushKind = static_cast<std::int32_t>(named->kind);
    scene.brushPicture = std::string(named->picture);
    return Entry::Taken;
  }
  std::uint32_t kind = 0;
  if (!parseHex(value, kind) || !isDrawnBrushKind(kind)) return Entry::Bad;
  scene.brushKind = static_cast<std::int32_t>(kind);
  scene.brushPicture.clear();
  return Entry::Taken;
}

// The choices the desktop program offers on its command line, under the same
// names. `expected` says what a bad value should have been.
Entry sceneChoice(std::string_view name, std::string_view value, PageSettings& s, std::string_view& expected) {
  long long n = 0;
  if (name == "brush") {
    expected = "disc, ball, spot, point, picture or a kind code the program draws";
    return brush(value, s.scene);
  }
  if (name == "trail") {
    expected = "a number of 0 or more";
    if (!parseInt(value, 0, MAX_INT, n)) return Entry::Bad;
    s.scene.trail = static_cast<std::int32_t>(n);
    return Entry::Taken;
  }
  if (name == "seed") {
    expected = "a number from 0 to 4294967295";
    if (!parseInt(value, 0, MAX_SEED, n)) return Entry::Bad;
    s.scene.seedGiven = true;
    s.scene.seed = static_cast<std::uint32_t>(n);
    return Entry::Taken;
  }
  expected = "nothing, 1 or 0";
  if (name == "depth-sort") return flag(value, s.scene.depthSortEnabled);
  if (name == "half-res") return flag(value, s.scene.halfResRequested);
  if (name == "fps") return flag(value, s.showFps);
  return Entry::Unknown;
}

bool parseSize(std::string_view value, int& w, int& h) {
  const std::size_t x = value.find_first_of("xX");
  long long pw = 0;
  long long ph = 0;
  if (x == std::string_view::npos || !parseInt(value.substr(0, x), MIN_FRAME_SIDE, MAX_FRAME_SIDE, pw) ||
      !parseInt(value.substr(x + 1), MIN_FRAME_SIDE, MAX_FRAME_SIDE, ph)) {
    return false;
  }
  w = static_cast<int>(pw);
  h = static_cast<int>(ph);
  return true;
}

// The page's own entries: how it shows the scene.
Entry pageChoice(std::string_view name, std::string_view value, PageSettings& s, std::string_view& expected) {
  long long n = 0;
  if (name == "size") {
    expected = "a size from 16x16 to 16384x16384";
    return parseSize(value, s.width, s.height) ? Entry::Taken : Entry::Bad;
  }
  if (name == "frames") {
    expected = "a number of frames of 1 or more";
    if (!parseInt(value, 1, MAX_INT, n)) return Entry::Bad;
    s.frames = static_cast<int>(n);
    return Entry::Taken;
  }
  if (name == "bench-from") {
    expected = "a frame number of 1 or more";
    if (!parseInt(value, 1, MAX_INT, n)) return Entry::Bad;
    s.benchFrom = static_cast<int>(n);
    return Entry::Taken;
  }
  expected = "nothing, 1 or 0";
  if (name == "wallpaper") return flag(value, s.wallpaper);
  if (name == "still") return flag(value, s.still);
  return Entry::Unknown;
}

std::string brushValue(const SceneOptions& scene) {
  for (std::string_view name : {"ball", "spot", "point", "picture", "disc"}) {
    const std::optional<BrushChoice> c = brushByName(name);
    if (static_cast<std::int32_t>(c->kind) == scene.brushKind && c->picture == scene.brushPicture) {
      return std::string(name);
    }
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%X", static_cast<unsigned>(scene.brushKind));
  return code;
}

}  // namespace

PageSettings parsePageQuery(std::string_view query) {
  PageSettings s;
  if (query.starts_with('?')) query.remove_prefix(1);
  std::string_view stillOnly;  // the first entry that needs `still`
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view raw = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (raw.empty()) continue;
    const std::size_t eq = raw.find('=');
    const std::string name = decoded(raw.substr(0, eq));
    const std::string value = eq == std::string_view::npos ? std::string() : decoded(raw.substr(eq + 1));
    std::string_view expected;
    Entry e = sceneChoice(name, value, s, expected);
    if (e == Entry::Unknown) e = pageChoice(name, value, s, expected);
    if (e == Entry::Unknown) {
      s.problems.push_back("unknown setting '" + quoted(raw) + "'");
    } else if (e == Entry::Bad) {
      s.problems.push_back("'" + quoted(raw) + "': expected " + std::string(expected));
    } else if ((name == "frames" || name == "bench-from") && stillOnly.empty()) {
      stillOnly = raw;
    }
  }
  if (!s.still) {
    if (!stillOnly.empty()) s.problems.push_back("'" + quoted(stillOnly) + "': only with still");
    s.frames = DEFAULT_STILL_FRAMES;
    s.benchFrom = 0;
  } else if (!s.scene.seedGiven) {
    s.scene.seedGiven = true;  // the renderer's default seed
  }
  if (s.benchFrom > s.frames) {
    s.problems.push_back("bench-from=" + std::to_string(s.benchFrom) + ": after the last frame");
    s.benchFrom = 0;
  }
  return s;
}

std::string pageQuery(const PageSettings& s) {
  const PageSettings defaults;
  std::string q;
  const auto add = [&q](std::string_view entry) {
    if (!q.empty()) q += '&';
    q += entry;
  };
  if (s.scene.brushKind != defaults.scene.brushKind || s.scene.brushPicture != defaults.scene.brushPicture) {
    add("brush=" + brushValue(s.scene));
  }
  if (s.scene.trail != defaults.scene.trail) add("trail=" + std::to_string(s.scene.trail));
  if (s.scene.depthSortEnabled != 0) add("depth-sort");
  if (s.scene.halfResRequested) add("half-res");
  if (s.scene.seedGiven) add("seed=" + std::to_string(s.scene.seed));
  if (s.showFps) add("fps");
  if (s.wallpaper) add("wallpaper");
  if (s.width > 0) add("size=" + std::to_string(s.width) + "x" + std::to_string(s.height));
  if (s.still) {
    add("still");
    if (s.frames != DEFAULT_STILL_FRAMES) add("frames=" + std::to_string(s.frames));
    if (s.benchFrom > 0) add("bench-from=" + std::to_string(s.benchFrom));
  }
  return q;
}

}  // namespace qv::web
