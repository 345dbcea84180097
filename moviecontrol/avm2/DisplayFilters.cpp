// DisplayObject.filters: copies of flash.filters objects kept with the display object and
// handed to the display tree to draw with; until a script sets them, the filters the object
// was placed with. cacheAsBitmap, which filters turn on, reads here too.
#include "avm2/DisplayClassNames.h"
#include "avm2/FilterValues.h"
#include "avm2/HiddenFields.h"
#include "avm2/NativeArgs.h"

namespace avm2 {

namespace {

constexpr char kFilters[] = "filters";
// What a script set cacheAsBitmap to, kept by DisplayObject.
constexpr char kCacheAsBitmap[] = "cacheAsBitmap";

DisplayHost* hostOf(Machine& m) {
    return m.host().display();
}

NodeId nodeOf(const Value& v) {
    return v.isObject() ? v.asObject()->displayNode : 0;
}

Value filtersGet(Machine& m, const Value& self, Args&) {
    const Value kept = hiddenField(self, kFilters, Value());
    std::vector<Value> copy;
    if (kept.isObject()) {
        copy = kept.asObject()->elements;
    } else if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        // Until a script sets them, the filters are those the object was placed with.
        for (const FilterValue& f : h->filtersOf(nodeOf(self))) {
            if (Value v = filterObjectOf(m, f); v.isObject()) {
                copy.push_back(v);
            }
        }
        return Value::object(m.newArray(std::move(copy)));
    }
    // Copies: a script changing a filter it read changes nothing until it sets them again.
    for (Value& v : copy) {
        Args none;
        v = m.callProperty(v, Name::publicName("clone"), none);
    }
    return Value::object(m.newArray(std::move(copy)));
}

Value filtersSet(Machine& m, const Value& self, Args& a) {
    std::vector<Value> copy;
    // The setter's parameter is an Array: an array-like object is a coercion error.
    const Value given = m.coerce(arg(a, 0), m.arrayClass);
    if (given.isObject()) {
        copy = given.asObject()->elements;
    }
    // Every element must be a filter; each is kept as a copy, as Flash keeps them.
    Class* filter = m.findClass("flash.filters::BitmapFilter");
    for (Value& v : copy) {
        if (filter == nullptr || !v.isObject() || !m.isType(v, filter)) {
            m.throwError("ArgumentError", 2005,
                         "Parameter 0 is of the incorrect type. Should be type Filter.");
        }
        Args none;
        v = m.callProperty(v, Name::publicName("clone"), none);
    }
    if (DisplayHost* h = hostOf(m); h != nullptr && nodeOf(self) != 0) {
        std::vector<FilterValue> drawn;
        for (const Value& v : copy) {
            if (auto f = filterValueOf(m, v)) {
                drawn.push_back(std::move(*f));
            }
        }
        h->setFilters(nodeOf(self), drawn);
    }
    setHiddenField(self, kFilters, Value::object(m.newArray(std::move(copy))));
    return Value();
}

// cacheAsBitmap reads true while the object has filters, whatever a script set; without
// them it reads as last set.
Value cacheAsBitmapGet(Machine& m, const Value& self, Args&) {
    if (Machine::toBoolean(hiddenField(self, kCacheAsBitmap, Value::boolean(false)))) {
        return Value::boolean(true);
    }
    const Value kept = hiddenField(self, kFilters, Value());
    if (kept.isObject()) {
        return Value::boolean(!kept.asObject()->elements.empty());
    }
    DisplayHost* h = hostOf(m);
    return Value::boolean(h != nullptr && nodeOf(self) != 0 && !h->filtersOf(nodeOf(self)).empty());
}

} // namespace

void installDisplayFilters(Machine& m) {
    for (const char* name : kDisplayClassNames) {
        if (Class* c = m.findClass(name)) {
            m.defineGetter(c, "filters", filtersGet);
            m.defineSetter(c, "filters", filtersSet);
            m.defineGetter(c, kCacheAsBitmap, cacheAsBitmapGet);
        }
    }
}

} // namespace avm2
