#pragma once
// What flash.geom.Point and flash.geom.Rectangle share: their package, making one of each
// with the class's current prototype, and reading their coordinates as numbers.

#include "avm1/Packages.h"
#include "avm1/State.h"

#include <limits>
#include <string_view>

namespace avm1::geom {

inline constexpr std::string_view GeomPackage = "flash.geom";

inline Object* classPrototype(Machine& m, std::string_view name) {
    Object* ctor = m.get(packageObject(m, GeomPackage), name).asObject();
    Object* proto = ctor ? m.get(ctor, "prototype").asObject() : nullptr;
    return proto ? proto : m.objectPrototype();
}

inline bool inherits(Object* object, Object* proto) {
    for (Object* p = object ? object->proto() : nullptr; p; p = p->proto()) {
        if (p == proto) {
            return true;
        }
    }
    return false;
}

inline Value num(double n) {
    return Value(n);
}

inline Value raw(Machine& m, Object* o, std::string_view name) {
    return o ? m.get(o, name) : Value();
}

// A member of any argument, as the script's `.` reads it: a text, a number or a boolean
// reads its class's prototype (String.prototype.x shows through "1".x).
inline Value raw(Machine& m, const Value& object, std::string_view name) {
    if (object.isUndefined() || object.isNull()) {
        return {};
    }
    return m.getMember(object, m.str(name));
}

inline double field(Machine& m, const Value& object, std::string_view name) {
    if (object.isUndefined() || object.isNull()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return m.toNumber(raw(m, object, name));
}

// a + b as the script's `+` has it: text joins when either side is text. The classes add
// their fields so: a point at ("10", 0) offset by -30 stands at "10-30".
inline Value plus(Machine& m, const Value& a, const Value& b) {
    Value pa = m.toPrimitive(a), pb = m.toPrimitive(b);
    if (pa.isString() || pb.isString()) {
        return Value(Str(m.toString(pa).str() + m.toString(pb).str()));
    }
    return Value(m.toNumber(pa) + m.toNumber(pb));
}

inline Object* makePoint(Machine& m, const Value& x, const Value& y) {
    Object* p = m.make<Object>(classPrototype(m, "Point"));
    m.set(p, "x", x);
    m.set(p, "y", y);
    return p;
}

inline Object* makeRectangle(Machine& m, const Value& x, const Value& y, const Value& w,
                             const Value& h) {
    Object* r = m.make<Object>(classPrototype(m, "Rectangle"));
    m.set(r, "x", x);
    m.set(r, "y", y);
    m.set(r, "width", w);
    m.set(r, "height", h);
    return r;
}

} // namespace avm1::geom
