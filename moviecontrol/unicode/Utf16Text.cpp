#include "unicode/Utf16Text.h"

#include <cstdint>

namespace unicode {

namespace {
// Decodes one UTF-8 sequence at `i`; returns its length, or 0 when invalid.
std::size_t decodeOne(std::string_view s, std::size_t i, std::uint32_t& cp) {
    auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    std::size_t n;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static constexpr std::uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF) {
        return 0;
    }
    return n;
}
} // namespace

bool isAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp;
        std::size_t n = decodeOne(utf8, i, cp);
        if (n == 0) {
            ++units;
            ++i;
            continue;
        }
        units += cp >= 0x10000 ? 2 : 1;
        i += n;
    }
    return units;
}

std::u16string toUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp;
        std::size_t n = decodeOne(utf8, i, cp);
        if (n == 0) {
            out.push_back(static_cast<unsigned char>(utf8[i]));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += n;
    }
    return out;
}

std::string codePointToUtf8(std::uint32_t cp) {
    std::string out;
    // A surrogate alone keeps its three-byte form, so that text cut between the halves of a
    // pair can be joined again (see joinText).
    if (cp > 0x10FFFF) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return out;
}

std::string withoutLoneSurrogates(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // ED A0..BF xx is a surrogate's three-byte form, never valid UTF-8.
        if (static_cast<unsigned char>(text[i]) == 0xED && i + 2 < text.size() &&
            (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0xA0) {
            out += "\xEF\xBF\xBD";
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::string joinText(std::string_view a, std::string_view b) {
    const auto byte = [](std::string_view s, std::size_t i) {
        return static_cast<unsigned char>(s[i]);
    };
    // A high surrogate ending `a` (ED A0..AF xx) and a low one starting `b` (ED B0..BF xx).
    if (a.size() >= 3 && b.size() >= 3 && byte(a, a.size() - 3) == 0xED &&
        (byte(a, a.size() - 2) & 0xF0) == 0xA0 && byte(b, 0) == 0xED &&
        (byte(b, 1) & 0xF0) == 0xB0) {
        const std::u16string pair =
            toUtf16(std::string(a.substr(a.size() - 3)) + std::string(b.substr(0, 3)));
        std::string out(a.substr(0, a.size() - 3));
        out += fromUtf16(pair);
        out += b.substr(3);
        return out;
    }
    std::string out;
    out.reserve(a.size() + b.size());
    out += a;
    out += b;
    return out;
}

std::string fromUtf16(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        std::uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
            s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        out += codePointToUtf8(cp);
    }
    return out;
}

std::string decodeText(std::string_view bytes) {
    bool valid = true;
    for (std::size_t i = 0; i < bytes.size() && valid;) {
        std::uint32_t cp;
        std::size_t n = decodeOne(bytes, i, cp);
        valid = n != 0;
        i += n;
    }
    if (valid) {
        return std::string(bytes);
    }
    std::string out;
    for (char c : bytes) {
        out += codePointToUtf8(static_cast<unsigned char>(c));
    }
    return out;
}

} // namespace unicode
