#include "avm2/Runtime.h"

namespace avm2 {

const Binding* Traits::find(const Name& name) const {
    auto it = byName.find(name.local);
    if (it == byName.end()) {
        return nullptr;
    }
    for (const Binding& b : it->second) {
        if (name.matches(b.ns)) {
            return &b;
        }
    }
    // Built-in methods answer in the AS3 namespace as well as the public one.
    for (const Binding& b : it->second) {
        if (b.ns.group == Namespace::Group::Public && b.ns.uri.empty() && name.seesPublic()) {
            return &b;
        }
    }
    return nullptr;
}

Binding* Traits::findExact(const std::string& local, const Namespace& ns) {
    auto it = byName.find(local);
    if (it == byName.end()) {
        return nullptr;
    }
    for (Binding& b : it->second) {
        if (b.ns == ns) {
            return &b;
        }
    }
    return nullptr;
}

void Traits::add(const std::string& local, Binding b) {
    if (Binding* existing = findExact(local, b.ns)) {
        *existing = std::move(b);
        return;
    }
    byName[local].push_back(std::move(b));
}

bool Class::isSubclassOf(const Class* other) const {
    for (const Class* c = this; c != nullptr; c = c->super) {
        if (c == other) {
            return true;
        }
        for (const Class* i : c->interfaces) {
            if (i == other || i->isSubclassOf(other)) {
                return true;
            }
        }
    }
    return false;
}

const Value* Object::findProp(const std::string& k) const {
    auto it = propIndex.find(k);
    return it == propIndex.end() ? nullptr : &props[it->second].second;
}

void Object::setProp(const std::string& k, Value v) {
    auto it = propIndex.find(k);
    if (it != propIndex.end()) {
        props[it->second].second = std::move(v);
        return;
    }
    // Growing drops the empty places once they are half the table, as a hash table
    // rebuilds itself; an enumeration running across that may see the order change.
    if (emptyPlaces > 0 && emptyPlaces * 2 >= props.size()) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < props.size(); ++i) {
            if (props[i].second.isHole()) {
                continue;
            }
            if (kept != i) {
                props[kept] = std::move(props[i]);
                dontEnum[kept] = dontEnum[i];
            }
            propIndex[props[kept].first] = kept;
            ++kept;
        }
        props.resize(kept);
        dontEnum.resize(kept);
        emptyPlaces = 0;
    }
    propIndex.emplace(k, props.size());
    props.emplace_back(k, std::move(v));
    dontEnum.push_back(false);
}

bool Object::deleteProp(const std::string& k) {
    auto it = propIndex.find(k);
    if (it == propIndex.end()) {
        return false;
    }
    const std::size_t at = it->second;
    props[at].first.clear();
    props[at].second = Value::hole();
    dontEnum[at] = true;
    propIndex.erase(it);
    ++emptyPlaces;
    return true;
}

} // namespace avm2
