// describeType: a value's class as XML, in the order Flash writes it. The type element
// names the class, its base, and whether it is dynamic, final and static; inside come the
// classes it extends, the interfaces it implements, its constructor's parameters, then its
// public variables and constants, accessors and methods. A class object is described as a
// Class, its instances' traits in a factory element. null is the type "null"; undefined
// the type "void" (flash.utils' describeType refuses it as it refuses any property of
// undefined).
#include "avm2/DescribeType.h"

#include "avm2/Machine.h"
#include "avm2/NativeDeclarations.h"

#include <algorithm>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace avm2 {

namespace {

// The flags avmplus.describeType takes; flash.utils.describeType passes FLASH10_FLAGS.
constexpr std::uint32_t kFlash10Flags = 0x05FF;

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string attr(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + escaped(value) + "\"";
}

std::string flag(bool b) {
    return b ? "true" : "false";
}

// The name a type written in a unit's code stands for: "*" when any type will do.
std::string typeName(Machine& m, AbcUnit* unit, std::uint32_t multiname) {
    if (unit == nullptr || multiname == 0 || multiname >= unit->abc.multinames.size()) {
        return "*";
    }
    if (Class* c = m.resolveType(*unit, multiname)) {
        return c->qualifiedName();
    }
    const MultinameInfo& mn = unit->abc.multinames[multiname];
    return mn.name < unit->abc.strings.size() && !unit->abc.strings[mn.name].empty()
               ? unit->abc.strings[mn.name]
               : std::string("*");
}

const MethodInfo* methodInfo(const MethodRef& ref) {
    return ref.unit != nullptr && ref.index < ref.unit->abc.methods.size()
               ? &ref.unit->abc.methods[ref.index]
               : nullptr;
}

std::string parameters(Machine& m, const MethodRef& ref) {
    const MethodInfo* info = methodInfo(ref);
    if (info == nullptr) {
        return {};
    }
    std::string out;
    const std::size_t count = info->paramTypes.size();
    const std::size_t optional = std::min(info->optional.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        out += "<parameter" + attr("index", std::to_string(i + 1)) +
               attr("type", typeName(m, ref.unit, info->paramTypes[i])) +
               attr("optional", flag(i >= count - optional)) + "/>";
    }
    return out;
}

// A native method's parameters from its declaration: types separated by commas, a default
// marked by a trailing "=".
std::string nativeMethodParameters(std::string_view declared) {
    std::string out;
    std::size_t index = 0;
    while (!declared.empty()) {
        const std::size_t comma = declared.find(',');
        std::string_view type = declared.substr(0, comma);
        declared =
            comma == std::string_view::npos ? std::string_view() : declared.substr(comma + 1);
        const bool optional = type.ends_with('=');
        if (optional) {
            type.remove_suffix(1);
        }
        out += "<parameter" + attr("index", std::to_string(++index)) +
               attr("type", std::string(type)) + attr("optional", flag(optional)) + "/>";
    }
    return out;
}

struct Member {
    int order = 0; // variables and constants, then accessors, then methods
    std::string name;
    std::string xml;
};

void sortMembers(std::vector<Member>& list) {
    std::stable_sort(list.begin(), list.end(), [](const Member& a, const Member& b) {
        return a.order != b.order ? a.order < b.order : a.name < b.name;
    });
}

bool sameNative(const Binding& a, const Binding& b) {
    return a.kind == b.kind && a.getter.native == b.getter.native &&
           a.setter.native == b.setter.native && a.method.native == b.method.native;
}

// A built-in's binding names no owner: the farthest base that holds the same one declares it.
std::string declaredBy(const Binding& b, const Class* cls, const std::string& name) {
    if (b.declaredBy != nullptr) {
        return b.declaredBy->qualifiedName();
    }
    const Class* owner = cls;
    for (const Class* c = cls->super; c != nullptr; c = c->super) {
        const auto it = c->instance.byName.find(name);
        if (it == c->instance.byName.end() ||
            std::none_of(it->second.begin(), it->second.end(),
                         [&b](const Binding& other) { return sameNative(b, other); })) {
            break;
        }
        owner = c;
    }
    return owner->qualifiedName();
}

// The namespaced members a description leaves out. A member bound in the namespace of an
// interface's method is that method (the class shows it once, publicly). And Flash's flags
// hide every member in a namespace with a URI that a base class binds a name in: Object's own
// methods put the AS3 namespace among those for every class but Object itself, and a
// Proxy's subclass does not show the flash_proxy hooks it overrides.
class HiddenMembers {
  public:
    HiddenMembers(const Class* cls, bool statics) {
        // A class object's bases are Class and Object.
        if (statics || cls->super != nullptr) {
            uris_.insert(kAs3Uri);
        }
        if (statics) {
            return;
        }
        for (const Class* c = cls->super; c != nullptr; c = c->super) {
            for (const auto& [name, bindings] : c->instance.byName) {
                for (const Binding& b : bindings) {
                    if (b.ns.group == Namespace::Group::Public && !b.ns.uri.empty()) {
                        uris_.insert(b.ns.uri);
                    }
                }
            }
        }
        for (const Class* c = cls; c != nullptr; c = c->super) {
            for (const Class* i : c->interfaces) {
                for (const auto& [name, bindings] : i->instance.byName) {
                    for (const Binding& b : bindings) {
                        interfaceNames_.emplace_back(name, b.ns);
                    }
                }
            }
        }
    }

