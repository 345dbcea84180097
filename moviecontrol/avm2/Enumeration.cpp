#include "avm2/Enumeration.h"

#include <cmath>

namespace avm2 {

std::int64_t enumerationIndex(double d) {
    if (!(d > 0)) {
        return 0;
    }
    return d >= 4294967296.0 ? std::int64_t{4294967296} : static_cast<std::int64_t>(d);
}

std::int64_t nextEnumerableIndex(const Object* o, std::int64_t index) {
    const auto elements = static_cast<std::int64_t>(o->elements.size());
    const bool dictionary = o->kind == Object::Kind::Dictionary;
    const auto total =
        elements + static_cast<std::int64_t>(dictionary ? o->entries.size() : o->props.size());
    for (std::int64_t k = index < 0 ? 0 : index; k < total; ++k) {
        if (k < elements) {
            if (!o->elements[static_cast<std::size_t>(k)].isHole()) {
                return k + 1;
            }
            continue;
        }
        const auto at = static_cast<std::size_t>(k - elements);
        if (dictionary ? !o->entries[at].first.isHole() : !o->dontEnum[at]) {
            return k + 1;
        }
    }
    return 0;
}

} // namespace avm2
