#include "avm2/Value.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace avm2 {

Value Value::number(double d) {
    Value v;
    v.type_ = Type::Number;
    v.d_ = d;
    return v;
}

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
        std::string mant = digits.substr(0, 1);
        if (k > 1) {
            mant += "." + digits.substr(1);
        }
        out = mant + "e" + (e1 < 0 ? "-" : "+") + std::to_string(std::abs(e1));
    }
    return sign + out;
}

std::string numberToRadix(double d, int radix) {
    if (radix == 10 || radix < 2 || radix > 36 || std::isnan(d) || std::isinf(d)) {
        return numberToString(d);
    }
    const bool negative = d < 0;
    double ip = std::floor(std::fabs(d));
    std::string out;
    do {
        const double digit = std::fmod(ip, radix);
        out.insert(out.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[static_cast<int>(digit)]);
        ip = std::floor(ip / radix);
    } while (ip >= 1 && out.size() < 1100);
    return negative ? "-" + out : out;
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
