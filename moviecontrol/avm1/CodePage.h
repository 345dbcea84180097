#pragma once
// Texts of movies before version 6. Such movies hold their texts in the author's one-byte
// code page, not in UTF-8: every byte is one character, so a letter an editor stored as
// two UTF-8 bytes has length 2 and ord gives its first byte. The bytes are kept as the
// Latin-1 characters of the same numbers; trace writes the bytes back out, so a log reads
// as the author wrote it.

#include <string>
#include <string_view>

namespace avm1 {

// Every byte as the character of the same number.
std::string fromCodePage(std::string_view bytes);
// What a version 5 trace shows: characters up to U+00FF become their byte again, and the
// bytes read as UTF-8 when they form it (as Latin-1 otherwise).
std::string codePageForLog(std::string_view text);

} // namespace avm1
