// AMF0, the older encoding (objectEncoding 0): numbers always as doubles, strings with a
// 16- or 32-bit length, objects as name/value lists ended by an empty name and the end
// marker, and one reference table of objects.
#include "avm2/AmfCommon.h"
#include "avm2/Machine.h"

#include <unordered_map>

namespace avm2 {

namespace {

enum Marker : std::uint8_t {
    kNumber = 0x00,
    kBoolean = 0x01,
    kString = 0x02,
    kObject = 0x03,
    kNull = 0x05,
    kUndefined = 0x06,
    kReference = 0x07,
    kEcmaArray = 0x08,
    kObjectEnd = 0x09,
    kStrictArray = 0x0A,
    kDate = 0x0B,
    kLongString = 0x0C,
    kXml = 0x0F,
    kTypedObject = 0x10,
    kAvmPlus = 0x11,
};

void putUint(Machine& m, ByteArrayData& out, std::uint32_t v, std::size_t size) {
    std::uint8_t b[4];
    for (std::size_t i = 0; i < size; ++i) {
        b[i] = static_cast<std::uint8_t>(v >> (8 * (size - 1 - i)));
    }
    amfPut(m, out, b, size);
}

std::uint32_t getUint(Machine& m, ByteArrayData& in, std::size_t size) {
    std::uint8_t b[4];
    amfGet(m, in, b, size);
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < size; ++i) {
        v = (v << 8) | b[i];
    }
    return v;
}

class Writer {
  public:
    Writer(Machine& m, const Value& stream) : m_(m), out_(*byteArrayData(stream)) {}

    void value(const Value& v, int depth) {
        if (depth > kAmfMaxDepth) {
            m_.throwError("Error", 1023, "Stack overflow occurred.");
        }
        switch (v.type()) {
        case Value::Type::Undefined:
            byte(kUndefined);
            return;
        case Value::Type::Null:
            byte(kNull);
            return;
        case Value::Type::Boolean:
            byte(kBoolean);
            byte(v.asBoolean() ? 1 : 0);
            return;
        case Value::Type::Int:
        case Value::Type::Number:
            byte(kNumber);
            amfPutDouble(m_, out_, v.asNumber());
            return;
        case Value::Type::String:
            string(v.asString(), true);
            return;
        case Value::Type::Object:
            object(v.asObject(), depth);
            return;
        }
    }

  private:
    void byte(std::uint8_t b) { amfPut(m_, out_, &b, 1); }

    void string(const std::string& s, bool marked) {
        if (s.size() > 0xFFFF) {
            if (marked) {
                byte(kLongString);
            }
            if (s.size() > 0xFFFFFFFFu) {
                m_.throwError("RangeError", 1506, "The specified range is invalid.");
            }
            putUint(m_, out_, static_cast<std::uint32_t>(s.size()), 4);
        } else {
            if (marked) {
                byte(kString);
            }
            putUint(m_, out_, static_cast<std::uint32_t>(s.size()), 2);
        }
        amfPut(m_, out_, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }

    void members(Object* o, int depth) {
        for (std::size_t i = 0; i < o->props.size(); ++i) {
            if (!o->dontEnum[i] && !amfSkips(o->props[i].second)) {
                string(o->props[i].first.substr(0, 0xFFFF), false);
                value(o->props[i].second, depth + 1);
            }
        }
        putUint(m_, out_, 0, 2);
        byte(kObjectEnd);
    }

    void object(Object* o, int depth) {
        if (o->kind == Object::Kind::Function || o->kind == Object::Kind::Class) {
            byte(kUndefined);
            return;
        }
        if (auto it = seen_.find(o); it != seen_.end() && it->second <= 0xFFFF) {
            byte(kReference);
            putUint(m_, out_, static_cast<std::uint32_t>(it->second), 2);
            return;
        }
        if (o->kind == Object::Kind::Date) {
            byte(kDate);
            amfPutDouble(m_, out_, o->number);
            putUint(m_, out_, 0, 2);
            return;
        }
        seen_.emplace(o, seen_.size());
        if (o->kind == Object::Kind::Array) {
            byte(kEcmaArray);
            putUint(m_, out_, static_cast<std::uint32_t>(o->elements.size()), 4);
            for (std::size_t i = 0; i < o->elements.size(); ++i) {
                if (!o->elements[i].isHole()) {
                    string(std::to_string(i), false);
                    value(o->elements[i], depth + 1);
                }
            }
            members(o, depth);
            return;
        }
        Class* cls = o->cls != nullptr ? o->cls : m_.objectClass;
        const std::string alias = cls != m_.objectClass ? amfClassName(m_, cls) : std::string();
        if (!alias.empty()) {
            byte(kTypedObject);
            string(alias.substr(0, 0xFFFF), false);
        } else {
            byte(kObject);
        }
        if (cls != m_.objectClass) {
            const Value self = Value::object(o);
            for (const std::string& name : amfSealedMembers(cls)) {
                string(name, false);
                value(m_.getProperty(self, Name::publicName(name)), depth + 1);
            }
        }
        members(o, depth);
    }

    Machine& m_;
    ByteArrayData& out_;
    std::unordered_map<const Object*, std::size_t> seen_;
};

class Reader {
  public:
    Reader(Machine& m, const Value& stream) : m_(m), stream_(stream) {}

