// Array: a dense list of slots where a slot may be a hole (never set, or deleted), so
// that `in`, for-in and hasOwnProperty see what a sparse array would show, with the length
// bounded by the memory budget. Vector.<T> shares these methods.
#include "avm2/ArraySorting.h"
#include "avm2/ArraySparse.h"
#include "avm2/Machine.h"
#include "avm2/StringPositions.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace avm2 {

namespace {

Object* selfObject(const Value& self) {
    return self.isObject() ? self.asObject() : nullptr;
}

// A new array of the receiver's class: a Vector's slices and filters are Vectors.
Value sameKind(Machine& m, const Value& self, std::vector<Value> elements) {
    Object* o =
        self.isObject() && self.asObject()->cls != nullptr && self.asObject()->cls != m.arrayClass
            ? m.instantiate(self.asObject()->cls)
            : m.newArray();
    o->elements = std::move(elements);
    return Value::object(o);
}

bool isVectorObject(Machine& m, const Object* o) {
    return o->cls != nullptr && o->cls != m.arrayClass && o->cls->isSubclassOf(m.vectorClass);
}

// An array writes null and undefined elements as nothing; a vector writes them as text.
std::string joinArray(Machine& m, Object* o, const std::string& sep) {
    std::string out;
    const bool vector = isVectorObject(m, o);
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        if (i > 0) {
            out += sep;
        }
        const Value& v = o->elements[i];
        if (vector || !v.isNullish()) {
            out += m.toString(v.isHole() ? Value() : v);
        }
        if ((i & 0x3FF) == 0) {
            m.checkBudget();
        }
    }
    return out;
}

// --- Array ---
Object* arraySelf(Machine& m, const Value& self) {
    Object* o = selfObject(self);
    if (o == nullptr || o->kind != Object::Kind::Array) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to Array.");
    }
    return o;
}

Value arrayInit(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    if (a.size() == 1 && a[0].isNumeric()) {
        const double n = a[0].asNumber();
        if (n < 0 || n != std::trunc(n) || n > 4294967295.0) {
            m.throwError("RangeError", 1005,
                         "Array index is not a positive integer (" + numberToString(n) + ").");
        }
        m.resizeElements(o, static_cast<std::size_t>(n));
    } else {
        o->elements = a;
    }
    return Value();
}

Value arrayCall(Machine& m, const Value&, Args& a) {
    Object* o = m.newArray();
    arrayInit(m, Value::object(o), a);
    return Value::object(o);
}

Value arrayLength(Machine& m, const Value& self, Args&) {
    return Value::unsignedInt(arrayLength(arraySelf(m, self)));
}

// A fixed-length vector refuses whatever would change its length.
void refuseIfFixed(Machine& m, const Object* o) {
    if (o->flag && o->cls != nullptr && m.vectorClass != nullptr &&
        o->cls->isSubclassOf(m.vectorClass)) {
        m.throwError("RangeError", 1126, "Cannot change the length of a fixed Vector.");
    }
}

// The length is a uint, so NaN empties the array and -1 asks for four billion elements.
Value arraySetLength(Machine& m, const Value& self, Args& a) {
    const std::uint32_t n = toUint32(m.toNumber(arg(a, 0)));
    Object* o = arraySelf(m, self);
    if (n == arrayLength(o)) {
        return Value();
    }
    refuseIfFixed(m, o);
    // A vector fills with its type's default; an array's new slots are holes.
    if (o->cls != nullptr && m.vectorClass != nullptr && o->cls->isSubclassOf(m.vectorClass)) {
        const Value fill =
            o->cls->elementType != nullptr ? m.coerce(Value(), o->cls->elementType) : Value();
        m.resizeElements(o, n, fill);
        return Value();
    }
    setArrayLength(m, o, n);
    return Value();
}

