#include "avm2/AbcReader.h"

#include <cstring>

namespace avm2 {

namespace {

[[noreturn]] void truncated() {
    throw AbcError(1107, "The ABC data is corrupt, attempt to read out of bounds.");
}

[[noreturn]] void outOfRange(std::uint32_t index, std::size_t size) {
    throw AbcError(1032, "Cpool index " + std::to_string(index) + " is out of range " +
                             std::to_string(size) + ".");
}

class Cursor {
  public:
    explicit Cursor(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - pos_; }

    std::uint8_t u8() {
        if (pos_ >= bytes_.size()) {
            truncated();
        }
        return bytes_[pos_++];
    }
    std::uint16_t u16() {
        const std::uint8_t lo = u8();
        return static_cast<std::uint16_t>(lo | (u8() << 8));
    }
    // Variable-length: up to five bytes, seven bits each, low first.
    std::uint32_t u32() {
        std::uint32_t result = 0;
        for (int i = 0; i < 5; ++i) {
            const std::uint8_t b = u8();
            result |= static_cast<std::uint32_t>(b & 0x7F) << (7 * i);
            if ((b & 0x80) == 0) {
                break;
            }
        }
        return result;
    }
    std::uint32_t u30() { return u32() & 0x3FFFFFFFu; }
    // A signed value is the same bits as an unsigned one: negative numbers take all five
    // bytes, and a short encoding is never sign-extended (Flash reads 0x7F as 127).
    std::int32_t s32() { return static_cast<std::int32_t>(u32()); }
    double d64() {
        if (remaining() < 8) {
            truncated();
        }
        double d = 0;
        std::memcpy(&d, bytes_.data() + pos_, 8);
        pos_ += 8;
        return d;
    }
    std::span<const std::uint8_t> take(std::uint32_t n) {
        if (n > remaining()) {
            truncated();
        }
        auto s = bytes_.subspan(pos_, n);
        pos_ += n;
        return s;
    }
    // A count of entries each at least `minBytes` long: more than the bytes left could hold
    // is damage, caught before anything is reserved.
    std::uint32_t count(std::size_t minBytes) {
        const std::uint32_t n = u30();
        if (minBytes > 0 && n > remaining() / minBytes) {
            truncated();
        }
        return n;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t pos_ = 0;
};

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : in_(bytes) {}

    AbcFile read() {
        abc_.minorVersion = in_.u16();
        abc_.majorVersion = in_.u16();
        readConstants();
        readMethods();
        readMetadata();
        readClasses();
        readScripts();
        readBodies();
        return std::move(abc_);
    }

  private:
    // A pool's count includes the implied entry 0, so n entries follow for a count of n + 1.
    std::uint32_t poolCount(std::size_t minBytes) {
        const std::uint32_t n = in_.count(0);
        const std::uint32_t stored = n == 0 ? 0 : n - 1;
        if (stored > in_.remaining() / minBytes) {
            truncated();
        }
        return stored;
    }

    void readConstants() {
        for (std::uint32_t i = poolCount(1); i > 0; --i) {
            abc_.ints.push_back(in_.s32());
        }
        for (std::uint32_t i = poolCount(1); i > 0; --i) {
            abc_.uints.push_back(in_.u32());
        }
        for (std::uint32_t i = poolCount(8); i > 0; --i) {
            abc_.doubles.push_back(in_.d64());
        }
        for (std::uint32_t i = poolCount(1); i > 0; --i) {
            auto bytes = in_.take(in_.u30());
            abc_.strings.emplace_back(bytes.begin(), bytes.end());
        }
        for (std::uint32_t i = poolCount(2); i > 0; --i) {
            NamespaceInfo ns;
            const std::uint8_t kind = in_.u8();
            switch (kind) {
            case 0x08:
            case 0x16:
            case 0x17:
            case 0x18:
            case 0x19:
            case 0x1A:
            case 0x05:
                ns.kind = static_cast<NsKind>(kind);
                break;
            default:
                throw AbcError(1035, "Namespace kind " + std::to_string(kind) + " is invalid.");
            }
            ns.name = string(in_.u30());
            abc_.namespaces.push_back(ns);
        }
        for (std::uint32_t i = poolCount(1); i > 0; --i) {
            std::vector<std::uint32_t> set;
            const std::uint32_t n = in_.count(1);
            set.reserve(n);
            for (std::uint32_t k = 0; k < n; ++k) {
                const std::uint32_t ns = namespaceIndex(in_.u30());
                if (ns == 0) {
                    throw AbcError(1032, "Cpool index 0 is out of range.");
                }
                set.push_back(ns);
            }
            abc_.nsSets.push_back(std::move(set));
        }
        for (std::uint32_t i = poolCount(1); i > 0; --i) {
            abc_.multinames.push_back(readMultiname());
        }
        // A TypeName names other multinames, possibly later ones: checked once all are read.
        for (const MultinameInfo& m : abc_.multinames) {
            if (m.kind != MultinameKind::TypeName) {
                continue;
            }
            multiname(m.generic);
            for (std::uint32_t p : m.params) {
                multiname(p);
            }
        }
    }

