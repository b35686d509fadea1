#pragma once
// Options as the programs declare them: one row an option, read from a
// command line by one reader and listed by one help writer. The scene's
// options (scene_options.h) are rows of this kind that every program
// shares; each program adds rows of its own for what only it has.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace qv {

// The programs, as bits of OptionRow::users.
enum OptionUser : unsigned {
  DESKTOP_PROGRAM = 1,
  RENDERER_PROGRAM = 2,
  WEB_PAGE = 4,  // name=value pairs of its address's query
};
inline constexpr unsigned EVERY_PROGRAM = DESKTOP_PROGRAM | RENDERER_PROGRAM | WEB_PAGE;

// One option, written as {name, value, help, read} and, where wanted, the
// rest in order.
template <class Target>
struct OptionRow {
  std::string_view name;       // without dashes: "trail"
  std::string_view valueName;  // "N"; empty: a switch, named alone
  std::string_view help;       // its lines joined by '\n'
  // Reads the value ("" for a switch named alone) into the target: empty
  // when it was taken, else what the option expects ("a number of 0 or more").
  std::string (*read)(std::string_view value, Target& target);
  std::string_view valueNoun = {};  // "a number", for "--seed needs a number"
  unsigned users = EVERY_PROGRAM;
  // The default the help shows, read from a target that holds the defaults.
  std::string (*shown)(const Target& target) = nullptr;
  std::string_view shortName = {};  // a second name: "h"
};

// How a program's options are spelled: "--name" always, "-name" too where
// one dash will do; a short name takes one dash.
enum class Dashes { Two, OneOrTwo };

bool spellsOption(std::string_view token, std::string_view name, std::string_view shortName, Dashes dashes);

// What stopped a command line; each program words it its own way.
struct OptionProblem {
  enum Kind { None, Unknown, NoValue, BadValue } kind = None;
  std::string_view token = {};      // the option as given
  std::string_view value = {};      // BadValue
  std::string expected = {};        // BadValue
  std::string_view valueNoun = {};  // NoValue
  explicit operator bool() const { return kind != None; }
};

// "TOKEN: expected WHAT, got 'VALUE'", control characters escaped.
std::string badValueLine(const OptionProblem& problem);

// "  -h, --help VALUE" (with "-name, " first where one dash will do), the
// help from `column` on, its further lines below, the default last.
std::string helpEntry(std::string_view name, std::string_view shortName, std::string_view valueName,
                      std::string_view help, const std::string& shownDefault, Dashes dashes,
                      std::size_t column);

template <class Target>
const OptionRow<Target>* findOption(std::span<const OptionRow<Target>> rows, std::string_view token,
                                    Dashes dashes, unsigned user) {
  for (const OptionRow<Target>& row : rows) {
    if ((row.users & user) != 0 && spellsOption(token, row.name, row.shortName, dashes)) return &row;
  }
  return nullptr;
}

// Reads the option at args[i] (and its value, moving i on to it).
template <class Target>
OptionProblem readOption(const OptionRow<Target>& row, std::span<const std::string_view> args, std::size_t& i,
                         Target& target) {
  const std::string_view token = args[i];
  if (row.valueName.empty()) {
    row.read({}, target);
    return {};
  }
  if (i + 1 >= args.size())
    return {.kind = OptionProblem::NoValue, .token = token, .valueNoun = row.valueNoun};
  const std::string_view value = args[++i];
  std::string expected = row.read(value, target);
  if (expected.empty()) return {};
  return {.kind = OptionProblem::BadValue, .token = token, .value = value, .expected = std::move(expected)};
}

// For readers of name=value pairs: reads `value` into the option `name`
// that `user` offers (Unknown when none).
template <class Target>
OptionProblem readNamedOption(std::span<const OptionRow<Target>> rows, std::string_view name,
                              std::string_view value, unsigned user, Target& target) {
  for (const OptionRow<Target>& row : rows) {
    if ((row.users & user) == 0 || row.name != name) continue;
    std::string expected = row.read(value, target);
    if (expected.empty()) return {};
    return {.kind = OptionProblem::BadValue, .token = name, .value = value, .expected = std::move(expected)};
  }
  return {.kind = OptionProblem::Unknown, .token = name};
}

// Reads every token of `args` as an option of either table (the program's
// own first), in order, up to the first problem.
template <class A, class B>
OptionProblem readOptions(std::span<const std::string_view> args, Dashes dashes, unsigned user,
                          std::span<const OptionRow<A>> first, A& a, std::span<const OptionRow<B>> second,
                          B& b) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    OptionProblem problem{.kind = OptionProblem::Unknown, .token = args[i]};
    if (const OptionRow<A>* row = findOption(first, args[i], dashes, user)) {
      problem = readOption(*row, args, i, a);
    } else if (const OptionRow<B>* other = findOption(second, args[i], dashes, user)) {
      problem = readOption(*other, args, i, b);
    }
    if (problem) return problem;
  }
  return {};
}

// The help of the rows offered to `user`, one entry a row, with the
// defaults that `defaults` holds.
template <class Target>
std::string optionHelp(std::span<const OptionRow<Target>> rows, unsigned user, Dashes dashes,
                       const Target& defaults, std::size_t column) {
  std::string text;
  for (const OptionRow<Target>& row : rows) {
    if ((row.users & user) == 0) continue;
    text += helpEntry(row.name, row.shortName, row.valueName, row.help,
                      row.shown != nullptr ? row.shown(defaults) : std::string(), dashes, column);
  }
  return text;
}

}  // namespace qv
