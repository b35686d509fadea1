#pragma once
// Text from the command line, made safe to quote in a one-line message:
// control characters become escapes (\n, \t, \r, else \xNN), so a name with
// a newline in it cannot split or forge a line of the renderer's output.

#include <string>
#include <string_view>

namespace qv {

std::string printableText(std::string_view text);

}  // namespace qv
