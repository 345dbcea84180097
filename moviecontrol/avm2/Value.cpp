#include "avm2/Value.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
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

namespace {
bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}
} // namespace

double stringToNumber(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isSpace(s[b])) {
        ++b;
    }
    while (e > b && isSpace(s[e - 1])) {
        --e;
    }
    if (b == e) {
        return 0;
    }
    std::string t = s.substr(b, e - b);
    bool negative = false;
    std::string body = t;
    if (body[0] == '-' || body[0] == '+') {
        negative = body[0] == '-';
        body = body.substr(1);
    }
    if (body.size() > 2 && body[0] == '0' && (body[1] == 'x' || body[1] == 'X')) {
        double v = 0;
        for (std::size_t i = 2; i < body.size(); ++i) {
            const char c = body[i];
            int digit = 0;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else {
                return std::numeric_limits<double>::quiet_NaN();
            }
            v = v * 16 + digit;
        }
        return negative ? -v : v;
    }
    if (body == "Infinity") {
        return negative ? -std::numeric_limits<double>::infinity()
                        : std::numeric_limits<double>::infinity();
    }
    for (char c : body) {
        if (!((c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-')) {
            return std::numeric_limits<double>::quiet_NaN();
        }
    }
    double v = 0;
    auto res = std::from_chars(body.data(), body.data() + body.size(), v);
    if (res.ec != std::errc() || res.ptr != body.data() + body.size()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return negative ? -v : v;
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
