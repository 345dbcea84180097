// XML and XMLList through the machine's own entry points, as the interpreter's E4X
// instructions reach them: parsing under each setting, printing, names and namespaces,
// reading, writing and deleting through XML and lists, comparison, and hostile markup.

#include "AbcBuilder.h"
#include "FakeHost.h"
#include "avm2/XmlOperators.h"

#include <gtest/gtest.h>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Value;

class Xml : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override { vm.beginFrame(); }

    avm2::Class* xmlClass() { return vm.findClass("XML"); }
    avm2::Class* listClass() { return vm.findClass("XMLList"); }
    Value xml(const std::string& text) {
        Args a{Value::string(text)};
        return vm.construct(Value::object(xmlClass()->classObject), a);
    }
    Value list(const std::string& text) {
        Args a{Value::string(text)};
        return vm.construct(Value::object(listClass()->classObject), a);
    }
    Value call(const Value& target, const std::string& method, Args a = {}) {
        return vm.callProperty(target, Name::publicName(method), a);
    }
    std::string xmlString(const Value& v) { return vm.toString(call(v, "toXMLString")); }
    void setting(const std::string& name, const Value& v) {
        vm.setProperty(Value::object(xmlClass()->classObject), Name::publicName(name), v);
    }
    static Name attr(const std::string& local) {
        Name n = Name::publicName(local);
        n.attribute = true;
        return n;
    }
    // The error a call throws, as "Class: Error #n: ..." text; empty when none.
    template <typename F> std::string thrown(F&& f) {
        try {
            f();
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return {};
    }
};

TEST_F(Xml, ParsesAndPrintsUnderEachSetting) {
    struct Case {
        const char* text;
        bool pretty;
        bool ignoreWhitespace;
        const char* printed;
    };
    const Case cases[] = {
        {"<a><b>t</b><c/></a>", true, true, "<a>\n  <b>t</b>\n  <c/>\n</a>"},
        {"<a><b>t</b><c/></a>", false, true, "<a><b>t</b><c/></a>"},
        {"<a>  padded  </a>", false, true, "<a>padded</a>"},
        {"<a>  padded  </a>", false, false, "<a>  padded  </a>"},
        {"<a>\n  <b/>\n</a>", false, false, "<a>\n  <b/>\n</a>"},
        {"<a x=\"1&amp;2\">&lt;&#65;&#x42;&nope;</a>", false, true,
         "<a x=\"1&amp;2\">&lt;AB&amp;nope;</a>"},
        {"<a x='q\"&#xA;&lt;&gt;'/>", false, true, "<a x=\"q&quot;&#xA;&lt;>\"/>"},
        {"<a><![CDATA[<raw>]]></a>", false, true, "<a><![CDATA[<raw>]]></a>"},
        {"<?xml version=\"1.0\"?><!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>", false, true,
         "<a>&amp;e;</a>"},
        {"<a>one<!-- c --><?pi x?>two</a>", false, true, "<a>onetwo</a>"},
        {"", false, true, ""},
    };
    for (const Case& c : cases) {
        setting("prettyPrinting", Value::boolean(c.pretty));
        setting("ignoreWhitespace", Value::boolean(c.ignoreWhitespace));
        EXPECT_EQ(xmlString(xml(c.text)), c.printed) << c.text;
    }
}

TEST_F(Xml, CommentsAndInstructionsAreKeptWhenAsked) {
    setting("prettyPrinting", Value::boolean(false));
    setting("ignoreComments", Value::boolean(false));
    setting("ignoreProcessingInstructions", Value::boolean(false));
    const Value x = xml("<a>one<!-- c --><?pi x?>two</a>");
    EXPECT_EQ(xmlString(x), "<a>one<!-- c --><?pi x?>two</a>");
    EXPECT_EQ(vm.toString(x), "onetwo");
    EXPECT_EQ(vm.toString(call(call(x, "comments"), "length")), "1");
    EXPECT_EQ(xmlString(xml("<!-- only -->")), "<!-- only -->");
    // settings() and setSettings() carry all five; setSettings() with nothing restores them.
    Args none;
    call(Value::object(xmlClass()->classObject), "setSettings", none);
    const Value s = call(Value::object(xmlClass()->classObject), "settings");
    EXPECT_EQ(vm.toString(vm.getProperty(s, Name::publicName("ignoreComments"))), "true");
    EXPECT_EQ(vm.toString(vm.getProperty(s, Name::publicName("prettyIndent"))), "2");
}

