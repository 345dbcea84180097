#include "avm2/Machine.h"

#include "avm2/AbcReader.h"
#include "avm2/ArraySparse.h"
#include "avm2/ByteArrayData.h"
#include "avm2/DictionaryStore.h"
#include "avm2/DisplayHost.h"
#include "avm2/LoaderClasses.h"
#include "avm2/ProxyClass.h"
#include "avm2/XmlOperators.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace avm2 {

namespace {

bool arrayIndex(const std::string& s, std::uint32_t& out) {
    if (s.empty() || s.size() > 10 || (s.size() > 1 && s[0] == '0')) {
        return false;
    }
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (v >= 0xFFFFFFFFull) {
        return false;
    }
    out = static_cast<std::uint32_t>(v);
    return true;
}

} // namespace

Machine::Machine(Host& host, Limits limits)
    : host_(host), limits_(limits), budget_(limits.budget), nativeStack_(limits.maxStackBytes) {
    domains_.resize(2);
    domains_[kMovieDomain].parent = kSystemDomain;
    installBuiltins();
}

Machine::~Machine() = default;

void Machine::beginFrame() {
    budget_.beginFrame();
    aborted_ = false;
}

void Machine::checkBudget() {
    const auto over = budget_.check(heap_.size() * sizeof(Object));
    if (over != scriptbudget::Overrun::None || heap_.size() > limits_.maxObjects) {
        host_.limitHit(over == scriptbudget::Overrun::Time ? "time" : "memory");
        throw ScriptAbort{"budget"};
    }
}

void Machine::checkMemory(std::size_t moreBytes) {
    if (!budget_.allows(heap_.size() * sizeof(Object), moreBytes)) {
        host_.limitHit("memory");
        throw ScriptAbort{"memory"};
    }
}

bool Machine::memoryAllows(std::size_t moreBytes) const {
    return budget_.allows(heap_.size() * sizeof(Object), moreBytes);
}

void Machine::resizeElements(Object* array, std::size_t length, const Value& fill) {
    const std::size_t now = array->elements.size();
    if (length > now &&
        (length > std::numeric_limits<std::uint32_t>::max() ||
         !budget_.allows(heap_.size() * sizeof(Object), (length - now) * sizeof(Value)))) {
        host_.limitHit("memory");
        throw ScriptAbort{"array"};
    }
    array->elements.resize(length, fill);
}

Object* Machine::allocate() {
    if (heap_.size() >= limits_.maxObjects) {
        host_.limitHit("memory");
        throw ScriptAbort{"memory"};
    }
    heap_.push_back(std::make_unique<Object>());
    return heap_.back().get();
}

Object* Machine::newObject() {
    Object* o = allocate();
    o->cls = objectClass;
    o->traits = objectClass != nullptr ? &objectClass->instance : nullptr;
    o->proto = objectClass != nullptr ? objectClass->prototype : nullptr;
    return o;
}

Object* Machine::newArray(std::vector<Value> elements) {
    Object* o = instantiate(arrayClass);
    o->elements = std::move(elements);
    return o;
}

Object* Machine::newFunction(MethodRef method, ScopePtr scope, Class* owner) {
    Object* o = allocate();
    o->kind = Object::Kind::Function;
    o->cls = functionClass;
    o->traits = functionClass != nullptr ? &functionClass->instance : nullptr;
    o->proto = functionClass != nullptr ? functionClass->prototype : nullptr;
    o->method = method;
    o->scope = std::move(scope);
    o->methodClass = owner;
    return o;
}

Object* Machine::newNative(NativeFn fn, std::string_view name) {
    Object* o = newFunction(MethodRef{nullptr, 0, fn}, nullptr);
    o->text = std::string(name);
    return o;
}

void Machine::initSlots(Object* o, Traits& traits, AbcUnit* unit) {
    (void)unit;
    o->slots.resize(traits.slots.size());
    for (std::size_t i = 0; i < traits.slots.size(); ++i) {
        o->slots[i] = traits.slots[i].value;
    }
}

// A vector grows only at its end, and not at all when fixed; its elements keep its type.
void Machine::setVectorElement(Object* vector, std::uint32_t index, const Value& value) {
    const std::size_t length = vector->elements.size();
    if (index > length || (index == length && vector->flag)) {
        throwError("RangeError", 1125,
                   "The index " + std::to_string(index) + " is out of range " +
                       std::to_string(length) + ".");
    }
    Value element = coerce(value, vector->cls->elementType);
    if (index == length) {
        resizeElements(vector, length + 1, element);
    } else {
        vector->elements[index] = std::move(element);
    }
}

Object* Machine::instantiate(Class* cls) {
    Object* o = allocate();
    o->cls = cls;
    o->traits = &cls->instance;
    o->proto = cls->prototype;
    o->dynamic = !cls->sealed;
    for (Class* c = cls; c != nullptr; c = c->super) {
        if (c->native == Class::Native::Array) {
            o->kind = Object::Kind::Array;
            break;
        }
        if (c->native == Class::Native::Dictionary) {
            o->kind = Object::Kind::Dictionary;
            break;
        }
        if (c->native == Class::Native::Date) {
            o->kind = Object::Kind::Date;
            break;
        }
        if (c->native == Class::Native::Proxy) {
            o->kind = Object::Kind::Proxy;
            break;
        }
    }
    initSlots(o, cls->instance, cls->unit);
    return o;
}

Object* Machine::makeError(std::string_view className, int code, const std::string& message) {
    Class* cls = findClass(std::string(className));
    if (cls == nullptr) {
        cls = errorClass;
    }
    Args args{Value::string("Error #" + std::to_string(code) + ": " + message),
              Value::integer(code)};
    return construct(Value::object(cls->classObject), args).asObject();
}

void Machine::throwError(std::string_view className, int code, const std::string& message) {
    throw ScriptThrow{Value::object(makeError(className, code, message))};
}

void Machine::throwErrorIn(std::string_view method, std::string_view className, int code,
                           const std::string& message, bool viaThrowError) {
    Object* error = makeError(className, code, message);
    const std::size_t scripts = stackTrace().size();
    if (scripts <= error->text.size()) {
        error->text.insert(error->text.size() - scripts,
                           std::string(viaThrowError ? "\n\tat Error$/throwError()" : "") +
                               "\n\tat " + std::string(method) + "()");
    }
    throw ScriptThrow{Value::object(error)};
}

Class* Machine::findClass(const std::string& qualifiedName) {
    auto it = classByName_.find(qualifiedName);
    return it == classByName_.end() ? nullptr : it->second;
}

