#pragma once

#include <string>
#include <string_view>

namespace cardformat {

// Texts live in memory as UTF-8 and are stored in files as GB18030, the superset of the
// GBK code page the cards were made for: every GBK text keeps its bytes, and nothing a user
// types is lost. Stored lengths count bytes of the stored encoding.

// UTF-8 to stored bytes. A malformed UTF-8 sequence becomes "?".
std::string toAnsi(std::string_view utf8);

// Stored bytes to UTF-8. A byte sequence that is no GB18030 character becomes U+FFFD.
std::string fromAnsi(std::string_view ansi);

// UTF-8 to another encoding named as iconv names it (a terminal's, for example). Throws
// CardError when the encoding is unknown.
std::string toEncoding(std::string_view utf8, const std::string& encoding);

// Length of a text in stored bytes.
std::size_t ansiLength(std::string_view utf8);

} // namespace cardformat
