// flash.xml's document model by table: what the reader makes of markup (and where it stops),
// the markup a parsed document writes back, the names and namespaces a node reports, and how
// appendChild, insertBefore, removeNode and cloneNode keep the links consistent.

#include "FakeHost.h"
#include "avm2/XmlDocumentParser.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

// The reader's items in one line: <name a=v>, </name>, <name/> and "text".
std::string items(const avm2::xmldoc::Parsed& p) {
    std::string out;
    for (const auto& item : p.items) {
        using K = avm2::xmldoc::Item::Kind;
        if (item.kind == K::Text) {
            out += "\"" + item.text + "\"";
            continue;
        }
        out += item.kind == K::Close ? "</" : "<";
        out += item.text;
        for (const auto& a : item.attributes) {
            out += " " + a.name + "=" + a.value;
        }
        out += item.empty ? "/>" : ">";
    }
    return out + (p.error != 0 ? " #" + std::to_string(p.error) : "");
}

TEST(XmlDocumentReader, ItemsAndErrors) {
    struct Case {
        const char* text;
        bool ignoreWhite;
        const char* expected;
    };
    const Case cases[] = {
        {"<a/>", false, "<a/>"},
        {"<a x='1' y=\"&lt;2&#65;\">t</a>", false, "<a x=1 y=<2A>\"t\"</a>"},
        {"<a> <b/> </a>", false, "<a>\" \"<b/>\" \"</a>"},
        {"<a> <b/> </a>", true, "<a><b/></a>"},
        {"<a><![CDATA[<x> ]]><!-- c --><?pi x?></a>", true, "<a>\"<x> \"</a>"},
        {"x &amp; &bogus; y", false, "\"x & &bogus; y\""},
        {"<a></b>", false, "<a> #1085"},
        {"</b>", false, " #1088"},
        {"<a><b></a>", false, "<a><b> #1085"},
        {"<a>", false, "<a> #1085"},
        {"<a x=1/>", false, " #1090"},
        {"<a x='1/>", false, " #1095"},
        {"<a", false, " #1096"},
        {"< a/>", false, " #1090"},
        {"<a><!-- open", false, "<a> #1094"},
        {"<![CDATA[x", false, " #1091"},
        {"<?xml version='1.0'", false, " #1092"},
        {"<!DOCTYPE a [ <!ENTITY x 'y'> ", false, " #1093"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(items(avm2::xmldoc::parse(c.text, c.ignoreWhite)), c.expected) << c.text;
    }
    const auto declared =
        avm2::xmldoc::parse("<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e 'v'>]><a/>", false);
    EXPECT_EQ(declared.declaration, "<?xml version=\"1.0\"?>");
    EXPECT_EQ(declared.doctype, "<!DOCTYPE a [<!ENTITY e 'v'>]>");
    // Nesting past the limit is refused, not followed down.
    std::string deep;
    for (std::size_t i = 0; i <= avm2::xmldoc::kMaxDepth; ++i) {
        deep += "<a>";
    }
    EXPECT_EQ(avm2::xmldoc::parse(deep, false).error, 1090);
}

class XmlDocument : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    Value make(const char* cls, Args a) {
        return vm.construct(
            Value::object(vm.findClass(std::string("flash.xml::") + cls)->classObject), a);
    }
    Value document(const std::string& text, bool ignoreWhite = false) {
        const Value doc = make("XMLDocument", {});
        vm.setProperty(doc, Name::publicName("ignoreWhite"), Value::boolean(ignoreWhite));
        call(doc, "parseXML", {Value::string(text)});
        return doc;
    }
    Value call(const Value& target, const std::string& method, Args a = {}) {
        return vm.callProperty(target, Name::publicName(method), a);
    }
    Value get(const Value& target, const std::string& property) {
        return vm.getProperty(target, Name::publicName(property));
    }
    std::string text(const Value& v) { return vm.toString(v); }
    // The node down a path of child indexes.
    Value at(Value node, std::initializer_list<int> path) {
        for (int i : path) {
            node = vm.getProperty(get(node, "childNodes"), Name::publicName(std::to_string(i)));
        }
        return node;
    }
    // Every link of a node's children checked against its childNodes: "ok" or what broke.
    std::string links(const Value& parent) {
        const Value kids = get(parent, "childNodes");
        const auto n = static_cast<int>(vm.toNumber(get(kids, "length")));
        Value previous = Value::null();
        for (int i = 0; i < n; ++i) {
            const Value kid = at(parent, {i});
            if (!vm.strictEquals(get(kid, "parentNode"), parent) ||
                !vm.strictEquals(get(kid, "previousSibling"), previous)) {
                return "child " + std::to_string(i);
            }
            if (i > 0 && !vm.strictEquals(get(previous, "nextSibling"), kid)) {
                return "next of " + std::to_string(i - 1);
            }
            previous = kid;
        }
        if (n > 0 && (!vm.strictEquals(get(parent, "firstChild"), at(parent, {0})) ||
                      !vm.strictEquals(get(parent, "lastChild"), previous) ||
                      !get(previous, "nextSibling").isNull())) {
            return "ends";
        }
        return "ok";
    }
};