std::vector<std::string> Machine::classNames() const {
    std::vector<std::string> names;
    names.reserve(classByName_.size());
    for (const auto& entry : classByName_) {
        names.push_back(entry.first);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Machine::className(const Value& v) {
    if (v.isObject() && v.asObject()->kind == Object::Kind::Global) {
        return "global";
    }
    Class* c = classOf(v);
    return c != nullptr ? c->name : "Object";
}

Class* Machine::classOf(const Value& v) {
    switch (v.type()) {
    case Value::Type::Boolean:
        return booleanClass;
    case Value::Type::Int:
        return intClass;
    case Value::Type::Number: {
        const double d = v.asNumber();
        if (d == std::trunc(d) && std::fabs(d) < 4294967296.0 && !(d == 0 && std::signbit(d))) {
            return d >= 0 && d <= 4294967295.0 ? (d <= 2147483647.0 ? intClass : uintClass)
                                               : (d >= -2147483648.0 ? intClass : numberClass);
        }
        return numberClass;
    }
    case Value::Type::String:
        return stringClass;
    case Value::Type::Object: {
        Object* o = v.asObject();
        if (o->kind == Object::Kind::Class) {
            return classClass;
        }
        return o->cls != nullptr ? o->cls : objectClass;
    }
    default:
        return nullptr;
    }
}

// --- Properties --------------------------------------------------------------------------

namespace {

// A call through an interface names the method in the interface's namespace ("pkg:Name");
// an object whose class implements the interface answers it with its public property of
// that name (built-in classes keep their methods public only).
bool implementsNamespace(const Value& target, const Name& name) {
    if (!target.isObject() || target.asObject()->cls == nullptr || name.namespaces.size() != 1 ||
        name.namespaces[0].group != Namespace::Group::Public ||
        name.namespaces[0].uri.find(':') == std::string::npos) {
        return false;
    }
    const std::string& uri = name.namespaces[0].uri;
    int steps = 0;
    for (const Class* c = target.asObject()->cls; c != nullptr && steps < 4096;
         c = c->super, ++steps) {
        for (const Class* i : c->interfaces) {
            if (uri == i->ns.uri + ":" + i->name) {
                return true;
            }
        }
    }
    return false;
}

} // namespace

const Binding* Machine::findTrait(const Value& target, const Name& name, Object** holder) {
    *holder = nullptr;
    if (target.isObject()) {
        Object* o = target.asObject();
        *holder = o;
        if (o->traits == nullptr) {
            return nullptr;
        }
        return o->traits->find(name);
    }
    Class* c = classOf(target);
    return c != nullptr ? c->instance.find(name) : nullptr;
}

namespace {

// The scope a class's method runs in. An instance method sees the class object beneath its
// own scopes; a static method (and the class initialiser) only the scopes the class was made
// in: compilers push the class themselves where they want it (Haxe's do not, and name the
// player's global functions from statics of the same name).
ScopePtr bindingScope(const Value& self, const Class* declaredBy) {
    if (declaredBy == nullptr) {
        return nullptr;
    }
    const bool onClass = self.isObject() && self.asObject()->kind == Object::Kind::Class &&
                         self.asObject()->builds == declaredBy;
    return onClass && declaredBy->scope != nullptr ? declaredBy->scope->parent : declaredBy->scope;
}

} // namespace

Value Machine::readBinding(const Value& target, Object* holder, const Binding& b, Class* owner) {
    (void)owner;
    switch (b.kind) {
    case Binding::Kind::Slot:
    case Binding::Kind::Const:
    case Binding::Kind::Class:
        return holder != nullptr && b.slot < holder->slots.size() ? holder->slots[b.slot] : Value();
    case Binding::Kind::Method: {
        Object* f = newFunction(b.method, bindingScope(target, b.declaredBy), b.declaredBy);
        f->boundThis = target;
        return Value::object(f);
    }
    case Binding::Kind::Accessor: {
        if (!b.getter.valid()) {
            throwError("ReferenceError", 1077,
                       "Illegal read of write-only property " + std::string("on ") +
                           className(target) + ".");
        }
        Args none;
        if (b.getter.native != nullptr) {
            return b.getter.native(*this, target, none);
        }
        return runMethod(*b.getter.unit, b.getter.index, target, none,
                         bindingScope(target, b.declaredBy), b.declaredBy, nullptr);
    }
    }
    return Value();
}

namespace {

// Methods of the player's own classes (flash.*) are methods of the class, not functions on its
// prototype: read off an object they keep it as `this` wherever they are called from. The
// core classes' methods (Array, String...) are prototype functions and stay unbound.
Value boundPlayerMethod(Machine& m, const Value& target, const Value& found) {
    if (!found.isObject() || !target.isObject()) {
        return found;
    }
    const Object* f = found.asObject();
    if (f->kind != Object::Kind::Function || f->method.native == nullptr ||
        f->methodClass == nullptr || f->boundThis) {
        return found;
    }
    Object* bound = m.newNative(f->method.native, f->text);
    // The same method still: its declared parameters and its class go with it.
    bound->method = f->method;
    bound->methodClass = f->methodClass;
    bound->boundThis = target;
    return Value::object(bound);
}

} // namespace

Value Machine::getProperty(const Value& target, const Name& name, bool bindMethods) {
    if (target.isNullish()) {
        if (target.isNull()) {
            throwError("TypeError", 1009,
                       "Cannot access a property or method of a null object reference.");
        }
        throwError("TypeError", 1010, "A term is undefined and has no properties.");
    }
    if (isXmlValue(target)) {
        return xmlGetProperty(*this, target, name);
    }
    Object* holder = nullptr;
    if (target.isObject()) {
        Object* o = target.asObject();
        std::uint32_t index = 0;
        if (o->kind == Object::Kind::Array && name.reachesDynamic() &&
            arrayIndex(name.local, index)) {
            if (index < o->elements.size() && !o->elements[index].isHole()) {
                return o->elements[index];
            }
            // A vector has no holes and nothing past its end: reading there is an error.
            if (o->cls != nullptr && o->cls != arrayClass && o->cls->isSubclassOf(vectorClass)) {
                throwError("RangeError", 1125,
                           "The index " + std::to_string(index) + " is out of range " +
                               std::to_string(o->elements.size()) + ".");
            }
            if (o->sparseLength != 0) {
                if (const Value* v = o->findProp(name.local)) {
                    return *v;
                }
            }
            // A hole or a slot past the end reads through the prototypes.
            for (Object* p = o->proto; p != nullptr; p = p->proto) {
                if (const Value* v = p->findProp(name.local)) {
                    return *v;
                }
            }
            return Value();
        }
        if (o->kind == Object::Kind::Dictionary && name.seesPublic()) {
            if (const Value* v = dictionaryFind(o, name)) {
                return *v;
            }
        }
        // A ByteArray's bytes read as its indexed properties; past the end, undefined.
        if (ByteArrayData* bytes = byteArrayData(target);
            bytes != nullptr && name.seesPublic() && arrayIndex(name.local, index)) {
            return index < bytes->data.size() ? Value::integer(bytes->data[index]) : Value();
        }
        if (o->kind == Object::Kind::Class && name.local == "prototype" && o->builds != nullptr) {
            return Value::object(o->builds->prototype);
        }
        // Every function has a prototype object, a built-in's made when first asked for.
        if (o->kind == Object::Kind::Function && name.local == "prototype" && name.seesPublic() &&
            o->findProp("prototype") == nullptr) {
            o->setProp("prototype", Value::object(newObject()));
            o->dontEnum.back() = true;
        }
    }
    if (const Binding* b = findTrait(target, name, &holder)) {
        return readBinding(target, holder, *b, nullptr);
    }
    if (implementsNamespace(target, name)) {
        return getProperty(target, Name::publicName(name.local));
    }
    if (isProxy(target)) {
        return proxyNamed(*this, target, "getProperty", name);
    }
    // A built-in's own method comes before anything of the same name on the prototypes.
    if (name.reachesAs3()) {
        for (Class* c = classOf(target); c != nullptr; c = c->super) {
            if (auto it = c->as3Methods.find(name.local); it != c->as3Methods.end()) {
                return it->second;
            }
        }
    }
    if (name.seesPublic()) {
        Object* start = holder;
        if (start == nullptr) {
            Class* c = classOf(target);
            start = c != nullptr ? c->prototype : nullptr;
        } else if (const Value* v = start->findProp(name.local)) {
            return *v;
        } else {
            start = start->proto;
        }
        for (Object* p = start; p != nullptr; p = p->proto) {
            if (const Value* v = p->findProp(name.local)) {
                return bindMethods ? boundPlayerMethod(*this, target, *v) : *v;
            }
        }
    }
    // Dynamic properties live in the public namespace only: a name that cannot reach it reads
    // nothing there, and the player reports that as a failed read rather than undefined.
    if (holder == nullptr || !holder->dynamic || !name.reachesDynamic()) {
        throwError("ReferenceError", name.namespaces.size() > 1 ? 1081 : 1069,
                   "Property " + name.local + " not found on " +
                       (holder != nullptr && holder->kind == Object::Kind::Class
                            ? holder->builds->messageName()
                            : classOf(target)->messageName()) +
                       " and there is no default value.");
    }
    return Value();
}

void Machine::setProperty(const Value& target, const Name& name, const Value& value, bool init) {
    if (target.isNullish()) {
        if (target.isNull()) {
            throwError("TypeError", 1009,
                       "Cannot access a property or method of a null object reference.");
        }
        throwError("TypeError", 1010, "A term is undefined and has no properties.");
    }
    if (isXmlValue(target)) {
        xmlSetProperty(*this, target, name, value);
        return;
    }
    Object* holder = nullptr;
    if (const Binding* b = findTrait(target, name, &holder)) {
        switch (b->kind) {
        case Binding::Kind::Slot:
        case Binding::Kind::Const:
        case Binding::Kind::Class:
            if (b->kind != Binding::Kind::Slot && !init) {
                throwError("ReferenceError", 1074,
                           "Illegal write to read-only property " + name.local + " on " +
                               className(target) + ".");
            }
            if (holder != nullptr && b->slot < holder->slots.size()) {
                SlotInit& si = holder->traits->slots[b->slot];
                // A slot typed with a class not yet made when its traits were (its own
                // class, say) learns its type on the first store.
                if (si.type == nullptr && si.typeName != 0 && b->declaredBy != nullptr &&
                    b->declaredBy->unit != nullptr) {
                    si.type = resolveType(*b->declaredBy->unit, si.typeName);
                }
                holder->slots[b->slot] = si.type != nullptr ? coerce(value, si.type) : value;
            }
            return;
        case Binding::Kind::Method:
            throwError("ReferenceError", 1037,
                       "Cannot assign to a method " + name.local + " on " + className(target) +
                           ".");
        case Binding::Kind::Accessor: {
            if (!b->setter.valid()) {
                throwError("ReferenceError", 1074,
                           "Illegal write to read-only property " + name.local + " on " +
                               classOf(target)->messageName() + ".");
            }
            Args args{value};
            if (b->setter.native != nullptr) {
                b->setter.native(*this, target, args);
            } else {
                runMethod(*b->setter.unit, b->setter.index, target, args,
                          bindingScope(target, b->declaredBy), b->declaredBy, nullptr);
            }
            return;
        }
        }
    }
    if (isProxy(target)) {
        proxyNamed(*this, target, "setProperty", name, {value});
        return;
    }
    if (holder == nullptr) {
        throwError("ReferenceError", 1056,
                   "Cannot create property " + name.local + " on " +
                       classOf(target)->messageName() + ".");
    }
    std::uint32_t index = 0;
    // Writing a ByteArray's index stores the low byte, lengthening the array with zeros.
    if (ByteArrayData* bytes = byteArrayData(target);
        bytes != nullptr && name.seesPublic() && arrayIndex(name.local, index)) {
        if (index >= bytes->data.size()) {
            checkMemory(std::size_t{index} + 1 - bytes->data.size());
            bytes->data.resize(std::size_t{index} + 1);
        }
        bytes->data[index] = static_cast<std::uint8_t>(toInt32(toNumber(value)));
        return;
    }
    if (holder->kind == Object::Kind::Array && arrayIndex(name.local, index)) {
        if (holder->cls != nullptr && holder->cls->isSubclassOf(vectorClass)) {
            setVectorElement(holder, index, value);
            return;
        }
        setArrayElement(*this, holder, index, value);
        return;
    }
    if (holder->kind == Object::Kind::Dictionary) {
        dictionarySet(holder, name, value);
        return;
    }
    if (!holder->dynamic) {
        throwError("ReferenceError", 1056,
                   "Cannot create property " + name.local + " on " +
                       classOf(target)->messageName() + ".");
    }
    // A function's prototype is an object or nothing: null and undefined both leave it
    // undefined (a new instance then takes Object's prototype).
    if (holder->kind == Object::Kind::Function && name.local == "prototype" && name.seesPublic() &&
        !value.isObject()) {
        if (!value.isNullish()) {
            throwError("TypeError", 1049, "Prototype objects must be vanilla Objects.");
        }
        holder->setProp(name.local, Value());
        return;
    }
    holder->setProp(name.local, value);
}

bool Machine::deleteProperty(const Value& target, const Name& name) {
    if (!target.isObject()) {
        return false;
    }
    if (isXmlValue(target)) {
        return xmlDeleteProperty(*this, target, name);
    }
    Object* o = target.asObject();
    if (o->kind == Object::Kind::Proxy &&
        (o->traits == nullptr || o->traits->find(name) == nullptr)) {
        return proxyDeletes(target, name) &&
               toBoolean(proxyNamed(*this, target, "deleteProperty", name));
    }
    std::uint32_t index = 0;
    if (o->kind == Object::Kind::Array && arrayIndex(name.local, index)) {
        if (index < o->elements.size()) {
            if (o->cls != nullptr && vectorClass != nullptr && o->cls->isSubclassOf(vectorClass)) {
                return true; // a vector's element stays: deleting it answers true and does nothing
            }
            o->elements[index] = Value::hole();
            return true;
        }
        o->deleteProp(name.local);
        return true;
    }
    if (o->kind == Object::Kind::Dictionary && dictionaryErase(o, name)) {
        return true;
    }
    if (o->traits != nullptr && o->traits->find(name) != nullptr) {
        return false;
    }
    o->deleteProp(name.local);
    return true;
}

bool Machine::hasProperty(const Value& target, const Name& name) {
    if (target.isNullish()) {
        return false;
    }
    if (isXmlValue(target)) {
        return xmlHasProperty(*this, target, name);
    }
    Object* holder = nullptr;
    if (findTrait(target, name, &holder) != nullptr) {
        return true;
    }
    if (isProxy(target)) {
        return toBoolean(proxyNamed(*this, target, "hasProperty", name));
    }
    if (!name.seesPublic()) {
        return false;
    }
    if (holder == nullptr) {
        // A primitive has what its class's prototype chain has (a number on the scope
        // chain answers for toFixed).
        const Class* c = classOf(target);
        for (Object* p = c != nullptr ? c->prototype : nullptr; p != nullptr; p = p->proto) {
            if (p->findProp(name.local) != nullptr) {
                return true;
            }
        }
        return false;
    }
    std::uint32_t index = 0;
    if (holder->kind == Object::Kind::Array && arrayIndex(name.local, index)) {
        if (index < holder->elements.size() && !holder->elements[index].isHole()) {
            return true;
        }
    }
    if (holder->kind == Object::Kind::Dictionary && dictionaryFind(holder, name) != nullptr) {
        return true;
    }
    for (Object* p = holder; p != nullptr; p = p->proto) {
        if (p->findProp(name.local) != nullptr) {
            return true;
        }
    }
    return false;
}

Value Machine::callProperty(const Value& target, const Name& name, Args& args) {
    if (isXmlValue(target)) {
        return xmlCallProperty(*this, target, name, args);
    }
    Object* holder = nullptr;
    if (!target.isNullish()) {
        if (const Binding* b = findTrait(target, name, &holder);
            b != nullptr && b->kind == Binding::Kind::Method) {
            if (b->method.native != nullptr) {
                return b->method.native(*this, target, args);
            }
            return runMethod(*b->method.unit, b->method.index, target, args,
                             bindingScope(target, b->declaredBy), b->declaredBy, nullptr);
        }
    }
    if (implementsNamespace(target, name)) {
        return callProperty(target, Name::publicName(name.local), args);
    }
    if (isProxy(target)) {
        return proxyNamed(*this, target, "callProperty", name, args);
    }
    Value f = getProperty(target, name, false);
    if (!f.isObject() || (f.asObject()->kind != Object::Kind::Function &&
                          f.asObject()->kind != Object::Kind::Class)) {
        throwError("TypeError", 1006, name.local + " is not a function.");
    }
    return call(f, target, args);
}

Value Machine::call(const Value& function, const Value& thisValue, Args& args) {
    if (!function.isObject()) {
        throwError("TypeError", 1006, "value is not a function.");
    }
    Object* f = function.asObject();
    if (f->kind == Object::Kind::Class) {
        Class* c = f->builds;
        // A class called as a function converts its argument; it gets itself as `self`.
        if (c->call != nullptr) {
            return c->call(*this, function, args);
        }
        if (args.size() != 1) {
            throwError("ArgumentError", 1112,
                       "Argument count mismatch on class coercion.  Expected 1, got " +
                           std::to_string(args.size()) + ".");
        }
        return coerce(args[0], c);
    }
    if (f->kind != Object::Kind::Function) {
        throwError("TypeError", 1006, "value is not a function.");
    }
    const Value self = f->boundThis ? *f->boundThis : thisValue;
    if (f->method.native != nullptr) {
        // Built-ins may call back into scripts (toString, sort callbacks): they count
        // towards the depth bound as compiled methods do.
        checkCallDepth();
        const MethodRef& m = f->method;
        if (m.nativeParams != MethodRef::anyCount &&
            (args.size() < m.nativeRequired || (args.size() > m.nativeParams && !m.nativeRest))) {
            // Flash's own prototype functions are anonymous closures, a player class's
            // methods are named by their class; either names the count the function
            // requires, whichever way the call missed.
            const std::string called = f->methodClass != nullptr && !f->text.empty()
                                           ? f->methodClass->qualifiedName() + "/" + f->text
                                           : std::string("Function/<anonymous>");
            throwError("ArgumentError", 1063,
                       "Argument count mismatch on " + called + "(). Expected " +
                           std::to_string(m.nativeRequired) + ", got " +
                           std::to_string(args.size()) + ".");
        }
        ++depth_;
        struct Leave {
            std::size_t& d;
            ~Leave() { --d; }
        } leave{depth_};
        return f->method.native(*this, self, args);
    }
    if (self.isNullish() && f->scope != nullptr) {
        // A function given no `this` (null or undefined) gets its global object, the
        // outermost object it closes over (ECMA-262 10.2.3).
        const ScopeChain* root = f->scope.get();
        while (root->parent != nullptr) {
            root = root->parent.get();
        }
        if (root->object.isObject()) {
            return runMethod(*f->method.unit, f->method.index, root->object, args, f->scope,
                             f->methodClass, f);
        }
    }
    return runMethod(*f->method.unit, f->method.index, self, args, f->scope, f->methodClass, f);
}

void Machine::checkCallDepth() {
    if (depth_ == 0) {
        nativeStack_.markStart();
    }
    if (depth_ >= limits_.maxDepth || nativeStack_.exhausted()) {
        throwError("Error", 1023, "Stack overflow occurred.");
    }
}

Value Machine::construct(const Value& constructor, Args& args) {
    if (!constructor.isObject()) {
        throwError("TypeError", 1007, "Instantiation attempted on a non-constructor.");
    }
    Object* c = constructor.asObject();
    if (c->kind == Object::Kind::Class) {
        Class* cls = c->builds;
        // The primitive classes make primitive values: `new String("a")` is "a".
        if (cls == stringClass || cls == numberClass || cls == intClass || cls == uintClass ||
            cls == booleanClass) {
            return cls->call(*this, Value(), args);
        }
        // `new Function()`: a function that does nothing (no source to compile).
        if (cls == functionClass) {
            return Value::object(newNative([](Machine&, const Value&, Args&) { return Value(); }));
        }
        if (cls->isInterface) {
            throwError("TypeError", 1007, "Instantiation attempted on a non-constructor.");
        }
        // Objects are allocated by their nearest built-in ancestor, before any of the
        // script's constructors run: an abstract one refuses them all.
        const Class* builtIn = cls;
        while (builtIn != nullptr && builtIn->unit != nullptr) {
            builtIn = builtIn->super;
        }
        if (builtIn != nullptr && builtIn->playerMadeOnly) {
            throwError("ArgumentError", 2012, cls->name + "$ class cannot be instantiated.");
        }
        Object* o = instantiate(cls);
        constructSuper(cls, Value::object(o), args);
        return Value::object(o);
    }
    if (c->kind == Object::Kind::Function && c->method.unit != nullptr) {
        Object* o = newObject();
        const Value* proto = c->findProp("prototype");
        if (proto != nullptr && proto->isObject()) {
            o->proto = proto->asObject();
        } else {
            // A function whose prototype was cleared gets a new one when it constructs.
            Object* made = newObject();
            o->proto = made;
            setProperty(constructor, Name::publicName("prototype"), Value::object(made));
        }
        Value r = call(constructor, Value::object(o), args);
        return r.isObject() ? r : Value::object(o);
    }
    throwError("TypeError", 1007, "Instantiation attempted on a non-constructor.");
}

void Machine::constructSuper(Class* cls, const Value& self, Args& args) {
    for (Class* c = cls; c != nullptr; c = c->super) {
        if (c->init.unit != nullptr) {
            runMethod(*c->init.unit, c->init.index, self, args, c->scope, c, nullptr);
            return;
        }
        if (c->init.native != nullptr) {
            const MethodRef& init = c->init;
            if (init.nativeParams != MethodRef::anyCount &&
                (args.size() < init.nativeRequired || args.size() > init.nativeParams)) {
                throwError("ArgumentError", 1063,
                           "Argument count mismatch on " + c->qualifiedName() + "(). Expected " +
                               std::to_string(init.nativeRequired) + ", got " +
                               std::to_string(args.size()) + ".");
            }
            c->init.native(*this, self, args);
            return;
        }
    }
}

Value Machine::getSuper(const Value& self, Class* from, const Name& name) {
    Class* base = from != nullptr ? from->super : nullptr;
    if (base != nullptr) {
        if (const Binding* b = base->instance.find(name)) {
            Object* holder = self.isObject() ? self.asObject() : nullptr;
            return readBinding(self, holder, *b, base);
        }
    }
    return getProperty(self, name);
}

void Machine::setSuper(const Value& self, Class* from, const Name& name, const Value& v) {
    Class* base = from != nullptr ? from->super : nullptr;
    if (base != nullptr) {
        if (const Binding* b = base->instance.find(name);
            b != nullptr && b->kind == Binding::Kind::Accessor && b->setter.valid()) {
            Args args{v};
            if (b->setter.native != nullptr) {
                b->setter.native(*this, self, args);
            } else {
                runMethod(*b->setter.unit, b->setter.index, self, args, b->declaredBy->scope,
                          b->declaredBy, nullptr);
            }
            return;
        }
    }
    setProperty(self, name, v);
}

Value Machine::callSuper(const Value& self, Class* from, const Name& name, Args& args) {
    Class* base = from != nullptr ? from->super : nullptr;
    if (base != nullptr) {
        if (const Binding* b = base->instance.find(name);
            b != nullptr && b->kind == Binding::Kind::Method) {
            if (b->method.native != nullptr) {
                return b->method.native(*this, self, args);
            }
            return runMethod(*b->method.unit, b->method.index, self, args, b->declaredBy->scope,
                             b->declaredBy, nullptr);
        }
        // Built-in classes keep their methods on the prototype.
        for (Object* p = base->prototype; p != nullptr; p = p->proto) {
            if (const Value* f = p->findProp(name.local)) {
                return call(*f, self, args);
            }
        }
    }
    return callProperty(self, name, args);
}

Value Machine::findProperty(const std::vector<ScopeChain>& local, const ScopePtr& outer,
                            const Name& name, bool strict) {
    // A scope the verifier knows the type of answers by that type's traits. A proxy on the
    // scope chain answers by its declared traits only: scope lookups do not
    // reach its hasProperty hook. Inside an E4X filter, an attribute name belongs to the node
    // the filter is on, even one the node lacks.
    auto has = [&](const ScopeChain& s) {
        if (s.declared != nullptr && !s.with) {
            return s.declared->instance.find(name) != nullptr;
        }
        if (isProxy(s.object) && !s.with) {
            Object* holder = nullptr;
            return findTrait(s.object, name, &holder) != nullptr;
        }
        return (s.with && name.attribute && isXmlValue(s.object)) || hasProperty(s.object, name);
    };
    for (auto it = local.rbegin(); it != local.rend(); ++it) {
        if (has(*it)) {
            return it->object;
        }
    }
    Value outermost;
    for (const ScopeChain* s = outer.get(); s != nullptr; s = s->parent.get()) {
        if (has(*s)) {
            return s->object;
        }
        outermost = s->object;
    }
    Value def = findDefinition(name);
    if (!def.isUndefined()) {
        return def;
    }
    if (strict) {
        throwError("ReferenceError", 1065, "Variable " + name.local + " is not defined.");
    }
    if (outermost.isUndefined() && !local.empty()) {
        outermost = local.front().object;
    }
    return outermost.isUndefined() ? Value::object(builtinGlobal_) : outermost;
}

Value Machine::findDefinition(const Name& name) {
    return findDefinitionIn(currentDomain(), name);
}

// --- Conversions -------------------------------------------------------------------------

bool Machine::toBoolean(const Value& v) {
    switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return false;
    case Value::Type::Boolean:
        return v.asBoolean();
    case Value::Type::Int:
        return v.asInt() != 0;
    case Value::Type::Number:
        return !(std::isnan(v.asNumber()) || v.asNumber() == 0);
    case Value::Type::String:
        return !v.asString().empty();
    case Value::Type::Object:
        return true;
    }
    return false;
}

Value Machine::toPrimitive(const Value& v, bool preferString) {
    if (!v.isObject()) {
        return v;
    }
    if (isXmlValue(v)) {
        return Value::string(xmlPrimitiveString(*this, v));
    }
    const char* order[2] = {"valueOf", "toString"};
    if (preferString || v.asObject()->kind == Object::Kind::Date) {
        std::swap(order[0], order[1]);
    }
    for (const char* method : order) {
        Name n = Name::publicName(method);
        // Flash calls the two methods outright; a proxy answers through its callProperty
        // hook, never asked first whether it has them.
        if (!isProxy(v) && !hasProperty(v, n)) {
            continue;
        }
        Args none;
        Value r = callProperty(v, n, none);
        if (!r.isObject()) {
            return r;
        }
    }
    throwError("TypeError", 1050, "Cannot convert " + className(v) + " to primitive.");
}

std::string Machine::toString(const Value& v) {
    switch (v.type()) {
    case Value::Type::Undefined:
        return "undefined";
    case Value::Type::Null:
        return "null";
    case Value::Type::Boolean:
        return v.asBoolean() ? "true" : "false";
    case Value::Type::Int:
        return std::to_string(v.asInt());
    case Value::Type::Number:
        return numberToString(v.asNumber());
    case Value::Type::String:
        return v.asString();
    case Value::Type::Object:
        return toString(toPrimitive(v, true));
    }
    return {};
}

double Machine::toNumber(const Value& v) {
    switch (v.type()) {
    case Value::Type::Undefined:
        return std::numeric_limits<double>::quiet_NaN();
    case Value::Type::Null:
        return 0;
    case Value::Type::Boolean:
        return v.asBoolean() ? 1 : 0;
    case Value::Type::Int:
    case Value::Type::Number:
        return v.asNumber();
    case Value::Type::String:
        return stringToNumber(v.asString());
    case Value::Type::Object:
        // A date without a hint turns into text, but asked for a number it tries valueOf
        // first like any object (ECMA-262 9.3, 8.6.2.6).
        if (v.asObject()->kind == Object::Kind::Date) {
            const Name valueOf = Name::publicName("valueOf");
            if (hasProperty(v, valueOf)) {
                Args none;
                const Value r = callProperty(v, valueOf, none);
                if (!r.isObject()) {
                    return toNumber(r);
                }
            }
        }
        return toNumber(toPrimitive(v, false));
    }
    return 0;
}

Object* Machine::toObject(const Value& v) {
    if (v.isObject()) {
        return v.asObject();
    }
    return nullptr;
}

std::string Machine::typeOf(const Value& v) {
    switch (v.type()) {
    case Value::Type::Undefined:
        return "undefined";
    case Value::Type::Null:
        return "object";
    case Value::Type::Boolean:
        return "boolean";
    case Value::Type::Int:
    case Value::Type::Number:
        return "number";
    case Value::Type::String:
        return "string";
    case Value::Type::Object:
        return v.asObject()->kind == Object::Kind::Function ? "function"
               : isXmlValue(v)                              ? "xml"
                                                            : "object";
    }
    return "object";
}

bool Machine::strictEquals(const Value& a, const Value& b) {
    if (a.isNumeric() && b.isNumeric()) {
        return a.asNumber() == b.asNumber();
    }
    if (a.type() != b.type()) {
        return false;
    }
    switch (a.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null:
        return true;
    case Value::Type::Boolean:
        return a.asBoolean() == b.asBoolean();
    case Value::Type::String:
        return a.asString() == b.asString();
    case Value::Type::Object: {
        Object* x = a.asObject();
        Object* y = b.asObject();
        if (x == y) {
            return true;
        }
        // Two closures of one method on one object are the same function.
        return x->kind == Object::Kind::Function && y->kind == Object::Kind::Function &&
               x->boundThis && y->boundThis && x->method.unit == y->method.unit &&
               x->method.index == y->method.index && x->method.native == y->method.native &&
               strictEquals(*x->boundThis, *y->boundThis);
    }
    default:
        return false;
    }
}

bool Machine::looseEquals(const Value& a, const Value& b) {
    if (const std::optional<bool> xml = xmlLooseEquals(*this, a, b)) {
        return *xml;
    }
    if (a.type() == b.type() || (a.isNumeric() && b.isNumeric())) {
        return strictEquals(a, b);
    }
    if (a.isNullish() && b.isNullish()) {
        return true;
    }
    if (a.isNullish() || b.isNullish()) {
        return false;
    }
    if (a.isNumeric() && b.isString()) {
        return a.asNumber() == toNumber(b);
    }
    if (a.isString() && b.isNumeric()) {
        return toNumber(a) == b.asNumber();
    }
    if (a.isBoolean()) {
        return looseEquals(Value::number(a.asBoolean() ? 1 : 0), b);
    }
    if (b.isBoolean()) {
        return looseEquals(a, Value::number(b.asBoolean() ? 1 : 0));
    }
    if (a.isObject() && !b.isObject()) {
        return looseEquals(toPrimitive(a, false), b);
    }
    if (b.isObject() && !a.isObject()) {
        return looseEquals(a, toPrimitive(b, false));
    }
    return false;
}

int Machine::lessThan(const Value& a, const Value& b) {
    if (a.isInt() && b.isInt()) {
        return a.asInt() < b.asInt() ? 1 : 0;
    }
    Value pa = toPrimitive(a, false);
    Value pb = toPrimitive(b, false);
    if (pa.isString() && pb.isString()) {
        // Strings order by UTF-16 code units; UTF-8's byte order differs from it only
        // when characters beyond the first plane meet those from U+E000 up.
        if (unicode::isAscii(pa.asString()) || unicode::isAscii(pb.asString())) {
            return pa.asString() < pb.asString() ? 1 : 0;
        }
        return unicode::toUtf16(pa.asString()) < unicode::toUtf16(pb.asString()) ? 1 : 0;
    }
    const double x = toNumber(pa);
    const double y = toNumber(pb);
    if (std::isnan(x) || std::isnan(y)) {
        return -1;
    }
    return x < y ? 1 : 0;
}

Value Machine::add(const Value& a, const Value& b) {
    if (a.isInt() && b.isInt()) {
        const std::int64_t r = static_cast<std::int64_t>(a.asInt()) + b.asInt();
        if (r >= std::numeric_limits<std::int32_t>::min() &&
            r <= std::numeric_limits<std::int32_t>::max()) {
            return Value::integer(static_cast<std::int32_t>(r));
        }
        return Value::number(static_cast<double>(r));
    }
    if (a.isNumeric() && b.isNumeric()) {
        return Value::number(a.asNumber() + b.asNumber());
    }
    // With text on either side the other side turns into text directly, by toString rather
    // than valueOf.
    if (a.isString() || b.isString()) {
        return Value::string(unicode::joinText(toString(a), toString(b)));
    }
    if (std::optional<Value> list = xmlConcat(*this, a, b)) {
        return *list;
    }
    // Arrays and dates concatenate as text; other objects by their primitive.
    Value pa = toPrimitive(a, false);
    Value pb = toPrimitive(b, false);
    if (pa.isString() || pb.isString()) {
        return Value::string(unicode::joinText(toString(pa), toString(pb)));
    }
    return Value::number(toNumber(pa) + toNumber(pb));
}

bool Machine::isType(const Value& v, Class* cls) {
    if (cls == nullptr || cls == objectClass) {
        return !v.isNullish() || cls == nullptr;
    }
    if (v.isNullish()) {
        return false;
    }
    if (cls == numberClass) {
        return v.isNumeric();
    }
    if (cls == intClass) {
        // Any number with an int's value, -0 included (it equals 0).
        return v.isInt() ||
               (v.isNumber() && v.asNumber() == static_cast<double>(toInt32(v.asNumber())));
    }
    if (cls == uintClass) {
        return v.isNumeric() && v.asNumber() >= 0 && v.asNumber() <= 4294967295.0 &&
               v.asNumber() == std::trunc(v.asNumber());
    }
    Class* c = classOf(v);
    if (c == nullptr) {
        return false;
    }
    resolveInterfaces(c);
    return c->isSubclassOf(cls);
}

Value Machine::coerce(const Value& v, Class* cls) {
    if (cls == nullptr) {
        return v;
    }
    if (cls == intClass) {
        return v.isInt() ? v : Value::integer(toInt32(toNumber(v)));
    }
    if (cls == uintClass) {
        return Value::unsignedInt(toUint32(toNumber(v)));
    }
    if (cls == numberClass) {
        return v.isNumber() ? v : Value::number(toNumber(v));
    }
    if (cls == booleanClass) {
        return Value::boolean(toBoolean(v));
    }
    if (cls == stringClass) {
        return v.isNullish() ? Value::null() : Value::string(toString(v));
    }
    if (v.isNullish()) {
        return Value::null();
    }
    if (cls == objectClass || isType(v, cls)) {
        return v;
    }
    throwError("TypeError", 1034,
               "Type Coercion failed: cannot convert " + errorText(v) + " to " +
                   cls->messageName() + ".");
}

std::string Machine::errorText(const Value& v) {
    if (v.isObject()) {
        Object* o = v.asObject();
        if (o->kind == Object::Kind::Class) {
            return o->builds->qualifiedName() + "$";
        }
        if (o->kind == Object::Kind::Function) {
            return "Function-" + std::to_string(o->method.index);
        }
        // An instance shows as Flash writes it: its class's qualified name, then where it
        // lives in hexadecimal (flash.display::Sprite@1c2f0a1).
        const Class* c = classOf(v);
        char where[16] = {};
        const auto address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(o));
        const auto written = std::to_chars(where, where + sizeof where - 1, address, 16);
        return (c != nullptr ? c->qualifiedName() : std::string("Object")) + "@" +
               std::string(where, written.ptr);
    }
    // A string shows in quotes, so that an empty one or one that reads like a number is seen
    // for what it is.
    if (v.isString()) {
        return "\"" + v.asString() + "\"";
    }
    return toString(v);
}

