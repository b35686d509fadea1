#pragma once
// The box for a command line the program does not understand.

#include <string_view>

namespace qv::sdl {

inline constexpr std::string_view USAGE_TEXT =
    "\nExit - key Esc\n\nOther controls look at the left-down corner after Run.\n\n\n"
    "Выход - клавиша Esc\n\nПрочие управления смотрите в левом-нижнем углу   \nпосле Запуска.\n ";
inline constexpr std::string_view USAGE_CAPTION = "    Quorvalent";

// Shows the usage box (no owner window); without a display the caption and
// the text go to standard error instead.
void showUsage();

}  // namespace qv::sdl