// What a Vector.<T> stores of values given to push, unshift or splice: each coerced to T,
// as a store by index would be. An Array keeps them as they are.
Args asElements(Machine& m, const Object* o, Args::const_iterator begin, Args::const_iterator end) {
    Args out(begin, end);
    if (o->cls != nullptr && o->cls->elementType != nullptr) {
        for (Value& v : out) {
            v = m.coerce(v, o->cls->elementType);
        }
    }
    return out;
}

Value arrayPush(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    m.checkMemory(a.size() * sizeof(Value));
    if (o->sparseLength != 0) {
        // Past sparse elements a push stores at the length, wherever that lies.
        for (const Value& v : a) {
            const std::uint32_t at = arrayLength(o);
            if (at == 0xFFFFFFFFu) {
                o->setProp(numberToString(at), v);
                continue;
            }
            setArrayElement(m, o, at, v);
        }
        return Value::unsignedInt(arrayLength(o));
    }
    for (auto& v : asElements(m, o, a.begin(), a.end())) {
        o->elements.push_back(std::move(v));
    }
    return Value::unsignedInt(static_cast<std::uint32_t>(o->elements.size()));
}

// pop or shift on an empty vector gives its element type's default (0 from a Vector.<int>).
Value emptyVectorTake(Machine& m, const Object* o) {
    return isVectorObject(m, o) && o->cls->elementType != nullptr
               ? m.coerce(Value(), o->cls->elementType)
               : Value();
}

Value arrayPop(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    if (o->sparseLength != 0) {
        const std::uint32_t last = arrayLength(o) - 1;
        const std::string key = numberToString(last);
        const Value* held = o->findProp(key);
        Value v = held != nullptr ? *held : Value();
        setArrayLength(m, o, last);
        return v;
    }
    if (o->elements.empty()) {
        return emptyVectorTake(m, o);
    }
    Value v = o->elements.back();
    o->elements.pop_back();
    return v.isHole() ? Value() : v;
}

Value arrayShift(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    if (o->elements.empty()) {
        return emptyVectorTake(m, o);
    }
    Value v = o->elements.front();
    o->elements.erase(o->elements.begin());
    return v.isHole() ? Value() : v;
}

Value arrayUnshift(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    m.checkMemory(a.size() * sizeof(Value));
    const Args added = asElements(m, o, a.begin(), a.end());
    o->elements.insert(o->elements.begin(), added.begin(), added.end());
    return Value::unsignedInt(static_cast<std::uint32_t>(o->elements.size()));
}

Value arrayJoin(Machine& m, const Value& self, Args& a) {
    Value sep = arg(a, 0);
    return Value::string(
        joinArray(m, arraySelf(m, self), sep.isUndefined() ? "," : m.toString(sep)));
}

Value arrayToLocaleString(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    std::string out;
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        const Value v = o->elements[i];
        if (!v.isNullish()) {
            Args none;
            out += m.toString(m.callProperty(v, Name::publicName("toLocaleString"), none));
        }
    }
    return Value::string(out);
}

Value arrayToString(Machine& m, const Value& self, Args&) {
    return Value::string(joinArray(m, arraySelf(m, self), ","));
}

std::size_t clampIndex(Machine& m, const Value& v, std::size_t len, std::size_t fallback) {
    if (v.isUndefined()) {
        return fallback;
    }
    double d = m.toNumber(v);
    if (std::isnan(d)) {
        d = 0;
    }
    d = std::trunc(d);
    if (d < 0) {
        d = std::max(0.0, static_cast<double>(len) + d);
    }
    return static_cast<std::size_t>(std::min(d, static_cast<double>(len)));
}

