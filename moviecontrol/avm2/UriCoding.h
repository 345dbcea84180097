#pragma once
// Percent coding of text given as UTF-16 code units, without the machine: what escape,
// unescape and the URI functions do to their text.

#include <string>
#include <string_view>

namespace avm2 {

// escape: letters, digits and @*_+-./ stay; other units below 256 become %XX, the rest
// %uXXXX.
std::string escapeText(std::u16string_view text);
// unescape: %XX and %uXXXX become their code unit; a sequence that is not one stays.
std::u16string unescapeText(std::u16string_view text);

// What a URI function leaves as it is: a whole URI keeps its reserved marks (;/?:@&=+$,#),
// a component only the unreserved ones.
enum class UriSet { Whole, Component };
// Characters as UTF-8 bytes, each %XX. False for a surrogate without its partner.
bool encodeUri(std::u16string_view text, UriSet keep, std::string& out);
// %XX sequences as UTF-8; a whole URI keeps the escapes of its reserved marks. False for a
// broken escape or broken UTF-8.
bool decodeUri(std::u16string_view text, UriSet keep, std::u16string& out);

} // namespace avm2