// --- Loading -----------------------------------------------------------------------------

Name Machine::nameOf(AbcUnit& unit, std::uint32_t index) {
    const MultinameInfo& m = unit.abc.multinames[index];
    Name n;
    n.attribute = m.attribute();
    switch (m.kind) {
    case MultinameKind::QName:
    case MultinameKind::QNameA:
        n.namespaces.push_back(unit.namespaces[m.ns]);
        n.anyNamespace = m.ns == 0; // `*::name`
        n.local = unit.abc.strings[m.name];
        n.anyName = m.name == 0;
        break;
    case MultinameKind::RTQName:
    case MultinameKind::RTQNameA:
        n.local = unit.abc.strings[m.name];
        n.anyName = m.name == 0;
        break;
    case MultinameKind::Multiname:
    case MultinameKind::MultinameA:
        n.local = unit.abc.strings[m.name];
        n.anyName = m.name == 0;
        n.namespaces = unit.nsSets[m.nsSet];
        break;
    case MultinameKind::MultinameL:
    case MultinameKind::MultinameLA:
        n.namespaces = unit.nsSets[m.nsSet];
        break;
    case MultinameKind::TypeName: {
        Name g = nameOf(unit, m.generic);
        n = g;
        if (!m.params.empty()) {
            Name p = nameOf(unit, m.params[0]);
            n.local = g.local + ".<" + p.local + ">";
        }
        break;
    }
    default:
        break;
    }
    return n;
}

