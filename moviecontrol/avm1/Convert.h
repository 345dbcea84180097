#pragma once
// Text and number conversions that need no machine.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace avm1 {

// ToNumber of a string for movies of `version` (before 5, text that is no number is 0).
double stringToNumber(std::string_view text, int version);
// Numbers as Flash prints them: 15 significant digits, exponent from 1e15 and below 1e-5
// (of the number before rounding).
std::string numberToText(double n);
// Number.toString(radix): integers in radix 2 to 36.
std::string numberToText(double n, int radix);
std::int32_t toInt32(double n);
// The integer part as the processor truncates it: NaN, the infinities and numbers outside
// the 32-bit range give the smallest integer instead of wrapping.
std::int32_t truncateToInt32(double n);
std::uint32_t toUint32(double n);
double parseFloatText(std::string_view text);
// parseInt; radix 0 guesses (0x hexadecimal, a leading 0 octal).
double parseIntText(std::string_view text, int radix);
// The N of a level name: "_levelN" or "_flashN" in any case, N the leading digits (none
// reads 0, what follows them is ignored, a '-' before them negates) wrapping as a 32-bit integer.
// Empty for other names; a negative N names no level.
std::optional<std::int32_t> levelNumber(std::string_view name);
// The value of a hexadecimal digit, -1 for any other character.
int hexDigit(char c);

} // namespace avm1
