#pragma once
// Where a script's object goes among a clip's children without moving any of them.

#include "DisplayObject.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

namespace mc {

// A depth for an object going to `index` of the list that lies between its neighbours there
// without moving them: the one it had when that fits, else the one right above the lower
// neighbour. None when the neighbours sit at adjacent depths. `index` is at most the size.
inline std::optional<std::int32_t> roomBetween(const DisplayList& list, std::size_t index,
                                               std::int32_t had) {
    auto above = std::next(list.begin(), static_cast<std::ptrdiff_t>(index));
    const std::int64_t low =
        above == list.begin() ? std::int64_t{kMinScriptDepth} - 1 : std::prev(above)->first;
    const std::int64_t high =
        above == list.end() ? std::int64_t{kMaxScriptDepth} + 1 : std::int64_t{above->first};
    if (had > low && had < high) {
        return had;
    }
    if (above != list.end() && high - low > 1) {
        return static_cast<std::int32_t>(low + 1);
    }
    return std::nullopt;
}

} // namespace mc