    bool hides(const std::string& name, const Binding& b) const {
        if (!b.ns.uri.empty() && uris_.count(b.ns.uri) != 0) {
            return true;
        }
        return std::any_of(interfaceNames_.begin(), interfaceNames_.end(),
                           [&](const auto& n) { return n.first == name && n.second == b.ns; });
    }

  private:
    std::set<std::string> uris_;
    std::vector<std::pair<std::string, Namespace>> interfaceNames_;
};

// The traits a compiled class declares for its instances, or for itself (its statics).
const std::vector<TraitInfo>* declaredTraits(const Class* c, bool statics) {
    if (c == nullptr || c->unit == nullptr || c->init.unit != c->unit) {
        return nullptr;
    }
    const AbcFile& abc = c->unit->abc;
    for (std::size_t i = 0; i < abc.instances.size(); ++i) {
        if (abc.instances[i].init == c->init.index) {
            if (statics) {
                return i < abc.classes.size() ? &abc.classes[i].traits : nullptr;
            }
            return &abc.instances[i].traits;
        }
    }
    return nullptr;
}

// Metadata elements, as a compiler kept them: [Name(key="value", "bare")].
std::string metadataXml(const AbcFile& abc, const std::vector<std::uint32_t>& indices) {
    const auto text = [&abc](std::uint32_t i) {
        return i < abc.strings.size() ? abc.strings[i] : std::string();
    };
    std::string out;
    for (std::uint32_t index : indices) {
        if (index >= abc.metadata.size()) {
            continue;
        }
        const MetadataInfo& md = abc.metadata[index];
        std::string args;
        for (const auto& [key, value] : md.items) {
            args += "<arg" + attr("key", text(key)) + attr("value", text(value)) + "/>";
        }
        out += "<metadata" + attr("name", text(md.name)) +
               (args.empty() ? "/>" : ">" + args + "</metadata>");
    }
    return out;
}

// The metadata of a member: every trait of that name its declaring class gives (a getter's
// and a setter's both).
std::string memberMetadata(const Binding& b, const Class* cls, const std::string& name,
                           bool statics) {
    const Class* owner = b.declaredBy != nullptr ? b.declaredBy : cls;
    const std::vector<TraitInfo>* traits = declaredTraits(owner, statics);
    if (traits == nullptr) {
        return {};
    }
    const AbcFile& abc = owner->unit->abc;
    std::string out;
    for (const TraitInfo& t : *traits) {
        if (t.metadata.empty() || t.name >= abc.multinames.size()) {
            continue;
        }
        const std::uint32_t local = abc.multinames[t.name].name;
        if (local < abc.strings.size() && abc.strings[local] == name) {
            out += metadataXml(abc, t.metadata);
        }
    }
    return out;
}

// The metadata a compiled class gives itself, kept on its trait in the script defining it.
std::string classMetadata(const Class* cls) {
    if (cls == nullptr || cls->unit == nullptr || cls->init.unit != cls->unit) {
        return {};
    }
    const AbcFile& abc = cls->unit->abc;
    for (std::size_t i = 0; i < abc.instances.size(); ++i) {
        if (abc.instances[i].init != cls->init.index) {
            continue;
        }
        for (const ScriptInfo& script : abc.scripts) {
            for (const TraitInfo& t : script.traits) {
                if (t.kind == TraitKind::Class && t.classIndex == i) {
                    return metadataXml(abc, t.metadata);
                }
            }
        }
    }
    return {};
}

std::string element(const char* tag, const std::string& head, const std::string& body) {
    return std::string("<") + tag + head + (body.empty() ? "/>" : ">" + body + "</" + tag + ">");
}

// The methods the player's own classes give their instances natively (kept on their
// prototypes, not as traits), each under the nearest class that defines it, with its
// declared signature where the declarations name it. A compiled subclass's own method of the
// same name is shown by its trait instead.
void nativeMethods(const Class* cls, const Traits& traits, std::vector<Member>& out) {
    std::set<std::string> shown;
    for (const auto& [name, bindings] : traits.byName) {
        for (const Binding& b : bindings) {
            if (b.ns.group == Namespace::Group::Public && b.ns.uri.empty()) {
                shown.insert(name);
            }
        }
    }
    for (const Class* c = cls; c != nullptr; c = c->super) {
        // The core classes' methods are in the AS3 namespace, which a description hides.
        if (c->ns.uri.empty() || c->ns.uri == "__AS3__.vec") {
            continue;
        }
        const std::string owner = c->qualifiedName();
        for (const auto& entry : c->as3Methods) {
            const std::string& name = entry.first;
            if (!shown.insert(name).second) {
                continue;
            }
            // An override keeps the signature of the method it replaces.
            NativeMethod declared{"*", ""};
            for (const Class* d = c; d != nullptr; d = d->super) {
                if (nativeMethod(d->qualifiedName(), name, declared)) {
                    break;
                }
            }
            Member member;
            member.order = 2;
            member.name = name;
            member.xml = element("method",
                                 attr("name", name) + attr("declaredBy", owner) +
                                     attr("returnType", std::string(declared.returns)),
                                 nativeMethodParameters(declared.parameters));
            out.push_back(std::move(member));
        }
    }
}

// The public and namespaced members of a class's instances (or of the class itself). What
// Object declares stays out (objectMethods shows it for Object alone).
std::vector<Member> members(Machine& m, const Class* cls, const Traits& traits, bool statics) {
    std::vector<Member> out;
    const HiddenMembers hidden(cls, statics);
    for (const auto& [name, bindings] : traits.byName) {
        for (const Binding& b : bindings) {
            if (b.ns.group != Namespace::Group::Public || hidden.hides(name, b)) {
                continue;
            }
            if (b.declaredBy != nullptr && b.declaredBy == m.objectClass) {
                continue;
            }
            const std::string uri = b.ns.uri.empty() ? std::string() : attr("uri", b.ns.uri);
            Member member;
            member.name = name;
            switch (b.kind) {
            case Binding::Kind::Slot:
            case Binding::Kind::Const:
            case Binding::Kind::Class: {
                std::string type = "*";
                if (b.slot < traits.slots.size()) {
                    const SlotInit& si = traits.slots[b.slot];
                    if (si.type != nullptr) {
                        type = si.type->qualifiedName();
                    } else if (b.declaredBy != nullptr && b.declaredBy->unit != nullptr) {
                        type = typeName(m, b.declaredBy->unit, si.typeName);
                    }
                }
                if (b.kind == Binding::Kind::Class) {
                    type = "Class";
                }
                member.xml = element(b.kind == Binding::Kind::Slot ? "variable" : "constant",
                                     attr("name", name) + attr("type", type) + uri,
                                     memberMetadata(b, cls, name, statics));
                break;
            }
            case Binding::Kind::Accessor: {
                member.order = 1;
                const char* access = b.getter.valid() && b.setter.valid() ? "readwrite"
                                     : b.getter.valid()                   ? "readonly"
                                                                          : "writeonly";
                std::string type = "*";
                if (const MethodInfo* g = methodInfo(b.getter)) {
                    type = typeName(m, b.getter.unit, g->returnType);
                } else if (const MethodInfo* s = methodInfo(b.setter);
                           s && !s->paramTypes.empty()) {
                    type = typeName(m, b.setter.unit, s->paramTypes[0]);
                }
                if (type == "*" && b.getter.unit == nullptr && b.setter.unit == nullptr) {
                    const std::string_view declared =
                        nativeAccessorType(declaredBy(b, cls, name), name);
                    type = declared.empty() ? type : std::string(declared);
                }
                member.xml =
                    element("accessor",
                            attr("name", name) + attr("access", access) + attr("type", type) +
                                attr("declaredBy", declaredBy(b, cls, name)) + uri,
                            memberMetadata(b, cls, name, statics));
                break;
            }
            case Binding::Kind::Method: {
                member.order = 2;
                const MethodInfo* info = methodInfo(b.method);
                const std::string owner = declaredBy(b, cls, name);
                std::string returns =
                    info != nullptr ? typeName(m, b.method.unit, info->returnType) : "*";
                std::string params = parameters(m, b.method);
                if (NativeMethod declared; info == nullptr && nativeMethod(owner, name, declared)) {
                    returns = declared.returns;
                    params = nativeMethodParameters(declared.parameters);
                }
                member.xml = element("method",
                                     attr("name", name) + attr("declaredBy", owner) +
                                         attr("returnType", returns) + uri,
                                     params + memberMetadata(b, cls, name, statics));
                break;
            }
            }
            out.push_back(std::move(member));
        }
    }
    if (!statics) {
        nativeMethods(cls, traits, out);
    }
    sortMembers(out);
    return out;
}

// A native constructor's parameters as its class declares them; a class whose constructor is
// its base's own (the error classes) declares what the base does.
std::string nativeParameters(const Class* cls) {
    NativeConstructor declared;
    for (const Class* c = cls; c != nullptr; c = c->super) {
        if (nativeConstructor(c->qualifiedName(), declared)) {
            break;
        }
        if (c->super == nullptr || c->super->init.native != cls->init.native) {
            return {};
        }
    }
    std::string out;
    for (std::uint8_t i = 0; i < declared.count; ++i) {
        out += "<parameter" + attr("index", std::to_string(i + 1)) +
               attr("type", std::string(declared.type)) + attr("optional", "true") + "/>";
    }
    return out;
}

// Object's own methods, in the AS3 namespace: Flash hides Object's traits in any other
// class's description, but shows them when Object itself is described.
std::string objectMethods() {
    std::string out;
    for (const char* name : {"hasOwnProperty", "isPrototypeOf", "propertyIsEnumerable"}) {
        out += "<method" + attr("name", name) + attr("declaredBy", "Object") +
               attr("returnType", "Boolean") + attr("uri", "http://adobe.com/AS3/2006/builtin") +
               "><parameter index=\"1\" type=\"*\" optional=\"true\"/></method>";
    }
    return out;
}

// What goes inside a type (or factory) element for instances of `cls`.
std::string traitsXml(Machine& m, const Class* cls, const Traits& traits) {
    std::string out;
    for (const Class* c = cls->super; c != nullptr; c = c->super) {
        out += "<extendsClass" + attr("type", c->qualifiedName()) + "/>";
    }
    for (const Class* c = cls; c != nullptr; c = c->super) {
        for (const Class* i : c->interfaces) {
            out += "<implementsInterface" + attr("type", i->qualifiedName()) + "/>";
        }
    }
    // The constructor shows when it takes arguments.
    std::string params = parameters(m, cls->init);
    if (params.empty() && cls->init.unit == nullptr) {
        params = nativeParameters(cls);
    }
    if (!params.empty()) {
        out += "<constructor>" + params + "</constructor>";
    }
    // An interface has no base, yet is no Object.
    if (cls->super == nullptr && !cls->isInterface) {
        out += objectMethods();
    }
    for (const Member& member : members(m, cls, traits, false)) {
        out += member.xml;
    }
    return out + classMetadata(cls);
}

std::string typeElement(const std::string& name, const std::string& base, bool isDynamic,
                        bool isFinal, bool isStatic, const std::string& inside) {
    std::string out = "<type" + attr("name", name);
    if (!base.empty()) {
        out += attr("base", base);
    }
    out += attr("isDynamic", flag(isDynamic)) + attr("isFinal", flag(isFinal)) +
           attr("isStatic", flag(isStatic));
    return out + (inside.empty() ? "/>" : ">" + inside + "</type>");
}

std::string describe(Machine& m, const Value& v) {
    if (v.isNull()) {
        return typeElement("null", "", false, true, false, "");
    }
    if (v.isUndefined()) {
        return typeElement("void", "", false, true, false, "");
    }
    if (v.isObject() && v.asObject()->kind == Object::Kind::Class && v.asObject()->builds) {
        Class* cls = v.asObject()->builds;
        const Object* co = v.asObject();
        // Interfaces a script names before it defines them are settled by now.
        m.settleInterfaces(cls);
        std::string inside = "<extendsClass type=\"Class\"/><extendsClass type=\"Object\"/>";
        // Every class object's prototype accessor sorts among the class's own accessors.
        std::vector<Member> statics;
        if (co->traits != nullptr) {
            statics = members(m, cls, *co->traits, true);
        }
        statics.push_back({1, "prototype",
                           "<accessor name=\"prototype\" access=\"readonly\" type=\"*\" "
                           "declaredBy=\"Class\"/>"});
        sortMembers(statics);
        for (const Member& member : statics) {
            inside += member.xml;
        }
        inside += "<factory" + attr("type", cls->qualifiedName()) + ">" +
                  traitsXml(m, cls, cls->instance) + "</factory>";
        return typeElement(cls->qualifiedName(), "Class", true, true, true, inside);
    }
    Class* cls = m.classOf(v);
    if (cls != nullptr) {
        m.settleInterfaces(cls);
    }
    if (cls == nullptr) {
        return typeElement("Object", "", true, false, false, objectMethods());
    }
    return typeElement(cls->qualifiedName(),
                       cls->super != nullptr ? cls->super->qualifiedName() : "", !cls->sealed,
                       cls->isFinal, false, traitsXml(m, cls, cls->instance));
}

Value asXml(Machine& m, const std::string& text) {
    Class* xml = m.findClass("XML");
    Args args{Value::string(text)};
    return xml != nullptr ? m.construct(Value::object(xml->classObject), args) : Value::null();
}

Value describeTypeFn(Machine& m, const Value&, Args& a) {
    const Value v = a.empty() ? Value() : a[0];
    if (v.isUndefined()) {
        m.throwError("TypeError", 1010, "A term is undefined and has no properties.");
    }
    return asXml(m, describe(m, v));
}

Value avmplusDescribeTypeFn(Machine& m, const Value&, Args& a) {
    return asXml(m, describe(m, a.empty() ? Value() : a[0]));
}

} // namespace

void installDescribeType(Machine& m) {
    m.defineGlobal("flash.utils", "describeType",
                   Value::object(m.newNative(describeTypeFn, "describeType")));
    m.defineGlobal("avmplus", "describeType",
                   Value::object(m.newNative(avmplusDescribeTypeFn, "describeType")));
    const std::pair<const char*, std::uint32_t> flags[] = {
        {"HIDE_NSURI_METHODS", 0x0001}, {"INCLUDE_BASES", 0x0002},
        {"INCLUDE_INTERFACES", 0x0004}, {"INCLUDE_VARIABLES", 0x0008},
        {"INCLUDE_ACCESSORS", 0x0010},  {"INCLUDE_METHODS", 0x0020},
        {"INCLUDE_METADATA", 0x0040},   {"INCLUDE_CONSTRUCTOR", 0x0080},
        {"INCLUDE_TRAITS", 0x0100},     {"USE_ITRAITS", 0x0200},
        {"HIDE_OBJECT", 0x0400},        {"FLASH10_FLAGS", kFlash10Flags}};
    for (const auto& [name, value] : flags) {
        m.defineGlobal("avmplus", name, Value::unsignedInt(value));
    }
}

} // namespace avm2
