// flash.globalization: the results the formatters' parse methods hand back. Each is a small
// read-only record set once by its constructor; a script may also build one itself.
#include "avm2/Machine.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>

namespace avm2 {

void installGlobalization(Machine& m);

namespace {

// What a NumberParseResult keeps besides its value (held in the object's number): where the
// number began and ended in the parsed text. Flash's default for both is int's largest value.
using Span = std::array<std::int32_t, 2>;
constexpr std::int32_t kNoIndex = std::numeric_limits<std::int32_t>::max();

Object* record(const Value& self) {
    return self.isObject() ? self.asObject() : nullptr;
}

double numberOr(Machine& m, const Args& a, std::size_t i, double fallback) {
    return i < a.size() ? m.toNumber(a[i]) : fallback;
}

std::int32_t intOr(Machine& m, const Args& a, std::size_t i, std::int32_t fallback) {
    return i < a.size() ? toInt32(m.toNumber(a[i])) : fallback;
}

Value currencyInit(Machine& m, const Value& self, Args& a) {
    if (Object* o = record(self)) {
        o->number = numberOr(m, a, 0, std::nan(""));
        o->text = a.size() > 1 ? m.toString(a[1]) : std::string();
    }
    return Value();
}

Value numberInit(Machine& m, const Value& self, Args& a) {
    if (Object* o = record(self)) {
        o->number = numberOr(m, a, 0, std::nan(""));
        o->nativeData =
            std::make_shared<Span>(Span{intOr(m, a, 1, kNoIndex), intOr(m, a, 2, kNoIndex)});
    }
    return Value();
}

Value parsedValue(Machine&, const Value& self, Args&) {
    const Object* o = record(self);
    return Value::number(o != nullptr ? o->number : std::nan(""));
}

template <std::size_t Which> Value spanEnd(Machine&, const Value& self, Args&) {
    const Object* o = record(self);
    if (o == nullptr || o->nativeData == nullptr) {
        return Value::integer(kNoIndex);
    }
    return Value::integer((*static_cast<const Span*>(o->nativeData.get()))[Which]);
}

} // namespace

void installGlobalization(Machine& m) {
    Class* currency =
        m.defineClass("flash.globalization", "CurrencyParseResult", m.objectClass, currencyInit);
    currency->isFinal = true;
    m.defineGetter(currency, "value", parsedValue);
    m.defineGetter(currency, "currencyString", [](Machine&, const Value& self, Args&) {
        const Object* o = record(self);
        return Value::string(o != nullptr ? o->text : std::string());
    });

    Class* number =
        m.defineClass("flash.globalization", "NumberParseResult", m.objectClass, numberInit);
    number->isFinal = true;
    m.defineGetter(number, "value", parsedValue);
    m.defineGetter(number, "startIndex", spanEnd<0>);
    m.defineGetter(number, "endIndex", spanEnd<1>);
}

} // namespace avm2
