#include "avm2/UriCoding.h"

#include <cstdint>

namespace avm2 {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool isAlnum(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool isIn(char16_t c, std::u16string_view set) {
    return set.find(c) != std::u16string_view::npos;
}

constexpr std::u16string_view kUnreserved = u"-_.!~*'()";
constexpr std::u16string_view kReserved = u";/?:@&=+$,#";

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// The value of `digits` hex digits at `at`, or -1.
long hexAt(std::u16string_view s, std::size_t at, std::size_t digits) {
    if (at + digits > s.size()) {
        return -1;
    }
    long v = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int d = hexValue(s[at + i]);
        if (d < 0) {
            return -1;
        }
        v = v * 16 + d;
    }
    return v;
}

void appendByte(std::string& out, unsigned b) {
    out += '%';
    out += kHex[(b >> 4) & 0xF];
    out += kHex[b & 0xF];
}

} // namespace

std::string escapeText(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        if (isAlnum(c) || isIn(c, u"@*_+-./")) {
            out += static_cast<char>(c);
        } else if (c < 256) {
            appendByte(out, c);
        } else {
            out += "%u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                out += kHex[(c >> shift) & 0xF];
            }
        }
    }
    return out;
}

std::u16string unescapeText(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            if (i + 1 < text.size() && text[i + 1] == u'u') {
                const long v = hexAt(text, i + 2, 4);
                if (v >= 0) {
                    out += static_cast<char16_t>(v);
                    i += 5;
                    continue;
                }
            } else if (const long v = hexAt(text, i + 1, 2); v >= 0) {
                out += static_cast<char16_t>(v);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool encodeUri(std::u16string_view text, UriSet keep, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (isAlnum(c) || isIn(c, kUnreserved) || (keep == UriSet::Whole && isIn(c, kReserved))) {
            out += static_cast<char>(c);
            continue;
        }
        std::uint32_t cp = c;
        if (c >= 0xDC00 && c <= 0xDFFF) {
            return false;
        }
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
                return false;
            }
            cp = 0x10000 + ((c - 0xD800u) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        if (cp < 0x80) {
            appendByte(out, cp);
        } else if (cp < 0x800) {
            appendByte(out, 0xC0 | (cp >> 6));
            appendByte(out, 0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            appendByte(out, 0xE0 | (cp >> 12));
            appendByte(out, 0x80 | ((cp >> 6) & 0x3F));
            appendByte(out, 0x80 | (cp & 0x3F));
        } else {
            appendByte(out, 0xF0 | (cp >> 18));
            appendByte(out, 0x80 | ((cp >> 12) & 0x3F));
            appendByte(out, 0x80 | ((cp >> 6) & 0x3F));
            appendByte(out, 0x80 | (cp & 0x3F));
        }
    }
    return true;
}

bool decodeUri(std::u16string_view text, UriSet keep, std::u16string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            out += text[i];
            continue;
        }
        const long first = hexAt(text, i + 1, 2);
        if (first < 0) {
            return false;
        }
        const std::size_t start = i;
        i += 2;
        if (first < 0x80) {
            const auto c = static_cast<char16_t>(first);
            if (keep == UriSet::Whole && isIn(c, kReserved)) {
                out += text.substr(start, 3);
            } else {
                out += c;
            }
            continue;
        }
        int more = 0;
        std::uint32_t cp = 0;
        if ((first & 0xE0) == 0xC0) {
            more = 1;
            cp = first & 0x1F;
        } else if ((first & 0xF0) == 0xE0) {
            more = 2;
            cp = first & 0x0F;
        } else if ((first & 0xF8) == 0xF0) {
            more = 3;
            cp = first & 0x07;
        } else {
            return false;
        }
        for (int k = 0; k < more; ++k) {
            if (i + 1 >= text.size() || text[i + 1] != u'%') {
                return false;
            }
            const long b = hexAt(text, i + 2, 2);
            if (b < 0 || (b & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | static_cast<std::uint32_t>(b & 0x3F);
            i += 3;
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        const std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[more] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            return false;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return true;
}

} // namespace avm2
