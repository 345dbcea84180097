#include "avm2/DomainMemory.h"

#include "avm2/Machine.h"
#include "avm2/Opcodes.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace avm2 {

namespace {

// The bytes an instruction touches (li8 .. lf64, then si8 .. sf64).
std::size_t widthOf(std::uint8_t op) {
    constexpr std::size_t widths[] = {1, 2, 4, 4, 8};
    const std::uint8_t first = op >= op::Li8 + 5 ? op::Li8 + 5 : op::Li8;
    const std::size_t at = static_cast<std::size_t>(op - first);
    return at < 5 ? widths[at] : 0;
}

bool inside(const std::vector<std::uint8_t>& memory, std::int32_t address, std::size_t width) {
    return address >= 0 && width != 0 && static_cast<std::size_t>(address) <= memory.size() &&
           memory.size() - static_cast<std::size_t>(address) >= width;
}

std::uint64_t readLittle(const std::uint8_t* p, std::size_t width) {
    std::uint64_t v = 0;
    for (std::size_t i = width; i > 0; --i) {
        v = (v << 8) | p[i - 1];
    }
    return v;
}

void writeLittle(std::uint8_t* p, std::size_t width, std::uint64_t v) {
    for (std::size_t i = 0; i < width; ++i) {
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

// A Number as the nearest float; beyond the float range, the infinity of its sign.
float toFloat(double d) {
    if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) {
        return d > 0 ? std::numeric_limits<float>::infinity()
                     : -std::numeric_limits<float>::infinity();
    }
    return static_cast<float>(d);
}

} // namespace

std::optional<Value> loadFromMemory(std::uint8_t op, const std::vector<std::uint8_t>& memory,
                                    std::int32_t address) {
    const std::size_t width = widthOf(op);
    if (op > op::Li8 + 4 || !inside(memory, address, width)) {
        return std::nullopt;
    }
    const std::uint64_t bits = readLittle(memory.data() + address, width);
    switch (op - op::Li8) {
    case 0:
        return Value::integer(static_cast<std::int32_t>(bits));
    case 1:
        return Value::integer(static_cast<std::int32_t>(bits));
    case 2:
        return Value::integer(static_cast<std::int32_t>(static_cast<std::uint32_t>(bits)));
    case 3:
        return Value::number(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
    default:
        return Value::number(std::bit_cast<double>(bits));
    }
}

bool storeToMemory(std::uint8_t op, std::vector<std::uint8_t>& memory, std::int32_t address,
                   double value) {
    const std::size_t width = widthOf(op);
    if (op < op::Li8 + 5 || op > op::Sf64 || !inside(memory, address, width)) {
        return false;
    }
    std::uint64_t bits = 0;
    if (op == op::Sf64) {
        bits = std::bit_cast<std::uint64_t>(value);
    } else if (op == op::Sf64 - 1) {
        bits = std::bit_cast<std::uint32_t>(toFloat(value));
    } else {
        bits = static_cast<std::uint32_t>(toInt32(value));
    }
    writeLittle(memory.data() + address, width, bits);
    return true;
}

void Machine::memoryInstruction(const AbcUnit& unit, std::uint8_t op, std::vector<Value>& stack) {
    const bool load = op < op::Li8 + 5;
    if (stack.size() < (load ? 1u : 2u)) {
        return;
    }
    const std::int32_t address = toInt32(toNumber(stack.back()));
    stack.pop_back();
    if (load) {
        const std::optional<Value> read = loadFromMemory(op, memoryOf(unit), address);
        if (!read) {
            throwError("RangeError", 1506, "The specified range is invalid.");
        }
        stack.push_back(*read);
        return;
    }
    const double value = toNumber(stack.back());
    stack.pop_back();
    if (!storeToMemory(op, memoryOf(unit), address, value)) {
        throwError("RangeError", 1506, "The specified range is invalid.");
    }
}

} // namespace avm2