Value Machine::defaultValue(AbcUnit& unit, std::uint8_t kind, std::uint32_t index) {
    const AbcFile& a = unit.abc;
    switch (kind) {
    case 0x03:
        return Value::integer(a.ints[index]);
    case 0x04:
        return Value::unsignedInt(a.uints[index]);
    case 0x06:
        return Value::number(a.doubles[index]);
    case 0x01:
        return Value::string(a.strings[index]);
    case 0x0B:
        return Value::boolean(true);
    case 0x0A:
        return Value::boolean(false);
    case 0x0C:
        return Value::null();
    case 0x00:
        return Value();
    default: {
        Object* ns = allocate();
        ns->kind = Object::Kind::Namespace;
        ns->cls = namespaceClass;
        ns->traits = namespaceClass != nullptr ? &namespaceClass->instance : nullptr;
        ns->proto = namespaceClass != nullptr ? namespaceClass->prototype : nullptr;
        ns->ns = unit.namespaces[index];
        return Value::object(ns);
    }
    }
}

Class* Machine::resolveType(AbcUnit& unit, std::uint32_t multiname) {
    if (multiname == 0) {
        return nullptr;
    }
    Name n = nameOf(unit, multiname);
    const MultinameInfo& m = unit.abc.multinames[multiname];
    if (m.kind == MultinameKind::TypeName) {
        // Vector.<T>: the class made for that parameter.
        Class* generic = resolveType(unit, m.generic);
        if (generic != nullptr && m.params.size() == 1) {
            Class* param = resolveType(unit, m.params[0]);
            Args args{param != nullptr ? Value::object(param->classObject) : Value::null()};
            Value applied = applyType(Value::object(generic->classObject), args);
            return applied.asObject()->builds;
        }
        return generic;
    }
    for (const Namespace& ns : n.namespaces) {
        const std::string q = ns.uri.empty() ? n.local : ns.uri + "::" + n.local;
        if (Class* c = domainClass(unit.domain, q)) {
            return c;
        }
    }
    for (const Namespace& ns : n.namespaces) {
        const std::string q = ns.uri.empty() ? n.local : ns.uri + "::" + n.local;
        if (Class* c = findClass(q)) {
            return c;
        }
    }
    return nullptr;
}

