#pragma once
// Writes small ABC blocks for the tests: pools, methods with bodies, classes and scripts,
// in the layout the reader expects. Only what the tests need; indices are the caller's.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace avm2test {

using Bytes = std::vector<std::uint8_t>;

inline void u30(Bytes& out, std::uint32_t v) {
    do {
        std::uint8_t b = v & 0x7F;
        v >>= 7;
        if (v != 0) {
            b |= 0x80;
        }
        out.push_back(b);
    } while (v != 0);
}

// An instruction with one pool or register index (getproperty, pushstring, newfunction...).
inline void name(Bytes& code, std::uint8_t op, std::uint32_t index) {
    code.push_back(op);
    u30(code, index);
}

// An instruction with an index and an argument count (callproperty, constructprop...).
inline void call(Bytes& code, std::uint8_t op, std::uint32_t index, std::uint32_t args) {
    name(code, op, index);
    u30(code, args);
}

struct TraitSpec {
    std::uint32_t name = 0; // multiname
    std::uint8_t kind = 0;  // 0 slot, 1 method, 4 class, 6 const
    std::uint32_t slotId = 0;
    std::uint32_t index = 0;    // method or class index
    std::uint32_t typeName = 0; // a slot's type (multiname), 0 for any
};

struct BodySpec {
    std::uint32_t method = 0;
    std::uint32_t maxStack = 8;
    std::uint32_t localCount = 4;
    std::uint32_t initScope = 0;
    std::uint32_t maxScope = 4;
    Bytes code;
    struct Ex {
        std::uint32_t from, to, target, type, var;
    };
    std::vector<Ex> exceptions;
};

struct ClassSpec {
    std::uint32_t name = 0;
    std::uint32_t super = 0;
    std::uint32_t iinit = 0;
    std::uint32_t cinit = 0;
    std::vector<TraitSpec> instanceTraits;
    std::vector<TraitSpec> classTraits;
};

class AbcBuilder {
  public:
    std::vector<std::string> strings;    // pool entries from index 1
    std::vector<std::uint32_t> packages; // namespaces: package kind, by string index
    std::vector<std::pair<std::uint32_t, std::uint32_t>> qnames; // (ns, string)
    std::vector<std::uint32_t> methods;                          // each: parameter count (untyped)
    std::vector<ClassSpec> classes;
    std::vector<std::pair<std::uint32_t, std::vector<TraitSpec>>> scripts; // init, traits
    std::vector<BodySpec> bodies;
    std::vector<Bytes> rawInts; // int pool entries from index 1, as encoded
    // By class index: the interfaces a class names (multinames), and the classes that are
    // interfaces themselves.
    std::vector<std::pair<std::size_t, std::vector<std::uint32_t>>> implementing;
    std::vector<std::size_t> interfaceClasses;
    // Metadata entries (name string, (key, value) strings), and which traits carry which: every
    // trait of the named multiname carries the entry.
    std::vector<std::pair<std::uint32_t, std::vector<std::pair<std::uint32_t, std::uint32_t>>>>
        metadataInfos;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> traitMetadata; // (name, entry)

    std::uint32_t string(const std::string& s) {
        strings.push_back(s);
        return static_cast<std::uint32_t>(strings.size());
    }
    std::uint32_t package(std::uint32_t str) {
        packages.push_back(str);
        return static_cast<std::uint32_t>(packages.size());
    }
    std::uint32_t qname(std::uint32_t ns, std::uint32_t str) {
        qnames.emplace_back(ns, str);
        return static_cast<std::uint32_t>(qnames.size());
    }
    std::uint32_t method(std::uint32_t params = 0) {
        methods.push_back(params);
        return static_cast<std::uint32_t>(methods.size() - 1);
    }

