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
    {"color", {R::Whole}},
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

std::string_view textFormatFieldName(TextFormatField field) {
    return kFields.at(static_cast<std::size_t>(field)).name;
}

TextFormatRule textFormatRule(TextFormatField field) {
    return kFields.at(static_cast<std::size_t>(field)).rule;
}

double textFormatWhole(double n, TextFormatRule rule, int swfVersion) {
    constexpr double kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr double kHighest = std::numeric_limits<std::int32_t>::max();
    double whole = std::trunc(n);
    if (!std::isfinite(n) || whole < kLowest || whole > kHighest) {
        whole = swfVersion >= 8 ? kLowest : 0.0;
    }
    const bool floored =
        rule.floor == R::ZeroAlways || (rule.floor == R::ZeroBefore8 && swfVersion < 8);
    return floored && whole < 0 ? 0.0 : whole;
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