std::string Machine::methodName(AbcUnit& unit, std::uint32_t method) {
    auto owner = unit.methodOwner.find(method);
    auto traitName = unit.methodTraitName.find(method);
    const std::string& own = traitName != unit.methodTraitName.end()
                                 ? traitName->second
                                 : unit.abc.strings[unit.abc.methods[method].name];
    if (owner != unit.methodOwner.end() && owner->second != nullptr) {
        Class* c = owner->second;
        if (c->init.unit == &unit && c->init.index == method) {
            return c->qualifiedName() + "()";
        }
        // The class object's own code goes by the class's name with a $: its initializer
        // "C$cinit", its static methods and accessors "C$/name".
        const auto made = std::find(unit.classes.begin(), unit.classes.end(), c);
        const auto index = static_cast<std::size_t>(made - unit.classes.begin());
        if (made != unit.classes.end() && index < unit.abc.classes.size()) {
            const ClassInfo& info = unit.abc.classes[index];
            if (info.init == method) {
                return c->qualifiedName() + "$cinit()";
            }
            if (std::any_of(info.traits.begin(), info.traits.end(), [method](const TraitInfo& t) {
                    return (t.kind == TraitKind::Method || t.kind == TraitKind::Getter ||
                            t.kind == TraitKind::Setter) &&
                           t.method == method;
                })) {
                return c->qualifiedName() + "$/" + own + "()";
            }
        }
        return c->qualifiedName() + "/" + own + "()";
    }
    return own.empty() ? "Function/<anonymous>()" : own + "()";
}

