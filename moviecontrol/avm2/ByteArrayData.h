#pragma once
// What a flash.utils.ByteArray holds, for the code beside its class that reads and writes
// through it (the AMF coders).

#include "avm2/Runtime.h"

#include <cstdint>
#include <vector>

namespace avm2 {

class Machine;

struct ByteArrayData {
    std::vector<std::uint8_t> data;
    std::size_t position = 0;
    bool littleEndian = false;
    std::uint32_t objectEncoding = 3; // AMF3, or 0 for AMF0
};

// The bytes of a ByteArray object, or null for any other value.
ByteArrayData* byteArrayData(const Value& v);
// A new, empty ByteArray.
Object* newByteArray(Machine& m);

} // namespace avm2
