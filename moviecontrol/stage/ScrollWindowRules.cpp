#include "ScrollWindowRules.h"

#include <algorithm>
#include <cmath>

#include "avm1/Convert.h"

namespace mc {

ScrollWindow scriptWindowAs2(double x, double y, double width, double height) {
    const auto whole = [](double v) { return static_cast<double>(avm1::toInt32(v)); };
    return ScrollWindow{whole(x), whole(y), std::max(whole(width), 0.0),
                        std::max(whole(height), 0.0)};
}

ScrollWindow scriptWindowAs3(double x, double y, double width, double height) {
    // Beyond 2^52 every double is whole already; rounding there only risks overflow.
    const auto even = [](double v) {
        return std::abs(v) < 4503599627370496.0 ? std::nearbyint(v) : v;
    };
    const double left = even(x);
    const double top = even(y);
    return ScrollWindow{left, top, std::max(even(x + width) - left, 0.0),
                        std::max(even(y + height) - top, 0.0)};
}

} // namespace mc
