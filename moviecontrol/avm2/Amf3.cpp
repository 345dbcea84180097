// AMF3 as ByteArray.writeObject and readObject speak it: values with a type marker, and
// three reference tables (strings, objects, class traits) so that a string, object or class
// met again is written as its index. Reading checks every length and index against the
// bytes there are and stops nesting at a fixed depth.
#include "avm2/Amf.h"
#include "avm2/AmfCommon.h"
#include "avm2/ByteArrayData.h"
#include "avm2/DictionaryStore.h"
#include "avm2/Machine.h"
#include "avm2/ProxyClass.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

namespace avm2 {

namespace {

enum Marker : std::uint8_t {
    kUndefined = 0x00,
    kNull = 0x01,
    kFalse = 0x02,
    kTrue = 0x03,
    kInteger = 0x04,
    kDouble = 0x05,
    kString = 0x06,
    kXmlDocument = 0x07,
    kDate = 0x08,
    kArray = 0x09,
    kObject = 0x0A,
    kXml = 0x0B,
    kByteArray = 0x0C,
    kVectorInt = 0x0D,
    kVectorUint = 0x0E,
    kVectorDouble = 0x0F,
    kVectorObject = 0x10,
    kDictionary = 0x11,
};

constexpr std::int32_t kIntMin = -(1 << 28);
constexpr std::int32_t kIntMax = (1 << 28) - 1;

class Writer {
  public:
    Writer(Machine& m, const Value& stream)
        : m_(m), stream_(stream), out_(*byteArrayData(stream)) {}

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
            byte(v.asBoolean() ? kTrue : kFalse);
            return;
        case Value::Type::Int:
        case Value::Type::Number:
            number(v.asNumber());
            return;
        case Value::Type::String:
            byte(kString);
            string(v.asString());
            return;
        case Value::Type::Object:
            object(v.asObject(), depth);
            return;
        }
    }

  private:
    void byte(std::uint8_t b) { amfPut(m_, out_, &b, 1); }

    void u29(std::uint32_t v) {
        std::uint8_t b[4];
        std::size_t n = 0;
        v &= 0x1FFFFFFFu;
        if (v < 0x80) {
            b[n++] = static_cast<std::uint8_t>(v);
        } else if (v < 0x4000) {
            b[n++] = static_cast<std::uint8_t>((v >> 7) | 0x80);
            b[n++] = static_cast<std::uint8_t>(v & 0x7F);
        } else if (v < 0x200000) {
            b[n++] = static_cast<std::uint8_t>((v >> 14) | 0x80);
            b[n++] = static_cast<std::uint8_t>(((v >> 7) & 0x7F) | 0x80);
            b[n++] = static_cast<std::uint8_t>(v & 0x7F);
        } else {
            b[n++] = static_cast<std::uint8_t>((v >> 22) | 0x80);
            b[n++] = static_cast<std::uint8_t>(((v >> 15) & 0x7F) | 0x80);
            b[n++] = static_cast<std::uint8_t>(((v >> 8) & 0x7F) | 0x80);
            b[n++] = static_cast<std::uint8_t>(v & 0xFF);
        }
        amfPut(m_, out_, b, n);
    }

    void number(double d) {
        // An integral value in 29 bits travels as an integer, as Flash keeps it as one.
        if (d >= kIntMin && d <= kIntMax && std::trunc(d) == d && !(d == 0 && std::signbit(d))) {
            byte(kInteger);
            u29(static_cast<std::uint32_t>(static_cast<std::int32_t>(d)));
            return;
        }
        byte(kDouble);
        amfPutDouble(m_, out_, d);
    }

