// flash.net.registerClassAlias and getClassByAlias: the names AMF writes a class instance
// under and finds its class by when reading; ObjectEncoding's constants and the
// IExternalizable interface a class implements to write itself.
#include "avm2/Amf.h"
#include "avm2/Machine.h"

namespace avm2 {

namespace {

std::string aliasArgument(Machine& m, const Args& a) {
    if (a.empty() || a[0].isNullish()) {
        m.throwError("TypeError", 2007, "Parameter aliasName must be non-null.");
    }
    return m.toString(a[0]);
}

Value registerClassAliasFn(Machine& m, const Value&, Args& a) {
    const std::string alias = aliasArgument(m, a);
    const Value cls = a.size() > 1 ? a[1] : Value();
    if (cls.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter classObject must be non-null.");
    }
    if (!cls.isObject() || cls.asObject()->kind != Object::Kind::Class ||
        cls.asObject()->builds == nullptr) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.toString(cls) + " to Class.");
    }
    m.classAliases[alias] = cls.asObject()->builds;
    return Value();
}

Value getClassByAliasFn(Machine& m, const Value&, Args& a) {
    const std::string alias = aliasArgument(m, a);
    auto it = m.classAliases.find(alias);
    if (it == m.classAliases.end()) {
        m.throwError("ReferenceError", 1014, "Class " + alias + " could not be found.");
    }
    return Value::object(it->second->classObject);
}

} // namespace

void installAmf(Machine& m) {
    m.defineGlobal("flash.net", "registerClassAlias",
                   Value::object(m.newNative(registerClassAliasFn, "registerClassAlias")));
    m.defineGlobal("flash.net", "getClassByAlias",
                   Value::object(m.newNative(getClassByAliasFn, "getClassByAlias")));
    Class* encoding = m.defineClass("flash.net", "ObjectEncoding", m.objectClass);
    encoding->classObject->setProp("AMF0", Value::integer(0));
    encoding->classObject->setProp("AMF3", Value::integer(3));
    encoding->classObject->setProp("DEFAULT", Value::integer(3));
    m.defineClass("flash.utils", "IExternalizable", m.objectClass)->isInterface = true;
}

} // namespace avm2
