#include "hosts/web/page_settings.h"

#include <algorithm>

namespace qv::web {

namespace {

constexpr long long MAX_INT = 0x7FFFFFFFll;

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

std::string readSwitchInto(std::string_view value, bool& field) {
  return parseSwitch(value, field) ? std::string() : "1 or 0";
}
std::string readWallpaper(std::string_view v, PageSettings& s) { return readSwitchInto(v, s.wallpaper); }
std::string readStill(std::string_view v, PageSettings& s) { return readSwitchInto(v, s.still); }

std::string readSize(std::string_view value, PageSettings& s) {
  long long w = 0;
  long long h = 0;
  if (!parseSize(value, MIN_FRAME_SIDE, MAX_FRAME_SIDE, w, h)) return "a size from 16x16 to 16384x16384";
  s.width = static_cast<int>(w);
  s.height = static_cast<int>(h);
  return {};
}

std::string readFrames(std::string_view value, PageSettings& s) {
  long long n = 0;
  if (!parseInt(value, 1, MAX_INT, n)) return "a number of frames of 1 or more";
  s.frames = static_cast<int>(n);
  return {};
}

std::string readBenchFrom(std::string_view value, PageSettings& s) {
  long long n = 0;
  if (!parseInt(value, 1, MAX_INT, n)) return "a frame number of 1 or more";
  s.benchFrom = static_cast<int>(n);
  return {};
}

// The page's own entries: how it shows the scene.
constexpr OptionRow<PageSettings> PAGE_ENTRIES[] = {
    {"wallpaper", "", "the canvas alone: no panel, no cursor", readWallpaper},
    {"size", "WxH", "the frame's size in device pixels", readSize},
    {"still", "", "draw frames 1 ... frames on the renderer's clock, show the last", readStill},
    {"frames", "F", "the still's last frame", readFrames},
    {"bench-from", "F", "time the still's frames from F on", readBenchFrom},
};

const OptionRow<SceneChoices>* sceneRow(std::string_view name) {
  for (const OptionRow<SceneChoices>& row : sceneOptions()) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

// Reads one entry into the settings: empty when it was taken, else the line
// that names it.
std::string readEntry(std::string_view name, std::string_view value, PageSettings& s) {
  const OptionProblem problem = readNamedOption<PageSettings>(PAGE_ENTRIES, name, value, WEB_PAGE, s);
  if (problem.kind != OptionProblem::Unknown) return problem ? badValueLine(problem) : std::string();
  std::string line = setSceneOption(name, value, WEB_PAGE, s.choices);
  // The table shows a switch's state by no reader, so the page keeps it.
  const OptionRow<SceneChoices>* row = sceneRow(name);
  if (line.empty() && row->valueName.empty()) {
    std::erase(s.switchesOn, row->name);
    if (value != "0") s.switchesOn.push_back(row->name);
  }
  return line;
}

}  // namespace

PageSettings parsePageQuery(std::string_view query) {
  PageSettings s;
  if (query.starts_with('?')) query.remove_prefix(1);
  std::string stillOnly;  // the first entry that needs `still`
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view raw = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    if (raw.empty()) continue;
    const std::size_t eq = raw.find('=');
    const std::string name = decoded(raw.substr(0, eq));
    const std::string value = eq == std::string_view::npos ? std::string() : decoded(raw.substr(eq + 1));
    std::string problem = readEntry(name, value, s);
    if (!problem.empty()) {
      s.problems.push_back(std::move(problem));
    } else if ((name == "frames" || name == "bench-from") && stillOnly.empty()) {
      stillOnly = name;
    }
  }
  if (!s.still) {
    if (!stillOnly.empty()) s.problems.push_back(stillOnly + ": only with still");
    s.frames = DEFAULT_STILL_FRAMES;
    s.benchFrom = 0;
  } else if (!s.choices.scene.seedGiven) {
    s.choices.scene.seedGiven = true;  // the renderer's default seed
  }
  if (s.benchFrom > s.frames) {
    s.problems.push_back("bench-from: " + std::to_string(s.benchFrom) + " is after the last frame");
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
  for (const OptionRow<SceneChoices>& row : sceneOptions()) {
    if ((row.users & WEB_PAGE) == 0) continue;
    if (row.valueName.empty()) {
      if (std::find(s.switchesOn.begin(), s.switchesOn.end(), row.name) != s.switchesOn.end()) add(row.name);
    } else if (row.shown != nullptr && row.shown(s.choices) != row.shown(defaults.choices)) {
      add(std::string(row.name) + "=" + row.shown(s.choices));
    }
  }
  if (s.wallpaper) add("wallpaper");
  if (s.width > 0) add("size=" + std::to_string(s.width) + "x" + std::to_string(s.height));
  if (s.still) {
    add("still");
    if (s.frames != DEFAULT_STILL_FRAMES) add("frames=" + std::to_string(s.frames));
    if (s.benchFrom > 0) add("bench-from=" + std::to_string(s.benchFrom));
  }
  return q;
}

std::string panelRows() {
  const SceneChoices defaults;
  std::string text;
  for (const OptionRow<SceneChoices>& row : sceneOptions()) {
    if ((row.users & WEB_PAGE) == 0) continue;
    std::string help(row.help);
    std::replace(help.begin(), help.end(), '\n', ' ');
    text.append(row.name).append("\t").append(row.valueName).append("\t").append(help).append("\t");
    if (row.shown != nullptr) text += row.shown(defaults);
    text += "\t";
    // The brush's names, for a list to choose from; a kind code is typed
    // into the address.
    if (row.name == "brush") {
      for (const NamedBrush& brush : namedBrushes()) text.append(brush.name).append(",");
      text.pop_back();
    }
    text += "\n";
  }
  return text;
}

}  // namespace qv::web
