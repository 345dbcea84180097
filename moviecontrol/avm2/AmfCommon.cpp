#include "avm2/AmfCommon.h"

#include "avm2/Amf.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <cstring>

namespace avm2 {

void amfPut(Machine& m, ByteArrayData& out, const std::uint8_t* bytes, std::size_t n) {
    if (n == 0) {
        return;
    }
    const std::size_t end = out.position + n;
    if (end > 0xFFFFFFFFu) {
        m.throwError("RangeError", 1506, "The specified range is invalid.");
    }
    if (end > out.data.size()) {
        m.checkMemory(end - out.data.size());
        out.data.resize(end);
    }
    std::memcpy(out.data.data() + out.position, bytes, n);
    out.position = end;
}

void amfPutDouble(Machine& m, ByteArrayData& out, double d) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &d, 8);
    std::uint8_t b[8];
    for (int i = 0; i < 8; ++i) {
        b[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    }
    amfPut(m, out, b, 8);
}

void amfNeed(Machine& m, const ByteArrayData& in, std::size_t n) {
    if (in.position > in.data.size() || in.data.size() - in.position < n) {
        m.throwError("flash.errors::EOFError", 2030, "End of file was encountered.");
    }
}

void amfGet(Machine& m, ByteArrayData& in, std::uint8_t* bytes, std::size_t n) {
    amfNeed(m, in, n);
    std::memcpy(bytes, in.data.data() + in.position, n);
    in.position += n;
}

double amfGetDouble(Machine& m, ByteArrayData& in) {
    std::uint8_t b[8];
    amfGet(m, in, b, 8);
    std::uint64_t bits = 0;
    for (std::uint8_t x : b) {
        bits = (bits << 8) | x;
    }
    double d = 0;
    std::memcpy(&d, &bits, 8);
    return d;
}

void amfCorrupt(Machine& m) {
    m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
}

bool amfSkips(const Value& v) {
    return v.isObject() && v.asObject()->kind == Object::Kind::Function;
}

std::string amfClassName(Machine& m, const Class* cls) {
    std::string found;
    for (const auto& [alias, c] : m.classAliases) {
        if (c == cls && (found.empty() || alias < found)) {
            found = alias;
        }
    }
    return found;
}

Class* amfAliasedClass(Machine& m, const std::string& alias) {
    auto it = m.classAliases.find(alias);
    return it != m.classAliases.end() ? it->second : nullptr;
}

Class* amfClassByName(Machine& m, const std::string& name) {
    if (Class* c = amfAliasedClass(m, name)) {
        return c;
    }
    if (Class* c = m.findClass(name)) {
        return c;
    }
    if (auto dot = name.rfind('.'); dot != std::string::npos) {
        return m.findClass(name.substr(0, dot) + "::" + name.substr(dot + 1));
    }
    return nullptr;
}

bool amfExternalizable(Machine& m, const Class* cls) {
    const Class* ext = m.findClass("flash.utils::IExternalizable");
    return ext != nullptr && cls != nullptr && cls->isSubclassOf(ext);
}

std::vector<std::string> amfSealedMembers(const Class* cls) {
    // The player walks its trait table, whose order follows neither declaration nor slot
    // numbers; name order is stable and is what reading back into a changed class observes.
    std::vector<std::string> out;
    for (const auto& [name, bindings] : cls->instance.byName) {
        for (const Binding& b : bindings) {
            if (b.ns.group != Namespace::Group::Public || !b.ns.uri.empty()) {
                continue;
            }
            const bool field = b.kind == Binding::Kind::Slot;
            const bool readWrite =
                b.kind == Binding::Kind::Accessor && b.getter.valid() && b.setter.valid();
            if (field || readWrite) {
                out.push_back(name);
                break;
            }
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

void amfSetMember(Machine& m, const Value& target, const std::string& name, const Value& v) {
    try {
        m.setProperty(target, Name::publicName(name), v);
    } catch (const ScriptThrow& t) {
        m.host().trace(m.toString(t.value));
    }
}

void amfWriteObject(Machine& m, const Value& stream, const Value& value) {
    if (byteArrayData(stream)->objectEncoding == 0) {
        amf0Write(m, stream, value);
    } else {
        amf3Write(m, stream, value);
    }
}

Value amfReadObject(Machine& m, const Value& stream) {
    return byteArrayData(stream)->objectEncoding == 0 ? amf0Read(m, stream) : amf3Read(m, stream);
}

} // namespace avm2
