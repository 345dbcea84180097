// Array: elements are properties named by index; `length` is computed.

#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>
#include <cwctype>
#include <functional>

namespace avm1 {

namespace {

constexpr double MaxLength = 4294967295.0;

bool isLengthName(Machine& m, const Str& name) {
    return m.caseSensitive() ? name.view() == "length" : equalsFolded(name.view(), "length");
}

// The length the methods count with: a 32-bit integer, negative ones included (they
// visit no element but still count from there).
double lengthOf(Machine& m, Object* o) {
    if (auto* a = dynamic_cast<ArrayObject*>(o)) {
        return a->length();
    }
    return toInt32(m.toNumber(m.get(o, m.state().sLength)));
}

Value element(Machine& m, Object* o, double i) {
    return m.get(o, indexName(m, i));
}

void setLengthOf(Machine& m, Object* o, double n) {
    if (auto* a = dynamic_cast<ArrayObject*>(o)) {
        a->setLength(m, n);
    } else {
        m.set(o, m.state().sLength, Value(n));
    }
}

std::vector<Value> elements(Machine& m, Object* o) {
    double n = std::max(lengthOf(m, o), 0.0);
    if (n > static_cast<double>(m.limits().maxArrayElements)) {
        m.state().abort(LimitKind::MemoryBudget,
                        "a script worked on an array past the movie's budget");
    }
    m.state().reserve(static_cast<std::size_t>(n) * sizeof(Value));
    std::vector<Value> out;
    out.reserve(static_cast<std::size_t>(n));
    for (double i = 0; i < n; ++i) {
        m.state().pace();
        out.push_back(element(m, o, i));
    }
    return out;
}

// Replaces the elements of `o` with `values`. Only pop, shift and unshift leave the length
// of an object that is no array alone.
enum class Length { Set, ArraysOnly, Keep };
void store(Machine& m, Object* o, const std::vector<Value>& values, Length length = Length::Set) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        m.state().pace();
        m.set(o, indexName(m, static_cast<double>(i)), values[i]);
    }
    if (length == Length::Set || (length == Length::ArraysOnly && dynamic_cast<ArrayObject*>(o))) {
        setLengthOf(m, o, static_cast<double>(values.size()));
    }
}

// Moves element `from` to `to` as the edit methods do: a missing element leaves a hole.
void moveElement(Machine& m, Object* o, double from, double to) {
    m.state().pace();
    const Str source = indexName(m, from);
    if (m.hasProperty(o, source)) {
        m.set(o, indexName(m, to), m.get(o, source));
    } else {
        m.deleteProperty(o, indexName(m, to));
    }
}

double relativeIndex(Machine& m, const Value& v, double length, double fallback) {
    if (v.isUndefined()) {
        return fallback;
    }
    // Indexes are 32-bit integers: NaN is 0 and larger numbers wrap.
    double n = toInt32(m.toNumber(v));
    if (n < 0) {
        n = std::max(0.0, n + length);
    }
    return std::min(n, length);
}

// Thrown inside flashSort when it has compared more than it may.
struct SortAllowanceSpent {};

// Sort flags.
constexpr int CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8,
              Numeric = 16;

// Flash's own quicksort: the first element of a range is its pivot and is compared first,
// `compare(pivot, element)`; the scan from the left stops at the first element the pivot
// is not greater than (never looking at the last one), the scan from the right at the first
// element the pivot is greater than. It is not stable, and scripts see the order it leaves
// equal elements in (a range of equal elements keeps its order). Every index stays within
// its range whatever the comparator answers.
//
// Sorted and all-equal input make it quadratic, as in Flash. Past `allowance` comparisons
// it gives up by throwing SortAllowanceSpent, and the caller sorts another way.
void flashSort(std::vector<std::size_t>& items,
               const std::function<int(std::size_t, std::size_t)>& compare,
               std::uint64_t allowance) {
    std::uint64_t compared = 0;
    auto greater = [&](std::size_t pivot, std::size_t i) {
        if (++compared > allowance) {
            throw SortAllowanceSpent{};
        }
        return compare(items[pivot], items[i]) > 0;
    };
    // Ranges are [first, end), waiting on a stack of at most one entry per element.
    std::vector<std::pair<std::size_t, std::size_t>> ranges{{0, items.size()}};
    while (!ranges.empty()) {
        auto [lo, end] = ranges.back();
        ranges.pop_back();
        if (end - lo < 2) {
            continue;
        }
        if (end - lo == 2) {
            if (greater(lo, lo + 1)) {
                std::swap(items[lo], items[lo + 1]);
            }
            continue;
        }
        std::size_t left = lo + 1, right = end - 1;
        for (;;) {
            while (left < end - 1 && greater(lo, left)) {
                ++left;
            }
            while (right > lo && !greater(lo, right)) {
                --right;
            }
            if (left >= right) {
                break;
            }
            std::swap(items[left], items[right]);
        }
        std::swap(items[lo], items[right]);
        // The lower part is sorted first: a comparator that traces shows Flash's order.
        ranges.emplace_back(right + 1, end);
        ranges.emplace_back(lo, right);
    }
}

