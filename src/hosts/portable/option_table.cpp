#include "hosts/portable/option_table.h"

#include "hosts/portable/printable_text.h"

namespace qv {

bool spellsOption(std::string_view token, std::string_view name, std::string_view shortName, Dashes dashes) {
  if (!token.starts_with('-')) return false;
  const bool oneDash = !token.starts_with("--");
  const std::string_view bare = token.substr(oneDash ? 1 : 2);
  if (bare.empty()) return false;
  if (bare == shortName) return oneDash || dashes == Dashes::OneOrTwo;
  return bare == name && (!oneDash || dashes == Dashes::OneOrTwo);
}

std::string badValueLine(const OptionProblem& problem) {
  return std::string(problem.token) + ": expected " + problem.expected + ", got '" +
         printableText(problem.value) + "'";
}

std::string helpEntry(std::string_view name, std::string_view shortName, std::string_view valueName,
                      std::string_view help, const std::string& shownDefault, Dashes dashes,
                      std::size_t column) {
  std::string entry = "  ";
  if (!shortName.empty()) {
    entry.append("-").append(shortName).append(", ");
  } else if (dashes == Dashes::OneOrTwo) {
    entry.append("-").append(name).append(", ");
  }
  entry.append("--").append(name);
  if (!valueName.empty()) entry.append(" ").append(valueName);
  entry.append(entry.size() + 2 > column ? 2 : column - entry.size(), ' ');
  for (const char c : help) {
    entry += c;
    if (c == '\n') entry.append(column, ' ');
  }
  if (!shownDefault.empty()) entry.append(" (default: ").append(shownDefault).append(")");
  return entry + "\n";
}

}  // namespace qv
