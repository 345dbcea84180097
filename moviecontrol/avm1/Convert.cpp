// Conversions between values, by the version of the code running.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

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

// value * 10^exp, ten squared step by step and each set bit multiplied in (or divided out),
// as Flash computes it: the rounding of each step shows in the last digit it prints.
double decimalShift(double value, int exp) {
    double base = 10.0;
    const bool up = exp > 0;
    unsigned e = up ? static_cast<unsigned>(exp) : 0U - static_cast<unsigned>(exp);
    while (e != 0) {
        if ((e & 1U) != 0) {
            value = up ? value * base : value / base;
        }
        e >>= 1U;
        base *= base;
    }
    return value;
}

// The decimal exponent Flash starts from: the binary one times log10(2), rounded.
int decimalExponentGuess(double positive) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &positive, sizeof bits);
    int exp2 = static_cast<int>((bits >> 52U) & 0x7FFU) - 1023;
    if (exp2 == -1023) { // subnormal: scale it into the normal range first
        const double scaled = positive * 18014398509481984.0; // 2^54
        std::memcpy(&bits, &scaled, sizeof bits);
        exp2 = static_cast<int>((bits >> 52U) & 0x7FFU) - 1023 - 54;
    }
    return static_cast<int>(std::round(exp2 * 0.301029995663981));
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
        std::uint32_t value = 0;
        for (char c : body) {
            int d = hexDigit(c);
            if (d < 0) {
                return NaN;
            }
            value = value * 16 + static_cast<std::uint32_t>(d);
        }
        const auto wrapped = static_cast<double>(static_cast<std::int32_t>(value));
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
        // A leading zero with nothing but octal digits after it, no space before: octal,
        // read as a 32-bit signed integer as hexadecimal is.
        bool octal = !spaced && body.size() > 1 && body[0] == '0';
        for (std::size_t k = 1; octal && k < body.size(); ++k) {
            octal = body[k] >= '0' && body[k] <= '7';
        }
        if (octal) {
            std::uint32_t value = 0;
            for (char c : body) {
                value = value * 8 + static_cast<std::uint32_t>(c - '0');
            }
            const auto wrapped = static_cast<double>(static_cast<std::int32_t>(value));
            return negative ? -wrapped : wrapped;
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

// Flash prints a number digit by digit: it scales it into [1, 10) by powers of ten, takes
// 15 digits by multiplying the rest by ten each time, and rounds on the 16th, half away from
// zero. The layout follows the exponent before rounding: fixed from 1e-5 up to 1e15,
// exponent form outside. A carry out of all nines in exponent form has no room and is put
// back as a leading 1.
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
    if (n == std::trunc(n) && n >= -2147483648.0 && n <= 2147483647.0) {
        return std::to_string(static_cast<std::int32_t>(n));
    }
    std::string buf;
    const bool negative = n < 0;
    if (negative) {
        n = -n;
        buf.push_back('-');
    }
    int exp = decimalExponentGuess(n);
    double mantissa = decimalShift(n, -exp);
    if (mantissa < 1) {
        --exp;
        mantissa = decimalShift(n, -exp);
    }
    if (mantissa >= 10) {
        ++exp;
        mantissa = decimalShift(n, -exp);
    }
    auto digit = [&mantissa]() {
        const int d = std::clamp(static_cast<int>(std::clamp(mantissa, 0.0, 9.0)), 0, 9);
        mantissa = (mantissa - d) * 10;
        return static_cast<char>('0' + d);
    };
    constexpr int places = 15;
    if (exp >= places) {
        buf.push_back(digit());
        buf.push_back('.');
        for (int i = 1; i < places; ++i) {
            buf.push_back(digit());
        }
    } else if (exp >= 0) {
        buf.push_back('0'); // room for a carry
        for (int i = 0; i <= exp; ++i) {
            buf.push_back(digit());
        }
        buf.push_back('.');
        for (int i = exp + 1; i < places; ++i) {
            buf.push_back(digit());
        }
        exp = 0;
    } else if (exp >= -5) {
        buf += "00.";
        buf.append(static_cast<std::size_t>(-exp - 1), '0');
        for (int i = 0; i < places; ++i) {
            buf.push_back(digit());
        }
        exp = 0;
    } else {
        buf.push_back('0');
        if (const char first = digit(); first != '0') {
            buf.push_back(first);
        }
        buf.push_back('.');
        for (int i = 1; i < places; ++i) {
            buf.push_back(digit());
        }
    }
    if (digit() >= '5') {
        for (auto it = buf.rbegin(); it != buf.rend(); ++it) {
            if (*it == '9') {
                *it = '0';
            } else if (*it >= '0') {
                ++*it;
                break;
            }
        }
    }
    while (!buf.empty() && buf.back() == '0') {
        buf.pop_back();
    }
    if (!buf.empty() && buf.back() == '.') {
        buf.pop_back();
    }
    if (exp != 0) {
        buf.erase(0, std::min(buf.find_first_not_of('0'), buf.size()));
        if (buf.empty()) {
            buf = "1"; // the nines carried out of every digit
            ++exp;
        } else if (const std::size_t last = buf.find_last_not_of('0');
                   last == 0 || last == std::string::npos) {
            exp += static_cast<int>(buf.size()) - 1; // "100e15" is 1e17
            buf.resize(1);
        }
        buf += exp < 0 ? "e-" : "e+";
        buf += std::to_string(std::abs(exp));
    }
    // The carry's room, when unused, goes (after the sign).
    const std::size_t at = negative ? 1 : 0;
    if (buf.size() > at && buf[at] == '0' && (buf.size() == at + 1 || buf[at + 1] != '.')) {
        if (negative) {
            buf[at] = '-';
        }
        return buf.substr(1);
    }
    return buf;
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
