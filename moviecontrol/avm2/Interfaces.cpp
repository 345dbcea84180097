// Interfaces: which a class implements, and the bindings it answers to under each
// interface's namespace. A script may define a class before the interfaces it names (the
// compiler orders definitions by their bases, not by their interfaces), so those are
// settled once they appear.
#include "avm2/Machine.h"

#include <algorithm>

namespace avm2 {

namespace {

// Every interface `cls` implements: its own, its bases', and the ones those extend.
std::vector<Class*> allInterfaces(const Class* cls) {
    std::vector<Class*> pending;
    for (const Class* c = cls; c != nullptr; c = c->super) {
        pending.insert(pending.end(), c->interfaces.begin(), c->interfaces.end());
    }
    std::vector<Class*> out;
    while (!pending.empty()) {
        Class* iface = pending.back();
        pending.pop_back();
        if (iface == nullptr || iface == cls ||
            std::find(out.begin(), out.end(), iface) != out.end()) {
            continue;
        }
        out.push_back(iface);
        pending.insert(pending.end(), iface->interfaces.begin(), iface->interfaces.end());
    }
    return out;
}

} // namespace

// Whether `target` is `from` or one of the interfaces it extends: adding `from` to
// `target`'s interfaces then would make a loop.
bool Machine::reachesInterface(const Class* from, const Class* target) {
    std::vector<const Class*> pending{from};
    std::vector<const Class*> seen;
    while (!pending.empty()) {
        const Class* c = pending.back();
        pending.pop_back();
        if (c == target) {
            return true;
        }
        if (std::find(seen.begin(), seen.end(), c) != seen.end()) {
            continue;
        }
        seen.push_back(c);
        pending.insert(pending.end(), c->interfaces.begin(), c->interfaces.end());
    }
    return false;
}

bool Machine::hasPendingInterfaces(const Class* cls) {
    for (const Class* c = cls; c != nullptr; c = c->super) {
        if (!c->pendingInterfaces.empty()) {
            return true;
        }
    }
    for (const Class* iface : allInterfaces(cls)) {
        if (!iface->pendingInterfaces.empty()) {
            return true;
        }
    }
    return false;
}

void Machine::resolveInterfaces(Class* cls) {
    if (awaitingInterfaces_.empty()) {
        return; // every class made so far has all its interfaces
    }
    bool resolved = false;
    // Resolving one may reveal the interfaces it extends, which may be pending in turn.
    for (bool more = true; more;) {
        more = false;
        std::vector<Class*> owners;
        for (Class* c = cls; c != nullptr; c = c->super) {
            owners.push_back(c);
        }
        const std::vector<Class*> ifaces = allInterfaces(cls);
        owners.insert(owners.end(), ifaces.begin(), ifaces.end());
        for (Class* c : owners) {
            if (c->pendingInterfaces.empty() || c->unit == nullptr) {
                continue;
            }
            std::vector<std::uint32_t> still;
            for (std::uint32_t i : c->pendingInterfaces) {
                Class* iface = resolveType(*c->unit, i);
                if (iface == nullptr) {
                    still.push_back(i);
                } else if (iface->isInterface && !reachesInterface(iface, c)) {
                    c->interfaces.push_back(iface);
                    more = true;
                }
            }
            c->pendingInterfaces = std::move(still);
        }
        resolved = resolved || more;
    }
    if (resolved) {
        bindInterfaceMethods(cls);
    }
}

void Machine::settleInterfaces(Class* cls) {
    // Each round may reveal interfaces those extend; a round that finds no new class ends it.
    for (std::size_t round = 0; round < 64 && hasPendingInterfaces(cls); ++round) {
        std::vector<std::pair<AbcUnit*, std::uint32_t>> wanted;
        for (Class* c = cls; c != nullptr; c = c->super) {
            for (std::uint32_t i : c->pendingInterfaces) {
                wanted.emplace_back(c->unit, i);
            }
        }
        for (const Class* iface : allInterfaces(cls)) {
            for (std::uint32_t i : iface->pendingInterfaces) {
                wanted.emplace_back(iface->unit, i);
            }
        }
        bool found = false;
        for (const auto& [unit, multiname] : wanted) {
            if (unit != nullptr && multiname < unit->abc.multinames.size() &&
                resolveType(*unit, multiname) == nullptr) {
                found = !findDefinitionIn(unit->domain, nameOf(*unit, multiname)).isUndefined() ||
                        found;
            }
        }
        resolveInterfaces(cls);
        if (!found) {
            break;
        }
    }
}

// Called once a class is made: binds its interfaces' methods, remembers it if some of its
// interfaces are still to come, and, for a new interface, settles the classes waiting.
void Machine::noteInterfaces(Class* cls) {
    bindInterfaceMethods(cls);
    if (cls->isInterface && !awaitingInterfaces_.empty()) {
        const std::vector<Class*> waiting = awaitingInterfaces_;
        for (Class* c : waiting) {
            resolveInterfaces(c);
        }
        std::erase_if(awaitingInterfaces_, [](const Class* c) { return !hasPendingInterfaces(c); });
    }
    if (hasPendingInterfaces(cls)) {
        awaitingInterfaces_.push_back(cls);
    }
}

// What an interface declares lives in the interface's own namespace, and a call through a
// value typed as the interface (or one it extends) names it so: the class answers there
// with its public method of the same name, its own or inherited, overrides included.
void Machine::bindInterfaceMethods(Class* cls) {
    if (cls->isInterface) {
        return;
    }
    std::vector<std::pair<std::string, Binding>> aliases;
    const Namespace publicNs = Namespace::publicNs();
    for (const Class* iface : allInterfaces(cls)) {
        for (const auto& [local, list] : iface->instance.byName) {
            const Binding* impl = cls->instance.findExact(local, publicNs);
            if (impl == nullptr) {
                continue;
            }
            for (const Binding& declared : list) {
                if (declared.declaredBy == iface && !(declared.ns == publicNs)) {
                    Binding alias = *impl;
                    alias.ns = declared.ns;
                    aliases.emplace_back(local, std::move(alias));
                }
            }
        }
    }
    for (auto& [local, b] : aliases) {
        cls->instance.add(local, std::move(b));
    }
}

} // namespace avm2