TEST_F(Xml, MalformedMarkupThrowsFlashsErrors) {
    const std::pair<const char*, const char*> cases[] = {
        {"<a>", "Error #1085"},        {"<a></b>", "Error #1085"},
        {"<a/><b/>", "Error #1088"},   {"text<!-- c -->more", "Error #1088"},
        {"<!-- open", "Error #1094"},  {"<a b='1>", "Error #1095"},
        {"<p:a/>", "Error #1083"},     {"<a x='1' x='2'/>", "Error #1104"},
        {"<![CDATA[x", "Error #1091"}, {"<?pi", "Error #1097"},
        {"<a", "Error #1096"},         {"</a>", "Error #1088"},
    };
    for (const auto& [text, code] : cases) {
        const std::string markup = text;
        const std::string error = thrown([&] { xml(markup); });
        EXPECT_NE(error.find(code), std::string::npos) << text << " gave " << error;
        EXPECT_EQ(error.rfind("TypeError", 0), 0u) << error;
    }
}

TEST_F(Xml, HostileMarkupIsBounded) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) {
        deep += "<a>";
    }
    EXPECT_NE(thrown([&] { xml(deep); }), "");
    // Entities a document type declares are never expanded.
    const std::string laughs = "<!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
                               "\"&a;&a;&a;&a;&a;&a;&a;&a;\">]><l>&b;&b;&b;</l>";
    EXPECT_EQ(vm.toString(xml(laughs)), "&b;&b;&b;");
    // A tree a script nests deeper than any parse may is refused where it is walked.
    Value top = xml("<n/>");
    Value leaf = top;
    for (int i = 0; i < 600; ++i) {
        const Value next = xml("<n/>");
        call(leaf, "appendChild", {next});
        leaf = next;
    }
    for (const char* walk : {"toXMLString", "copy", "descendants", "normalize"}) {
        EXPECT_NE(thrown([&] { call(top, walk); }).find("Error #1023"), std::string::npos) << walk;
    }
    EXPECT_FALSE(vm.looseEquals(top, call(leaf, "copy")));
    // An indent a script sets is counted against the memory budget before it is written.
    setting("prettyIndent", Value::integer(1 << 30));
    EXPECT_THROW(xmlString(xml("<a><b/></a>")), avm2::ScriptAbort);
    setting("prettyIndent", Value::integer(2));
    // A node cannot become its own descendant.
    const Value x = xml("<a><b/></a>");
    const Value b = vm.getProperty(vm.getProperty(x, Name::publicName("b")), Name::publicName("0"));
    EXPECT_NE(thrown([&] { call(b, "appendChild", {x}); }).find("Error #1118"), std::string::npos);
}

TEST_F(Xml, MangledMarkupNeverBreaksTheMachine) {
    // Every byte of a document replaced by each character markup is made of: each result
    // parses or throws a script error, and whatever parses prints, copies and normalizes.
    const std::string seed = "<?xml v?><!DOCTYPE d [<!x>]><p:r xmlns:p='u' a=\"1\"><!--c-->"
                             "<![CDATA[d]]><?pi x?><b>&amp;&#65;</b>t</p:r>";
    const char swaps[] = {'<', '>',  '/', '?', '!', '[', ']', '-', '&',
                          ';', '\'', '"', '=', ':', ' ', 'x', '\0'};
    for (bool ignore : {true, false}) {
        setting("ignoreComments", Value::boolean(ignore));
        setting("ignoreProcessingInstructions", Value::boolean(ignore));
        for (std::size_t i = 0; i < seed.size(); ++i) {
            for (char c : swaps) {
                std::string text = seed;
                text[i] = c;
                try {
                    const Value x = list(text);
                    call(x, "toXMLString");
                    call(call(x, "copy"), "normalize");
                    call(x, "descendants");
                } catch (const avm2::ScriptThrow&) {
                }
            }
        }
    }
    EXPECT_TRUE(host.limits.empty());
}

