#pragma once
// Strings are kept as UTF-8; scripts index them by UTF-16 code units, as Flash does.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace unicode {

// Number of UTF-16 code units of UTF-8 text (invalid bytes count one each).
std::size_t utf16Length(std::string_view utf8);
std::u16string toUtf16(std::string_view utf8);
std::string fromUtf16(std::u16string_view utf16);
// True when every byte is below 0x80 (indexing by bytes is then exact).
bool isAscii(std::string_view text);
// Valid UTF-8 stays as it is; anything else is read as Latin-1.
std::string decodeText(std::string_view bytes);
// The UTF-8 form of one code point; a UTF-16 surrogate alone keeps its three-byte form.
std::string codePointToUtf8(std::uint32_t codePoint);
// `a` followed by `b`, where the halves of a surrogate pair cut apart become one character.
std::string joinText(std::string_view a, std::string_view b);
// The text as others may read it: a surrogate alone becomes U+FFFD, as Flash prints it.
std::string withoutLoneSurrogates(std::string_view text);

} // namespace unicode
