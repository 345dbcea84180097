#pragma once

#include <optional>
#include <string_view>

namespace avm2 {

// Reading numbers out of text as the player does: the rules behind Number("..."), parseInt and
// parseFloat. Text is UTF-8.

// The length of the white space character starting at s[i] (ASCII blanks, U+2000..U+200B,
// U+2028, U+2029, U+205F, U+3000; not U+00A0), or 0 when s[i] starts none.
std::size_t scriptSpaceAt(std::string_view s, std::size_t i);

// A decimal number: blanks, a sign, digits with an optional point, an optional exponent ("e"
// or "e+" without digits counts as e0; "e-" alone fails), or "Infinity". `whole` also wants
// nothing but blanks after it (Number()); otherwise what follows is ignored (parseFloat).
std::optional<double> parseDecimal(std::string_view s, bool whole);

// parseInt: radix 0 reads "0x" as hexadecimal and anything else as decimal; `whole` fails on
// anything but blanks after the digits (Number()'s second try, which reads "0x1F").
double parseInteger(std::string_view s, int radix, bool whole);

} // namespace avm2
