// flash.utils.Proxy: every property a proxy does not declare goes to its flash_proxy hook
// with the name as a QName; a hook the subclass leaves out throws its own error; for-in
// and AMF ask the enumeration hooks; a proxy on the scope chain is not asked hasProperty.

#include "FakeHost.h"

#include "avm2/ByteArrayData.h"
#include "avm2/ProxyClass.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

const std::string kProxyUri = "http://www.adobe.com/2006/actionscript/flash/proxy";

// What each hook was called with, in order.
std::vector<std::string> hookCalls;

template <const char* Hook> Value record(avm2::Machine& m, const Value&, Args& a) {
    std::string line = Hook;
    for (const Value& v : a) {
        line += " " + m.toString(v);
    }
    hookCalls.push_back(line);
    if (std::string(Hook) == "nextNameIndex") {
        const int i = a.empty() ? 0 : static_cast<int>(m.toNumber(a[0]));
        return Value::integer(i < 2 ? i + 1 : 0);
    }
    if (std::string(Hook) == "hasProperty") {
        return Value::boolean(true);
    }
    return Value::string(std::string(Hook) + "-result");
}

constexpr char kGet[] = "getProperty";
constexpr char kSet[] = "setProperty";
constexpr char kCall[] = "callProperty";
constexpr char kHas[] = "hasProperty";
constexpr char kDelete[] = "deleteProperty";
constexpr char kNextIndex[] = "nextNameIndex";
constexpr char kNextName[] = "nextName";
constexpr char kNextValue[] = "nextValue";

class Proxies : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};
    avm2::Class* recording = nullptr;

    void SetUp() override {
        vm.beginFrame();
        hookCalls.clear();
        recording = vm.defineClass("test", "Recording", vm.findClass("flash.utils::Proxy"));
        recording->sealed = false; // a dynamic proxy: `delete` reaches its hook
        const std::pair<const char*, avm2::NativeFn> hooks[] = {
            {kGet, record<kGet>},           {kSet, record<kSet>},
            {kCall, record<kCall>},         {kHas, record<kHas>},
            {kDelete, record<kDelete>},     {kNextIndex, record<kNextIndex>},
            {kNextName, record<kNextName>}, {kNextValue, record<kNextValue>},
        };
        for (const auto& [name, fn] : hooks) {
            avm2::Binding b;
            b.ns = avm2::Namespace::publicNs(kProxyUri);
            b.kind = avm2::Binding::Kind::Method;
            b.method = avm2::MethodRef{nullptr, 0, fn};
            recording->instance.add(name, b);
        }
    }
    Value make(avm2::Class* cls) {
        Args none;
        return vm.construct(Value::object(cls->classObject), none);
    }
    std::string thrown(const std::function<void()>& f) {
        try {
            f();
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return "";
    }
};

TEST_F(Proxies, EveryUndeclaredPropertyGoesToItsHook) {
    const Value p = make(recording);
    ASSERT_TRUE(avm2::isProxy(p));
    EXPECT_EQ(vm.toString(vm.getProperty(p, Name::publicName("a"))), "getProperty-result");
    vm.setProperty(p, Name::publicName("b"), Value::integer(2));
    Args args{Value::integer(7), Value::string("x")};
    EXPECT_EQ(vm.toString(vm.callProperty(p, Name::publicName("c"), args)), "callProperty-result");
    EXPECT_TRUE(vm.hasProperty(p, Name::publicName("d")));
    EXPECT_TRUE(vm.deleteProperty(p, Name::publicName("e")));
    EXPECT_EQ(hookCalls,
              (std::vector<std::string>{"getProperty a", "setProperty b 2", "callProperty c 7 x",
                                        "hasProperty d", "deleteProperty e"}));
}