    MultinameInfo readMultiname() {
        MultinameInfo m;
        const std::uint8_t kind = in_.u8();
        switch (kind) {
        case 0x07:
        case 0x0D:
            m.ns = namespaceIndex(in_.u30());
            m.name = string(in_.u30());
            break;
        case 0x0F:
        case 0x10:
            m.name = string(in_.u30());
            break;
        case 0x11:
        case 0x12:
            break;
        case 0x09:
        case 0x0E:
            m.name = string(in_.u30());
            m.nsSet = nsSet(in_.u30());
            break;
        case 0x1B:
        case 0x1C:
            m.nsSet = nsSet(in_.u30());
            break;
        case 0x1D: {
            m.generic = in_.u30();
            const std::uint32_t n = in_.count(1);
            for (std::uint32_t k = 0; k < n; ++k) {
                m.params.push_back(in_.u30());
            }
            break;
        }
        default:
            throw AbcError(1034, "Multiname kind " + std::to_string(kind) + " is invalid.");
        }
        m.kind = static_cast<MultinameKind>(kind);
        return m;
    }

    void readMethods() {
        const std::uint32_t n = in_.count(4);
        abc_.methods.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            MethodInfo m;
            const std::uint32_t params = in_.count(1);
            m.returnType = multiname(in_.u30());
            for (std::uint32_t p = 0; p < params; ++p) {
                m.paramTypes.push_back(multiname(in_.u30()));
            }
            m.name = string(in_.u30());
            m.flags = in_.u8();
            if ((m.flags & method_flag::HasOptional) != 0) {
                const std::uint32_t opt = in_.count(2);
                if (opt > params) {
                    throw AbcError(1032, "Optional parameters exceed the method's parameters.");
                }
                for (std::uint32_t k = 0; k < opt; ++k) {
                    DefaultValue d;
                    d.index = in_.u30();
                    d.kind = in_.u8();
                    checkConstant(d.kind, d.index);
                    m.optional.push_back(d);
                }
            }
            if ((m.flags & method_flag::HasParamNames) != 0) {
                for (std::uint32_t p = 0; p < params; ++p) {
                    m.paramNames.push_back(in_.u30());
                }
            }
            abc_.methods.push_back(std::move(m));
        }
    }

    void readMetadata() {
        const std::uint32_t n = in_.count(2);
        for (std::uint32_t i = 0; i < n; ++i) {
            MetadataInfo md;
            md.name = string(in_.u30());
            const std::uint32_t items = in_.count(2);
            std::vector<std::uint32_t> keys;
            for (std::uint32_t k = 0; k < items; ++k) {
                keys.push_back(string(in_.u30()));
            }
            for (std::uint32_t k = 0; k < items; ++k) {
                md.items.emplace_back(keys[k], string(in_.u30()));
            }
            abc_.metadata.push_back(std::move(md));
        }
    }

    void readClasses() {
        const std::uint32_t n = in_.count(5);
        classCount_ = n;
        abc_.instances.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            InstanceInfo inst;
            inst.name = multiname(in_.u30());
            inst.superName = multiname(in_.u30());
            inst.flags = in_.u8();
            if ((inst.flags & instance_flag::ProtectedNs) != 0) {
                inst.protectedNs = namespaceIndex(in_.u30());
            }
            const std::uint32_t ifaces = in_.count(1);
            for (std::uint32_t k = 0; k < ifaces; ++k) {
                inst.interfaces.push_back(multiname(in_.u30()));
            }
            inst.init = method(in_.u30());
            inst.traits = readTraits();
            abc_.instances.push_back(std::move(inst));
        }
        for (std::uint32_t i = 0; i < n; ++i) {
            ClassInfo cls;
            cls.init = method(in_.u30());
            cls.traits = readTraits();
            abc_.classes.push_back(std::move(cls));
        }
    }

    void readScripts() {
        const std::uint32_t n = in_.count(2);
        for (std::uint32_t i = 0; i < n; ++i) {
            ScriptInfo s;
            s.init = method(in_.u30());
            s.traits = readTraits();
            abc_.scripts.push_back(std::move(s));
        }
    }

