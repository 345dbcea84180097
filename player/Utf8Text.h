#pragma once

#include <string>
#include <string_view>

// Character-wise edits of UTF-8 texts: the rules of the player count characters, and a cut
// through the middle of a multi-byte character would leave an invalid path.
namespace player {

// Where the character that starts at byte `at` ends (one past its last byte).
std::size_t endOfCharacter(std::string_view text, std::size_t at);
// The number of characters; a stray continuation byte counts as a character of its own.
std::size_t characterCount(std::string_view text);
// The text without its first and its last character; empty for fewer than two.
std::string withoutFirstAndLastCharacter(std::string_view text);
// Leading and trailing blanks (U+0020 only) removed.
std::string_view trimBlanks(std::string_view text);

} // namespace player