TEST_F(Proxies, HooksLeftOutThrowTheirOwnErrors) {
    avm2::Class* bare = vm.defineClass("test", "Bare", vm.findClass("flash.utils::Proxy"));
    const Value p = make(bare);
    const std::string tail = ". It must be overridden by a subclass.";
    const std::vector<std::pair<std::function<void()>, std::string>> table = {
        {[&] { vm.getProperty(p, Name::publicName("a")); },
         "2088: The Proxy class does not implement getProperty"},
        {[&] { vm.setProperty(p, Name::publicName("a"), Value()); },
         "2089: The Proxy class does not implement setProperty"},
        {[&] {
             Args none;
             vm.callProperty(p, Name::publicName("a"), none);
         },
         "2090: The Proxy class does not implement callProperty"},
        {[&] { vm.hasProperty(p, Name::publicName("a")); },
         "2091: The Proxy class does not implement hasProperty"},
        {[&] { vm.deleteProperty(p, Name::publicName("a")); },
         "2092: The Proxy class does not implement deleteProperty"},
        {[&] { avm2::proxyNextIndex(vm, p, 0); },
         "2105: The Proxy class does not implement nextNameIndex"},
    };
    for (const auto& [action, message] : table) {
        EXPECT_EQ(thrown(action), std::string("Error: Error #").append(message).append(tail));
    }
}

TEST_F(Proxies, EnumerationHooksFeedAmf) {
    const Value p = make(recording);
    Value stream = Value::object(avm2::newByteArray(vm));
    Args args{p};
    vm.callProperty(stream, Name::publicName("writeObject"), args);
    // An anonymous dynamic object; the second entry's name and value are the same strings
    // again, so both travel as references.
    std::vector<std::uint8_t> expected = {0x0A, 0x0B, 0x01, 0x1F};
    for (char c : std::string("nextName-result")) {
        expected.push_back(static_cast<std::uint8_t>(c));
    }
    expected.insert(expected.end(), {0x06, 0x21});
    for (char c : std::string("nextValue-result")) {
        expected.push_back(static_cast<std::uint8_t>(c));
    }
    expected.insert(expected.end(), {0x00, 0x06, 0x02, 0x01});
    EXPECT_EQ(avm2::byteArrayData(stream)->data, expected);
    EXPECT_EQ(hookCalls.front(), "nextNameIndex 0");
    EXPECT_EQ(hookCalls.back(), "nextNameIndex 2");
}

// What a hook was handed as its name: a number, a string or a QName (and whether the QName
// names an attribute).
std::string nameKind(avm2::Machine& m, const Value& v) {
    if (v.isNumeric()) {
        return "number " + m.toString(v);
    }
    if (v.isString()) {
        return "string " + m.toString(v);
    }
    const bool qname = v.isObject() && v.asObject()->kind == avm2::Object::Kind::QName;
    return std::string(qname ? "QName" : "other") + (avm2::qnameIsAttribute(v) ? " @" : " ") +
           m.toString(v);
}

Value recordKind(avm2::Machine& m, const Value&, Args& a) {
    hookCalls.push_back(a.empty() ? "none" : nameKind(m, a[0]));
    return Value::boolean(true);
}

TEST_F(Proxies, EachHookGetsTheNameInTheFormFlashHandsIt) {
    avm2::Class* kinds = vm.defineClass("test", "Kinds", vm.findClass("flash.utils::Proxy"));
    kinds->sealed = false;
    for (const char* hook : {"getProperty", "setProperty", "callProperty", "hasProperty",
                             "deleteProperty", "getDescendants"}) {
        avm2::Binding b;
        b.ns = avm2::Namespace::publicNs(kProxyUri);
        b.kind = avm2::Binding::Kind::Method;
        b.method = avm2::MethodRef{nullptr, 0, recordKind};
        kinds->instance.add(hook, b);
    }
    const Value p = make(kinds);
    Name text = Name::publicName("k");
    text.proxyForm = Name::ProxyForm::Text;
    Name attribute = Name::publicName("a");
    attribute.attribute = true;
    const Name written = Name::publicName("w");
    const Name index = Name::publicName("4");
    struct Row {
        const char* hook;
        const Name* name;
        const char* handed;
    };
    // Only `in` asks by the string; an index is a QName like any written name.
    const Row rows[] = {
        {"hasProperty", &text, "string k"},      {"getProperty", &text, "QName k"},
        {"callProperty", &text, "QName k"},      {"getProperty", &written, "QName w"},
        {"setProperty", &index, "QName 4"},      {"deleteProperty", &index, "QName 4"},
        {"hasProperty", &written, "QName w"},    {"getDescendants", &written, "QName w"},
        {"getProperty", &attribute, "QName @a"}, {"callProperty", &attribute, "QName @a"},
    };
    for (const Row& r : rows) {
        hookCalls.clear();
        avm2::proxyNamed(vm, p, r.hook, *r.name);
        EXPECT_EQ(hookCalls, std::vector<std::string>{r.handed}) << r.hook << " " << r.name->local;
    }
}

