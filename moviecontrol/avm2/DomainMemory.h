#pragma once
// The memory instructions (li8, li16, li32, lf32, lf64 and si8 ... sf64): little-endian loads
// and stores into the bytes of the code's application domain, refused outside them.

#include "avm2/Value.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace avm2 {

// The value the load `op` reads at `address` (an int, or a Number for lf32/lf64); none when
// any byte of it lies outside `memory`.
std::optional<Value> loadFromMemory(std::uint8_t op, const std::vector<std::uint8_t>& memory,
                                    std::int32_t address);
// Writes `value` (an int32 for si8/si16/si32, a Number for sf32/sf64) as the store `op` does;
// false, with nothing written, when any byte would lie outside `memory`.
bool storeToMemory(std::uint8_t op, std::vector<std::uint8_t>& memory, std::int32_t address,
                   double value);

} // namespace avm2