    void readBodies() {
        const std::uint32_t n = in_.count(7);
        for (std::uint32_t i = 0; i < n; ++i) {
            MethodBody body;
            body.method = method(in_.u30());
            body.maxStack = in_.u30();
            body.localCount = in_.u30();
            body.initScopeDepth = in_.u30();
            body.maxScopeDepth = in_.u30();
            auto code = in_.take(in_.u30());
            body.code.assign(code.begin(), code.end());
            const std::uint32_t ex = in_.count(5);
            for (std::uint32_t k = 0; k < ex; ++k) {
                ExceptionInfo e;
                e.from = in_.u30();
                e.to = in_.u30();
                e.target = in_.u30();
                e.type = multiname(in_.u30());
                e.varName = multiname(in_.u30());
                body.exceptions.push_back(e);
            }
            body.traits = readTraits();
            MethodInfo& m = abc_.methods[body.method];
            if (m.body >= 0) {
                throw AbcError(1109, "Method " + std::to_string(body.method) +
                                         " has more than one body.");
            }
            m.body = static_cast<int>(abc_.bodies.size());
            abc_.bodies.push_back(std::move(body));
        }
    }

    std::vector<TraitInfo> readTraits() {
        std::vector<TraitInfo> traits;
        const std::uint32_t n = in_.count(3);
        traits.reserve(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            TraitInfo t;
            t.name = multiname(in_.u30());
            if (t.name == 0 || abc_.multinames[t.name].kind != MultinameKind::QName) {
                throw AbcError(1107, "A trait's name is not a qualified name.");
            }
            const std::uint8_t kindByte = in_.u8();
            const std::uint8_t kind = kindByte & 0x0F;
            t.attributes = static_cast<std::uint8_t>(kindByte >> 4);
            switch (kind) {
            case 0:
            case 6:
                t.slotId = in_.u30();
                t.typeName = multiname(in_.u30());
                t.valueIndex = in_.u30();
                if (t.valueIndex != 0) {
                    t.valueKind = in_.u8();
                    checkConstant(t.valueKind, t.valueIndex);
                }
                break;
            case 1:
            case 2:
            case 3:
                t.dispId = in_.u30();
                t.method = method(in_.u30());
                break;
            case 4:
                t.slotId = in_.u30();
                t.classIndex = in_.u30();
                if (t.classIndex >= classCount_) {
                    throw AbcError(1060, "ClassInfo " + std::to_string(t.classIndex) +
                                             " exceeds class_count=" + std::to_string(classCount_) +
                                             ".");
                }
                break;
            case 5:
                t.slotId = in_.u30();
                t.method = method(in_.u30());
                break;
            default:
                throw AbcError(1107, "Trait kind " + std::to_string(kind) + " is invalid.");
            }
            t.kind = static_cast<TraitKind>(kind);
            if ((t.attributes & 0x4) != 0) {
                const std::uint32_t md = in_.count(1);
                for (std::uint32_t k = 0; k < md; ++k) {
                    const std::uint32_t index = in_.u30();
                    if (index >= abc_.metadata.size()) {
                        throw AbcError(1032, "Metadata index out of range.");
                    }
                    t.metadata.push_back(index);
                }
            }
            traits.push_back(t);
        }
        return traits;
    }

    void checkConstant(std::uint8_t kind, std::uint32_t index) {
        switch (kind) {
        case 0x03:
            check(index, abc_.ints.size());
            break;
        case 0x04:
            check(index, abc_.uints.size());
            break;
        case 0x06:
            check(index, abc_.doubles.size());
            break;
        case 0x01:
            check(index, abc_.strings.size());
            break;
        case 0x08:
        case 0x16:
        case 0x17:
        case 0x18:
        case 0x19:
        case 0x1A:
        case 0x05:
            check(index, abc_.namespaces.size());
            break;
        case 0x0B:
        case 0x0A:
        case 0x0C:
        case 0x00:
            break;
        default:
            throw AbcError(1107, "Constant kind " + std::to_string(kind) + " is invalid.");
        }
    }

    static void check(std::uint32_t index, std::size_t size) {
        if (index >= size) {
            outOfRange(index, size);
        }
    }
    std::uint32_t string(std::uint32_t i) {
        check(i, abc_.strings.size());
        return i;
    }
    std::uint32_t namespaceIndex(std::uint32_t i) {
        check(i, abc_.namespaces.size());
        return i;
    }
    std::uint32_t nsSet(std::uint32_t i) {
        check(i, abc_.nsSets.size());
        if (i == 0) {
            outOfRange(i, abc_.nsSets.size());
        }
        return i;
    }
    std::uint32_t multiname(std::uint32_t i) {
        check(i, abc_.multinames.size());
        return i;
    }
    std::uint32_t method(std::uint32_t i) {
        if (i >= abc_.methods.size()) {
            throw AbcError(1027, "Method_info " + std::to_string(i) + " exceeds method_count=" +
                                     std::to_string(abc_.methods.size()) + ".");
        }
        return i;
    }

    Cursor in_;
    AbcFile abc_;
    std::uint32_t classCount_ = 0;
};

} // namespace

AbcFile readAbc(std::span<const std::uint8_t> bytes) {
    return Reader(bytes).read();
}

} // namespace avm2