TEST_F(Xml, ReadsChildrenAttributesAndDescendants) {
    setting("prettyPrinting", Value::boolean(false));
    const Value x = xml("<r id='1'><a n='x'>1</a><b>2</b><a n='y'><a>3</a></a>text</r>");
    const auto get = [&](const Value& v, const Name& n) { return vm.getProperty(v, n); };
    struct Case {
        Value value;
        const char* printed;
    };
    Name any = Name::publicName("");
    any.anyName = true;
    Name anyAttr = any;
    anyAttr.attribute = true;
    const Case cases[] = {
        {get(x, Name::publicName("a")), "<a n=\"x\">1</a>\n<a n=\"y\"><a>3</a></a>"},
        {get(x, attr("id")), "1"},
        {get(x, Name::publicName("@id")), "1"},
        {get(get(x, Name::publicName("a")), attr("n")), "xy"},
        {get(x, any), "<a n=\"x\">1</a>\n<b>2</b>\n<a n=\"y\"><a>3</a></a>\ntext"},
        {get(x, anyAttr), "1"},
        {get(x, Name::publicName("missing")), ""},
        {get(x, Name::publicName("0")), "<r id=\"1\"><a n=\"x\">1</a><b>2</b><a n=\"y\"><a>3</a>"
                                        "</a>text</r>"},
        {vm.getProperty(vm.getProperty(x, Name::publicName("a")), Name::publicName("1")),
         "<a n=\"y\"><a>3</a></a>"},
        {avm2::xmlDescendants(vm, x, Name::publicName("a")),
         "<a n=\"x\">1</a>\n<a n=\"y\"><a>3</a></a>\n<a>3</a>"},
        {avm2::xmlDescendants(vm, x, anyAttr), "1xy"},
        {call(x, "child", {Value::integer(1)}), "2"},
        {call(x, "text"), "text"},
        {call(x, "elements", {Value::string("b")}), "2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vm.toString(c.value), c.printed);
    }
    EXPECT_TRUE(vm.hasProperty(x, Name::publicName("b")));
    EXPECT_TRUE(vm.hasProperty(x, attr("id")));
    EXPECT_FALSE(vm.hasProperty(x, attr("b")));
    EXPECT_TRUE(vm.hasProperty(x, Name::publicName("0")));
    EXPECT_FALSE(vm.hasProperty(x, Name::publicName("1")));
    EXPECT_EQ(vm.typeOf(x), "xml");
    EXPECT_EQ(vm.typeOf(get(x, Name::publicName("a"))), "xml");
}

TEST_F(Xml, WritesAndDeletesThroughXmlAndLists) {
    setting("prettyPrinting", Value::boolean(false));
    const Value x = xml("<r><a>1</a><b/><a>2</a></r>");
    vm.setProperty(x, attr("k"), Value::integer(5));
    vm.setProperty(x, Name::publicName("c"), Value::string("<&>"));
    vm.setProperty(x, Name::publicName("a"), Value::string("one"));
    EXPECT_EQ(xmlString(x), "<r k=\"5\"><a>one</a><b/><c>&lt;&amp;&gt;</c></r>");
    vm.setProperty(x, Name::publicName("b"), xml("<n>new</n>"));
    EXPECT_EQ(xmlString(x), "<r k=\"5\"><a>one</a><n>new</n><c>&lt;&amp;&gt;</c></r>");

    const Value kids = call(x, "children");
    EXPECT_TRUE(vm.deleteProperty(kids, Name::publicName("0")));
    EXPECT_EQ(xmlString(x), "<r k=\"5\"><n>new</n><c>&lt;&amp;&gt;</c></r>");
    EXPECT_TRUE(vm.deleteProperty(x, attr("k")));
    EXPECT_TRUE(vm.deleteProperty(x, Name::publicName("c")));
    EXPECT_EQ(xmlString(x), "<r><n>new</n></r>");

    // Appending through a list read from an element adds to that element.
    const Value as = vm.getProperty(x, Name::publicName("a"));
    vm.setProperty(as, Name::publicName("0"), Value::string("first"));
    EXPECT_EQ(xmlString(x), "<r><n>new</n><a>first</a></r>");
    EXPECT_NE(thrown([&] {
                  vm.setProperty(x, Name::publicName("0"), Value::integer(1));
              }).find("Error #1087"),
              std::string::npos);
    // Empty text empties an element; a list of one text node goes in as its text.
    const Value e = xml("<r><a>x</a><b>y</b></r>");
    vm.setProperty(e, Name::publicName("a"), Value::string(""));
    vm.setProperty(e, Name::publicName("b"), call(xml("<t>txt</t>"), "text"));
    EXPECT_EQ(xmlString(e), "<r><a/><b>txt</b></r>");
    // An item a list replaces is replaced in its parent too, by the very node given.
    const Value parent = xml("<r><i>1</i><i>2</i><j/></r>");
    const Value is = vm.getProperty(parent, Name::publicName("i"));
    const Value given = xml("<k/>");
    vm.setProperty(is, Name::publicName("1"), given);
    vm.setProperty(is, Name::publicName("0"), Value::string("one"));
    vm.setProperty(is, Name::publicName("2"), Value::string("3"));
    EXPECT_EQ(xmlString(parent), "<r><i>one</i><k/><i>3</i><j/></r>");
    EXPECT_EQ(vm.getProperty(is, Name::publicName("1")).asObject(), given.asObject());
    // Writing through names that are not there yet builds them.
    const Value built = xml("<r/>");
    const Value b =
        vm.getProperty(vm.getProperty(built, Name::publicName("a")), Name::publicName("b"));
    vm.setProperty(b, Name::publicName("c"), Value::string("v"));
    vm.setProperty(b, attr("k"), Value::integer(1));
    EXPECT_EQ(xmlString(built), "<r><a><b k=\"1\"><c>v</c></b></a></r>");
    const Value two = list("<a/><a/>");
    EXPECT_NE(thrown([&] {
                  vm.setProperty(two, Name::publicName("b"), Value::integer(1));
              }).find("Error #1089"),
              std::string::npos);
}

TEST_F(Xml, ComparesAndJoinsAsE4xDoes) {
    const Value simple = xml("<a>1.0</a>");
    EXPECT_TRUE(vm.looseEquals(simple, Value::integer(1)));
    EXPECT_TRUE(vm.looseEquals(simple, Value::string("1.0")));
    EXPECT_FALSE(vm.looseEquals(simple, Value::string("1")));
    EXPECT_TRUE(vm.looseEquals(xml("<a><b x='1'/></a>"), xml("<a><b x='1'/></a>")));
    EXPECT_FALSE(vm.looseEquals(xml("<a><b x='1'/></a>"), xml("<a><b x='2'/></a>")));
    EXPECT_TRUE(vm.looseEquals(list("<a>z</a>"), Value::string("z")));
    EXPECT_TRUE(vm.looseEquals(list(""), Value()));
    EXPECT_FALSE(vm.strictEquals(xml("<a/>"), xml("<a/>")));
    const Value joined = vm.add(xml("<a/>"), list("<b/><c/>"));
    EXPECT_EQ(vm.toString(call(joined, "length")), "3");
    EXPECT_EQ(vm.toNumber(xml("<n>42</n>")), 42);
    EXPECT_EQ(vm.add(xml("<n>4</n>"), Value::integer(2)).asString(), "42");
}

TEST_F(Xml, NamesAndNamespaces) {
    setting("prettyPrinting", Value::boolean(false));
    const Value x = xml("<p:r xmlns:p='urn:p' xmlns='urn:d'><p:a/><b p:k='v'/></p:r>");
    const Value kids = call(x, "children");
    const Value a = vm.getProperty(kids, Name::publicName("0"));
    const Value b = vm.getProperty(kids, Name::publicName("1"));
    // A node printed alone declares every namespace in scope where it stands.
    EXPECT_EQ(xmlString(a), "<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\"/>");
    EXPECT_EQ(xmlString(b), "<b p:k=\"v\" xmlns:p=\"urn:p\" xmlns=\"urn:d\"/>");
    EXPECT_EQ(vm.toString(call(a, "name")), "urn:p::a");
    EXPECT_EQ(vm.toString(call(b, "localName")), "b");
    EXPECT_EQ(vm.toString(call(x, "namespace", {Value::string("p")})), "urn:p");
    // Unqualified names find elements of the default xml namespace only.
    EXPECT_EQ(vm.toString(call(vm.getProperty(x, Name::publicName("b")), "length")), "0");
    avm2::xmlSetDefaultNamespace(vm, Value::string("urn:d"));
    EXPECT_EQ(vm.toString(call(vm.getProperty(x, Name::publicName("b")), "length")), "1");
    avm2::xmlRestoreDefaultNamespace(vm, "");
    EXPECT_EQ(vm.toString(call(a, "nodeKind")), "element");
    EXPECT_EQ(vm.toString(call(call(x, "namespaceDeclarations"), "toString")), "urn:p,urn:d");
}

TEST_F(Xml, TreeMethods) {
    setting("prettyPrinting", Value::boolean(false));
    const Value x = xml("<r><a/><c/></r>");
    const Value c = vm.getProperty(vm.getProperty(x, Name::publicName("c")), Name::publicName("0"));
    const Value a = vm.getProperty(vm.getProperty(x, Name::publicName("a")), Name::publicName("0"));
    call(x, "insertChildAfter", {a, xml("<b/>")});
    call(x, "insertChildBefore", {a, Value::string("t")});
    call(x, "prependChild", {xml("<z/>")});
    EXPECT_EQ(xmlString(x), "<r><z/>t<a/><b/><c/></r>");
    EXPECT_EQ(vm.toString(call(c, "childIndex")), "4");
    call(x, "replace", {Value::string("b"), xml("<B/>")});
    call(x, "appendChild", {Value::string("u")});
    call(x, "appendChild", {Value::string("v")});
    // Text appended after an element takes that element's name.
    EXPECT_EQ(xmlString(x), "<r><z/>t<a/><B/><c/><c>u</c><c>v</c></r>");
    call(x, "normalize");
    EXPECT_EQ(vm.toString(call(call(x, "children"), "length")), "7");
    const Value copy = call(x, "copy");
    EXPECT_TRUE(vm.looseEquals(copy, x));
    EXPECT_TRUE(vm.getProperty(copy, Name::publicName("a")).asObject() !=
                vm.getProperty(x, Name::publicName("a")).asObject());
    call(x, "setChildren", {xml("<only/>")});
    EXPECT_EQ(xmlString(x), "<r><only/></r>");
    EXPECT_TRUE(call(x, "parent").isUndefined());
}

} // namespace