Value arraySlice(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const std::size_t len = o->elements.size();
    const std::size_t b = clampIndex(m, arg(a, 0), len, 0);
    const std::size_t e = clampIndex(m, arg(a, 1), len, len);
    std::vector<Value> out;
    if (b < e) {
        out.assign(o->elements.begin() + static_cast<std::ptrdiff_t>(b),
                   o->elements.begin() + static_cast<std::ptrdiff_t>(e));
    }
    // A hole is read as any property is, through the prototypes; one they lack stays a hole.
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i].isHole() && m.hasProperty(self, Name::publicName(std::to_string(b + i)))) {
            out[i] = m.getProperty(self, Name::publicName(std::to_string(b + i)));
        }
    }
    return sameKind(m, self, std::move(out));
}

Value arraySplice(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const std::size_t len = o->elements.size();
    if (a.empty()) {
        return Value();
    }
    const bool vector =
        o->cls != nullptr && m.vectorClass != nullptr && o->cls->isSubclassOf(m.vectorClass);
    // A vector's splice never asks whether it is fixed: Flash lets it change the length.
    if (!vector) {
        refuseIfFixed(m, o);
    }
    const std::size_t start = clampIndex(m, arg(a, 0), len, 0);
    std::size_t count = len - start;
    if (a.size() > 1 && vector) {
        // A negative count on a vector is where the removal ends, counted from the end.
        const double d = std::trunc(m.toNumber(a[1]));
        std::size_t end = start;
        if (d < 0) {
            end = clampIndex(m, a[1], len, 0);
        } else if (d > 0) {
            end = static_cast<std::size_t>(std::min(d, static_cast<double>(len - start))) + start;
        }
        count = end > start ? std::min(end, len) - start : 0;
    } else if (a.size() > 1) {
        const double d = std::trunc(m.toNumber(a[1])); // NaN and negatives remove nothing
        count = d > 0 ? static_cast<std::size_t>(std::min(d, static_cast<double>(count))) : 0;
    }
    const auto first = o->elements.begin() + static_cast<std::ptrdiff_t>(start);
    std::vector<Value> removed(first, first + static_cast<std::ptrdiff_t>(count));
    o->elements.erase(first, first + static_cast<std::ptrdiff_t>(count));
    if (a.size() > 2) {
        const Args added = asElements(m, o, a.begin() + 2, a.end());
        o->elements.insert(o->elements.begin() + static_cast<std::ptrdiff_t>(start), added.begin(),
                           added.end());
    }
    return sameKind(m, self, std::move(removed));
}

// removeAt(i) and insertAt(i, v) take their position as splice does: from the end when
// negative, clamped to the elements there are.
Value arrayRemoveAt(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const std::size_t at = clampIndex(m, arg(a, 0), o->elements.size(), 0);
    const bool vector =
        o->cls != nullptr && m.vectorClass != nullptr && o->cls->isSubclassOf(m.vectorClass);
    if (vector) {
        // A vector has no holes to report as undefined: a position outside it is an error.
        refuseIfFixed(m, o);
        // The index is an int: NaN is 0, fractions go.
        double given = std::trunc(m.toNumber(arg(a, 0)));
        given = std::isnan(given) ? 0 : given;
        const double len = static_cast<double>(o->elements.size());
        if (given >= len || given < -len) {
            m.throwError("RangeError", 1125,
                         "The index " + numberToString(given) + " is out of range " +
                             numberToString(len) + ".");
        }
    }
    if (at >= o->elements.size()) {
        return Value();
    }
    refuseIfFixed(m, o);
    Value removed = o->elements[at];
    o->elements.erase(o->elements.begin() + static_cast<std::ptrdiff_t>(at));
    return removed.isHole() ? Value() : removed;
}

Value arrayInsertAt(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    refuseIfFixed(m, o);
    const std::size_t at = clampIndex(m, arg(a, 0), o->elements.size(), 0);
    Value element = arg(a, 1);
    if (o->cls != nullptr && o->cls->elementType != nullptr) {
        element = m.coerce(element, o->cls->elementType);
    }
    m.checkMemory(sizeof(Value));
    o->elements.insert(o->elements.begin() + static_cast<std::ptrdiff_t>(at), std::move(element));
    return Value();
}