// Whether no element is greater than the one after it.
bool inOrder(const std::vector<std::size_t>& items,
             const std::function<int(std::size_t, std::size_t)>& compare) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (compare(items[i - 1], items[i]) > 0) {
            return false;
        }
    }
    return true;
}

// A stable merge sort that keeps every index in bounds whatever the comparator answers
// (a script's comparator may contradict itself; the library's sorts then may not).
void mergeSort(std::vector<std::size_t>& items,
               const std::function<int(std::size_t, std::size_t)>& compare) {
    std::vector<std::size_t> merged(items.size());
    for (std::size_t width = 1; width < items.size(); width *= 2) {
        for (std::size_t lo = 0; lo < items.size(); lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, items.size());
            const std::size_t hi = std::min(lo + 2 * width, items.size());
            std::size_t i = lo, j = mid, out = lo;
            while (i < mid && j < hi) {
                merged[out++] = compare(items[j], items[i]) < 0 ? items[j++] : items[i++];
            }
            while (i < mid) {
                merged[out++] = items[i++];
            }
            while (j < hi) {
                merged[out++] = items[j++];
            }
        }
        items.swap(merged);
    }
}

char16_t foldCase(char16_t c) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
        return static_cast<char16_t>(c + 32);
    }
    return c;
}

// The key sortOn reads: an object's own field, never through a getter or the prototype;
// a primitive element is its own key.
Value sortKey(Machine& m, const Value& element, const Str& field) {
    Object* o = element.asObject();
    if (!o) {
        return element;
    }
    if (const Property* p = o->properties().find(field, m.caseSensitive());
        p && !p->isAccessor() && attr::visibleTo(p->attributes, m.version())) {
        return p->value;
    }
    Value out;
    return o->getVirtual(m, field, out) ? out : Value();
}