namespace {

using avm2test::Bytes;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The E4X instructions as compiled code reaches them.
TEST(XmlInstructions, ByTable) {
    avm2test::TraceScript s;
    const auto index = [](std::uint32_t i) { return static_cast<std::uint8_t>(i); };
    const std::uint8_t xmlClass = index(s.abc.qname(s.publicNs, s.abc.string("XML")));
    const std::uint8_t a = index(s.abc.qname(s.publicNs, s.abc.string("a")));
    const std::uint8_t length = index(s.abc.qname(s.publicNs, s.abc.string("length")));
    const std::uint8_t doc = index(s.abc.string("<r><a x='1'>t</a><b><a/></b></r>"));
    const std::uint8_t markup = index(s.abc.string("<&>\"\n"));
    const std::uint8_t t = index(s.abc.string("t"));
    const Bytes makeXml{0x60, xmlClass, 0x2C, doc, 0x42, 1};
    const std::uint8_t qnameClass = index(s.abc.qname(s.publicNs, s.abc.string("QName")));
    const std::uint8_t uri = index(s.abc.string("urn:u"));
    const std::uint8_t local = index(s.abc.string("n"));
    const Bytes makeQName{0x60, qnameClass, 0x2C, uri, 0x2C, local, 0x42, 2};
    struct Case {
        const char* what;
        Bytes code;
        const char* traced;
    };
    const Case cases[] = {
        {"descendants", makeXml + Bytes{0x59, a}, "<a x=\"1\">t</a>\n<a/>"},
        {"descendants counted", makeXml + Bytes{0x59, a, 0x46, length, 0}, "2"},
        {"a child by name", makeXml + Bytes{0x66, a}, "t"},
        {"typeof", makeXml + Bytes{0x95}, "xml"},
        {"escaped as element text", Bytes{0x2C, markup, 0x71}, "&lt;&amp;&gt;\"\n"},
        {"escaped as an attribute", Bytes{0x2C, markup, 0x72}, "&lt;&amp;>&quot;&#xA;"},
        {"XML joined by +", makeXml + makeXml + Bytes{0xA0, 0x46, length, 0}, "2"},
        {"simple content equals its text", makeXml + Bytes{0x66, a, 0x2C, t, 0xAB}, "true"},
        {"one node enumerates once", makeXml + Bytes{0x24, 0, 0x1F}, "1"},
        {"and no more", makeXml + Bytes{0x24, 1, 0x1F}, "0"},
        {"as itself", makeXml + Bytes{0x24, 1, 0x23, 0x66, a}, "t"},
        {"a QName's names", makeQName + Bytes{0x24, 2, 0x1E}, "localName"},
        {"a QName's values", makeQName + Bytes{0x24, 1, 0x23}, "n"},
        {"a QName has two", makeQName + Bytes{0x24, 2, 0x1F}, "0"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(avm2test::runAbc(s.build(c.code)), std::string(c.traced) + "\n") << c.what;
    }
    // A filter on what is not XML is a TypeError.
    EXPECT_NE(avm2test::runAbc(s.build(Bytes{0x24, 1, 0x78})).find("Error #1123"),
              std::string::npos);
}

} // namespace