    void string(const std::string& s) {
        if (s.empty()) {
            u29(1);
            return;
        }
        if (auto it = strings_.find(s); it != strings_.end()) {
            u29(static_cast<std::uint32_t>(it->second << 1));
            return;
        }
        if (s.size() > (0x0FFFFFFFu)) {
            m_.throwError("RangeError", 1506, "The specified range is invalid.");
        }
        strings_.emplace(s, strings_.size());
        u29(static_cast<std::uint32_t>(s.size() << 1) | 1);
        amfPut(m_, out_, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    }

    // Writes the reference to `o` when it was written before; otherwise notes it.
    bool reference(Object* o) {
        if (auto it = objects_.find(o); it != objects_.end()) {
            u29(static_cast<std::uint32_t>(it->second << 1));
            return true;
        }
        objects_.emplace(o, objects_.size());
        return false;
    }

    void object(Object* o, int depth) {
        if (o->kind == Object::Kind::Function || o->kind == Object::Kind::Class) {
            byte(kUndefined);
            return;
        }
        if (o->kind == Object::Kind::Date) {
            byte(kDate);
            if (!reference(o)) {
                u29(1);
                amfPutDouble(m_, out_, o->number);
            }
            return;
        }
        if (ByteArrayData* bytes = byteArrayData(Value::object(o))) {
            byte(kByteArray);
            if (!reference(o)) {
                if (bytes->data.size() > 0x0FFFFFFFu) {
                    m_.throwError("RangeError", 1506, "The specified range is invalid.");
                }
                const std::vector<std::uint8_t> copy = bytes->data; // the stream may be `o`
                u29(static_cast<std::uint32_t>(copy.size() << 1) | 1);
                amfPut(m_, out_, copy.data(), copy.size());
            }
            return;
        }
        if (o->kind == Object::Kind::Array) {
            if (m_.vectorClass != nullptr && o->cls != nullptr &&
                o->cls->isSubclassOf(m_.vectorClass)) {
                vector(o, depth);
            } else {
                array(o, depth);
            }
            return;
        }
        if (o->kind == Object::Kind::Dictionary) {
            byte(kDictionary);
            if (!reference(o)) {
                std::vector<std::pair<Value, Value>> live;
                for (const auto& entry : o->entries) {
                    if (!entry.first.isHole()) {
                        live.push_back(entry);
                    }
                }
                u29(static_cast<std::uint32_t>(live.size() << 1) | 1);
                byte(0); // weak keys: not kept apart
                for (const auto& [k, v] : live) {
                    value(k.isString() ? enumeratedName(k.asString()) : k, depth + 1);
                    value(v, depth + 1);
                }
            }
            return;
        }
        plainObject(o, depth);
    }

    void array(Object* o, int depth) {
        byte(kArray);
        if (reference(o)) {
            return;
        }
        u29(static_cast<std::uint32_t>(o->elements.size() << 1) | 1);
        for (std::size_t i = 0; i < o->props.size(); ++i) {
            if (!o->dontEnum[i] && !amfSkips(o->props[i].second)) {
                string(o->props[i].first);
                value(o->props[i].second, depth + 1);
            }
        }
        string("");
        for (std::size_t i = 0; i < o->elements.size(); ++i) {
            value(o->elements[i], depth + 1);
        }
    }

    void vector(Object* o, int depth) {
        const Class* type = o->cls->elementType;
        const std::uint8_t marker = type == m_.intClass      ? kVectorInt
                                    : type == m_.uintClass   ? kVectorUint
                                    : type == m_.numberClass ? kVectorDouble
                                                             : kVectorObject;
        byte(marker);
        if (reference(o)) {
            return;
        }
        u29(static_cast<std::uint32_t>(o->elements.size() << 1) | 1);
        byte(o->flag ? 1 : 0);
        if (marker == kVectorObject) {
            string(type != nullptr ? amfClassName(m_, type) : std::string("*"));
        }
        for (const Value& e : o->elements) {
            if (marker == kVectorObject) {
                value(e, depth + 1);
            } else if (marker == kVectorDouble) {
                amfPutDouble(m_, out_, m_.toNumber(e));
            } else {
                const std::uint32_t u = marker == kVectorInt
                                            ? static_cast<std::uint32_t>(toInt32(m_.toNumber(e)))
                                            : toUint32(m_.toNumber(e));
                const std::uint8_t b[4] = {
                    static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
                    static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
                amfPut(m_, out_, b, 4);
            }
        }
    }

    void plainObject(Object* o, int depth) {
        byte(kObject);
        if (reference(o)) {
            return;
        }
        Class* cls = o->cls != nullptr ? o->cls : m_.objectClass;
        const bool typed = cls != m_.objectClass;
        const Value self = Value::object(o);
        if (amfExternalizable(m_, cls)) {
            if (!traitsReference(cls)) {
                u29(0x07);
                string(amfClassName(m_, cls));
            }
            Args args{stream_};
            m_.callProperty(self, Name::publicName("writeExternal"), args);
            return;
        }
        if (isProxy(self)) {
            proxyObject(self, depth);
            return;
        }
        const std::vector<std::string> sealed =
            typed ? amfSealedMembers(cls) : std::vector<std::string>{};
        const bool dynamic = o->dynamic;
        if (!traitsReference(cls)) {
            u29(static_cast<std::uint32_t>(sealed.size() << 4) | (dynamic ? 0x08u : 0u) | 0x03u);
            string(typed ? amfClassName(m_, cls) : std::string());
            for (const std::string& name : sealed) {
                string(name);
            }
        }
        for (const std::string& name : sealed) {
            value(m_.getProperty(self, Name::publicName(name)), depth + 1);
        }
        if (dynamic) {
            for (std::size_t i = 0; i < o->props.size(); ++i) {
                if (!o->dontEnum[i] && !amfSkips(o->props[i].second)) {
                    string(o->props[i].first);
                    value(o->props[i].second, depth + 1);
                }
            }
            string("");
        }
    }

    // A proxy is written as an anonymous object holding what its enumeration gives.
    void proxyObject(const Value& self, int depth) {
        if (!traitsReference(m_.objectClass)) {
            u29(0x0B);
            string("");
        }
        for (std::int64_t i = proxyNextIndex(m_, self, 0); i != 0;
             i = proxyNextIndex(m_, self, i)) {
            m_.checkBudget();
            const std::string name = m_.toString(proxyNextName(m_, self, i));
            const Value v = proxyNextValue(m_, self, i);
            if (!name.empty()) {
                string(name);
                value(v, depth + 1);
            }
        }
        string("");
    }

    bool traitsReference(const Class* cls) {
        if (auto it = traits_.find(cls); it != traits_.end()) {
            u29(static_cast<std::uint32_t>(it->second << 2) | 1);
            return true;
        }
        traits_.emplace(cls, traits_.size());
        return false;
    }

    Machine& m_;
    Value stream_;
    ByteArrayData& out_;
    std::unordered_map<std::string, std::size_t> strings_;
    std::unordered_map<const Object*, std::size_t> objects_;
    std::unordered_map<const Class*, std::size_t> traits_;
};

struct TraitsInfo {
    std::string className;
    std::vector<std::string> sealed;
    bool dynamic = false;
    bool externalizable = false;
};

class Reader {
  public:
    Reader(Machine& m, const Value& stream) : m_(m), stream_(stream) {}

    Value value(int depth) {
        if (depth > kAmfMaxDepth) {
            m_.throwError("Error", 1023, "Stack overflow occurred.");
        }
        switch (byte()) {
        case kUndefined:
            return Value();
        case kNull:
            return Value::null();
        case kFalse:
            return Value::boolean(false);
        case kTrue:
            return Value::boolean(true);
        case kInteger: {
            std::uint32_t u = u29();
            if ((u & 0x10000000u) != 0) {
                u |= 0xE0000000u;
            }
            return Value::integer(static_cast<std::int32_t>(u));
        }
        case kDouble:
            return Value::number(amfGetDouble(m_, in()));
        case kString:
            return Value::string(string());
        case kXmlDocument:
        case kXml:
            return xmlText();
        case kDate:
            return date();
        case kArray:
            return array(depth);
        case kObject:
            return object(depth);
        case kByteArray:
            return byteArray();
        case kVectorInt:
        case kVectorUint:
        case kVectorDouble:
        case kVectorObject:
            return vector(in().data[in().position - 1], depth);
        case kDictionary:
            return dictionary(depth);
        default:
            amfCorrupt(m_);
        }
    }

  private:
    ByteArrayData& in() { return *byteArrayData(stream_); }

    std::uint8_t byte() {
        std::uint8_t b = 0;
        amfGet(m_, in(), &b, 1);
        return b;
    }

    std::uint32_t u29() {
        std::uint32_t v = 0;
        for (int i = 0; i < 3; ++i) {
            const std::uint8_t b = byte();
            v = (v << 7) | (b & 0x7Fu);
            if ((b & 0x80) == 0) {
                return v;
            }
        }
        return (v << 8) | byte();
    }

    std::string bytesText(std::uint32_t length) {
        ByteArrayData& d = in();
        amfNeed(m_, d, length);
        std::string s(reinterpret_cast<const char*>(d.data.data() + d.position), length);
        d.position += length;
        return s;
    }

    std::string string() {
        const std::uint32_t head = u29();
        if ((head & 1) == 0) {
            if ((head >> 1) >= strings_.size()) {
                amfCorrupt(m_);
            }
            return strings_[head >> 1];
        }
        std::string s = bytesText(head >> 1);
        if (!s.empty()) {
            strings_.push_back(s);
        }
        return s;
    }

    // A reference to an object read before, or nothing when the object follows inline
    // (`head` then holds the bits after the inline flag).
    std::optional<Value> objectReference(std::uint32_t& head) {
        head = u29();
        if ((head & 1) == 0) {
            if ((head >> 1) >= objects_.size()) {
                amfCorrupt(m_);
            }
            return objects_[head >> 1];
        }
        head >>= 1;
        return std::nullopt;
    }

    Value xmlText() {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        Value text = Value::string(bytesText(head));
        objects_.push_back(text);
        return text;
    }

    Value date() {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        Args args{Value::number(amfGetDouble(m_, in()))};
        Value d = m_.construct(
            m_.getProperty(Value::object(m_.globalObject()), Name::publicName("Date")), args);
        objects_.push_back(d);
        return d;
    }

    Value byteArray() {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        ByteArrayData& d = in();
        amfNeed(m_, d, head);
        Object* o = newByteArray(m_);
        ByteArrayData& out = *byteArrayData(Value::object(o));
        m_.checkMemory(head);
        out.data.assign(d.data.begin() + static_cast<std::ptrdiff_t>(d.position),
                        d.data.begin() + static_cast<std::ptrdiff_t>(d.position + head));
        d.position += head;
        objects_.push_back(Value::object(o));
        return Value::object(o);
    }

    Value array(int depth) {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        // Every element takes at least a byte: a count beyond the bytes left is damage.
        amfNeed(m_, in(), head);
        Object* a = m_.newArray();
        Value result = Value::object(a);
        objects_.push_back(result);
        for (std::string key = string(); !key.empty(); key = string()) {
            m_.setProperty(result, Name::publicName(key), value(depth + 1));
        }
        m_.resizeElements(a, head, Value());
        for (std::uint32_t i = 0; i < head; ++i) {
            Value v = value(depth + 1);
            if (i < a->elements.size()) {
                a->elements[i] = v;
            }
        }
        return result;
    }

    Value vector(std::uint8_t marker, int depth) {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        const bool fixed = byte() != 0;
        Class* type = marker == kVectorInt      ? m_.intClass
                      : marker == kVectorUint   ? m_.uintClass
                      : marker == kVectorDouble ? m_.numberClass
                                                : nullptr;
        if (marker == kVectorObject) {
            const std::string name = string();
            type = name.empty() || name == "*" ? nullptr : amfClassByName(m_, name);
        }
        amfNeed(m_, in(),
                marker == kVectorDouble   ? std::size_t{head} * 8
                : marker == kVectorObject ? head
                                          : std::size_t{head} * 4);
        Args params{type != nullptr ? Value::object(type->classObject) : Value::null()};
        const Value cls = m_.applyType(
            m_.getProperty(Value::object(m_.globalObject()),
                           Name::qualified(Namespace::publicNs("__AS3__.vec"), "Vector")),
            params);
        Args none;
        Value result = m_.construct(cls, none);
        Object* v = result.asObject();
        objects_.push_back(result);
        std::vector<Value> elements;
        elements.reserve(head);
        for (std::uint32_t i = 0; i < head; ++i) {
            if (marker == kVectorObject) {
                Value e = value(depth + 1);
                elements.push_back(type != nullptr ? m_.coerce(e, type) : e);
            } else if (marker == kVectorDouble) {
                elements.push_back(Value::number(amfGetDouble(m_, in())));
            } else {
                std::uint8_t b[4];
                amfGet(m_, in(), b, 4);
                const std::uint32_t u = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                                        (std::uint32_t{b[2]} << 8) | b[3];
                elements.push_back(marker == kVectorInt
                                       ? Value::integer(static_cast<std::int32_t>(u))
                                       : Value::unsignedInt(u));
            }
        }
        v->elements = std::move(elements);
        v->flag = fixed;
        return result;
    }

    Value dictionary(int depth) {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        byte(); // weak keys
        amfNeed(m_, in(), std::size_t{head} * 2);
        Args none;
        Value result = m_.construct(
            m_.getProperty(Value::object(m_.globalObject()),
                           Name::qualified(Namespace::publicNs("flash.utils"), "Dictionary")),
            none);
        objects_.push_back(result);
        for (std::uint32_t i = 0; i < head; ++i) {
            const Value key = value(depth + 1);
            const Value v = value(depth + 1);
            m_.setProperty(result, dictionaryName(m_.toString(key), key), v);
        }
        return result;
    }

    TraitsInfo traits(std::uint32_t head) {
        if ((head & 1) == 0) {
            if ((head >> 1) >= traits_.size()) {
                amfCorrupt(m_);
            }
            return traits_[head >> 1];
        }
        TraitsInfo t;
        t.externalizable = (head & 2) != 0;
        t.dynamic = (head & 4) != 0;
        const std::uint32_t count = head >> 3;
        t.className = string();
        amfNeed(m_, in(), count);
        for (std::uint32_t i = 0; i < count; ++i) {
            t.sealed.push_back(string());
        }
        traits_.push_back(t);
        return t;
    }

    Value object(int depth) {
        std::uint32_t head = 0;
        if (auto ref = objectReference(head)) {
            return *ref;
        }
        const TraitsInfo t = traits(head);
        Class* cls = t.className.empty() ? nullptr : amfAliasedClass(m_, t.className);
        Value result;
        if (cls != nullptr) {
            Args none;
            result = m_.construct(Value::object(cls->classObject), none);
        } else {
            result = Value::object(m_.newObject());
        }
        objects_.push_back(result);
        if (t.externalizable) {
            if (cls == nullptr || !amfExternalizable(m_, cls)) {
                m_.throwError("ReferenceError", 2173,
                              "Unable to read object in stream.  The class " + t.className +
                                  " does not implement flash.utils.IExternalizable but is "
                                  "aliased to an externalizable class.");
            }
            Args args{stream_};
            m_.callProperty(result, Name::publicName("readExternal"), args);
            return result;
        }
        for (const std::string& name : t.sealed) {
            amfSetMember(m_, result, name, value(depth + 1));
        }
        if (t.dynamic) {
            for (std::string key = string(); !key.empty(); key = string()) {
                amfSetMember(m_, result, key, value(depth + 1));
            }
        }
        return result;
    }

    Machine& m_;
    Value stream_;
    std::vector<std::string> strings_;
    std::vector<Value> objects_;
    std::vector<TraitsInfo> traits_;
};

} // namespace

void amf3Write(Machine& m, const Value& stream, const Value& value) {
    Writer(m, stream).value(value, 0);
}

Value amf3Read(Machine& m, const Value& stream) {
    return Reader(m, stream).value(0);
}

} // namespace avm2
