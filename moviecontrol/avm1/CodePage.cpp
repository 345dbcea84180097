#include "avm1/CodePage.h"

#include "unicode/Utf16Text.h"

namespace avm1 {

std::string fromCodePage(std::string_view bytes) {
    if (unicode::isAscii(bytes)) {
        return std::string(bytes);
    }
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        out += unicode::codePointToUtf8(static_cast<unsigned char>(c));
    }
    return out;
}

std::string codePageForLog(std::string_view text) {
    if (unicode::isAscii(text)) {
        return std::string(text);
    }
    std::u16string units = unicode::toUtf16(unicode::withoutLoneSurrogates(text));
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (units[i] < 0x100) {
            bytes.push_back(static_cast<char>(units[i]));
            continue;
        }
        // A character beyond the code page (from chr or fromCharCode) is written whole.
        std::size_t end = i + 1;
        if (units[i] >= 0xD800 && units[i] <= 0xDBFF && end < units.size()) {
            ++end;
        }
        bytes += unicode::fromUtf16(std::u16string_view(units).substr(i, end - i));
        i = end - 1;
    }
    return unicode::decodeText(bytes);
}

} // namespace avm1
