#pragma once

#include <string_view>

namespace player {

// Label2's design text: the poem the builder's blessing editor starts with (UTF-8, CR LF
// line ends). A card replaces it with its own blessing once the password matched.
std::string_view defaultBlessingText();

} // namespace player
