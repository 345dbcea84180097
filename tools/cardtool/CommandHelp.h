#pragma once

#include <string>
#include <string_view>

namespace cardtool {

// `cardtool help COMMAND`: the longer description of one command; empty for a command that
// has none beyond the usage lines.
std::string_view commandHelp(std::string_view command);

} // namespace cardtool
