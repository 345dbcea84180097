#include "avm2/NumberFormat.h"

#include "avm2/Value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace avm2 {

namespace {

// The digits of |d| in scientific form, `count` of them (or the shortest when count < 0),
// and the decimal exponent of the first.
void scientificDigits(double d, int count, std::string& digits, int& exponent) {
    char buf[64];
    std::to_chars_result res{};
    if (count < 0) {
        res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    } else {
        res = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, count - 1);
    }
    const std::string sci(buf, res.ptr);
    const auto e = sci.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i) {
        if (sci[i] != '.') {
            digits += sci[i];
        }
    }
    exponent = std::atoi(sci.c_str() + e + 1);
}

std::string exponentSuffix(int e) {
    return std::string("e") + (e < 0 ? "-" : "+") + std::to_string(std::abs(e));
}

bool special(double d, std::string& out) {
    if (std::isfinite(d)) {
        return false;
    }
    out = numberToString(d);
    return true;
}

} // namespace

std::string numberToFixedText(double d, int fractionDigits) {
    std::string out;
    if (special(d, out) || std::fabs(d) >= 1e21) {
        return numberToString(d);
    }
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", fractionDigits, d);
    out = buf;
    // A negative number that rounds to zero prints without its sign.
    if (out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) {
        out.erase(0, 1);
    }
    return out;
}

std::string numberToExponentialText(double d, int fractionDigits) {
    std::string out;
    if (special(d, out)) {
        return out;
    }
    const std::string sign = d < 0 ? "-" : "";
    std::string digits;
    int e = 0;
    if (d == 0) {
        digits =
            std::string(static_cast<std::size_t>(fractionDigits < 0 ? 1 : fractionDigits + 1), '0');
    } else {
        scientificDigits(std::fabs(d), fractionDigits < 0 ? -1 : fractionDigits + 1, digits, e);
    }
    out = digits.substr(0, 1);
    if (digits.size() > 1) {
        out += "." + digits.substr(1);
    }
    return sign + out + exponentSuffix(e);
}

std::string numberToPrecisionText(double d, int precision) {
    std::string out;
    if (special(d, out)) {
        return out;
    }
    const std::string sign = d < 0 ? "-" : "";
    std::string digits;
    int e = 0;
    if (d == 0) {
        digits = std::string(static_cast<std::size_t>(precision), '0');
    } else {
        scientificDigits(std::fabs(d), precision, digits, e);
    }
    const auto p = static_cast<std::size_t>(precision);
    if (e < -6 || e >= precision) {
        out = digits.substr(0, 1);
        if (p > 1) {
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
