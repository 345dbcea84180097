// Vector.<T>: an Array with its own class per element type. Vector.<int> and the others are
// made the first time a script names them, sharing the Array methods.
#include "avm2/Machine.h"

#include <cmath>

namespace avm2 {

namespace {

Value vectorInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    // The length is a uint: what is not a number at all gives an empty vector.
    double n = a.empty() || a[0].isUndefined() ? 0 : m.toNumber(a[0]);
    n = std::isnan(n) ? 0 : std::trunc(n);
    if (!(n >= 0 && n <= (1u << 26))) {
        m.throwError("RangeError", 1005,
                     "Array index is not a positive integer (" + numberToString(n) + ").");
    }
    Object* o = self.asObject();
    Value fill; // Vector.<int> starts as zeros, Vector.<String> as nulls
    if (o->cls != nullptr && o->cls->elementType != nullptr) {
        fill = m.coerce(Value(), o->cls->elementType);
    }
    o->elements.resize(static_cast<std::size_t>(n), fill);
    self.asObject()->flag = a.size() > 1 && Machine::toBoolean(a[1]); // fixed
    return Value();
}

Value vectorFixed(Machine&, const Value& self, Args&) {
    return Value::boolean(self.isObject() && self.asObject()->flag);
}

Value vectorSetFixed(Machine&, const Value& self, Args& a) {
    if (self.isObject() && !a.empty()) {
        self.asObject()->flag = Machine::toBoolean(a[0]);
    }
    return Value();
}

} // namespace

namespace {

// Vector.<T>(value): a vector of this class is itself; any other object gives a new vector
// of this class holding value[0] .. value[length - 1], each coerced to T. A value that is
// not an object cannot be converted.
Value vectorConvert(Machine& m, const Value& self, Args& a) {
    if (!self.isObject() || self.asObject()->builds == nullptr) {
        m.throwError("TypeError", 1034, "Type Coercion failed: cannot convert to Vector.");
    }
    Class* cls = self.asObject()->builds;
    if (a.size() != 1) {
        m.throwError("ArgumentError", 1112,
                     "Argument count mismatch on class coercion.  Expected 1, got " +
                         std::to_string(a.size()) + ".");
    }
    Value source = a[0];
    if (!source.isObject()) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.toString(source) + " to " +
                         cls->messageName() + ".");
    }
    if (source.asObject()->cls == cls) {
        return source;
    }
    const double length = m.toNumber(m.getProperty(source, Name::publicName("length")));
    const std::int32_t count = toInt32(length);
    Object* v = m.instantiate(cls);
    if (count > 0) {
        m.checkMemory(static_cast<std::size_t>(count) * sizeof(Value));
        v->elements.reserve(static_cast<std::size_t>(count));
    }
    for (std::int32_t i = 0; i < count; ++i) {
        Value e = m.getProperty(source, Name::publicName(std::to_string(i)));
        v->elements.push_back(cls->elementType != nullptr ? m.coerce(e, cls->elementType) : e);
        if ((i & 0xFFF) == 0xFFF) {
            m.checkBudget();
        }
    }
    return Value::object(v);
}

} // namespace

void installVector(Machine& m) {
    Class* vector = m.defineClass("__AS3__.vec", "Vector", m.objectClass, vectorInit);
    vector->native = Class::Native::Array;
    vector->instance = m.arrayClass->instance;
    vector->sealed = true;
    m.defineGetter(vector, "fixed", vectorFixed);
    m.defineSetter(vector, "fixed", vectorSetFixed);
    for (std::size_t i = 0; i < m.arrayClass->prototype->props.size(); ++i) {
        const auto& [name, fn] = m.arrayClass->prototype->props[i];
        if (name != "constructor") {
            vector->prototype->setProp(name, fn);
            vector->prototype->dontEnum.back() = true;
        }
    }
    // Its AS3 methods are Array's.
    vector->as3Methods = m.arrayClass->as3Methods;
    m.vectorClass = vector;
}

Value Machine::applyType(const Value& generic, const Args& params) {
    if (!generic.isObject() || generic.asObject()->kind != Object::Kind::Class ||
        generic.asObject()->builds != vectorClass || params.size() != 1) {
        throwError("TypeError", 1127, "Type application attempted on a non-parameterized type.");
    }
    std::string param = "*";
    Class* element = nullptr;
    if (params[0].isObject() && params[0].asObject()->kind == Object::Kind::Class) {
        element = params[0].asObject()->builds;
        param = element->qualifiedName();
    }
    const std::string name = "Vector.<" + param + ">";
    if (Class* made = findClass("__AS3__.vec::" + name)) {
        return Value::object(made->classObject);
    }
    // A vector of objects of any other class is also a Vector.<*>, as the reference
    // player builds them on Vector.<*>; the numeric ones stand apart.
    Class* base = vectorClass;
    if (element != nullptr && element != intClass && element != uintClass &&
        element != numberClass) {
        const Args any{Value::null()};
        base = applyType(generic, any).asObject()->builds;
    }
    // Made without a global name: only applytype finds it.
    Class* c = defineClass("__AS3__.vec", name, base, vectorClass->init.native);
    c->sealed = true;
    c->call = vectorConvert;
    c->elementType = element;
    return Value::object(c->classObject);
}

} // namespace avm2
