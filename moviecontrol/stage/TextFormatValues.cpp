#include "TextFormatValues.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace mc {

namespace {

struct FieldInfo {
    std::string_view name;
    TextFormatRule rule;
};

using R = TextFormatRule;

constexpr std::array<FieldInfo, kTextFormatFieldCount> kFields = {{
    {"font", {R::Text}},
    {"size", {R::Whole}},
    {"color", {R::Color}},
    {"bold", {R::Flag}},
    {"italic", {R::Flag}},
    {"underline", {R::Flag}},
    {"url", {R::Text}},
    {"target", {R::Text}},
    {"align", {R::Alignment}},
    {"leftMargin", {R::Whole, R::ZeroAlways}},
    {"rightMargin", {R::Whole, R::ZeroAlways}},
    {"indent", {R::Whole, R::ZeroBefore8}},
    {"leading", {R::Whole, R::ZeroBefore8}},
    {"blockIndent", {R::Whole, R::ZeroBefore8}},
    {"bullet", {R::Flag}},
    {"kerning", {R::Flag}},
    {"letterSpacing", {R::Number}},
}};

} // namespace

std::int32_t textFormatInt32(double n) {
    if (!std::isfinite(n)) {
        return 0;
    }
    const double cut = std::fmod(std::trunc(n), 4294967296.0);
    const double positive = cut < 0 ? cut + 4294967296.0 : cut;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(positive));
}

std::string_view textFormatFieldName(TextFormatField field) {
    return kFields.at(static_cast<std::size_t>(field)).name;
}

TextFormatRule textFormatRule(TextFormatField field) {
    return kFields.at(static_cast<std::size_t>(field)).rule;
}

double textFormatWhole(double n, TextFormatRule rule, int swfVersion) {
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    if (swfVersion >= 8) {
        // Margins never go below zero: the floor comes first, and takes NaN to zero too.
        if (rule.floor == R::ZeroAlways && !(n >= 0)) {
            n = 0;
        }
        const double whole = std::nearbyint(n); // the default rounding: half to even
        return std::isfinite(n) && whole >= kLowest && whole <= kHighest ? whole : kLowest;
    }
    const auto whole = static_cast<double>(textFormatInt32(n));
    return rule.floor != R::NoFloor && whole < 0 ? 0.0 : whole;
}

double textFormatColor(double n) {
    return static_cast<double>(static_cast<std::uint32_t>(textFormatInt32(n)));
}

std::string textFormatAlignment(std::string_view name) {
    for (std::string_view known : {"left", "right", "center", "justify"}) {
        if (name.size() == known.size() &&
            std::equal(name.begin(), name.end(), known.begin(), [](char a, char b) {
                return (a >= 'A' && a <= 'Z' ? static_cast<char>(a - 'A' + 'a') : a) == b;
            })) {
            return std::string(known);
        }
    }
    return {};
}

} // namespace mc
