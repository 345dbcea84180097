#pragma once
// A script value: undefined, null, boolean, number, string or object. Values are small and
// copied freely; an object value is a pointer into the machine's heap and stays valid while
// the object is reachable (see Machine::collectGarbage and Root).

#include "avm1/Str.h"

#include <cstdint>
#include <string_view>

namespace avm1 {

class Object;

enum class Type : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

class Value {
  public:
    Value() = default;
    Value(bool b) : type_(Type::Boolean) { u_.b = b; }
    Value(double n) : type_(Type::Number) { u_.n = n; }
    Value(int n) : type_(Type::Number) { u_.n = n; }
    Value(Str s) : type_(Type::String), s_(std::move(s)) {}
    Value(Object* o); // null pointer gives null
    static Value undefined() { return {}; }
    static Value null() {
        Value v;
        v.type_ = Type::Null;
        return v;
    }

    Type type() const { return type_; }
    bool isUndefined() const { return type_ == Type::Undefined; }
    bool isNull() const { return type_ == Type::Null; }
    bool isNullish() const { return type_ == Type::Undefined || type_ == Type::Null; }
    bool isBool() const { return type_ == Type::Boolean; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isObject() const { return type_ == Type::Object; }

    bool asBool() const { return u_.b; }
    double asNumber() const { return u_.n; }
    const Str& asString() const { return s_; }
    Object* asObject() const { return type_ == Type::Object ? u_.o : nullptr; }

  private:
    Type type_ = Type::Undefined;
    union {
        bool b;
        double n;
        Object* o;
    } u_{};
    Str s_;
};

// Strict equality (===): same type and same value; objects by identity; NaN equals NaN.
bool strictEquals(const Value& a, const Value& b);

} // namespace avm1
