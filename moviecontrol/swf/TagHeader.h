#pragma once
// The header in front of every tag: a code and a body length, short or long form.

#include "swf/ByteReader.h"

#include <cstddef>
#include <cstdint>

namespace swf {

struct TagHeader {
    std::uint16_t code = 0;
    std::size_t length = 0; // As claimed; may run past what remains.
};

// Reads one tag header; `r` is left failed when the header itself is cut short.
inline TagHeader readTagHeader(ByteReader& r) {
    const std::uint16_t codeAndLength = r.u16();
    TagHeader h{static_cast<std::uint16_t>(codeAndLength >> 6),
                static_cast<std::size_t>(codeAndLength & 0x3F)};
    if (h.length == 0x3F) {
        h.length = r.u32();
    }
    return h;
}

} // namespace swf