int compareValues(Machine& m, const Value& a, const Value& b, int flags) {
    if (flags & Numeric) {
        if (a.isNumber() && b.isNumber()) {
            // NaN is unordered: equal to every number.
            double x = a.asNumber(), y = b.asNumber();
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    std::u16string x = unicode::toUtf16(m.toString(a).view());
    std::u16string y = unicode::toUtf16(m.toString(b).view());
    if (flags & CaseInsensitive) {
        for (auto& c : x) {
            c = foldCase(c);
        }
        for (auto& c : y) {
            c = foldCase(c);
        }
    }
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Sorts `values` by `compare` and answers what sort/sortOn return. `reverse` turns the
// sorted order around afterwards (sort's DESCENDING: equal elements come out reversed too);
// UNIQUESORT then asks `same` about each pair of neighbours and answers 0, leaving the
// array as it was, when any pair is equal.
using IndexCompare = std::function<int(std::size_t, std::size_t)>;
Value sortWith(Machine& m, Object* self, const std::vector<Value>& values, int flags, bool reverse,
               const IndexCompare& compare, const IndexCompare& same) {
    Machine::State& s = m.state();
    s.reserve(values.size() * (sizeof(std::size_t) + sizeof(Value)));
    std::vector<std::size_t> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    auto paced = [&](std::size_t a, std::size_t b) {
        s.pace();
        return compare(a, b);
    };
    // Flash's quicksort is quadratic on sorted and all-equal input: it runs as it is up to
    // a million comparisons (a thousand elements), and beyond that while it stays near its
    // n log n average. A long array already in order is left as that sort would leave it,
    // after one look at each neighbour instead of half the square of its length.
    const double n = static_cast<double>(order.size());
    const double average = 2.0 * n * std::max(1.0, std::log2(n)) + 64.0;
    const auto allowance =
        static_cast<std::uint64_t>(std::max(average, std::min(n * n, 1048576.0)));
    try {
        if (n * n <= 1048576.0 || !inOrder(order, paced)) {
            flashSort(order, paced, allowance);
        }
    } catch (const SortAllowanceSpent&) {
        // Equal elements keep the order they had, and the work stays n log n.
        for (std::size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        mergeSort(order, paced);
    }
    if (reverse) {
        std::reverse(order.begin(), order.end());
    }
    if (flags & UniqueSort) {
        for (std::size_t i = 1; i < order.size(); ++i) {
            s.pace();
            if (same(order[i - 1], order[i]) == 0) {
                return Value(0.0);
            }
        }
    }
    if (flags & ReturnIndexedArray) {
        std::vector<Value> indexes;
        indexes.reserve(order.size());
        for (std::size_t i : order) {
            indexes.push_back(Value(static_cast<double>(i)));
        }
        return Value(m.newArray(indexes));
    }
    std::vector<Value> sorted;
    sorted.reserve(order.size());
    for (std::size_t i : order) {
        sorted.push_back(values[i]);
    }
    store(m, self, sorted, Length::Keep);
    return Value(self);
}

} // namespace

bool parseArrayIndex(std::string_view name, double& index) {
    if (name.empty() || name.size() > 10 || (name.size() > 1 && name[0] == '0')) {
        return false;
    }
    double v = 0;
    for (char c : name) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    if (v >= MaxLength) {
        return false;
    }
    index = v;
    return true;
}

Str indexName(Machine& m, double index) {
    auto& small = m.state().smallInts;
    if (index >= 0 && index < static_cast<double>(small.size())) {
        return small[static_cast<std::size_t>(index)];
    }
    return Str(numberToText(index));
}

bool ArrayObject::getVirtual(Machine& m, const Str& name, Value& out) {
    if (isLengthName(m, name)) {
        out = shown_;
        return true;
    }
    return false;
}

bool ArrayObject::hasVirtual(Machine& m, const Str& name) {
    return isLengthName(m, name);
}

bool ArrayObject::setVirtual(Machine& m, const Str& name, const Value& value) {
    if (isLengthName(m, name)) {
        assignLength(m, value);
        return true;
    }
    double index;
    if (parseArrayIndex(name.view(), index)) {
        noteIndex(index);
    }
    return false; // stored as an ordinary property
}

void ArrayObject::assignLength(Machine& m, const Value& value) {
    const double count = toInt32(m.toNumber(value));
    setLength(m, std::max(count, 0.0));
    length_ = count;
    shown_ = value;
}

void ArrayObject::setLength(Machine& m, double length) {
    if (length < length_) {
        std::vector<Str> doomed;
        properties().forEach([&](const Property& p) {
            double index;
            if (parseArrayIndex(p.name.view(), index) && index >= length) {
                doomed.push_back(p.name);
            }
        });
        for (const Str& n : doomed) {
            m.deleteProperty(this, n);
        }
    }
    length_ = length;
    shown_ = Value(length);
}

void installArray(Machine& m) {
    auto& s = m.state();
    FunctionObject* array = m.newClass([](CallArgs& c) -> Value {
        Machine& m = c.machine;
        if (c.count() == 1 && c.arg(0).isNumber()) {
            auto* a = static_cast<ArrayObject*>(m.newArray());
            // One number is the length, kept as a 32-bit integer, negative ones included;
            // NaN and numbers beyond that range saturate to its lowest value.
            double n = c.arg(0).asNumber();
            bool inRange = n >= -2147483648.0 && n <= 2147483647.0;
            a->assignLength(m, Value(inRange ? std::trunc(n) : -2147483648.0));
            return Value(static_cast<Object*>(a));
        }
        return Value(m.newArray(c.args));
    });
    array->constructor = [array](CallArgs& c) -> Value {
        CallArgs plain{c.machine, Value(), c.args, array, false};
        Value result = array->native()(plain);
        if (Object* o = result.asObject()) {
            o->setProto(c.machine.get(c.callee, "prototype").asObject());
        }
        return result;
    };
    // The prototype is itself an array, as in Flash.
    Object* proto = m.make<ArrayObject>(s.objectProto);
    m.define(array, "prototype", Value(proto), attr::Hidden);
    m.define(proto, "constructor", Value(static_cast<Object*>(array)), attr::Hidden);
    s.arrayProto = proto;
    m.define(m.global(), "Array", Value(static_cast<Object*>(array)));
    m.define(array, "CASEINSENSITIVE", Value(1.0), attr::Hidden | attr::ReadOnly);
    m.define(array, "DESCENDING", Value(2.0), attr::Hidden | attr::ReadOnly);
    m.define(array, "UNIQUESORT", Value(4.0), attr::Hidden | attr::ReadOnly);
    m.define(array, "RETURNINDEXEDARRAY", Value(8.0), attr::Hidden | attr::ReadOnly);
    m.define(array, "NUMERIC", Value(16.0), attr::Hidden | attr::ReadOnly);

    m.defineMethod(proto, "push", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        double n = lengthOf(m, o);
        for (const Value& v : c.args) {
            m.state().pace();
            m.set(o, indexName(m, n++), v);
        }
        setLengthOf(m, o, n);
        return Value(n);
    });
    m.defineMethod(proto, "pop", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        double n = lengthOf(m, o);
        if (n == 0) {
            return {};
        }
        Value last = element(m, o, n - 1);
        m.deleteProperty(o, indexName(m, n - 1));
        if (dynamic_cast<ArrayObject*>(o)) {
            setLengthOf(m, o, n - 1);
        }
        return last;
    });
    // shift and unshift move each element, leaving holes where there were holes; only an
    // array has its length changed, and shift leaves another object's last element.
    m.defineMethod(proto, "shift", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        const double n = lengthOf(m, o);
        if (n == 0) {
            return {};
        }
        if (n > static_cast<double>(m.limits().maxArrayElements)) {
            m.state().abort(LimitKind::MemoryBudget,
                            "a script worked on an array past the movie's budget");
        }
        Value first = element(m, o, 0);
        for (double i = 1; i < n; ++i) {
            moveElement(m, o, i, i - 1);
        }
        if (dynamic_cast<ArrayObject*>(o)) {
            setLengthOf(m, o, n - 1);
        }
        return first;
    });
    m.defineMethod(proto, "unshift", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        const double n = lengthOf(m, o);
        const auto added = static_cast<double>(c.count());
        if (n + added > static_cast<double>(m.limits().maxArrayElements)) {
            m.state().abort(LimitKind::MemoryBudget,
                            "a script worked on an array past the movie's budget");
        }
        for (double i = n - 1; i >= 0; --i) {
            moveElement(m, o, i, i + added);
        }
        for (std::size_t i = 0; i < c.args.size(); ++i) {
            m.set(o, indexName(m, static_cast<double>(i)), c.args[i]);
        }
        if (dynamic_cast<ArrayObject*>(o)) {
            setLengthOf(m, o, n + added);
        }
        return Value(n + added);
    });
    m.defineMethod(proto, "splice", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        // An undefined start, or a count given as undefined, is no splice at all (not a
        // splice from 0 or of nothing): the method leaves the array and answers undefined.
        if (!o || c.count() == 0 || c.arg(0).isUndefined() ||
            (c.count() > 1 && c.arg(1).isUndefined())) {
            return {};
        }
        const double length = std::max(lengthOf(m, o), 0.0);
        if (length > static_cast<double>(m.limits().maxArrayElements)) {
            m.state().abort(LimitKind::MemoryBudget,
                            "a script worked on an array past the movie's budget");
        }
        double start = relativeIndex(m, c.arg(0), length, 0);
        double count = length - start;
        if (c.count() > 1) {
            // A negative count is no splice at all.
            count = toInt32(m.toNumber(c.arg(1)));
            if (count < 0) {
                return {};
            }
            count = std::min(count, length - start);
        }
        std::vector<Value> removed;
        for (double i = start; i < start + count; ++i) {
            m.state().pace();
            removed.push_back(element(m, o, i));
        }
        // The elements after the cut move to their new places, holes staying holes.
        const auto added = static_cast<double>(c.count() > 2 ? c.count() - 2 : 0);
        const double shift = added - count;
        if (shift > 0) {
            for (double i = length - 1; i >= start + count; --i) {
                moveElement(m, o, i, i + shift);
            }
        } else if (shift < 0) {
            for (double i = start + count; i < length; ++i) {
                moveElement(m, o, i, i + shift);
            }
        }
        for (std::size_t i = 2; i < c.count(); ++i) {
            m.set(o, indexName(m, start + static_cast<double>(i - 2)), c.args[i]);
        }
        // An array's new length cuts what is left over; another object keeps it.
        setLengthOf(m, o, length + shift);
        return Value(m.newArray(removed));
    });
    m.defineMethod(proto, "slice", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        double length = lengthOf(m, o);
        double start = relativeIndex(m, c.arg(0), length, 0);
        double end = relativeIndex(m, c.arg(1), length, length);
        std::vector<Value> out;
        if (end > start) {
            m.state().reserve(static_cast<std::size_t>(end - start) * sizeof(Value));
        }
        for (double i = start; i < end; ++i) {
            m.state().pace();
            out.push_back(element(m, o, i));
        }
        return Value(m.newArray(out));
    });
    auto join = [](Machine& m, Object* o, std::string_view sep) -> Value {
        std::string out;
        double n = lengthOf(m, o);
        for (double i = 0; i < n; ++i) {
            m.state().pace();
            if (i > 0) {
                out += sep;
            }
            out += m.toString(element(m, o, i)).view();
            if (out.size() > m.limits().maxStringBytes / 4) {
                m.state().abort(LimitKind::MemoryBudget,
                                "a script built a string past the movie's budget");
            }
        }
        return Value(Str(std::move(out)));
    };
    m.defineMethod(proto, "join", [join](CallArgs& c) -> Value {
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        // Only a missing separator is a comma: an undefined one is its text.
        Str sep = c.count() == 0 ? Str(",") : c.machine.toString(c.arg(0));
        return join(c.machine, o, sep.view());
    });
    m.defineMethod(proto, "toString", [join](CallArgs& c) -> Value {
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        return join(c.machine, o, ",");
    });
    m.defineMethod(proto, "reverse", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        // Pairs swap from both ends; each element is deleted and stored anew, so holes
        // become undefined and for..in sees the new order. A middle element stays put.
        double n = lengthOf(m, o);
        if (n > static_cast<double>(m.limits().maxArrayElements)) {
            m.state().abort(LimitKind::MemoryBudget,
                            "a script worked on an array past the movie's budget");
        }
        for (double i = 0, j = n - 1; i < j; ++i, --j) {
            m.state().pace();
            Str front = indexName(m, i), back = indexName(m, j);
            Value a = m.get(o, front), b = m.get(o, back);
            m.deleteProperty(o, front);
            m.deleteProperty(o, back);
            m.set(o, front, b);
            m.set(o, back, a);
        }
        return Value(o);
    });
    m.defineMethod(proto, "concat", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        // Its own elements come first; a Number, String or Boolean object is one value.
        Value held;
        std::vector<Value> all;
        if (o && o->primitiveValue(held)) {
            all.push_back(Value(o));
        } else if (o) {
            all = elements(m, o);
        }
        for (const Value& v : c.args) {
            if (auto* a = dynamic_cast<ArrayObject*>(v.asObject())) {
                std::vector<Value> more = elements(m, a);
                all.insert(all.end(), more.begin(), more.end());
            } else {
                all.push_back(v);
            }
        }
        return Value(m.newArray(all));
    });
    m.defineMethod(proto, "sort", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o) {
            return {};
        }
        // sort([compare][, flags]) or sort(flags): any object is the comparator (one that is
        // no function finds every pair equal), a numeric second argument wins over a numeric
        // first one, and any other first argument gives undefined.
        Value comparator;
        int flags = 0;
        if (c.count() > 0) {
            const Value& first = c.arg(0);
            if (first.isObject()) {
                comparator = first;
            } else if (first.isNumber()) {
                flags = toInt32(first.asNumber());
            } else {
                return {};
            }
            if (c.count() > 1 && c.arg(1).isNumber()) {
                flags = toInt32(c.arg(1).asNumber());
            }
        }
        std::vector<Value> values = elements(m, o);
        auto plain = [&](std::size_t a, std::size_t b) {
            return compareValues(m, values[a], values[b], flags);
        };
        auto custom = [&](std::size_t a, std::size_t b) {
            Value args[] = {values[a], values[b]};
            double r = m.toNumber(callValue(m, comparator, Value(), args));
            return r < 0 ? -1 : (r > 0 ? 1 : 0);
        };
        // Uniqueness is always the plain comparison's, even beside a comparator.
        return sortWith(m, o, values, flags, (flags & Descending) != 0,
                        comparator.isObject() ? IndexCompare(custom) : IndexCompare(plain), plain);
    });
    m.defineMethod(proto, "sortOn", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* o = c.thisObject();
        if (!o || c.count() == 0) {
            return {};
        }
        std::vector<Str> fields;
        const bool fieldList = c.arg(0).isObject();
        if (auto* list = dynamic_cast<ArrayObject*>(c.arg(0).asObject())) {
            for (const Value& v : elements(m, list)) {
                fields.push_back(m.toString(v));
            }
            if (fields.empty()) {
                return Value(o);
            }
        } else if (fieldList) {
            // An object that is no list of names sorts the elements themselves.
            std::vector<Value> values = elements(m, o);
            auto plain = [&](std::size_t a, std::size_t b) {
                return compareValues(m, values[a], values[b], 0);
            };
            return sortWith(m, o, values, 0, false, plain, plain);
        } else {
            fields.push_back(m.toString(c.arg(0)));
        }
        std::vector<int> fieldFlags(fields.size(), 0);
        int flags = 0;
        if (!fieldList && !c.arg(1).isNumber()) {
            // One name takes its flags from a number only.
        } else if (auto* list = dynamic_cast<ArrayObject*>(c.arg(1).asObject())) {
            std::vector<Value> f = elements(m, list);
            // A flag list that does not match the fields one for one is ignored.
            for (std::size_t i = 0; i < fieldFlags.size() && f.size() == fieldFlags.size(); ++i) {
                fieldFlags[i] = toInt32(m.toNumber(f[i]));
            }
            if (!fieldFlags.empty()) {
                flags = fieldFlags[0] & (UniqueSort | ReturnIndexedArray);
            }
        } else if (c.count() > 1 && !c.arg(1).isObject()) {
            flags = toInt32(m.toNumber(c.arg(1)));
            std::fill(fieldFlags.begin(), fieldFlags.end(), flags);
        }
        std::vector<Value> values = elements(m, o);
        std::vector<std::vector<Value>> keys(fields.size());
        m.state().reserve(fields.size() * values.size() * sizeof(Value));
        for (std::size_t f = 0; f < fields.size(); ++f) {
            for (const Value& v : values) {
                m.state().pace();
                keys[f].push_back(sortKey(m, v, fields[f]));
            }
        }
        // Unless both are objects, the elements compare themselves under the first field's
        // flags; DESCENDING turns each field's comparison around.
        auto byFields = [&](std::size_t a, std::size_t b) {
            if (!values[a].isObject() || !values[b].isObject()) {
                int r = compareValues(m, values[a], values[b], fieldFlags[0]);
                return (fieldFlags[0] & Descending) ? -r : r;
            }
            for (std::size_t f = 0; f < fields.size(); ++f) {
                int r = compareValues(m, keys[f][a], keys[f][b], fieldFlags[f]);
                if (r != 0) {
                    return (fieldFlags[f] & Descending) ? -r : r;
                }
            }
            return 0;
        };
        return sortWith(m, o, values, flags, false, byFields, byFields);
    });
}

} // namespace avm1