Value arrayConcat(Machine& m, const Value& self, Args& a) {
    std::vector<Value> out = arraySelf(m, self)->elements;
    for (const Value& v : a) {
        if (v.isObject() && v.asObject()->kind == Object::Kind::Array) {
            out.insert(out.end(), v.asObject()->elements.begin(), v.asObject()->elements.end());
        } else {
            out.push_back(v);
        }
    }
    return sameKind(m, self, std::move(out));
}

Value arrayReverse(Machine& m, const Value& self, Args&) {
    Object* o = arraySelf(m, self);
    std::reverse(o->elements.begin(), o->elements.end());
    return self;
}

// What indexOf and lastIndexOf look for: a Vector.<T> takes the item as a T, so it compares
// what a store of that item would have kept.
Value searchedItem(Machine& m, const Object* o, const Value& item) {
    return o->cls != nullptr && o->cls->elementType != nullptr ? m.coerce(item, o->cls->elementType)
                                                               : item;
}

Value arrayIndexOf(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const Value item = searchedItem(m, o, arg(a, 0));
    // fromIndex is an int: given at all (undefined and NaN included) it is converted as one.
    double from = a.size() < 2 ? 0 : toInt32(m.toNumber(a[1]));
    if (from < 0) {
        from = std::max(0.0, from + static_cast<double>(o->elements.size()));
    }
    for (auto i = static_cast<std::size_t>(from); i < o->elements.size(); ++i) {
        if (m.strictEquals(o->elements[i], item)) {
            return Value::integer(static_cast<std::int32_t>(i));
        }
    }
    return Value::integer(-1);
}

// lastIndexOf(item, from): a negative `from` counts back from the end.
Value arrayLastIndexOf(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    const double len = static_cast<double>(o->elements.size());
    // fromIndex is an int (default int.MAX_VALUE): undefined or Infinity given is 0.
    double from = a.size() < 2 ? len : toInt32(m.toNumber(a[1]));
    if (from < 0) {
        from += len;
    }
    if (from < 0) {
        return Value::integer(-1);
    }
    const Value item = searchedItem(m, o, arg(a, 0));
    const auto end = static_cast<std::size_t>(std::min(from + 1, len));
    for (std::size_t i = end; i > 0; --i) {
        if (m.strictEquals(o->elements[i - 1], item)) {
            return Value::integer(static_cast<std::int32_t>(i - 1));
        }
    }
    return Value::integer(-1);
}

// forEach, map, filter, some, every: the callback gets (item, index, array).
template <int Mode> Value arrayIterate(Machine& m, const Value& self, Args& a) {
    Object* o = arraySelf(m, self);
    // The callback is typed Function: anything else fails to convert, and with none at all
    // there is nothing to ask, so each method gives what it gives for an empty array.
    const Value fn = m.coerce(arg(a, 0), m.functionClass);
    const Value thisv = arg(a, 1);
    std::vector<Value> out;
    const bool methodClosure = fn.isObject() && fn.asObject()->boundThis.has_value();
    if (methodClosure && !thisv.isNullish()) {
        m.throwError("TypeError", 1510,
                     "When the callback argument is a method of a class, the optional this "
                     "argument must be null.");
    }
    for (std::size_t i = 0; fn.isObject() && i < o->elements.size(); ++i) {
        const Value& item = o->elements[i];
        Args cb{item.isHole() ? Value() : item, Value::integer(static_cast<std::int32_t>(i)), self};
        Value r = m.call(fn, thisv, cb);
        if constexpr (Mode == 1) {
            out.push_back(r);
        } else if constexpr (Mode == 2) {
            if (Machine::toBoolean(r)) {
                out.push_back(o->elements[i]);
            }
        } else if constexpr (Mode == 3) {
            if (Machine::toBoolean(r)) {
                return Value::boolean(true);
            }
        } else if constexpr (Mode == 4) {
            if (!Machine::toBoolean(r)) {
                return Value::boolean(false);
            }
        }
    }
    if constexpr (Mode == 1 || Mode == 2) {
        return sameKind(m, self, std::move(out));
    } else if constexpr (Mode == 3) {
        return Value::boolean(false);
    } else if constexpr (Mode == 4) {
        return Value::boolean(true);
    }
    return Value();
}

} // namespace

