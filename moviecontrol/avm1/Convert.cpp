// Conversions between values, by the version of the code running.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace avm1 {

namespace {
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest decimal number at the start of `s` (sign, digits, fraction,
// exponent); 0 when there is none. The player takes an 'e' after the digits as the start of
// an exponent even when no digits follow it ("1e" and "1e+" read as 1), and a point alone
// as a number without digits, zero ("." and "-.e1" read as 0).
std::size_t decimalPrefix(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i, ++digits;
    }
    bool point = false;
    if (i < s.size() && s[i] == '.') {
        ++i;
        point = true;
        while (i < s.size() && isDigit(s[i])) {
            ++i, ++digits;
        }
    }
    if (digits == 0 && !point) {
        return 0;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        while (j < s.size() && isDigit(s[j])) {
            ++j;
        }
        i = j;
    }
    return i;
}

double parseDecimal(std::string_view s) {
    std::string text(s);
    return std::strtod(text.c_str(), nullptr);
}
} // namespace

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

double stringToNumber(std::string_view s, int version) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    auto hexPrefix = [](std::string_view t) {
        return t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X');
    };
    if (version >= 6 && hexPrefix(s)) {
        // Hexadecimal only at the very start, the sign after the prefix; it reads as a
        // 32-bit signed integer.
        std::string_view body = s.substr(2);
        bool negative = !body.empty() && body[0] == '-';
        if (!body.empty() && (body[0] == '-' || body[0] == '+')) {
            body.remove_prefix(1);
        }
        if (body.empty()) {
            return NaN;
        }
        double value = 0;
        for (char c : body) {
            int d = hexDigit(c);
            if (d < 0) {
                return NaN;
            }
            value = value * 16 + d;
        }
        double wrapped = static_cast<double>(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(std::fmod(value, 4294967296.0))));
        return negative ? -wrapped : wrapped;
    }
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    const bool spaced = i > 0;
    s.remove_prefix(i);
    if (s.empty()) {
        return version >= 5 ? NaN : 0.0;
    }
    if (version >= 6) {
        std::string_view body = s;
        bool negative = body[0] == '-';
        bool sign = negative || body[0] == '+';
        if (sign) {
            body.remove_prefix(1);
        }
        if (sign && hexPrefix(body)) {
            return NaN;
        }
        // A leading zero with nothing but octal digits after it, no space before: octal.
        bool octal = !spaced && body.size() > 1 && body[0] == '0';
        for (std::size_t k = 1; octal && k < body.size(); ++k) {
            octal = body[k] >= '0' && body[k] <= '7';
        }
        if (octal) {
            double value = 0;
            for (char c : body) {
                value = value * 8 + (c - '0');
            }
            return negative ? -value : value;
        }
    }
    double result = NaN;
    std::size_t n = decimalPrefix(s);
    if (n == s.size()) {
        return parseDecimal(s);
    }
    if (version < 5) {
        return n ? parseDecimal(s.substr(0, n)) : 0.0;
    }
    return result;
}

std::string numberToText(double n) {
    if (std::isnan(n)) {
        return "NaN";
    }
    if (std::isinf(n)) {
        return n > 0 ? "Infinity" : "-Infinity";
    }
    if (n == 0) {
        return "0";
    }
    if (n == std::trunc(n) && std::fabs(n) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", n);
        return buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(n));
    if (std::isinf(std::strtod(buf, nullptr))) {
        // Rounded up past the largest number: the digits are cut instead (1.79769313486231e+308).
        std::snprintf(buf, sizeof buf, "%.16e", std::fabs(n));
        char* e = std::strchr(buf, 'e');
        std::memmove(buf + 16, e, std::strlen(e) + 1);
    }
    // buf: d.dddddddddddddde[+-]xx
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (isDigit(*p)) {
            digits.push_back(*p);
        }
    }
    int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    // Flash picks the layout by the exponent before rounding to 15 digits: fixed from 1e-5
    // up to 1e15, so 999999999999999.9 prints as 1000000000000000, 0.00001 as itself and
    // 0.0000099999999999999995 as 1e-5. Enough digits here leave the exponent unrounded.
    char exact[48];
    std::snprintf(exact, sizeof exact, "%.25e", std::fabs(n));
    const char* exactE = std::strchr(exact, 'e');
    const int unrounded = exactE ? std::atoi(exactE + 1) : exponent;
    std::string out = n < 0 ? "-" : "";
    if (unrounded < -5 || unrounded >= 15) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += exponent < 0 ? "e-" : "e+";
        out += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits;
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out += '.';
            out.append(digits, whole);
        }
    }
    return out;
}

std::string numberToText(double n, int radix) {
    if (radix < 2 || radix > 36 || radix == 10) {
        return numberToText(n);
    }
    // Other radixes print the integer part as a 32-bit integer. A number with no such
    // integer (NaN, the infinities, anything past the range) becomes the smallest integer,
    // the processor's answer to an impossible conversion, whose negation stays negative:
    // its digits then come out as the characters just below '0', as Flash prints them.
    std::int32_t v = truncateToInt32(n);
    bool negative = v < 0;
    if (negative) {
        v = static_cast<std::int32_t>(0u - static_cast<std::uint32_t>(v));
    }
    std::string out;
    do {
        int d = v % radix;
        out.insert(out.begin(), static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10));
        v /= radix;
    } while (v != 0);
    if (negative) {
        out.insert(out.begin(), '-');
    }
    return out;
}

