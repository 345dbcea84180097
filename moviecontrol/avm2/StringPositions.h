#pragma once
// How the string methods read their position arguments and change case, shared by String
// and the tests that check them. Positions are UTF-16 code units.

#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "unicode/CaseTables.h"

#include <cmath>
#include <cstddef>

namespace avm2 {

// What a missing end or count stands for: the methods declare 0x7FFFFFFF as the default.
inline constexpr double kNoLimit = 2147483647.0;

// A missing argument takes its declared default; one given, undefined included, is
// converted to an integer, with NaN as 0.
inline double integerArg(Machine& m, const Args& a, std::size_t i, double fallback) {
    if (i >= a.size()) {
        return fallback;
    }
    const double d = m.toNumber(a[i]);
    return std::isnan(d) ? 0 : std::trunc(d);
}

// A position within [0, length]: negatives are 0.
inline std::size_t clampPlain(double d, std::size_t length) {
    if (d <= 0) {
        return 0;
    }
    return d >= static_cast<double>(length) ? length : static_cast<std::size_t>(d);
}

// A position counted back from the end when negative, then kept within [0, length].
inline std::size_t clampFromEnd(double d, std::size_t length) {
    return clampPlain(d < 0 ? d + static_cast<double>(length) : d, length);
}

// One code unit's case, by the player's letter tables (the same in both script machines).
inline char16_t upperUnit(char16_t c) {
    return unicode::toUpperUnit(c);
}
inline char16_t lowerUnit(char16_t c) {
    return unicode::toLowerUnit(c);
}

} // namespace avm2
