#include "avm2/Value.h"

#include "avm2/NumberParsing.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

namespace avm2 {

Value Value::number(double d) {
    Value v;
    v.type_ = Type::Number;
    v.d_ = d;
    return v;
}

namespace {
constexpr std::size_t kLargeExponentDigits = 15;
} // namespace

std::string numberToString(double d) {
    if (std::isnan(d)) {
        return "NaN";
    }
    if (d == 0) {
        return "0";
    }
    if (std::isinf(d)) {
        return d < 0 ? "-Infinity" : "Infinity";
    }
    std::string sign;
    if (d < 0) {
        sign = "-";
        d = -d;
    }
    // The shortest digits that read back as d, then ECMA's layout of them.
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string sci(buf, res.ptr);
    const auto e = sci.find('e');
    std::string digits;
    for (std::size_t i = 0; i < e; ++i) {
        if (sci[i] != '.') {
            digits += sci[i];
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int exp = std::atoi(sci.c_str() + e + 1);
    const int k = static_cast<int>(digits.size());
    const int n = exp + 1;
    std::string out;
    if (k <= n && n <= 21) {
        out = digits + std::string(static_cast<std::size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        out = digits.substr(0, static_cast<std::size_t>(n)) + "." +
              digits.substr(static_cast<std::size_t>(n));
    } else if (-6 < n && n <= 0) {
        out = "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
    } else {
        const int e1 = n - 1;
        // Flash writes a large number's exponent form with at most 15 significant digits,
        // cut rather than rounded, and keeps any zeros the cut leaves at the end. Small
        // numbers keep every digit.
        if (e1 > 0 && digits.size() > kLargeExponentDigits) {
            digits.resize(kLargeExponentDigits);
        }
        std::string mant = digits.substr(0, 1);
        if (k > 1) {
            mant += '.';
            mant.append(digits, 1);
        }
        out = mant + "e" + (e1 < 0 ? "-" : "+") + std::to_string(std::abs(e1));
    }
    return sign + out;
}

namespace {
// The reference player turns a digit into a character by adding '0' or 'a' - 10 to a 32-bit
// integer and keeping the low byte, read back as Latin-1; a value out of the int range
// converts to INT_MIN, as the x86 truncating conversion does.
char32_t radixDigitCharacter(double digit) {
    std::int32_t whole = std::numeric_limits<std::int32_t>::min();
    if (digit > -2147483649.0 && digit < 2147483648.0) {
        whole = static_cast<std::int32_t>(digit);
    }
    const std::uint32_t offset = digit < 10 ? '0' : 'a' - 10;
    return (static_cast<std::uint32_t>(whole) + offset) & 0xFFu;
}

void appendLatin1(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}
} // namespace

std::string numberToRadix(double d, int radix) {
    if (radix == 10 || radix < 2 || radix > 36 || std::isnan(d) || std::isinf(d)) {
        return numberToString(d);
    }
    // Only the whole part is written, one digit per division in doubles. Beyond 2^53 the
    // product of quotient and radix rounds, so the low "digits" come out of range or
    // negative; Flash prints whatever character that arithmetic gives, and so do we.
    const bool negative = d < 0;
    const double magnitude = std::fabs(d);
    if (magnitude < 1) {
        return "0";
    }
    std::vector<char32_t> digits;
    double rest = std::floor(magnitude);
    const double base = radix;
    while (rest != 0) {
        const double before = rest;
        rest = std::floor(rest / base);
        const double product = rest * base;
        digits.push_back(radixDigitCharacter(before - product));
    }
    std::string out;
    out.reserve(digits.size() + 1);
    if (negative) {
        out += '-';
    }
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        appendLatin1(out, *it);
    }
    return out;
}

double stringToNumber(const std::string& s) {
    if (s.empty()) {
        return 0;
    }
    // A decimal reading first; what it refuses may still be an integer such as "0x1F".
    if (const std::optional<double> d = parseDecimal(s, true)) {
        return *d;
    }
    return parseInteger(s, 0, true);
}

std::uint32_t toUint32(double d) {
    if (std::isnan(d) || std::isinf(d)) {
        return 0;
    }
    const double t = std::trunc(d);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) {
        m += 4294967296.0;
    }
    return static_cast<std::uint32_t>(m);
}

std::int32_t toInt32(double d) {
    return static_cast<std::int32_t>(toUint32(d));
}

} // namespace avm2
