// flash.system.ApplicationDomain: the domain of the running code, its parents, the
// definitions a domain (with its parents first) knows by name, and the memory its code's
// memory instructions use.
#include "avm2/ByteArrayData.h"
#include "avm2/DomainObjects.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <cmath>

namespace avm2 {

namespace {

constexpr char kClass[] = "flash.system::ApplicationDomain";
constexpr char kDomain[] = "domain";

std::uint32_t domainOf(const Value& self) {
    return domainOfObject(self).value_or(Machine::kMovieDomain);
}

// new ApplicationDomain(parentDomain = null): a new child of the given domain, or of the
// system's.
Value domainInit(Machine& m, const Value& self, Args& a) {
    const std::uint32_t parent = domainOfObject(arg(a, 0)).value_or(Machine::kSystemDomain);
    setHiddenField(self, kDomain, Value::number(m.newDomain(parent)));
    return Value();
}

// What the domain defines under `written` ("pkg.Name" or "pkg::Name"), found as its own
// code would find it: getDefinitionByName asked from inside the domain.
Value definitionIn(Machine& m, std::uint32_t domain, const Value& written) {
    const Name lookup = Name::qualified(Namespace::publicNs("flash.utils"), "getDefinitionByName");
    const Value holder = m.findDefinitionIn(Machine::kSystemDomain, lookup);
    Args args{written};
    const Machine::DomainScope inside(m, domain);
    return m.callProperty(holder, lookup, args);
}

Value namesVector(Machine& m, std::vector<std::string> names) {
    const Value vector = m.applyType(Value::object(m.vectorClass->classObject),
                                     Args{Value::object(m.stringClass->classObject)});
    Args none;
    Value out = m.construct(vector, none);
    for (std::string& name : names) {
        Args one{Value::string(std::move(name))};
        m.callProperty(out, Name::publicName("push"), one);
    }
    return out;
}

Value setMemory(Machine& m, const Value& self, Args& a) {
    const Value given = arg(a, 0);
    if (!given.isNullish() && byteArrayData(given) == nullptr) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.toString(given) +
                         " to flash.utils.ByteArray.");
    }
    m.setDomainMemory(domainOf(self), given);
    return Value();
}

} // namespace

Value domainObject(Machine& m, std::uint32_t domain) {
    Object* made = m.instantiate(m.findClass(kClass));
    setHiddenField(made, kDomain, Value::number(domain));
    return Value::object(made);
}

std::optional<std::uint32_t> domainOfObject(const Value& v) {
    const Value id = hiddenField(v, kDomain, Value());
    if (!id.isNumber() && !id.isInt()) {
        return std::nullopt;
    }
    const double d = id.asNumber();
    if (!(d >= 0 && d <= 4294967295.0) || std::floor(d) != d) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(d);
}

void installApplicationDomain(Machine& m) {
    Class* domain = m.defineClass("flash.system", "ApplicationDomain", m.objectClass, domainInit);
    domain->sealed = true;
    m.defineStaticConst(domain, "MIN_DOMAIN_MEMORY_LENGTH", Value::unsignedInt(1024));
    m.defineGetter(
        domain, "currentDomain",
        [](Machine& mm, const Value&, Args&) { return domainObject(mm, mm.currentDomain()); },
        true);
    // The system domain stays hidden: the first movie's domain, and any made without a
    // parent, say they have none.
    m.defineGetter(domain, "parentDomain", [](Machine& mm, const Value& self, Args&) {
        const std::optional<std::uint32_t> parent = mm.parentDomain(domainOf(self));
        return parent && *parent != Machine::kSystemDomain ? domainObject(mm, *parent)
                                                           : Value::null();
    });
    m.defineMethod(domain, "getDefinition", [](Machine& mm, const Value& self, Args& a) {
        return definitionIn(mm, domainOf(self), arg(a, 0));
    });
    m.defineMethod(domain, "hasDefinition", [](Machine& mm, const Value& self, Args& a) {
        try {
            return Value::boolean(!definitionIn(mm, domainOf(self), arg(a, 0)).isUndefined());
        } catch (const ScriptThrow&) {
            return Value::boolean(false);
        }
    });
    m.defineMethod(domain, "getQualifiedDefinitionNames",
                   [](Machine& mm, const Value& self, Args&) {
                       return namesVector(mm, mm.domainDefinitionNames(domainOf(self)));
                   });
    m.defineGetter(domain, "domainMemory", [](Machine& mm, const Value& self, Args&) {
        return mm.domainMemory(domainOf(self));
    });
    m.defineSetter(domain, "domainMemory", setMemory);
}

} // namespace avm2
