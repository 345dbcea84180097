#pragma once
// Number.prototype's fixed, exponential and precision layouts (ECMA-262 15.7.4.5-7) for a
// digit count already checked to be in range. NaN and the infinities print as ToString does.

#include <string>

namespace avm2 {

std::string numberToFixedText(double d, int fractionDigits);
// `fractionDigits` < 0: as many digits as it takes to tell the number apart.
std::string numberToExponentialText(double d, int fractionDigits);
std::string numberToPrecisionText(double d, int precision);

} // namespace avm2
