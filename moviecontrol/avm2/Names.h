#pragma once
// Namespaces and the names properties are looked up by. A private namespace is unique to
// the ABC block (and index) that declared it; every other kind is known by its URI, with
// package-internal and protected namespaces kept apart from public ones.

#include "avm2/AbcFile.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace avm2 {

class Object;

struct Namespace {
    enum class Group : std::uint8_t { Public, Internal, Protected, Private };
    Group group = Group::Public;
    std::string uri;
    std::uint64_t privateId = 0; // Private: which declaration

    static Namespace publicNs(std::string uri = {}) {
        return Namespace{Group::Public, std::move(uri), 0};
    }
    bool operator==(const Namespace& o) const {
        return group == o.group && uri == o.uri && privateId == o.privateId;
    }
    static Group groupOf(NsKind kind) {
        switch (kind) {
        case NsKind::PackageInternal:
            return Group::Internal;
        case NsKind::Protected:
        case NsKind::StaticProtected:
            return Group::Protected;
        case NsKind::Private:
            return Group::Private;
        default:
            return Group::Public;
        }
    }
};

// The URI of the namespace builtin methods are also declared in.
inline const std::string kAs3Uri = "http://adobe.com/AS3/2006/builtin";

// A name as an instruction sees it once its run-time parts are known.
struct Name {
    std::string local;
    bool anyName = false;
    bool anyNamespace = false;
    bool attribute = false;
    std::vector<Namespace> namespaces; // one for qualified names, the set otherwise
    // The object a run-time name was given as: a Dictionary keys by it, everything else
    // by `local`, its string.
    Object* keyObject = nullptr;
    // What a proxy's hook is handed for this name: the `in` operator asks by the name's
    // string; every other access builds a QName of the name as written, an index included.
    enum class ProxyForm : std::uint8_t { QName, Text };
    ProxyForm proxyForm = ProxyForm::QName;

    bool matches(const Namespace& ns) const {
        if (anyNamespace) {
            return true;
        }
        for (const Namespace& n : namespaces) {
            if (n == ns) {
                return true;
            }
        }
        return false;
    }
    // Whether dynamic (public, unqualified) properties answer to this name.
    bool seesPublic() const {
        if (anyNamespace) {
            return true;
        }
        for (const Namespace& n : namespaces) {
            if (n.group == Namespace::Group::Public && (n.uri.empty() || n.uri == kAs3Uri)) {
                return true;
            }
        }
        return false;
    }
    // Whether the name reaches the AS3 namespace, where built-in classes keep their methods.
    bool reachesAs3() const {
        return std::any_of(namespaces.begin(), namespaces.end(), [](const Namespace& n) {
            return n.group == Namespace::Group::Public && n.uri == kAs3Uri;
        });
    }
    // Whether the name reaches the public namespace itself, the only one dynamic properties
    // and array elements live in (the AS3 namespace, which built-in methods answer to, does
    // not).
    bool reachesDynamic() const {
        return anyNamespace ||
               std::any_of(namespaces.begin(), namespaces.end(), [](const Namespace& n) {
                   return n.group == Namespace::Group::Public && n.uri.empty();
               });
    }
    static Name qualified(Namespace ns, std::string local) {
        Name n;
        n.local = std::move(local);
        n.namespaces.push_back(std::move(ns));
        return n;
    }
    static Name publicName(std::string local) {
        return qualified(Namespace::publicNs(), std::move(local));
    }
};

} // namespace avm2