std::int32_t toInt32(double n) {
    if (!std::isfinite(n)) {
        return 0;
    }
    double t = std::trunc(n);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) {
        m += 4294967296.0;
    }
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(m));
}

std::int32_t truncateToInt32(double n) {
    constexpr double Limit = 2147483648.0;
    if (!(n > -Limit - 1 && n < Limit)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(n);
}

std::uint32_t toUint32(double n) {
    return static_cast<std::uint32_t>(toInt32(n));
}

double parseFloatText(std::string_view s) {
    // Flash reads digit by digit, each fraction digit scaled by a tenth of the last one's
    // scale, so its results differ from the nearest double in the last bit at times. A
    // second point is passed over and ends the chance of an exponent; the exponent wraps
    // as a 32-bit integer.
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i++] == '-';
    }
    double value = 0, scale = 0;
    bool digits = false, exponentAllowed = true;
    int points = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == '.') {
            if (++points == 1) {
                scale = 0.1;
            } else {
                exponentAllowed = false;
            }
            continue;
        }
        if (!isDigit(c)) {
            break;
        }
        digits = true;
        if (points == 0) {
            value = value * 10 + (c - '0');
        } else {
            value += (c - '0') * scale;
            scale /= 10;
        }
    }
    if (!digits && points == 0) {
        return std::numeric_limits<double>::quiet_NaN(); // a point alone reads as 0
    }
    if (exponentAllowed && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j++] == '-';
        }
        std::uint32_t exponent = 0;
        for (; j < s.size() && isDigit(s[j]); ++j) {
            exponent = exponent * 10 + static_cast<std::uint32_t>(s[j] - '0');
        }
        auto e = static_cast<std::int32_t>(exponent);
        value *= std::pow(10.0, negativeExponent ? -static_cast<double>(e) : e);
    }
    return negative ? -value : value;
}

double parseIntText(std::string_view s, int radix) {
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    auto isSign = [](std::string_view t) { return !t.empty() && (t[0] == '-' || t[0] == '+'); };
    // The prefixes are looked for before any space is skipped.
    const bool hasSign = isSign(s);
    const std::size_t off = hasSign ? 1 : 0;
    const bool zero = s.size() > off && s[off] == '0';
    const bool hex = zero && s.size() > off + 1 && (s[off + 1] == 'x' || s[off + 1] == 'X');
    bool ignoreSign = false;
    if (hex && hasSign) {
        // A sign before "0x" spoils the number, unless the radix makes 'x' a digit: the
        // sign is then passed over.
        if (radix < 34) {
            return NaN;
        }
        ignoreSign = true;
    } else if (hex) {
        // "0x" is dropped whatever the radix; without one it makes the radix 16. Spaces and
        // a sign may follow it.
        s.remove_prefix(2);
        if (radix == 0) {
            radix = 16;
        }
    } else if (radix == 0) {
        // A leading zero (after the sign) with nothing but octal digits after it: octal.
        bool octal = zero;
        for (std::size_t k = 1; octal && k < s.size(); ++k) {
            octal = s[k] >= '0' && s[k] <= '7';
        }
        radix = octal ? 8 : 10;
    }
    if (radix < 2 || radix > 36) {
        return NaN;
    }
    while (!s.empty() && (s[0] == ' ' || s[0] == '\t' || s[0] == '\n' || s[0] == '\r')) {
        s.remove_prefix(1);
    }
    bool negative = false;
    if (isSign(s)) {
        negative = !ignoreSign && s[0] == '-';
        s.remove_prefix(1);
    }
    double value = 0;
    std::size_t used = 0;
    for (char c : s) {
        int d = hexDigit(c);
        if (d < 0 && c >= 'g' && c <= 'z') {
            d = c - 'a' + 10;
        }
        if (d < 0 && c >= 'G' && c <= 'Z') {
            d = c - 'A' + 10;
        }
        if (d < 0 || d >= radix) {
            break;
        }
        value = value * radix + d;
        ++used;
    }
    if (used == 0) {
        return NaN;
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> levelNumber(std::string_view name) {
    if (name.size() < 6 || name[0] != '_') {
        return std::nullopt;
    }
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    std::string prefix;
    for (std::size_t i = 1; i < 6; ++i) {
        prefix += lower(name[i]);
    }
    if (prefix != "level" && prefix != "flash") {
        return std::nullopt;
    }
    const bool negative = name.size() > 6 && name[6] == '-';
    std::uint32_t n = 0;
    for (std::size_t i = negative ? 7 : 6; i < name.size() && isDigit(name[i]); ++i) {
        n = n * 10u + static_cast<std::uint32_t>(name[i] - '0');
    }
    return static_cast<std::int32_t>(negative ? 0u - n : n);
}

} // namespace avm1
