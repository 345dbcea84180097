#pragma once

#include <cstdint>

namespace mc {

// How far a character advances in a device font (one the movie does not embed), in units of
// a 2048-unit em, for the regular or the bold face. The players this system follows lay
// device text out in the system's sans-serif face; these are that face's advances for
// printable Latin-1, a full em for the wide East Asian characters and an average letter for
// anything else.
std::uint32_t deviceFontAdvance(char16_t c, bool bold);

inline constexpr std::uint32_t kDeviceFontEm = 2048;
// That face's ascent and descent, in the same units.
inline constexpr std::uint32_t kDeviceFontAscent = 1901;
inline constexpr std::uint32_t kDeviceFontDescent = 483;

} // namespace mc
