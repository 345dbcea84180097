// Rule tables for editing and comparing XML: how a value that is not XML becomes a child in
// old and new movies, which names setName accepts, negative indents, and equality of
// namespaces and names.

#include "FakeDisplayHost.h"
#include "avm2/XmlNodes.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

struct Movie {
    explicit Movie(int version) {
        host.tree.version = version;
        vm.beginFrame();
        setting("prettyPrinting", Value::boolean(false));
    }
    avm2test::DisplayTestHost host;
    avm2::Machine vm{host};

    Value cls(const char* name) { return Value::object(vm.findClass(name)->classObject); }
    Value make(const char* name, Args a) { return vm.construct(cls(name), a); }
    Value xml(const std::string& text) { return make("XML", {Value::string(text)}); }
    Value call(const Value& target, const std::string& method, Args a = {}) {
        return vm.callProperty(target, Name::publicName(method), a);
    }
    void setting(const char* name, const Value& v) {
        vm.setProperty(cls("XML"), Name::publicName(name), v);
    }
    std::string xmlString(const Value& v) { return vm.toString(call(v, "toXMLString")); }
    template <typename F> std::string thrown(F&& f) {
        try {
            f();
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return {};
    }
};

// From SWF 10 a string child is text, however it looks; appending it after an element makes
// an element of that name. Older movies read the string as markup.
TEST(XmlEditingRules, ChildValuesByMovieVersion) {
    struct Case {
        const char* method;
        const char* start;
        const char* value;
        const char* v9;
        const char* v10;
    };
    const Case table[] = {
        {"appendChild", "<a><b/></a>", "s", "<a><b/>s</a>", "<a><b/><b>s</b></a>"},
        {"appendChild", "<a><p:b xmlns:p='u'/></a>", "s", "<a><p:b xmlns:p=\"u\"/>s</a>",
         "<a><p:b xmlns:p=\"u\"/><p:b xmlns:p=\"u\">s</p:b></a>"},
        {"appendChild", "<a>t</a>", "s", "<a>ts</a>", "<a>ts</a>"},
        {"appendChild", "<a/>", "s", "<a>s</a>", "<a>s</a>"},
        {"appendChild", "<a><b/></a>", "<n>1</n>", "<a><b/><n>1</n></a>",
         "<a><b/><b>&lt;n&gt;1&lt;/n&gt;</b></a>"},
        {"appendChild", "<a/>", "<n>1</n>", "<a><n>1</n></a>", "<a>&lt;n&gt;1&lt;/n&gt;</a>"},
        {"prependChild", "<a><b/></a>", "<n>1</n>", "<a><n>1</n><b/></a>",
         "<a>&lt;n&gt;1&lt;/n&gt;<b/></a>"},
        {"setChildren", "<a><b/></a>", "<n>1</n>", "<a><n>1</n></a>",
         "<a>&lt;n&gt;1&lt;/n&gt;</a>"},
        {"prependChild", "<a><b/></a>", "s", "<a>s<b/></a>", "<a>s<b/></a>"},
    };
    for (const int version : {9, 10}) {
        for (const Case& c : table) {
            Movie m(version);
            const Value x = m.xml(c.start);
            m.call(x, c.method, {Value::string(c.value)});
            EXPECT_EQ(m.xmlString(x), version == 9 ? c.v9 : c.v10)
                << c.method << " " << c.start << " " << c.value << " v" << version;
        }
    }
    Movie m(10);
    const Value x = m.xml("<a><b/></a>");
    m.call(x, "appendChild", {m.xml("<c/>")});
    EXPECT_EQ(m.xmlString(x), "<a><b/><c/></a>") << "XML is appended as it is";
}

TEST(XmlEditingRules, SetNameAcceptsXmlNamesOnly) {
    struct Case {
        Value name;
        const char* result;
    };
    const Case table[] = {
        {Value::string("n"), "<n/>"},
        {Value::string("_a.b-c9"), "<_a.b-c9/>"},
        {Value::string("\xc3\xa9t\xc3\xa9"), "<\xc3\xa9t\xc3\xa9/>"},
        {Value::string(""), "TypeError: Error #1117: Invalid XML name: ."},
        {Value(), "TypeError: Error #1117: Invalid XML name: ."},
        {Value::integer(5), "TypeError: Error #1117: Invalid XML name: 5."},
        {Value::string("9a"), "TypeError: Error #1117: Invalid XML name: 9a."},
        {Value::string("a b"), "TypeError: Error #1117: Invalid XML name: a b."},
        {Value::string("p:a"), "TypeError: Error #1117: Invalid XML name: p:a."},
        {Value::string("<n/>"), "TypeError: Error #1117: Invalid XML name: <n/>."},
        {Value::string("-a"), "TypeError: Error #1117: Invalid XML name: -a."},
    };
    for (const Case& c : table) {
        Movie m(10);
        const Value x = m.xml("<a/>");
        std::string got = m.thrown([&] { m.call(x, "setName", {c.name}); });
        if (got.empty()) {
            got = m.xmlString(x);
        }
        EXPECT_EQ(got, c.result) << m.vm.toString(c.name);
    }
    EXPECT_FALSE(avm2::isXmlName("a:b"));
    EXPECT_TRUE(avm2::isXmlName("a"));
}

TEST(XmlEditingRules, NegativeIndentTurnsPrettyPrintingOff) {
    struct Case {
        int indent;
        const char* result;
    };
    const Case table[] = {{0, "<a>\n<b>x</b>\n</a>"},
                          {1, "<a>\n <b>x</b>\n</a>"},
                          {-1, "<a><b>x</b></a>"},
                          {-100, "<a><b>x</b></a>"}};
    for (const Case& c : table) {
        Movie m(10);
        m.setting("prettyPrinting", Value::boolean(true));
        m.setting("prettyIndent", Value::integer(c.indent));
        EXPECT_EQ(m.xmlString(m.xml("<a> <b> x </b> </a>")), c.result) << c.indent;
    }
}

TEST(XmlEditingRules, NamespacesAndNamesCompareByValue) {
    Movie m(10);
    auto ns = [&](const char* prefix, const char* uri) {
        return m.make("Namespace", {Value::string(prefix), Value::string(uri)});
    };
    auto qn = [&](const Value& uri, const char* local) {
        return m.make("QName", {uri, Value::string(local)});
    };
    EXPECT_TRUE(m.vm.looseEquals(ns("p", "u"), ns("q", "u"))) << "prefixes do not matter";
    EXPECT_FALSE(m.vm.looseEquals(ns("p", "u"), ns("p", "v")));
    EXPECT_FALSE(m.vm.strictEquals(ns("p", "u"), ns("p", "u")));
    EXPECT_TRUE(m.vm.looseEquals(qn(Value::string("u"), "n"), qn(Value::string("u"), "n")));
    EXPECT_FALSE(m.vm.looseEquals(qn(Value::string("u"), "n"), qn(Value::string("u"), "m")));
    EXPECT_FALSE(m.vm.looseEquals(qn(Value::string("u"), "n"), qn(Value::string("v"), "n")));
    EXPECT_TRUE(m.vm.looseEquals(qn(Value::null(), "n"), qn(Value::null(), "n")));
    EXPECT_FALSE(m.vm.looseEquals(qn(Value::null(), "n"), qn(Value::string(""), "n")));
    EXPECT_TRUE(m.vm.looseEquals(ns("p", "u"), Value::string("u"))) << "a string still converts";
}

} // namespace
