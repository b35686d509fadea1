#pragma once
// What a program's documents say about its options, for tests that hold them
// against the option tables: the manual page's OPTIONS section, and the
// program's own rows beside the scene's.

#include <fstream>
#include <map>
#include <span>
#include <sstream>
#include <string>

#include "hosts/portable/option_table.h"
#include "hosts/portable/scene_options.h"

namespace qv::testing {

// name (without dashes) -> the value its entry shows ("" for a switch).
using OptionNames = std::map<std::string, std::string>;

// Every option named on a .B, .BI or .BR line of the page's OPTIONS section,
// as in `.BI \-\-brush " NAME" | KIND` or `.B \-h, \-\-help`.
inline OptionNames manPageOptions(const std::string& path) {
  std::ifstream in(path);
  OptionNames names;
  bool inOptions = false;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with(".SH")) inOptions = line == ".SH OPTIONS";
    if (!inOptions || !(line.starts_with(".B ") || line.starts_with(".BI ") || line.starts_with(".BR ")))
      continue;
    std::string unescaped;
    for (std::size_t i = line.find(' '); i < line.size(); ++i) {
      if (line.compare(i, 2, "\\f") == 0) {  // a font change
        i += 2;
        continue;
      }
      if (line.compare(i, 2, "\\-") == 0) ++i;  // the manual's minus sign
      if (line[i] != '"') unescaped += line[i];
    }
    std::istringstream words(unescaped);
    std::vector<std::string> named;
    std::string value;
    for (std::string word; words >> word;) {
      const std::size_t letter = word.find_first_not_of('-');
      if (word.starts_with('-') && letter != std::string::npos) {
        named.push_back(word.substr(letter, word.find_last_not_of(',') + 1 - letter));  // "-h," names h
      } else {
        value += word;
      }
    }
    for (const std::string& name : named) names[name] = value;
  }
  return names;
}

// The options a program offers: its own rows and the scene's for `user`.
template <class Target>
OptionNames tableOptions(std::span<const OptionRow<Target>> own, unsigned user) {
  OptionNames names;
  const auto add = [&](const auto& row) {
    if ((row.users & user) == 0) return;
    names[std::string(row.name)] = std::string(row.valueName);
    if (!row.shortName.empty()) names[std::string(row.shortName)] = std::string(row.valueName);
  };
  for (const auto& row : own) add(row);
  for (const auto& row : sceneOptions()) add(row);
  return names;
}

}  // namespace qv::testing
