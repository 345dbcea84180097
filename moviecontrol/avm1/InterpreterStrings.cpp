// The string actions. Texts are UTF-8 here and count in UTF-16 units as Flash's do, so the
// multibyte actions (MBStringLength, MBStringExtract, MBCharToAscii) share the plain ones'
// handlers; only MBAsciiToChar differs from AsciiToChar.

#include "avm1/Interp.h"

#include "avm1/Convert.h"
#include "unicode/Utf16Text.h"

#include "swf/ActionCodes.h"

#include <cmath>

namespace avm1 {

void Interp::actionStringAdd() {
    Str b = m_.toString(pop()), a = m_.toString(pop());
    if (a.size() + b.size() > s_.limits.maxStringBytes / 4) {
        s_.abort(LimitKind::MemoryBudget, "a script built a string past the movie's budget");
    }
    push(Value(Str(unicode::joinText(a.view(), b.view()))));
}

void Interp::actionStringEquals() {
    Str b = m_.toString(pop()), a = m_.toString(pop());
    push(boolValue(a == b));
}

void Interp::actionStringCompare(std::uint8_t code) {
    Str b = m_.toString(pop()), a = m_.toString(pop());
    bool r = code == swf::op::StringLess ? unicode::toUtf16(a.view()) < unicode::toUtf16(b.view())
                                         : unicode::toUtf16(b.view()) < unicode::toUtf16(a.view());
    push(boolValue(r));
}

void Interp::actionStringLength() {
    push(Value(static_cast<double>(unicode::utf16Length(m_.toString(pop()).view()))));
}

void Interp::actionStringExtract() {
    // Indexes count from 1 and wrap as 32-bit integers (2^31 is below the first); a
    // negative count takes the rest, a count that is no number nothing.
    double count = m_.toNumber(pop());
    double index = toInt32(m_.toNumber(pop()));
    std::u16string s = unicode::toUtf16(m_.toString(pop()).view());
    if (std::isnan(count)) {
        push(Value(s_.sEmpty));
        return;
    }
    double start = std::max(index - 1, 0.0);
    if (start >= static_cast<double>(s.size())) {
        push(Value(s_.sEmpty));
        return;
    }
    double n = count < 0 ? static_cast<double>(s.size()) : count;
    auto st = static_cast<std::size_t>(start);
    auto len = static_cast<std::size_t>(std::min(n, static_cast<double>(s.size() - st)));
    push(Value(Str(unicode::fromUtf16(std::u16string_view(s).substr(st, len)))));
}

void Interp::actionCharToAscii() {
    std::u16string s = unicode::toUtf16(m_.toString(pop()).view());
    push(Value(s.empty() ? 0.0 : static_cast<double>(s[0])));
}

void Interp::actionAsciiToChar(std::uint8_t code) {
    std::uint32_t c = toUint32(m_.toNumber(pop()));
    // Before version 6 AsciiToChar makes one byte's character.
    if (code == swf::op::AsciiToChar && a_.version < 6) {
        c &= 0xFF;
    }
    c &= 0xFFFF;
    push(Value(c == 0 ? s_.sEmpty : Str(unicode::codePointToUtf8(c))));
}

} // namespace avm1