Object* Machine::scriptGlobal(AbcUnit& unit, std::size_t script) {
    return unit.scriptGlobals[script];
}

void Machine::ensureScript(AbcUnit& unit, std::size_t script) {
    if (unit.scriptState[script] != 0) {
        return;
    }
    unit.scriptState[script] = 1;
    Args none;
    runMethod(unit, unit.abc.scripts[script].init, Value::object(unit.scriptGlobals[script]), none,
              nullptr, nullptr, nullptr);
    unit.scriptState[script] = 2;
}

std::string Machine::stackTrace() {
    std::string out;
    for (auto it = callStack_.rbegin(); it != callStack_.rend(); ++it) {
        out += "\n\tat " + methodName(*it->first, it->second);
    }
    return out;
}

void Machine::printUncaught(const Value& error) {
    if (announceUncaught(*this, error)) {
        return;
    }
    if (error.isObject() && error.asObject()->cls != nullptr &&
        error.asObject()->cls->isSubclassOf(errorClass)) {
        host_.trace(error.asObject()->text);
        return;
    }
    host_.trace("Error: Error #1000: Uncaught exception: " + toString(error));
}

void Machine::loadAbc(std::span<const std::uint8_t> bytes, bool lazy) {
    if (AbcUnit* u = addUnit(bytes); u != nullptr && !lazy) {
        runEntryPoint(*u);
    }
}

