// Members, object and array literals, enumeration and the class actions (InstanceOf,
// CastOp, ImplementsOp, Extends).

#include "avm1/Interp.h"

namespace avm1 {

void Interp::actionGetMember() {
    Value name = pop();
    Value object = pop();
    push(m_.getMember(object, m_.toString(name)));
}

void Interp::actionSetMember() {
    Value value = pop();
    Value name = pop();
    Value object = pop();
    if (Object* o = object.asObject()) {
        m_.set(o, m_.toString(name), value);
    }
}

void Interp::actionDelete() {
    Str name = m_.toString(pop());
    Value object = pop();
    // Without an object to delete from, versions before 7 take the name as a variable or a
    // path, as for Delete2; from version 7 nothing under the name deletes nothing.
    if (object.isUndefined() && m_.version() >= 7) {
        push(Value(false));
        return;
    }
    if (object.isUndefined()) {
        push(Value(deleteVariable(name)));
        return;
    }
    if (!object.isObject()) {
        // A primitive's wrapper would be made for the occasion: nothing to delete.
        push(Value(false));
        return;
    }
    push(Value(m_.deleteProperty(object.asObject(), name)));
}

void Interp::actionInitArray() {
    // A count no 32-bit integer holds makes no array and takes nothing.
    if (double n = m_.toNumber(top()); !(n >= 0 && n <= 2147483647.0)) {
        pop();
        push(Value());
        return;
    }
    std::vector<Value> elements = popArgs();
    push(Value(m_.newArray(elements)));
}

void Interp::actionInitObject() {
    double n = m_.toNumber(pop());
    Object* o = m_.newObject();
    std::size_t count = n > 0 ? static_cast<std::size_t>(std::min(n, 65536.0)) : 0;
    for (std::size_t i = 0; i < count; ++i) {
        Value value = pop();
        Str name = m_.toString(pop());
        m_.set(o, name, value);
    }
    push(Value(o));
}

void Interp::actionEnumerate() {
    Str name = m_.toString(pop());
    pushEnumeration(getVariable(name));
}

void Interp::actionEnumerate2() {
    pushEnumeration(pop());
}

void Interp::pushEnumeration(const Value& object) {
    push(Value()); // the end marker
    Object* o = object.asObject();
    if (!o) {
        return;
    }
    std::vector<Str> names = m_.enumerate(o);
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
        push(Value(*it));
    }
}

void Interp::actionTargetPath() {
    // targetPath() gives the clip's path in dot notation ("_level0.mc"); anything but a
    // clip gives undefined.
    Value v = pop();
    Object* o = v.asObject();
    push(o && o->isDisplayObject() ? Value(Str(s_.host.dotPath(o))) : Value());
}

void Interp::actionInstanceOf() {
    Value ctor = pop();
    Value object = pop();
    push(Value(instanceOf(object, ctor)));
}

void Interp::actionCastOp() {
    // The operands come in the other order than InstanceOf's.
    Value object = pop();
    Value ctor = pop();
    push(instanceOf(object, ctor) ? object : Value::null());
}

void Interp::actionImplementsOp() {
    Value ctor = pop();
    std::vector<Value> ifaces = popArgs();
    Object* c = ctor.asObject();
    Object* proto = c ? m_.get(c, s_.sPrototype).asObject() : nullptr;
    if (!proto) {
        return;
    }
    proto->interfaces().clear();
    for (const Value& i : ifaces) {
        if (Object* io = i.asObject()) {
            proto->interfaces().push_back(io);
        }
    }
}

void Interp::actionExtends() {
    Value superclass = pop();
    Value subclass = pop();
    Object* sub = subclass.asObject();
    if (!sub) {
        return; // a primitive's wrapper would be dropped with its new prototype
    }
    // A superclass that is no function (undefined when its class is not loaded yet, or a
    // primitive) still gives the subclass a fresh prototype: one that inherits whatever
    // object the superclass's `prototype` is, so nothing at all when it has none.
    Object* sup = m_.toObject(superclass);
    if (!sup) {
        sup = m_.make<Object>(s_.objectProto);
    }
    Object* proto = m_.make<Object>(m_.get(sup, s_.sPrototype).asObject());
    // The new prototype inherits `constructor`; version 5 records no __constructor__.
    if (a_.version >= 6) {
        m_.define(proto, "__constructor__", Value(sup), attr::DontEnum);
    }
    m_.set(sub, s_.sPrototype, Value(proto));
}

bool Interp::instanceOf(const Value& object, const Value& constructor) {
    Object* o = object.asObject();
    Object* c = constructor.asObject();
    if (!o || !c) {
        return false;
    }
    Value prototype = m_.get(c, s_.sPrototype);
    Object* proto = prototype.asObject();
    if (!proto) {
        // An undefined prototype matches a chain that ends before it reaches any class: an
        // object without a __proto__, or one made by a built-in whose prototype its version
        // hides, whose prototype is an empty object of its own that inherits nothing. A plain
        // object, whose chain reaches Object.prototype, is no instance.
        Object* first = o->proto();
        return prototype.isUndefined() &&
               (first == nullptr || (first->proto() == nullptr && first != s_.objectProto));
    }
    // The prototype chain, and at each link the interfaces it implements and theirs.
    int depth = 0;
    for (Object* p = o->proto(); p && depth < 256; p = p->proto(), ++depth) {
        if (p == proto) {
            return true;
        }
        std::vector<Object*> pending(p->interfaces().begin(), p->interfaces().end());
        for (std::size_t i = 0; i < pending.size() && i < 1024; ++i) {
            Object* iface = pending[i];
            if (iface == c) {
                return true;
            }
            if (Object* ip = m_.get(iface, s_.sPrototype).asObject()) {
                if (ip == proto) {
                    return true;
                }
                pending.insert(pending.end(), ip->interfaces().begin(), ip->interfaces().end());
            }
        }
    }
    return false;
}

} // namespace avm1
