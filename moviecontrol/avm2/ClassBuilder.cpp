// Classes a script defines (newclass): traits laid over the base class's, the class object
// with its statics, the prototype, and the static initialiser run once.
#include "avm2/Machine.h"

#include <limits>

namespace avm2 {

namespace {

void addTraits(Machine& m, AbcUnit& u, const std::vector<TraitInfo>& traits, Traits& into,
               Class* owner, std::vector<Value>* slotValues) {
    const AbcFile& a = u.abc;
    const std::size_t base = into.slots.size();
    for (const TraitInfo& t : traits) {
        const MultinameInfo& mn = a.multinames[t.name];
        const std::string& local = a.strings[mn.name];
        Binding b;
        b.ns = u.namespaces[mn.ns];
        b.declaredBy = owner;
        const MethodRef ref{&u, t.method, nullptr};
        switch (t.kind) {
        case TraitKind::Method:
            b.kind = Binding::Kind::Method;
            b.method = ref;
            u.methodOwner[t.method] = owner;
            u.methodTraitName[t.method] = local;
            break;
        case TraitKind::Getter:
        case TraitKind::Setter: {
            u.methodOwner[t.method] = owner;
            u.methodTraitName[t.method] = (t.kind == TraitKind::Getter ? "get " : "set ") + local;
            Binding* existing = into.findExact(local, b.ns);
            if (existing != nullptr && existing->kind == Binding::Kind::Accessor) {
                // A subclass overriding one half keeps the other half of the base's pair;
                // a protected one is also known by each base's protected namespace.
                auto overrideHalf = [&](Binding& pair) {
                    (t.kind == TraitKind::Getter ? pair.getter : pair.setter) = ref;
                    pair.declaredBy = owner;
                };
                if (b.ns.group == Namespace::Group::Protected) {
                    for (Binding& other : into.byName[local]) {
                        if (other.ns.group == Namespace::Group::Protected &&
                            other.kind == Binding::Kind::Accessor) {
                            overrideHalf(other);
                        }
                    }
                } else {
                    overrideHalf(*existing);
                }
                continue;
            }
            b.kind = Binding::Kind::Accessor;
            (t.kind == TraitKind::Getter ? b.getter : b.setter) = ref;
            break;
        }
        default: {
            b.kind = t.kind == TraitKind::Const   ? Binding::Kind::Const
                     : t.kind == TraitKind::Class ? Binding::Kind::Class
                                                  : Binding::Kind::Slot;
            std::uint32_t slot = t.slotId != 0 ? static_cast<std::uint32_t>(base + t.slotId - 1)
                                               : static_cast<std::uint32_t>(into.slots.size());
            if (slot < base || slot > base + traits.size() + 1024) {
                slot = static_cast<std::uint32_t>(into.slots.size());
            }
            if (slot >= into.slots.size()) {
                into.slots.resize(slot + 1);
            }
            b.slot = slot;
            SlotInit si;
            si.typeName = t.typeName;
            if (t.kind == TraitKind::Slot || t.kind == TraitKind::Const) {
                si.type = m.resolveType(u, t.typeName);
                if (t.valueIndex != 0) {
                    si.value = m.defaultValue(u, t.valueKind, t.valueIndex);
                } else if (si.type == m.intClass || si.type == m.uintClass) {
                    si.value = Value::integer(0);
                } else if (si.type == m.numberClass) {
                    si.value = Value::number(std::numeric_limits<double>::quiet_NaN());
                } else if (si.type == m.booleanClass) {
                    si.value = Value::boolean(false);
                } else if (t.typeName != 0) {
                    si.value = Value::null();
                }
            } else if (t.kind == TraitKind::Function) {
                si.value =
                    Value::object(m.newFunction(ref, owner != nullptr ? owner->scope : nullptr));
            } else {
                si.value = Value::null();
            }
            into.slots[slot] = si;
            if (slotValues != nullptr) {
                if (slot >= slotValues->size()) {
                    slotValues->resize(slot + 1);
                }
                (*slotValues)[slot] = si.value;
            }
            break;
        }
        }
        // An override replaces the base's binding; for protected names the base's
        // protected namespace differs from ours, so the match is by kind of namespace. The
        // base's own methods still name it by their protected namespace, so that binding
        // keeps its namespace and takes the override.
        if (b.ns.group == Namespace::Group::Protected) {
            auto it = into.byName.find(local);
            if (it != into.byName.end()) {
                for (Binding& old : it->second) {
                    if (old.ns.group == Namespace::Group::Protected && old.kind == b.kind) {
                        Namespace kept = std::move(old.ns);
                        old = b;
                        old.ns = std::move(kept);
                    }
                }
            }
        }
        into.add(local, std::move(b));
    }
}

} // namespace

Class* Machine::newClassFromAbc(AbcUnit& u, std::uint32_t index, Class* super,
                                const ScopePtr& scope) {
    const InstanceInfo& inst = u.abc.instances[index];
    const MultinameInfo& mn = u.abc.multinames[inst.name];
    classes_.push_back(std::make_unique<Class>());
    Class* c = classes_.back().get();
    c->name = u.abc.strings[mn.name];
    c->ns = mn.kind == MultinameKind::QName ? u.namespaces[mn.ns] : Namespace::publicNs();
    c->super = super;
    c->unit = &u;
    c->isInterface = (inst.flags & instance_flag::Interface) != 0;
    c->sealed = (inst.flags & instance_flag::Sealed) != 0;
    c->isFinal = (inst.flags & instance_flag::Final) != 0;
    if ((inst.flags & instance_flag::ProtectedNs) != 0) {
        c->protectedNs = u.namespaces[inst.protectedNs];
    }
    for (std::uint32_t i : inst.interfaces) {
        Class* iface = resolveType(u, i);
        if (iface == nullptr) {
            c->pendingInterfaces.push_back(i);
        } else if (iface->isInterface && !reachesInterface(iface, c)) {
            c->interfaces.push_back(iface);
        }
    }
    if (super != nullptr) {
        c->instance = super->instance;
        if (super->native != Class::Native::None) {
            c->native = super->native;
        }
        // What the base keeps protected, this class sees under its own protected namespace.
        if (c->protectedNs) {
            std::vector<std::pair<std::string, Binding>> aliases;
            for (const auto& [local, list] : c->instance.byName) {
                for (const Binding& b : list) {
                    if (b.ns.group == Namespace::Group::Protected && !(b.ns == *c->protectedNs)) {
                        Binding alias = b;
                        alias.ns = *c->protectedNs;
                        aliases.emplace_back(local, alias);
                    }
                }
            }
            for (auto& [local, b] : aliases) {
                if (c->instance.findExact(local, b.ns) == nullptr) {
                    c->instance.add(local, std::move(b));
                }
            }
        }
    }
    c->init = MethodRef{&u, inst.init, nullptr};
    u.methodOwner[inst.init] = c;

    Object* classObject = allocate();
    classObject->kind = Object::Kind::Class;
    classObject->builds = c;
    classObject->cls = classClass;
    classObject->ownTraits = std::make_unique<Traits>();
    classObject->traits = classObject->ownTraits.get();
    classObject->proto = classClass != nullptr ? classClass->prototype : nullptr;
    c->classObject = classObject;

    Object* proto = newObject();
    proto->proto = super != nullptr ? super->prototype : objectClass->prototype;
    c->prototype = proto;
    proto->setProp("constructor", Value::object(classObject));
    proto->dontEnum.back() = true;

    auto classScope = std::make_shared<ScopeChain>();
    classScope->parent = scope;
    classScope->object = Value::object(classObject);
    c->scope = classScope;

    addTraits(*this, u, inst.traits, c->instance, c, nullptr);
    bindInterfaceMethods(c);
    addTraits(*this, u, u.abc.classes[index].traits, *classObject->ownTraits, c,
              &classObject->slots);
    u.methodOwner[u.abc.classes[index].init] = c;
    // The first class of a name a domain makes is the one its code finds.
    if (u.domain < domains_.size()) {
        domains_[u.domain].classes.emplace(c->qualifiedName(), c);
    }
    classByName_.emplace(c->qualifiedName(), c);
    u.classes[index] = c;
    noteInterfaces(c);

    Args none;
    // The class initialiser, like the static methods, runs in the scopes the class was made in.
    runMethod(u, u.abc.classes[index].init, Value::object(classObject), none, classScope->parent, c,
              nullptr);
    return c;
}

} // namespace avm2
