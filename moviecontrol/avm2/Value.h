#pragma once
// A script value: undefined, null, a Boolean, an int, a Number, a String or an object.
// int is kept apart from Number so that int arithmetic stays exact and fast; uint values
// above int's range travel as Numbers.

#include <cstdint>
#include <memory>
#include <string>

namespace avm2 {

class Object;

class Value {
  public:
    enum class Type : std::uint8_t { Undefined, Null, Boolean, Int, Number, String, Object };

    Value() = default;
    // An array slot that holds nothing: it reads as undefined, but `in`, for-in and
    // hasOwnProperty pass it over. Only arrays keep it; every read hands out undefined.
    static Value hole() {
        Value v;
        v.i_ = 1;
        return v;
    }
    static Value null() {
        Value v;
        v.type_ = Type::Null;
        return v;
    }
    static Value boolean(bool b) {
        Value v;
        v.type_ = Type::Boolean;
        v.i_ = b ? 1 : 0;
        return v;
    }
    static Value integer(std::int32_t i) {
        Value v;
        v.type_ = Type::Int;
        v.i_ = i;
        return v;
    }
    static Value number(double d);
    static Value unsignedInt(std::uint32_t u) {
        return u <= 0x7FFFFFFFu ? integer(static_cast<std::int32_t>(u))
                                : number(static_cast<double>(u));
    }
    static Value string(std::string s) {
        Value v;
        v.type_ = Type::String;
        v.s_ = std::make_shared<const std::string>(std::move(s));
        return v;
    }
    static Value object(Object* o) {
        if (o == nullptr) {
            return null();
        }
        Value v;
        v.type_ = Type::Object;
        v.o_ = o;
        return v;
    }

    Type type() const { return type_; }
    bool isUndefined() const { return type_ == Type::Undefined; }
    bool isHole() const { return type_ == Type::Undefined && i_ == 1; }
    bool isNull() const { return type_ == Type::Null; }
    bool isNullish() const { return type_ == Type::Undefined || type_ == Type::Null; }
    bool isBoolean() const { return type_ == Type::Boolean; }
    bool isInt() const { return type_ == Type::Int; }
    bool isNumber() const { return type_ == Type::Number; }
    bool isNumeric() const { return type_ == Type::Int || type_ == Type::Number; }
    bool isString() const { return type_ == Type::String; }
    bool isObject() const { return type_ == Type::Object; }

    bool asBoolean() const { return i_ != 0; }
    std::int32_t asInt() const { return i_; }
    double asNumber() const { return type_ == Type::Int ? i_ : d_; }
    const std::string& asString() const { return *s_; }
    Object* asObject() const { return o_; }

  private:
    Type type_ = Type::Undefined;
    std::int32_t i_ = 0;
    double d_ = 0;
    std::shared_ptr<const std::string> s_;
    Object* o_ = nullptr;
};

// ECMA-262 conversions of values that need no object's help.
std::string numberToString(double d);
std::string numberToRadix(double d, int radix);
double stringToNumber(const std::string& s);
std::int32_t toInt32(double d);
std::uint32_t toUint32(double d);

} // namespace avm2
