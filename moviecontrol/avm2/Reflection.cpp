// Finding definitions by their written names: getDefinitionByName("flash.display.Sprite")
// or "flash.display::Sprite" gives the class, function or constant defined there.
#include "avm2/DescribeType.h"
#include "avm2/Machine.h"

namespace avm2 {

namespace {

Value getDefinitionByNameFn(Machine& m, const Value&, Args& a) {
    const std::string written = a.empty() || a[0].isNullish() ? "null" : m.toString(a[0]);
    std::string package;
    std::string local = written;
    if (auto colons = written.rfind("::"); colons != std::string::npos) {
        package = written.substr(0, colons);
        local = written.substr(colons + 2);
    } else if (auto dot = written.rfind('.'); dot != std::string::npos) {
        package = written.substr(0, dot);
        local = written.substr(dot + 1);
    }
    const Name name = Name::qualified(Namespace::publicNs(package), local);
    const Value holder = local.empty() ? Value() : m.findDefinition(name);
    if (holder.isUndefined()) {
        m.throwError("ReferenceError", 1065, "Variable " + written + " is not defined.");
    }
    return m.getProperty(holder, name);
}

// The qualified name of the class the value's class extends (of the class itself when given
// one); null for Object, which extends nothing, and for null and undefined.
Value qualifiedSuperclassNameFn(Machine& m, const Value&, Args& a) {
    const Value v = a.empty() ? Value() : a[0];
    if (v.isNullish()) {
        return Value::null();
    }
    const Class* c = v.isObject() && v.asObject()->kind == Object::Kind::Class
                         ? v.asObject()->builds
                         : m.classOf(v);
    if (c == nullptr || c->super == nullptr) {
        return Value::null();
    }
    return Value::string(c->super->qualifiedName());
}

} // namespace

void installReflection(Machine& m) {
    m.defineGlobal(
        "flash.utils", "getQualifiedSuperclassName",
        Value::object(m.newNative(qualifiedSuperclassNameFn, "getQualifiedSuperclassName")));
    m.defineGlobal("flash.utils", "getDefinitionByName",
                   Value::object(m.newNative(getDefinitionByNameFn, "getDefinitionByName")));
    installDescribeType(m);
}

} // namespace avm2