    Value value(int depth) {
        if (depth > kAmfMaxDepth) {
            m_.throwError("Error", 1023, "Stack overflow occurred.");
        }
        switch (getUint(m_, in(), 1)) {
        case kNumber:
            return Value::number(amfGetDouble(m_, in()));
        case kBoolean:
            return Value::boolean(getUint(m_, in(), 1) != 0);
        case kString:
            return Value::string(text(getUint(m_, in(), 2)));
        case kLongString:
        case kXml:
            return Value::string(text(getUint(m_, in(), 4)));
        case kNull:
            return Value::null();
        case kUndefined:
            return Value();
        case kReference: {
            const std::uint32_t index = getUint(m_, in(), 2);
            if (index >= seen_.size()) {
                amfCorrupt(m_);
            }
            return seen_[index];
        }
        case kDate: {
            Args args{Value::number(amfGetDouble(m_, in()))};
            getUint(m_, in(), 2); // time zone: unused, as Flash ignores it
            return m_.construct(
                m_.getProperty(Value::object(m_.globalObject()), Name::publicName("Date")), args);
        }
        case kObject:
            return members(Value::object(m_.newObject()), depth);
        case kTypedObject: {
            const std::string alias = text(getUint(m_, in(), 2));
            Class* cls = amfAliasedClass(m_, alias);
            Args none;
            return members(cls != nullptr ? m_.construct(Value::object(cls->classObject), none)
                                          : Value::object(m_.newObject()),
                           depth);
        }
        case kEcmaArray:
            getUint(m_, in(), 4); // the count: the members that follow say it all
            return members(Value::object(m_.newArray()), depth);
        case kStrictArray: {
            const std::uint32_t count = getUint(m_, in(), 4);
            amfNeed(m_, in(), count);
            Object* a = m_.newArray();
            seen_.push_back(Value::object(a));
            for (std::uint32_t i = 0; i < count; ++i) {
                Value v = value(depth + 1);
                a->elements.push_back(std::move(v));
            }
            return Value::object(a);
        }
        case kAvmPlus:
            return amf3Read(m_, stream_);
        default:
            amfCorrupt(m_);
        }
    }

  private:
    ByteArrayData& in() { return *byteArrayData(stream_); }

    std::string text(std::uint32_t length) {
        ByteArrayData& d = in();
        amfNeed(m_, d, length);
        std::string s(reinterpret_cast<const char*>(d.data.data() + d.position), length);
        d.position += length;
        return s;
    }

    Value members(const Value& target, int depth) {
        seen_.push_back(target);
        for (;;) {
            const std::string name = text(getUint(m_, in(), 2));
            if (name.empty()) {
                if (getUint(m_, in(), 1) != kObjectEnd) {
                    amfCorrupt(m_);
                }
                return target;
            }
            amfSetMember(m_, target, name, value(depth + 1));
        }
    }

    Machine& m_;
    Value stream_;
    std::vector<Value> seen_;
};

} // namespace

void amf0Write(Machine& m, const Value& stream, const Value& value) {
    Writer(m, stream).value(value, 0);
}

Value amf0Read(Machine& m, const Value& stream) {
    return Reader(m, stream).value(0);
}

} // namespace avm2
