#include "avm2/NumberFormat.h"

#include "avm2/Value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace avm2 {

namespace {

// Enough digits to hold every double's decimal expansion exactly.
constexpr int kExactDigits = 780;

// The decimal digits of x > 0 and the exponent of the first. `count` < 0 asks for the
// shortest digits that read back as x; otherwise exactly `count` digits, rounded half up
// from the exact value (where two roundings are equally near, the language takes the
// larger, which printf's round-half-even would not).
void digitsOf(double x, int count, std::string& digits, int& exponent) {
    char buf[900];
    if (count < 0) {
        auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::scientific);
        *res.ptr = '\0';
    } else {
        // 800 places hold every double's expansion exactly.
        std::snprintf(buf, sizeof buf, "%.800e", x);
    }
    const std::string sci(buf);
    const auto e = sci.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i) {
        if (sci[i] != '.') {
            digits += sci[i];
        }
    }
    exponent = std::atoi(sci.c_str() + e + 1);
    if (count < 0) {
        return;
    }
    const auto n = static_cast<std::size_t>(count);
    const bool up = n < digits.size() && digits[n] >= '5';
    digits.resize(n);
    if (!up) {
        return;
    }
    std::size_t i = n;
    while (i > 0 && digits[i - 1] == '9') {
        digits[--i] = '0';
    }
    if (i > 0) {
        ++digits[i - 1];
    } else {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
    }
}

std::string exponentSuffix(int e) {
    return std::string("e") + (e < 0 ? "-" : "+") + std::to_string(std::abs(e));
}

} // namespace

std::string numberToFixedText(double d, int fractionDigits) {
    if (!std::isfinite(d)) {
        return numberToString(d);
    }
    // The player writes every digit of a large number here, where ECMA-262 would switch to the
    // exponent form; such a double is a whole number, which printf writes exactly.
    if (std::fabs(d) >= 1e21) {
        char whole[400];
        std::snprintf(whole, sizeof whole, "%.0f", d);
        std::string out(whole);
        if (fractionDigits > 0) {
            out += "." + std::string(static_cast<std::size_t>(fractionDigits), '0');
        }
        return out;
    }
    // n: |d| x 10^fractionDigits rounded half up, as decimal digits.
    std::string n = "0";
    if (d != 0) {
        std::string digits;
        int e = 0;
        digitsOf(std::fabs(d), -1, digits, e);
        const int count = e + 1 + fractionDigits; // digits of n before any carry
        if (count > 0) {
            digitsOf(std::fabs(d), count, digits, e);
            n = digits + std::string(static_cast<std::size_t>(e + 1 + fractionDigits - count), '0');
        } else if (count == 0) {
            // Below one unit of the last place: it rounds up to one when it is half or more.
            digitsOf(std::fabs(d), kExactDigits, digits, e);
            n = digits[0] >= '5' ? "1" : "0";
        }
    }
    const auto places = static_cast<std::size_t>(fractionDigits);
    if (n.size() <= places) {
        n.insert(0, places + 1 - n.size(), '0');
    }
    std::string out = n;
    if (places > 0) {
        out.insert(out.size() - places, ".");
    }
    // A negative number that rounds to zero prints without its sign.
    const bool zero = n.find_first_not_of('0') == std::string::npos;
    return (d < 0 && !zero ? "-" : "") + out;
}

std::string numberToExponentialText(double d, int fractionDigits) {
    if (!std::isfinite(d)) {
        return numberToString(d);
    }
    const std::string sign = d < 0 ? "-" : "";
    std::string digits;
    int e = 0;
    if (d == 0) {
        digits =
            std::string(static_cast<std::size_t>(fractionDigits < 0 ? 1 : fractionDigits + 1), '0');
    } else {
        digitsOf(std::fabs(d), fractionDigits < 0 ? -1 : fractionDigits + 1, digits, e);
    }
    std::string out = digits.substr(0, 1);
    if (digits.size() > 1) {
        out += "." + digits.substr(1);
    }
    return sign + out + exponentSuffix(e);
}

std::string numberToPrecisionText(double d, int precision) {
    if (!std::isfinite(d)) {
        return numberToString(d);
    }
    const std::string sign = d < 0 ? "-" : "";
    std::string digits;
    int e = 0;
    if (d == 0) {
        digits = std::string(static_cast<std::size_t>(precision), '0');
    } else {
        digitsOf(std::fabs(d), precision, digits, e);
    }
    if (e < -6 || e >= precision) {
        std::string out = digits.substr(0, 1);
        if (digits.size() > 1) {
            out += "." + digits.substr(1);
        }
        return sign + out + exponentSuffix(e);
    }
    if (e == precision - 1) {
        return sign + digits;
    }
    if (e >= 0) {
        const auto whole = static_cast<std::size_t>(e + 1);
        return sign + digits.substr(0, whole) + "." + digits.substr(whole);
    }
    return sign + "0." + std::string(static_cast<std::size_t>(-(e + 1)), '0') + digits;
}

} // namespace avm2
