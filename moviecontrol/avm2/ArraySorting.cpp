#include "avm2/ArraySorting.h"

#include "avm2/Machine.h"
#include "avm2/StringPositions.h"
#include "unicode/Utf16Text.h"

#include <cmath>
#include <string>

namespace avm2 {

std::vector<std::size_t> mergeOrder(std::size_t count,
                                    const std::function<int(std::size_t, std::size_t)>& compare) {
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) {
        order[i] = i;
    }
    std::vector<std::size_t> merged(count);
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t lo = 0; lo < count; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, count);
            const std::size_t hi = std::min(lo + 2 * width, count);
            std::size_t i = lo;
            std::size_t j = mid;
            std::size_t k = lo;
            while (i < mid && j < hi) {
                // Only a right item strictly before the left one moves first: stable.
                merged[k++] = compare(order[j], order[i]) < 0 ? order[j++] : order[i++];
            }
            while (i < mid) {
                merged[k++] = order[i++];
            }
            while (j < hi) {
                merged[k++] = order[j++];
            }
        }
        order.swap(merged);
    }
    return order;
}

namespace {

// What one element compares by under the flags: its number, or its text in code units.
struct SortKey {
    bool undefined = false;
    double number = 0;
    std::u16string text;
};

SortKey keyOf(Machine& m, const Value& v, int flags) {
    SortKey k;
    if (v.isUndefined()) {
        k.undefined = true;
    } else if ((flags & sortflags::kNumeric) != 0) {
        k.number = m.toNumber(v);
    } else {
        k.text = unicode::toUtf16(m.toString(v));
        if ((flags & sortflags::kCaseInsensitive) != 0) {
            for (char16_t& c : k.text) {
                c = lowerUnit(c);
            }
        }
    }
    return k;
}

int compareKeys(const SortKey& a, const SortKey& b, int flags) {
    if (a.undefined || b.undefined) {
        return a.undefined == b.undefined ? 0 : a.undefined ? 1 : -1;
    }
    int r = 0;
    if ((flags & sortflags::kNumeric) != 0) {
        // NaN sorts after every number.
        if (std::isnan(a.number) || std::isnan(b.number)) {
            r = std::isnan(a.number) == std::isnan(b.number) ? 0 : std::isnan(a.number) ? 1 : -1;
        } else {
            r = a.number < b.number ? -1 : a.number > b.number ? 1 : 0;
        }
    } else {
        r = a.text.compare(b.text);
        r = r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    return (flags & sortflags::kDescending) != 0 ? -r : r;
}

Object* arrayOf(Machine& m, const Value& self) {
    if (!self.isObject() || self.asObject()->kind != Object::Kind::Array) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to Array.");
    }
    return self.asObject();
}

// Puts the sorted values back, or answers as the flags ask: 0 when UNIQUESORT finds two
// equal, the order as indices for RETURNINDEXEDARRAY (the array itself unchanged).
Value finish(Machine& m, const Value& self, Object* o, const std::vector<std::size_t>& sorted,
             std::size_t holes, int flags, bool anyEqual) {
    if ((flags & sortflags::kUniqueSort) != 0 && anyEqual) {
        return Value::integer(0);
    }
    if ((flags & sortflags::kReturnIndexedArray) != 0) {
        std::vector<Value> indices;
        indices.reserve(sorted.size());
        for (std::size_t i : sorted) {
            indices.push_back(Value::integer(static_cast<std::int32_t>(i)));
        }
        return Value::object(m.newArray(std::move(indices)));
    }
    std::vector<Value> out;
    out.reserve(sorted.size() + holes);
    for (std::size_t i : sorted) {
        out.push_back(o->elements[i]);
    }
    out.resize(sorted.size() + holes, Value::hole());
    o->elements = std::move(out);
    return self;
}

// A hole reads through the array's prototypes: what it finds there sorts as a value.
void fillHolesFromPrototypes(Machine& m, const Value& self, Object* o) {
    for (Object* p = o->proto; p != nullptr; p = p->proto) {
        if (p->props.empty()) {
            continue;
        }
        for (std::size_t i = 0; i < o->elements.size(); ++i) {
            if (o->elements[i].isHole()) {
                const Value v = m.getProperty(self, Name::publicName(std::to_string(i)));
                if (!v.isUndefined()) {
                    o->elements[i] = v;
                }
            }
        }
        return;
    }
}

// Sorts the positions of the values that are neither undefined nor holes with `compare`,
// then appends the undefined ones; holes stay at the end.
template <typename Compare>
Value sortWith(Machine& m, const Value& self, Object* o, int flags, Compare compare) {
    std::vector<std::size_t> values;
    std::vector<std::size_t> undefineds;
    std::size_t holes = 0;
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        const Value& v = o->elements[i];
        if (v.isHole()) {
            ++holes;
        } else if (v.isUndefined()) {
            undefineds.push_back(i);
        } else {
            values.push_back(i);
        }
    }
    bool anyEqual = undefineds.size() > 1;
    std::size_t steps = 0;
    const std::vector<std::size_t> order =
        mergeOrder(values.size(), [&](std::size_t x, std::size_t y) {
            if ((++steps & 0xFFF) == 0) {
                m.checkBudget();
            }
            const int r = compare(values[x], values[y]);
            anyEqual = anyEqual || r == 0;
            return r;
        });
    std::vector<std::size_t> sorted;
    sorted.reserve(values.size() + undefineds.size());
    for (std::size_t i : order) {
        sorted.push_back(values[i]);
    }
    sorted.insert(sorted.end(), undefineds.begin(), undefineds.end());
    // Holes count as elements only when the indices are asked for.
    if ((flags & sortflags::kReturnIndexedArray) != 0) {
        for (std::size_t i = 0; i < o->elements.size(); ++i) {
            if (o->elements[i].isHole()) {
                sorted.push_back(i);
            }
        }
        holes = 0;
    }
    return finish(m, self, o, sorted, holes, flags, anyEqual);
}

} // namespace