TEST_F(XmlDocument, WritesBackWhatItRead) {
    struct Case {
        const char* text;
        bool ignoreWhite;
        const char* expected;
    };
    const Case cases[] = {
        {"<root/>", false, "<root />"},
        {"<a x=\"1\" y='&quot;'><b>t &amp; u</b><c></c></a>", false,
         "<a x=\"1\" y=\"&quot;\"><b>t &amp; u</b><c /></a>"},
        {"<?xml version=\"1.0\"?>\n<a> <b/> </a>", true, "<?xml version=\"1.0\"?><a><b /></a>"},
        {"<a> <b/> </a>", false, "<a> <b /> </a>"},
        {"<a><![CDATA[1<2]]></a>", false, "<a>1&lt;2</a>"},
        {"text<a/>more", false, "text<a />more"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(text(document(c.text, c.ignoreWhite)), c.expected) << c.text;
    }
    // A new parse replaces the old tree; text that does not parse throws Flash's error.
    const Value doc = document("<a/><b/>");
    call(doc, "parseXML", {Value::string("<c/>")});
    EXPECT_EQ(text(doc), "<c />");
    try {
        call(doc, "parseXML", {Value::string("<a><b></a>")});
        ADD_FAILURE() << "no error";
    } catch (const avm2::ScriptThrow& t) {
        EXPECT_EQ(text(get(t.value, "message")),
                  "Error #1085: The element type \"b\" must be terminated by the matching "
                  "end-tag \"</b>\".");
    }
    // Elements with an id are found by it.
    const Value ids = get(document("<a id=\"one\"><b id=\"two\"/></a>"), "idMap");
    EXPECT_EQ(text(get(get(ids, "two"), "nodeName")), "b");
}

TEST_F(XmlDocument, NamesAndNamespaces) {
    const Value doc = document("<r xmlns=\"urn:d\" xmlns:p=\"urn:p\"><p:e p:a=\"1\"><f/></p:e></r>"
                               "<q:s xmlns:q=\"urn:q\"/>text");
    struct Case {
        std::initializer_list<int> path;
        const char* expected; // prefix|localName|namespaceURI|ns for p|prefix for urn:p
    };
    const Case cases[] = {
        {{0}, "|r|urn:d|urn:p|p"},         {{0, 0}, "p|e|urn:p|urn:p|p"},
        {{0, 0, 0}, "|f|urn:d|urn:p|p"},   {{1}, "q|s|urn:q|null|null"},
        {{2}, "null|null|null|null|null"},
    };
    for (const Case& c : cases) {
        const Value node = at(doc, c.path);
        const std::string got = text(get(node, "prefix")) + "|" + text(get(node, "localName")) +
                                "|" + text(get(node, "namespaceURI")) + "|" +
                                text(call(node, "getNamespaceForPrefix", {Value::string("p")})) +
                                "|" +
                                text(call(node, "getPrefixForNamespace", {Value::string("urn:p")}));
        EXPECT_EQ(got, c.expected) << c.expected;
    }
    // The root element without a default namespace has none.
    EXPECT_TRUE(get(at(document("<r/>"), {0}), "namespaceURI").isNull());
}

TEST_F(XmlDocument, EditingKeepsTheLinks) {
    const Value doc = document("<a><b/><c/><d/></a><e/>");
    const Value a = at(doc, {0});
    const Value b = at(a, {0});
    const Value c = at(a, {1});
    const Value d = at(a, {2});
    const Value e = at(doc, {1});
    struct Step {
        const char* what;
        std::function<void()> run;
        const char* expected;
    };
    const Step steps[] = {
        {"move e in front of c",
         [&] {
             call(a, "insertBefore", {e, c});
         },
         "<a><b /><e /><c /><d /></a>"},
        {"append b again", [&] { call(a, "appendChild", {b}); }, "<a><b /><e /><c /><d /></a>"},
        {"before a stranger",
         [&] {
             call(a, "insertBefore", {d, doc});
         },
         "<a><b /><e /><c /><d /></a>"},
        {"remove c", [&] { call(c, "removeNode"); }, "<a><b /><e /><d /></a>"},
        {"c first",
         [&] {
             call(a, "insertBefore", {c, b});
         },
         "<a><c /><b /><e /><d /></a>"},
        {"a into itself", [&] { call(b, "appendChild", {a}); }, "<a><c /><b /><e /><d /></a>"},
        {"d to the document", [&] { call(doc, "appendChild", {d}); },
         "<a><c /><b /><e /></a><d />"},
    };
    for (const Step& s : steps) {
        s.run();
        EXPECT_EQ(text(doc), s.expected) << s.what;
        EXPECT_EQ(links(a), "ok") << s.what;
        EXPECT_EQ(links(doc), "ok") << s.what;
    }
    EXPECT_TRUE(get(c, "parentNode").isObject());
    // Copies: a shallow one keeps the attributes, a deep one the children too, both detached.
    const Value source = at(document("<x k=\"v\"><y/>t</x>"), {0});
    const Value shallow = call(source, "cloneNode", {Value::boolean(false)});
    const Value deep = call(source, "cloneNode", {Value::boolean(true)});
    EXPECT_EQ(text(shallow), "<x k=\"v\" />");
    EXPECT_EQ(text(deep), "<x k=\"v\"><y />t</x>");
    EXPECT_TRUE(get(deep, "parentNode").isNull());
    EXPECT_EQ(links(deep), "ok");
    EXPECT_FALSE(vm.strictEquals(get(deep, "attributes"), get(source, "attributes")));
}

TEST_F(XmlDocument, MadeNodes) {
    const Value doc = make("XMLDocument", {});
    const Value element = call(doc, "createElement", {Value::string("n")});
    const Value textNode = call(doc, "createTextNode", {Value::string("a<b")});
    call(element, "appendChild", {textNode});
    call(doc, "appendChild", {element});
    EXPECT_EQ(text(doc), "<n>a&lt;b</n>");
    EXPECT_EQ(text(get(element, "nodeType")), "1");
    EXPECT_EQ(text(get(textNode, "nodeType")), "3");
    EXPECT_TRUE(get(textNode, "nodeName").isNull());
    EXPECT_EQ(text(get(textNode, "nodeValue")), "a<b");
    EXPECT_TRUE(vm.toBoolean(call(element, "hasChildNodes")));
    EXPECT_FALSE(vm.toBoolean(call(textNode, "hasChildNodes")));
}

} // namespace
