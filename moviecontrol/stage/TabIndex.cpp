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

} // namespace mc
