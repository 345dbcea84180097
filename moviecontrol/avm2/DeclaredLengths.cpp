// The `length` Flash's own functions report: how many parameters their declarations in the
// player's class sources name, defaults included and a rest list not (Math.max(x, y, ...rest)
// is 2, Date.UTC's seven fields 7, parseInt(s, radix) 2). Only the length is given here: how
// many arguments these functions accept stays as their code decides.
#include "avm2/Machine.h"

#include <cstdint>
#include <initializer_list>

namespace avm2 {

namespace {

enum class Where : std::uint8_t { Prototype, Static, Global };

struct DeclaredLength {
    Where where;
    const char* owner; // the class, or the package of a global function
    const char* name;
    std::uint8_t length;
};

constexpr DeclaredLength kDeclared[] = {
    {Where::Prototype, "Function", "call", 1},
    {Where::Prototype, "Function", "apply", 2},
    {Where::Prototype, "RegExp", "exec", 1},
    {Where::Prototype, "RegExp", "test", 1},
    {Where::Prototype, "Date", "setTime", 1},
    {Where::Prototype, "Date", "setFullYear", 3},
    {Where::Prototype, "Date", "setMonth", 2},
    {Where::Prototype, "Date", "setDate", 1},
    {Where::Prototype, "Date", "setHours", 4},
    {Where::Prototype, "Date", "setMinutes", 3},
    {Where::Prototype, "Date", "setSeconds", 2},
    {Where::Prototype, "Date", "setMilliseconds", 1},
    {Where::Prototype, "Date", "setUTCFullYear", 3},
    {Where::Prototype, "Date", "setUTCMonth", 2},
    {Where::Prototype, "Date", "setUTCDate", 1},
    {Where::Prototype, "Date", "setUTCHours", 4},
    {Where::Prototype, "Date", "setUTCMinutes", 3},
    {Where::Prototype, "Date", "setUTCSeconds", 2},
    {Where::Prototype, "Date", "setUTCMilliseconds", 1},
    {Where::Static, "Date", "UTC", 7},
    {Where::Static, "Date", "parse", 1},
    {Where::Prototype, "XML", "hasOwnProperty", 1},
    {Where::Prototype, "XML", "propertyIsEnumerable", 1},
    {Where::Prototype, "XML", "addNamespace", 1},
    {Where::Prototype, "XML", "appendChild", 1},
    {Where::Prototype, "XML", "attribute", 1},
    {Where::Prototype, "XML", "child", 1},
    {Where::Prototype, "XML", "contains", 1},
    {Where::Prototype, "XML", "descendants", 1},
    {Where::Prototype, "XML", "elements", 1},
    {Where::Prototype, "XML", "insertChildAfter", 2},
    {Where::Prototype, "XML", "insertChildBefore", 2},
    {Where::Prototype, "XML", "namespace", 1},
    {Where::Prototype, "XML", "processingInstructions", 1},
    {Where::Prototype, "XML", "prependChild", 1},
    {Where::Prototype, "XML", "removeNamespace", 1},
    {Where::Prototype, "XML", "replace", 2},
    {Where::Prototype, "XML", "setChildren", 1},
    {Where::Prototype, "XML", "setLocalName", 1},
    {Where::Prototype, "XML", "setName", 1},
    {Where::Prototype, "XML", "setNamespace", 1},
    {Where::Static, "JSON", "parse", 2},
    {Where::Static, "JSON", "stringify", 3},
    {Where::Static, "Math", "abs", 1},
    {Where::Static, "Math", "acos", 1},
    {Where::Static, "Math", "asin", 1},
    {Where::Static, "Math", "atan", 1},
    {Where::Static, "Math", "atan2", 2},
    {Where::Static, "Math", "ceil", 1},
    {Where::Static, "Math", "cos", 1},
    {Where::Static, "Math", "exp", 1},
    {Where::Static, "Math", "floor", 1},
    {Where::Static, "Math", "log", 1},
    {Where::Static, "Math", "max", 2},
    {Where::Static, "Math", "min", 2},
    {Where::Static, "Math", "pow", 2},
    {Where::Static, "Math", "round", 1},
    {Where::Static, "Math", "sin", 1},
    {Where::Static, "Math", "sqrt", 1},
    {Where::Static, "Math", "tan", 1},
    {Where::Global, "", "parseInt", 2},
    {Where::Global, "", "parseFloat", 1},
    {Where::Global, "", "isNaN", 1},
    {Where::Global, "", "isFinite", 1},
    {Where::Global, "", "escape", 1},
    {Where::Global, "", "unescape", 1},
    {Where::Global, "", "encodeURI", 1},
    {Where::Global, "", "decodeURI", 1},
    {Where::Global, "", "encodeURIComponent", 1},
    {Where::Global, "", "decodeURIComponent", 1},
    {Where::Global, "", "isXMLName", 1},
};

} // namespace

void Machine::declareBuiltinLengths() {
    for (const DeclaredLength& d : kDeclared) {
        const Value* function = nullptr;
        if (d.where == Where::Global) {
            const Binding* b =
                builtinTraits_.find(Name::qualified(Namespace::publicNs(d.owner), d.name));
            if (b != nullptr && b->slot < builtinGlobal_->slots.size()) {
                function = &builtinGlobal_->slots[b->slot];
            }
        } else if (Class* c = findClass(d.owner)) {
            function = (d.where == Where::Static ? c->classObject : c->prototype)->findProp(d.name);
        }
        // Only a function made here, whose length nothing else gives, takes the declared one.
        if (function == nullptr || !function->isObject()) {
            continue;
        }
        MethodRef& method = function->asObject()->method;
        if (method.native == nullptr || method.unit != nullptr ||
            method.nativeParams != MethodRef::anyCount) {
            continue;
        }
        method.nativeParams = d.length;
        method.nativeRequired = 0;
        method.nativeRest = true;
    }
}

} // namespace avm2
