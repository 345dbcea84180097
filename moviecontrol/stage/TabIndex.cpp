#include "TabIndex.h"

#include <cmath>
#include <limits>

namespace mc {

std::int32_t clipTabIndex(double value) {
    constexpr double kLow = -2147483648.0;
    constexpr double kHigh = 2147483648.0;
    if (!(value >= kLow && value < kHigh)) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(std::trunc(value));
}

double fieldTabIndex(double value) {
    if (!std::isfinite(value)) {
        return 0.0;
    }
    const double wrapped = std::fmod(std::trunc(value), 4294967296.0);
    return static_cast<double>(static_cast<std::uint32_t>(static_cast<std::int64_t>(wrapped)));
}

std::optional<std::int32_t> tabIndexOfClip(bool nullish, double value) {
    if (nullish) {
        return std::nullopt;
    }
    const std::int32_t index = clipTabIndex(value);
    return index == -1 ? std::nullopt : std::optional(index);
}

std::optional<double> tabIndexOfField(bool nullish, double value) {
    if (nullish) {
        return std::nullopt;
    }
    const double index = fieldTabIndex(value);
    return index == 4294967295.0 ? std::nullopt : std::optional(index);
}

} // namespace mc
