#include "avm2/NumberParsing.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace avm2 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// An exponent past this is infinity or zero whatever the digits; keeping it small keeps the
// text handed to strtod small.
constexpr int kExponentLimit = 100000;

std::size_t skipSpaces(std::string_view s, std::size_t i) {
    while (i < s.size()) {
        const std::size_t n = scriptSpaceAt(s, i);
        if (n == 0) {
            break;
        }
        i += n;
    }
    return i;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int digitValue(char c) {
    if (isDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A' + 10;
    }
    return 99;
}

std::size_t readSign(std::string_view s, std::size_t i, bool& negative) {
    negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    return i;
}

} // namespace

std::size_t scriptSpaceAt(std::string_view s, std::size_t i) {
    if (i >= s.size()) {
        return 0;
    }
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v') {
        return 1;
    }
    if (s.size() - i < 3) {
        return 0;
    }
    const auto c1 = static_cast<unsigned char>(s[i + 1]);
    const auto c2 = static_cast<unsigned char>(s[i + 2]);
    if (c == 0xE2 && c1 == 0x80 && (c2 <= 0x8B || c2 == 0xA8 || c2 == 0xA9) && c2 >= 0x80) {
        return 3; // U+2000..U+200B, U+2028, U+2029
    }
    if (c == 0xE2 && c1 == 0x81 && c2 == 0x9F) {
        return 3; // U+205F
    }
    if (c == 0xE3 && c1 == 0x80 && c2 == 0x80) {
        return 3; // U+3000
    }
    return 0;
}

std::optional<double> parseDecimal(std::string_view s, bool whole) {
    std::size_t i = skipSpaces(s, 0);
    if (i >= s.size()) {
        // Blanks alone are 0 to Number() and nothing to parseFloat.
        return whole ? std::optional<double>(0.0) : std::nullopt;
    }
    bool negative = false;
    i = readSign(s, i, negative);
    std::string digits;
    long pointShift = 0;
    while (i < s.size() && isDigit(s[i])) {
        digits += s[i++];
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            digits += s[i++];
            --pointShift;
        }
    }
    long exponent = 0;
    if (!digits.empty() && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        bool negativeExponent = false;
        i = readSign(s, i + 1, negativeExponent);
        if (negativeExponent && i >= s.size()) {
            return std::nullopt;
        }
        while (i < s.size() && isDigit(s[i])) {
            if (exponent < kExponentLimit) {
                exponent = exponent * 10 + (s[i] - '0');
            }
            ++i;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    const std::size_t end = skipSpaces(s, i);
    if (digits.empty()) {
        constexpr std::string_view kInfinity = "Infinity";
        if (s.substr(i, kInfinity.size()) != kInfinity) {
            return std::nullopt;
        }
        const std::size_t after = i + kInfinity.size();
        // Something other than a blank right after the word spoils it, whatever the mode.
        if (after < s.size() && scriptSpaceAt(s, after) == 0) {
            return std::nullopt;
        }
        if (whole && skipSpaces(s, after) < s.size()) {
            return std::nullopt;
        }
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    if (whole && end < s.size()) {
        return std::nullopt;
    }
    const long scale = exponent + pointShift;
    std::string text = digits + "e" + std::to_string(scale);
    const double v = std::strtod(text.c_str(), nullptr);
    return negative ? -v : v;
}

double parseInteger(std::string_view s, int radix, bool whole) {
    std::size_t i = skipSpaces(s, 0);
    bool negative = false;
    i = readSign(s, i, negative);
    const bool hex = i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X');
    if (hex && (radix == 0 || radix == 16)) {
        radix = 16;
        i += 2;
    } else if (radix == 0) {
        radix = 10;
    }
    if (radix < 2 || radix > 36) {
        return kNaN;
    }
    double v = 0;
    bool any = false;
    for (; i < s.size(); ++i) {
        const int d = digitValue(s[i]);
        if (d >= radix) {
            break;
        }
        v = v * radix + d;
        any = true;
    }
    if (!any || (whole && skipSpaces(s, i) < s.size())) {
        return kNaN;
    }
    return negative ? -v : v;
}

} // namespace avm2