    Bytes build() const {
        Bytes out{0x10, 0x00, 0x2E, 0x00};
        u30(out, rawInts.empty() ? 0 : static_cast<std::uint32_t>(rawInts.size() + 1));
        for (const Bytes& encoded : rawInts) {
            out.insert(out.end(), encoded.begin(), encoded.end());
        }
        out.push_back(0); // uints
        out.push_back(0); // doubles
        u30(out, static_cast<std::uint32_t>(strings.size() + 1));
        for (const std::string& s : strings) {
            u30(out, static_cast<std::uint32_t>(s.size()));
            out.insert(out.end(), s.begin(), s.end());
        }
        u30(out, static_cast<std::uint32_t>(packages.size() + 1));
        for (std::uint32_t p : packages) {
            out.push_back(0x16);
            u30(out, p);
        }
        out.push_back(0); // ns sets
        u30(out, static_cast<std::uint32_t>(qnames.size() + 1));
        for (auto [ns, s] : qnames) {
            out.push_back(0x07);
            u30(out, ns);
            u30(out, s);
        }
        u30(out, static_cast<std::uint32_t>(methods.size()));
        for (std::uint32_t params : methods) {
            u30(out, params);
            u30(out, 0); // return type
            for (std::uint32_t p = 0; p < params; ++p) {
                u30(out, 0);
            }
            u30(out, 0);      // name
            out.push_back(0); // flags
        }
        u30(out, static_cast<std::uint32_t>(metadataInfos.size()));
        for (const auto& [mdName, items] : metadataInfos) {
            u30(out, mdName);
            u30(out, static_cast<std::uint32_t>(items.size()));
            for (const auto& item : items) {
                u30(out, item.first);
            }
            for (const auto& item : items) {
                u30(out, item.second);
            }
        }
        u30(out, static_cast<std::uint32_t>(classes.size()));
        for (std::size_t index = 0; index < classes.size(); ++index) {
            const ClassSpec& c = classes[index];
            u30(out, c.name);
            u30(out, c.super);
            const bool isInterface = std::find(interfaceClasses.begin(), interfaceClasses.end(),
                                               index) != interfaceClasses.end();
            out.push_back(isInterface ? 0x05 : 0x01); // sealed, and an interface
            std::vector<std::uint32_t> names;
            for (const auto& [owner, list] : implementing) {
                if (owner == index) {
                    names = list;
                }
            }
            u30(out, static_cast<std::uint32_t>(names.size()));
            for (std::uint32_t name : names) {
                u30(out, name);
            }
            u30(out, c.iinit);
            traits(out, c.instanceTraits);
        }
        for (const ClassSpec& c : classes) {
            u30(out, c.cinit);
            traits(out, c.classTraits);
        }
        u30(out, static_cast<std::uint32_t>(scripts.size()));
        for (const auto& [init, t] : scripts) {
            u30(out, init);
            traits(out, t);
        }
        u30(out, static_cast<std::uint32_t>(bodies.size()));
        for (const BodySpec& b : bodies) {
            u30(out, b.method);
            u30(out, b.maxStack);
            u30(out, b.localCount);
            u30(out, b.initScope);
            u30(out, b.maxScope);
            u30(out, static_cast<std::uint32_t>(b.code.size()));
            out.insert(out.end(), b.code.begin(), b.code.end());
            u30(out, static_cast<std::uint32_t>(b.exceptions.size()));
            for (const auto& e : b.exceptions) {
                u30(out, e.from);
                u30(out, e.to);
                u30(out, e.target);
                u30(out, e.type);
                u30(out, e.var);
            }
            u30(out, 0);
        }
        return out;
    }

  private:
    void traits(Bytes& out, const std::vector<TraitSpec>& ts) const {
        u30(out, static_cast<std::uint32_t>(ts.size()));
        for (const TraitSpec& t : ts) {
            u30(out, t.name);
            std::vector<std::uint32_t> entries;
            for (const auto& [traitName, entry] : traitMetadata) {
                if (traitName == t.name) {
                    entries.push_back(entry);
                }
            }
            out.push_back(static_cast<std::uint8_t>(t.kind | (entries.empty() ? 0 : 0x40)));
            switch (t.kind) {
            case 0:
            case 6:
                u30(out, t.slotId);
                u30(out, t.typeName);
                u30(out, 0);
                break;
            case 4:
                u30(out, t.slotId);
                u30(out, t.index);
                break;
            default:
                u30(out, 0);
                u30(out, t.index);
                break;
            }
            if (!entries.empty()) {
                u30(out, static_cast<std::uint32_t>(entries.size()));
                for (std::uint32_t entry : entries) {
                    u30(out, entry);
                }
            }
        }
    }
};

// A block whose one script calls trace() with what `code` leaves on the stack.
struct TraceScript {
    AbcBuilder abc;
    std::uint32_t traceName = 0;
    std::uint32_t publicNs = 0;

    TraceScript() {
        const std::uint32_t empty = abc.string("");
        publicNs = abc.package(empty);
        traceName = abc.qname(publicNs, abc.string("trace"));
    }
    // getlocal0, pushscope, findpropstrict trace, <code>, callpropvoid trace 1, returnvoid
    Bytes wrap(const Bytes& code) {
        Bytes body{0xD0, 0x30, 0x5D};
        u30(body, traceName);
        body.insert(body.end(), code.begin(), code.end());
        body.push_back(0x4F);
        u30(body, traceName);
        u30(body, 1);
        body.push_back(0x47);
        return body;
    }
    Bytes build(const Bytes& code) {
        AbcBuilder copy = abc;
        const std::uint32_t init = copy.method();
        copy.scripts.push_back({init, {}});
        BodySpec b;
        b.method = init;
        b.code = wrap(code);
        copy.bodies.push_back(b);
        return copy.build();
    }
};

} // namespace avm2test
