#pragma once

#include <string_view>

namespace cardformat {

// The poem the builder's blessing editor starts with and the player's blessing window shows
// before a card's own blessing replaces it (UTF-8, CR LF line ends). In the editor it is only
// a proposal: until the user edits it, it does not become the card's blessing.
std::string_view defaultBlessingText();

} // namespace cardformat