TEST_F(Proxies, OnlyADynamicProxyIsAskedToDeleteAPublicName) {
    avm2::Class* sealedClass =
        vm.defineClass("test", "SealedRecording", vm.findClass("flash.utils::Proxy"));
    sealedClass->sealed = true; // a class made here is dynamic unless told otherwise
    avm2::Binding b;
    b.ns = avm2::Namespace::publicNs(kProxyUri);
    b.kind = avm2::Binding::Kind::Method;
    b.method = avm2::MethodRef{nullptr, 0, recordKind};
    sealedClass->instance.add("deleteProperty", b);
    const Value sealedProxy = make(sealedClass);
    const Value dynamicProxy = make(recording);
    Name attribute = Name::publicName("a");
    attribute.attribute = true;
    const Name other = Name::qualified(avm2::Namespace::publicNs("urn:other"), "n");
    const Name index = Name::publicName("2");
    struct Row {
        Value proxy;
        Name name;
        bool asked = false;
    };
    const Row rows[] = {
        {sealedProxy, Name::publicName("e"), false},
        {sealedProxy, index, false},
        {dynamicProxy, Name::publicName("e"), true},
        {dynamicProxy, index, true},
        {dynamicProxy, attribute, false},
        {dynamicProxy, other, false},
    };
    for (const Row& r : rows) {
        hookCalls.clear();
        const bool deleted = vm.deleteProperty(r.proxy, r.name);
        EXPECT_EQ(!hookCalls.empty(), r.asked) << r.name.local;
        EXPECT_EQ(deleted, r.asked) << r.name.local; // both hooks answer true
    }
}

// Converting a proxy to a primitive calls its methods outright: the callProperty hook answers
// for toString (a string wanted) or valueOf first (a number wanted), never hasProperty.
TEST_F(Proxies, ConversionToAPrimitiveAsksTheCallHook) {
    const Value p = make(recording);
    EXPECT_EQ(vm.toString(p), "callProperty-result");
    EXPECT_EQ(hookCalls, std::vector<std::string>{"callProperty toString"});
    hookCalls.clear();
    EXPECT_TRUE(std::isnan(vm.toNumber(p)));
    EXPECT_EQ(hookCalls, std::vector<std::string>{"callProperty valueOf"});
    // A proxy that overrides nothing throws the missing hook's error.
    const Value bare = make(vm.defineClass("test", "Bare", vm.findClass("flash.utils::Proxy")));
    EXPECT_NE(thrown([&] { vm.toString(bare); })
                  .find("2090: The Proxy class does not implement "
                        "callProperty"),
              std::string::npos);
}

TEST_F(Proxies, ByteArrayIndicesAreItsBytes) {
    const Value b = Value::object(avm2::newByteArray(vm));
    vm.setProperty(b, Name::publicName("2"), Value::integer(0x1FF));
    EXPECT_EQ(avm2::byteArrayData(b)->data, (std::vector<std::uint8_t>{0, 0, 0xFF}));
    EXPECT_EQ(vm.toString(vm.getProperty(b, Name::publicName("2"))), "255");
    EXPECT_TRUE(vm.getProperty(b, Name::publicName("3")).isUndefined());
    vm.setProperty(b, Name::publicName("0"), Value::number(-1.5));
    EXPECT_EQ(vm.toString(vm.getProperty(b, Name::publicName("0"))), "255");
}

} // namespace
