#include "avm2/ProxyClass.h"

#include "avm2/Machine.h"

#include <cmath>
#include <string_view>

namespace avm2 {

namespace {

const std::string kProxyUri = "http://www.adobe.com/2006/actionscript/flash/proxy";

Name hookName(const char* hook) {
    return Name::qualified(Namespace::publicNs(kProxyUri), hook);
}

Value callHook(Machine& m, const Value& proxy, const char* hook, Args& args) {
    return m.callProperty(proxy, hookName(hook), args);
}

// What a Proxy subclass that does not override a hook gets: an error naming the hook.
template <int Code> Value notImplemented(Machine& m, const Value&, Args&) {
    const char* hook = Code == 2088   ? "getProperty"
                       : Code == 2089 ? "setProperty"
                       : Code == 2090 ? "callProperty"
                       : Code == 2091 ? "hasProperty"
                       : Code == 2092 ? "deleteProperty"
                       : Code == 2093 ? "getDescendants"
                       : Code == 2105 ? "nextNameIndex"
                       : Code == 2106 ? "nextName"
                                      : "nextValue";
    m.throwError("flash.errors::IllegalOperationError", Code,
                 std::string("The Proxy class does not implement ") + hook +
                     ". It must be overridden by a subclass.");
}

Value isAttributeFn(Machine&, const Value&, Args& a) {
    return Value::boolean(qnameIsAttribute(a.empty() ? Value() : a[0]));
}

// The attribute mark lives in the QName's number, which no other QName use reads.
constexpr double kAttributeMark = 1;

} // namespace

bool isProxy(const Value& v) {
    return v.isObject() && v.asObject()->kind == Object::Kind::Proxy;
}

bool qnameIsAttribute(const Value& v) {
    return v.isObject() && v.asObject()->kind == Object::Kind::QName &&
           v.asObject()->number == kAttributeMark;
}

Value proxyNamed(Machine& m, const Value& proxy, const char* hook, const Name& name, Args extra) {
    Args args;
    if (name.proxyForm == Name::ProxyForm::Text && std::string_view(hook) == "hasProperty") {
        args.push_back(Value::string(name.local));
    } else {
        // A name with a namespace set has no one URI: its QName's is the empty one.
        Args qnameArgs{
            name.anyNamespace
                ? Value::null()
                : Value::string(name.namespaces.size() == 1 ? name.namespaces[0].uri : ""),
            Value::string(name.local)};
        const Value q = m.construct(Value::object(m.qnameClass->classObject), qnameArgs);
        if (name.attribute) {
            q.asObject()->number = kAttributeMark;
        }
        args.push_back(q);
    }
    args.insert(args.end(), extra.begin(), extra.end());
    return callHook(m, proxy, hook, args);
}

bool proxyDeletes(const Value& proxy, const Name& name) {
    return proxy.isObject() && proxy.asObject()->dynamic && !name.attribute &&
           name.reachesDynamic();
}

std::int64_t proxyNextIndex(Machine& m, const Value& proxy, std::int64_t index) {
    Args args{Value::integer(static_cast<std::int32_t>(index))};
    const double next = m.toNumber(callHook(m, proxy, "nextNameIndex", args));
    return std::isfinite(next) && next > 0 && next <= 0x7FFFFFFF ? static_cast<std::int64_t>(next)
                                                                 : 0;
}

Value proxyNextName(Machine& m, const Value& proxy, std::int64_t index) {
    Args args{Value::integer(static_cast<std::int32_t>(index))};
    return callHook(m, proxy, "nextName", args);
}

Value proxyNextValue(Machine& m, const Value& proxy, std::int64_t index) {
    Args args{Value::integer(static_cast<std::int32_t>(index))};
    return callHook(m, proxy, "nextValue", args);
}

void installProxy(Machine& m) {
    Class* proxy = m.defineClass("flash.utils", "Proxy", m.objectClass);
    proxy->native = Class::Native::Proxy;
    const std::pair<const char*, NativeFn> hooks[] = {
        {"getProperty", notImplemented<2088>},    {"setProperty", notImplemented<2089>},
        {"callProperty", notImplemented<2090>},   {"hasProperty", notImplemented<2091>},
        {"deleteProperty", notImplemented<2092>}, {"getDescendants", notImplemented<2093>},
        {"nextNameIndex", notImplemented<2105>},  {"nextName", notImplemented<2106>},
        {"nextValue", notImplemented<2107>},      {"isAttribute", isAttributeFn},
    };
    for (const auto& [name, fn] : hooks) {
        Binding b;
        b.ns = Namespace::publicNs(kProxyUri);
        b.kind = Binding::Kind::Method;
        b.method = MethodRef{nullptr, 0, fn};
        b.declaredBy = proxy;
        proxy->instance.add(name, b);
    }
    Args uri{Value::string(kProxyUri)};
    m.defineGlobal("flash.utils", "flash_proxy",
                   m.construct(Value::object(m.namespaceClass->classObject), uri));
}

} // namespace avm2
