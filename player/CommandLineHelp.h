#pragma once

#include <optional>
#include <string>
#include <vector>

namespace player {

// What the player answers on its standard output instead of playing, for the arguments
// that follow the program's name: the usage for --help (or -h), the version for --version.
std::optional<std::string> commandLineAnswer(const std::vector<std::string>& arguments);

} // namespace player