Value sortArray(Machine& m, const Value& self, Args& a) {
    Object* o = arrayOf(m, self);
    fillHolesFromPrototypes(m, self, o);
    Value fn = arg(a, 0);
    int flags = 0;
    if (fn.isObject() && fn.asObject()->kind == Object::Kind::Function) {
        flags = toInt32(m.toNumber(arg(a, 1)));
    } else {
        flags = fn.isUndefined() ? 0 : toInt32(m.toNumber(fn));
        fn = Value();
    }
    if (!fn.isUndefined()) {
        const bool descending = (flags & sortflags::kDescending) != 0;
        return sortWith(m, self, o, flags, [&](std::size_t x, std::size_t y) {
            Args pair{o->elements[x], o->elements[y]};
            const double d = m.toNumber(m.call(fn, Value::null(), pair));
            const int r = d < 0 ? -1 : d > 0 ? 1 : 0;
            return descending ? -r : r;
        });
    }
    std::vector<SortKey> keys;
    keys.reserve(o->elements.size());
    for (const Value& v : o->elements) {
        keys.push_back(v.isUndefined() ? SortKey{true, 0, {}} : keyOf(m, v, flags));
    }
    return sortWith(m, self, o, flags, [&](std::size_t x, std::size_t y) {
        return compareKeys(keys[x], keys[y], flags);
    });
}

// sortOn(names, options): by each named property in turn, each with its own flags when
// options is a list; UNIQUESORT and RETURNINDEXEDARRAY come from the first.
Value sortArrayOn(Machine& m, const Value& self, Args& a) {
    Object* o = arrayOf(m, self);
    fillHolesFromPrototypes(m, self, o);
    std::vector<std::string> names;
    const Value nameArg = arg(a, 0);
    if (nameArg.isObject() && nameArg.asObject()->kind == Object::Kind::Array) {
        for (const Value& n : nameArg.asObject()->elements) {
            names.push_back(m.toString(n));
        }
    } else {
        names.push_back(m.toString(nameArg));
    }
    std::vector<int> fieldFlags(names.size(), 0);
    const Value optArg = arg(a, 1);
    if (optArg.isObject() && optArg.asObject()->kind == Object::Kind::Array) {
        const auto& opts = optArg.asObject()->elements;
        // A list of options that does not match the names is not used.
        if (opts.size() == names.size()) {
            for (std::size_t i = 0; i < opts.size(); ++i) {
                fieldFlags[i] = toInt32(m.toNumber(opts[i]));
            }
        }
    } else {
        std::fill(fieldFlags.begin(), fieldFlags.end(), toInt32(m.toNumber(optArg)));
    }
    const int flags = fieldFlags.empty() ? 0 : fieldFlags[0];
    // keys[element][field]
    std::vector<std::vector<SortKey>> keys(o->elements.size());
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        const Value& v = o->elements[i];
        for (std::size_t f = 0; f < names.size(); ++f) {
            Value field;
            const Name fieldName = Name::publicName(names[f]);
            if (!v.isNullish() && m.hasProperty(v, fieldName)) {
                field = m.getProperty(v, fieldName);
            }
            keys[i].push_back(keyOf(m, field, fieldFlags[f]));
        }
        m.checkBudget();
    }
    return sortWith(m, self, o, flags, [&](std::size_t x, std::size_t y) {
        for (std::size_t f = 0; f < names.size(); ++f) {
            const int r = compareKeys(keys[x][f], keys[y][f], fieldFlags[f]);
            if (r != 0) {
                return r;
            }
        }
        return 0;
    });
}

} // namespace avm2
