#pragma once

#include <string_view>

namespace builder {

// The poem the blessing editor starts with (UTF-8, CR LF line ends). It is only a proposal:
// until the user edits it, it does not become the card's blessing.
std::string_view defaultBlessingText();

} // namespace builder
