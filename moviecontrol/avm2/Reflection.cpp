// Finding definitions by their written names: getDefinitionByName("flash.display.Sprite")
// or "flash.display::Sprite" gives the class, function or constant defined there.
#include "avm2/DescribeType.h"
#include "avm2/Machine.h"

#include <optional>
#include <string>
#include <string_view>

namespace avm2 {

namespace {

Value definitionByName(Machine& m, const std::string& written, int depth);

// "Vector.<T>", with or without its package: the vector class of T, T itself found by name,
// made if no script has named it yet. Null when the name is no vector's.
std::optional<Value> vectorByName(Machine& m, const std::string& written, int depth) {
    static const std::string kPackage = "__AS3__.vec::";
    static const std::string kOpen = "Vector.<";
    std::string_view rest = written;
    if (rest.starts_with(kPackage)) {
        rest.remove_prefix(kPackage.size());
    }
    if (!rest.starts_with(kOpen) || !rest.ends_with(">") || rest.size() <= kOpen.size() + 1) {
        return std::nullopt;
    }
    // Names nest (vectors of vectors) but never deeply in a real movie.
    if (depth > 16) {
        m.throwError("ReferenceError", 1065, "Variable " + written + " is not defined.");
    }
    const std::string inner(rest.substr(kOpen.size(), rest.size() - kOpen.size() - 1));
    const Value element = inner == "*" ? Value::null() : definitionByName(m, inner, depth + 1);
    if (!element.isNull() &&
        (!element.isObject() || element.asObject()->kind != Object::Kind::Class)) {
        m.throwError("ReferenceError", 1065, "Variable " + written + " is not defined.");
    }
    const Args params{element};
    return m.applyType(Value::object(m.vectorClass->classObject), params);
}

Value definitionByName(Machine& m, const std::string& written, int depth) {
    if (std::optional<Value> vector = vectorByName(m, written, depth)) {
        return *vector;
    }
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

// getDefinitionByName(name:String): one argument, never null.
Value getDefinitionByNameFn(Machine& m, const Value&, Args& a) {
    if (a.size() != 1) {
        m.throwError("ArgumentError", 1063,
                     "Argument count mismatch on global/flash.utils::getDefinitionByName(). "
                     "Expected 1, got " +
                         std::to_string(a.size()) + ".");
    }
    if (a[0].isNullish()) {
        m.throwError("ArgumentError", 1507, "Argument name cannot be null.");
    }
    return definitionByName(m, m.toString(a[0]), 0);
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