void Machine::loadFrameAbc(std::span<const std::uint8_t> bytes, bool lazy) {
    if (AbcUnit* u = addUnit(bytes); u != nullptr && !lazy) {
        pendingEntries_.push_back(u);
    }
}

void Machine::runEntryPoints() {
    std::vector<AbcUnit*> pending;
    pending.swap(pendingEntries_);
    for (AbcUnit* u : pending) {
        runEntryPoint(*u);
    }
}

AbcUnit* Machine::addUnit(std::span<const std::uint8_t> bytes) {
    auto unit = std::make_unique<AbcUnit>();
    try {
        unit->abc = readAbc(bytes);
    } catch (const AbcError& e) {
        host_.trace(std::string("VerifyError: Error #") + std::to_string(e.code()) + ": " +
                    e.what());
        return nullptr;
    }
    AbcUnit& u = *unit;
    u.id = units_.size() + 1;
    u.domain = currentDomain();
    u.loader = loadingFor_;
    units_.push_back(std::move(unit));
    Domain& domain = domains_[u.domain];
    domain.units.push_back(&u);
    const AbcFile& a = u.abc;
    u.namespaces.reserve(a.namespaces.size());
    u.nsSets.reserve(a.nsSets.size());
    for (std::size_t i = 0; i < a.namespaces.size(); ++i) {
        Namespace ns;
        ns.group = Namespace::groupOf(a.namespaces[i].kind);
        ns.uri = a.strings[a.namespaces[i].name];
        if (ns.group == Namespace::Group::Private) {
            ns.privateId = (u.id << 32) | i;
        }
        u.namespaces.push_back(std::move(ns));
    }
    for (const auto& set : a.nsSets) {
        std::vector<Namespace> s;
        s.reserve(set.size());
        for (std::uint32_t ns : set) {
            s.push_back(u.namespaces[ns]);
        }
        u.nsSets.push_back(std::move(s));
    }
    u.classes.assign(a.classes.size(), nullptr);
    u.scriptState.assign(a.scripts.size(), 0);
    for (std::size_t s = 0; s < a.scripts.size(); ++s) {
        Object* g = allocate();
        g->kind = Object::Kind::Global;
        g->ownTraits = std::make_unique<Traits>();
        g->traits = g->ownTraits.get();
        g->proto = objectClass->prototype;
        for (const TraitInfo& t : a.scripts[s].traits) {
            const MultinameInfo& m = a.multinames[t.name];
            const std::string& local = a.strings[m.name];
            Binding b;
            b.ns = u.namespaces[m.ns];
            if (t.kind == TraitKind::Method || t.kind == TraitKind::Getter ||
                t.kind == TraitKind::Setter) {
                b.kind =
                    t.kind == TraitKind::Method ? Binding::Kind::Method : Binding::Kind::Accessor;
                MethodRef ref{&u, t.method, nullptr};
                if (Binding* existing = g->traits->findExact(local, b.ns);
                    existing != nullptr && existing->kind == Binding::Kind::Accessor) {
                    (t.kind == TraitKind::Getter ? existing->getter : existing->setter) = ref;
                    continue;
                }
                if (t.kind == TraitKind::Getter) {
                    b.getter = ref;
                } else if (t.kind == TraitKind::Setter) {
                    b.setter = ref;
                } else {
                    b.method = ref;
                }
            } else {
                b.kind = t.kind == TraitKind::Const   ? Binding::Kind::Const
                         : t.kind == TraitKind::Class ? Binding::Kind::Class
                                                      : Binding::Kind::Slot;
                std::uint32_t slot =
                    t.slotId != 0 ? t.slotId - 1 : static_cast<std::uint32_t>(g->slots.size());
                if (slot >= g->slots.size()) {
                    g->slots.resize(slot + 1);
                    g->traits->slots.resize(slot + 1);
                }
                b.slot = slot;
                SlotInit si;
                si.typeName = t.typeName;
                if (t.kind == TraitKind::Function) {
                    auto scope = std::make_shared<ScopeChain>();
                    scope->object = Value::object(g);
                    si.value = Value::object(newFunction(MethodRef{&u, t.method, nullptr}, scope));
                } else if (t.kind == TraitKind::Slot || t.kind == TraitKind::Const) {
                    si.type = resolveType(u, t.typeName);
                    si.value = t.valueIndex != 0 ? defaultValue(u, t.valueKind, t.valueIndex)
                               : si.type == intClass || si.type == uintClass ? Value::integer(0)
                               : si.type == numberClass
                                   ? Value::number(std::numeric_limits<double>::quiet_NaN())
                               : si.type == booleanClass ? Value::boolean(false)
                               : t.typeName == 0         ? Value()
                                                         : Value::null();
                } else {
                    si.value = Value::null();
                }
                g->slots[slot] = si.value;
                g->traits->slots[slot] = si;
            }
            domain.definitions[local].push_back(Definition{b.ns, &u, s});
            g->traits->add(local, std::move(b));
        }
        u.scriptGlobals.push_back(g);
    }
    return &u;
}