void installArrayClass(Machine& m) {
    Class* c = m.arrayClass;
    c->init = MethodRef{nullptr, 0, arrayInit};
    c->native = Class::Native::Array;
    c->call = arrayCall;
    m.defineGetter(c, "length", arrayLength);
    m.defineSetter(c, "length", arraySetLength);
    m.defineMethod(c, "push", arrayPush);
    m.defineMethod(c, "pop", arrayPop);
    m.defineMethod(c, "shift", arrayShift);
    m.defineMethod(c, "unshift", arrayUnshift);
    m.defineMethod(c, "join", arrayJoin);
    m.defineMethod(c, "toString", arrayToString);
    m.defineMethod(c, "toLocaleString", arrayToLocaleString);
    m.defineMethod(c, "slice", arraySlice);
    m.defineMethod(c, "splice", arraySplice);
    m.defineMethod(c, "concat", arrayConcat);
    m.defineMethod(c, "removeAt", arrayRemoveAt);
    m.defineMethod(c, "insertAt", arrayInsertAt);
    m.defineMethod(c, "reverse", arrayReverse);
    m.defineMethod(c, "indexOf", arrayIndexOf);
    m.defineMethod(c, "lastIndexOf", arrayLastIndexOf);
    m.defineMethod(c, "forEach", arrayIterate<0>);
    m.defineMethod(c, "map", arrayIterate<1>);
    m.defineMethod(c, "filter", arrayIterate<2>);
    m.defineMethod(c, "some", arrayIterate<3>);
    m.defineMethod(c, "every", arrayIterate<4>);
    m.defineMethod(c, "sort", sortArray);
    m.defineMethod(c, "sortOn", sortArrayOn);
    // The parameters Flash's own Array declares for these prototype functions (its Array.as):
    // join(sep = void 0), slice(A = 0, B = 0xffffffff), indexOf(searchElement, fromIndex = 0),
    // every(callback, thisObject = null), sortOn(names, options = 0, ...ignored)... A rest
    // list alone (push, concat, splice, sort, unshift) declares nothing.
    struct Declared {
        const char* name;
        std::uint8_t required;
        std::uint8_t params;
        bool rest;
    };
    for (const Declared& d : std::initializer_list<Declared>{{"join", 0, 1, false},
                                                             {"pop", 0, 0, false},
                                                             {"toString", 0, 0, false},
                                                             {"toLocaleString", 0, 0, false},
                                                             {"reverse", 0, 0, false},
                                                             {"shift", 0, 0, false},
                                                             {"slice", 0, 2, false},
                                                             {"sortOn", 1, 2, true},
                                                             {"indexOf", 1, 2, false},
                                                             {"lastIndexOf", 1, 2, false},
                                                             {"every", 1, 2, false},
                                                             {"filter", 1, 2, false},
                                                             {"forEach", 1, 2, false},
                                                             {"map", 1, 2, false},
                                                             {"some", 1, 2, false}}) {
        m.declareParams(c, d.name, d.required, d.params, d.rest);
    }
    const std::pair<const char*, int> sortFlags[] = {{"CASEINSENSITIVE", 1},
                                                     {"DESCENDING", 2},
                                                     {"UNIQUESORT", 4},
                                                     {"RETURNINDEXEDARRAY", 8},
                                                     {"NUMERIC", 16}};
    for (const auto& [flagName, value] : sortFlags) {
        c->classObject->setProp(flagName, Value::integer(value));
    }
}

} // namespace avm2
