#include "avm2/ArraySorting.h"

#include "avm2/Machine.h"
#include "avm2/MovieVersion.h"
#include "avm2/StringPositions.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace avm2 {

void quickSortPositions(std::vector<std::size_t>& index, std::size_t count,
                        const std::function<int(std::size_t, std::size_t)>& compare) {
    count = std::min(count, index.size());
    if (count < 2) {
        return;
    }
    const auto swapAt = [&](std::size_t a, std::size_t b) { std::swap(index[a], index[b]); };
    const auto cmp = [&](std::size_t a, std::size_t b) { return compare(index[a], index[b]); };
    // Ranges still to sort; the larger half of each split waits here while the smaller one
    // is sorted first, so the list stays short whatever the comparison says.
    std::vector<std::pair<std::size_t, std::size_t>> pending;
    std::size_t lo = 0;
    std::size_t hi = count - 1;
    for (;;) {
        const std::size_t size = hi - lo + 1;
        if (size == 3) {
            if (cmp(lo, lo + 1) > 0) {
                swapAt(lo, lo + 1);
            }
            if (cmp(lo + 1, lo + 2) > 0) {
                swapAt(lo + 1, lo + 2);
                if (cmp(lo, lo + 1) > 0) {
                    swapAt(lo, lo + 1);
                }
            }
        } else if (size == 2) {
            if (cmp(lo, lo + 1) > 0) {
                swapAt(lo, lo + 1);
            }
        } else if (size > 3) {
            // The middle element is the pivot, moved to the front while the rest is split.
            swapAt(lo + size / 2, lo);
            std::size_t left = lo;
            std::size_t right = hi + 1;
            for (;;) {
                do {
                    ++left;
                } while (left <= hi && cmp(left, lo) <= 0);
                do {
                    --right;
                } while (right > lo && cmp(right, lo) >= 0);
                if (right < left) {
                    break;
                }
                swapAt(left, right);
            }
            swapAt(lo, right);
            // [lo, right) is not above the pivot, (left, hi] is above it. Either may be
            // empty, when these differences wrap round, as the reference player's do.
            const bool lowerIsLarger = right - 1 - lo >= hi - left;
            const bool lowerLeft = lo + 1 < right;
            const bool upperLeft = left < hi;
            if (lowerIsLarger) {
                if (lowerLeft) {
                    pending.emplace_back(lo, right - 1);
                }
                if (upperLeft) {
                    lo = left;
                    continue;
                }
            } else {
                if (upperLeft) {
                    pending.emplace_back(left, hi);
                }
                if (lowerLeft) {
                    hi = right - 1;
                    continue;
                }
            }
        }
        if (pending.empty()) {
            return;
        }
        lo = pending.back().first;
        hi = pending.back().second;
        pending.pop_back();
    }
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

// The reference player's order: positions are split into values, then undefined ones,
// then holes (walking back from the end and swapping each undefined or hole into the tail,
// which decides where equal values start), and the values are quicksorted. `compare`
// takes element indices.
// The elements are a copy taken before the sort: a comparison function that changes the
// array changes neither what is compared nor what is written back.
template <typename Compare>
Value sortWith(Machine& m, const Value& self, Object* o, const std::vector<Value>& elements,
               int flags, Compare compare) {
    const std::size_t len = elements.size();
    std::vector<std::size_t> index(len);
    std::size_t values = len;
    std::size_t present = len;
    for (std::size_t i = len; i-- > 0;) {
        index[i] = i;
        const Value& v = elements[i];
        if (!v.isUndefined()) {
            continue;
        }
        --values;
        const std::size_t moved = index[i];
        index[i] = index[values];
        if (v.isHole()) {
            --present;
            index[values] = index[present];
            index[present] = moved;
        } else {
            index[values] = moved;
        }
    }
    std::size_t steps = 0;
    const auto counted = [&](std::size_t x, std::size_t y) {
        if ((++steps & 0xFFF) == 0) {
            m.checkBudget();
        }
        return compare(x, y);
    };
    quickSortPositions(index, values, counted);
    if ((flags & sortflags::kUniqueSort) != 0) {
        for (std::size_t i = 0; i + 1 < len; ++i) {
            if (counted(index[i], index[i + 1]) == 0) {
                return Value::integer(0);
            }
        }
    }
    if ((flags & sortflags::kReturnIndexedArray) != 0) {
        std::vector<Value> indices;
        indices.reserve(len);
        for (std::size_t i : index) {
            indices.push_back(Value::number(static_cast<double>(i)));
        }
        return Value::object(m.newArray(std::move(indices)));
    }
    std::vector<Value> out;
    out.reserve(len);
    for (std::size_t i = 0; i < present; ++i) {
        out.push_back(elements[index[i]]);
    }
    out.resize(len, Value::hole());
    o->elements = std::move(out);
    return self;
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
    const std::vector<Value> elements = o->elements;
    const bool descending = (flags & sortflags::kDescending) != 0;
    if (!fn.isUndefined()) {
        // Movies made before SWF 13 see the function's answer cut to an integer first, so
        // -0.5 counts as equal.
        const bool truncate = movieVersionOf(m) < kExactSortAnswerVersion;
        return sortWith(m, self, o, elements, flags, [&](std::size_t x, std::size_t y) {
            // Descending order asks the function about the pair the other way round.
            if (descending) {
                std::swap(x, y);
            }
            Args pair{elements[x].isHole() ? Value() : elements[x],
                      elements[y].isHole() ? Value() : elements[y]};
            double d = m.toNumber(m.call(fn, self, pair));
            if (truncate) {
                d = std::isnan(d) ? 0 : std::trunc(d);
            }
            return d < 0 ? -1 : d > 0 ? 1 : 0;
        });
    }
    std::vector<SortKey> keys;
    keys.reserve(elements.size());
    for (const Value& v : elements) {
        keys.push_back(v.isUndefined() ? SortKey{true, 0, {}} : keyOf(m, v, flags));
    }
    return sortWith(m, self, o, elements, flags, [&](std::size_t x, std::size_t y) {
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
    // A getter read for a key may change the array: the keys come from a copy.
    const std::vector<Value> elements = o->elements;
    std::vector<std::vector<SortKey>> keys(elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const Value& v = elements[i];
        for (std::size_t f = 0; f < names.size(); ++f) {
            Value field;
            const Name fieldName = Name::publicName(names[f]);
            if (!v.isNullish() && m.hasProperty(v, fieldName)) {
                field = m.getProperty(v, fieldName);
            }
            // A missing field is not set apart as an undefined element is: it compares as its
            // text (or NaN), so DESCENDING brings it first.
            keys[i].push_back(
                keyOf(m, field.isUndefined() ? Value::string("undefined") : field, fieldFlags[f]));
        }
        m.checkBudget();
    }
    return sortWith(m, self, o, elements, flags, [&](std::size_t x, std::size_t y) {
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