void Machine::runEntryPoint(AbcUnit& u) {
    if (u.abc.scripts.empty()) {
        return;
    }
    try {
        ensureScript(u, u.abc.scripts.size() - 1);
    } catch (const ScriptThrow& t) {
        printUncaught(t.value);
    } catch (const AbcError& e) {
        host_.trace(std::string("VerifyError: Error #") + std::to_string(e.code()) + ": " +
                    e.what());
    }
}

Value Machine::classByQualifiedName(const std::string& qualifiedName) {
    std::string pkg;
    std::string local = qualifiedName;
    if (auto dot = qualifiedName.rfind('.'); dot != std::string::npos) {
        pkg = qualifiedName.substr(0, dot);
        local = qualifiedName.substr(dot + 1);
    }
    const Name name = Name::qualified(Namespace::publicNs(pkg), local);
    Value holder = findDefinition(name);
    if (holder.isUndefined()) {
        return Value();
    }
    Value cls = getProperty(holder, name);
    if (!cls.isObject() || cls.asObject()->kind != Object::Kind::Class) {
        return Value();
    }
    return cls;
}

void Machine::defineSymbolClass(const std::string& qualifiedName) {
    try {
        classByQualifiedName(qualifiedName);
    } catch (const ScriptThrow& t) {
        printUncaught(t.value);
    } catch (const AbcError& e) {
        host_.trace(std::string("VerifyError: Error #") + std::to_string(e.code()) + ": " +
                    e.what());
    }
}

Class* Machine::symbolClassIn(std::uint32_t domain, const std::string& qualifiedName) {
    const DomainScope inside(*this, domain);
    try {
        const Value cls = classByQualifiedName(qualifiedName);
        return cls.isObject() ? cls.asObject()->builds : nullptr;
    } catch (const ScriptThrow& t) {
        printUncaught(t.value);
    } catch (const AbcError& e) {
        host_.trace(std::string("VerifyError: Error #") + std::to_string(e.code()) + ": " +
                    e.what());
    }
    return nullptr;
}

void Machine::constructDocument(const std::string& qualifiedName) {
    try {
        Value cls = classByQualifiedName(qualifiedName);
        if (cls.isUndefined()) {
            return;
        }
        // The object exists (and is the root) before its constructor runs, as a display
        // object does: the constructor's addFrameScript calls reach the root timeline.
        Class* c = cls.asObject()->builds;
        // Only a sprite can stand as the root: any other class is refused before it is made.
        Class* sprite = findClass("flash.display::Sprite");
        if (sprite != nullptr && !c->isSubclassOf(sprite)) {
            throwError("TypeError", 2023,
                       "Class " + c->qualifiedName() +
                           "$ must inherit from Sprite to link to the root.");
        }
        document_ = instantiate(c);
        // The document shows the root of the display tree.
        if (DisplayHost* display = host_.display()) {
            document_->displayNode = display->rootNode();
            display->bindScriptObject(document_->displayNode, document_);
        }
        Args none;
        constructSuper(c, Value::object(document_), none);
    } catch (const ScriptThrow& t) {
        printUncaught(t.value);
    } catch (const AbcError& e) {
        host_.trace(std::string("VerifyError: Error #") + std::to_string(e.code()) + ": " +
                    e.what());
    }
}

void Machine::runFrameScript(std::uint32_t frame) {
    if (document_ == nullptr) {
        return;
    }
    for (const auto& [key, fn] : document_->entries) {
        if (key.isInt() && static_cast<std::uint32_t>(key.asInt()) == frame) {
            Value f = fn;
            // Anything but a function registered for a frame is passed over, as Flash does.
            if (!f.isObject() || f.asObject()->kind != Object::Kind::Function) {
                return;
            }
            try {
                Args none;
                call(f, Value::object(document_), none);
            } catch (const ScriptThrow& t) {
                printUncaught(t.value);
            }
            return;
        }
    }
}

} // namespace avm2
