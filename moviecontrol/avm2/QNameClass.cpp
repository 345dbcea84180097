// QName and Namespace as E4X defines them. A QName holds a local name and a URI, where a
// null URI (written "*::") stands for any namespace; a Namespace holds a URI and perhaps a
// prefix.
#include "avm2/Machine.h"
#include "avm2/StringPositions.h"

namespace avm2 {

namespace {

bool isKind(const Value& v, Object::Kind kind) {
    return v.isObject() && v.asObject()->kind == kind;
}

// QName: o->text is the local name, o->ns.uri the URI, o->flag whether the URI is null.
void setQName(Object* o, std::string local, std::string uri, bool anyNamespace) {
    o->kind = Object::Kind::QName;
    o->text = std::move(local);
    o->ns = Namespace::publicNs(std::move(uri));
    o->flag = anyNamespace;
}

Value qnameInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    if (a.size() < 2) {
        const Value name = arg(a, 0);
        if (isKind(name, Object::Kind::QName)) {
            setQName(o, name.asObject()->text, name.asObject()->ns.uri, name.asObject()->flag);
            return Value();
        }
        const std::string local = name.isUndefined() ? "" : m.toString(name);
        // "*" is any name in any namespace; otherwise the default (public) namespace.
        setQName(o, local, "", local == "*");
        return Value();
    }
    const Value ns = a[0];
    const Value name = a[1];
    const std::string local = isKind(name, Object::Kind::QName)
                                  ? name.asObject()->text
                                  : (name.isUndefined() ? "" : m.toString(name));
    if (ns.isNull()) {
        setQName(o, local, "", true);
    } else if (ns.isUndefined()) {
        setQName(o, local, "", local == "*");
    } else if (isKind(ns, Object::Kind::Namespace) || isKind(ns, Object::Kind::QName)) {
        setQName(o, local, ns.asObject()->ns.uri, false);
    } else {
        setQName(o, local, m.toString(ns), false);
    }
    return Value();
}

Object* qnameSelf(Machine& m, const Value& self) {
    if (!isKind(self, Object::Kind::QName)) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to QName.");
    }
    return self.asObject();
}

Value qnameLocalName(Machine& m, const Value& self, Args&) {
    return Value::string(qnameSelf(m, self)->text);
}

Value qnameUri(Machine& m, const Value& self, Args&) {
    Object* o = qnameSelf(m, self);
    return o->flag ? Value::null() : Value::string(o->ns.uri);
}

Value qnameToString(Machine& m, const Value& self, Args&) {
    Object* o = qnameSelf(m, self);
    if (o->flag) {
        return Value::string("*::" + o->text);
    }
    return Value::string(o->ns.uri.empty() ? o->text : o->ns.uri + "::" + o->text);
}

// Namespace: o->ns.uri is the URI, o->text the prefix, o->flag whether a prefix is known.
Value namespaceInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    o->kind = Object::Kind::Namespace;
    const auto uriOf = [&](const Value& v) {
        if (isKind(v, Object::Kind::Namespace)) {
            return v.asObject()->ns.uri;
        }
        if (isKind(v, Object::Kind::QName)) {
            return v.asObject()->flag ? std::string() : v.asObject()->ns.uri;
        }
        return v.isUndefined() ? std::string() : m.toString(v);
    };
    if (a.size() < 2) {
        const Value v = arg(a, 0);
        o->ns = Namespace::publicNs(uriOf(v));
        if (isKind(v, Object::Kind::Namespace)) {
            o->text = v.asObject()->text;
            o->flag = v.asObject()->flag;
        } else {
            // Only the empty URI has a known prefix: the empty one.
            o->text.clear();
            o->flag = o->ns.uri.empty();
        }
        return Value();
    }
    o->ns = Namespace::publicNs(uriOf(a[1]));
    const Value prefix = a[0];
    if (prefix.isUndefined()) {
        o->flag = o->ns.uri.empty();
        o->text.clear();
    } else {
        o->text = m.toString(prefix);
        o->flag = true;
        if (o->ns.uri.empty() && !o->text.empty()) {
            m.throwError("TypeError", 1098, "Illegal prefix " + o->text + " for no namespace.");
        }
    }
    return Value();
}

Value namespacePrefix(Machine&, const Value& self, Args&) {
    if (!isKind(self, Object::Kind::Namespace) || !self.asObject()->flag) {
        return Value();
    }
    return Value::string(self.asObject()->text);
}

} // namespace

void installQNameAndNamespace(Machine& m) {
    Class* q = m.qnameClass;
    q->init = MethodRef{nullptr, 0, qnameInit};
    q->call = [](Machine& vm, const Value&, Args& a) {
        if (a.size() == 1 && isKind(a[0], Object::Kind::QName)) {
            return a[0];
        }
        return vm.construct(Value::object(vm.qnameClass->classObject), a);
    };
    m.defineGetter(q, "localName", qnameLocalName);
    m.defineGetter(q, "uri", qnameUri);
    m.defineMethod(q, "toString", qnameToString);
    m.defineMethod(q, "valueOf", [](Machine&, const Value& self, Args&) { return self; });

    Class* n = m.namespaceClass;
    n->init = MethodRef{nullptr, 0, namespaceInit};
    n->call = [](Machine& vm, const Value&, Args& a) {
        if (a.size() == 1 && isKind(a[0], Object::Kind::Namespace)) {
            return a[0];
        }
        return vm.construct(Value::object(vm.namespaceClass->classObject), a);
    };
    m.defineGetter(n, "prefix", namespacePrefix);
}

} // namespace avm2
