// The XML and XMLList methods by table: what each answers on every kind of node, the
// conversions XML() and XMLList() make, the simple content rule of toString, the XML
// settings, and the namespace methods.

#include "FakeHost.h"
#include "avm2/XmlNodes.h"
#include "avm2/XmlOperators.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using avm2::Args;
using avm2::Name;
using avm2::Object;
using avm2::Value;

class XmlMethods : public ::testing::Test {
  protected:
    avm2test::FakeHost host;
    avm2::Machine vm{host};

    void SetUp() override {
        vm.beginFrame();
        setting("prettyPrinting", Value::boolean(false));
    }

    Value classObject(const char* name) { return Value::object(vm.findClass(name)->classObject); }
    Value xml(const std::string& text) {
        Args a{Value::string(text)};
        return vm.construct(classObject("XML"), a);
    }
    Value list(const std::string& text) {
        Args a{Value::string(text)};
        return vm.construct(classObject("XMLList"), a);
    }
    Value call(const Value& target, const std::string& method, Args a = {}) {
        return vm.callProperty(target, Name::publicName(method), a);
    }
    std::string text(const Value& v) { return vm.toString(v); }
    void setting(const char* name, const Value& v) {
        vm.setProperty(classObject("XML"), Name::publicName(name), v);
    }
    Value item(const Value& v, int i) {
        return vm.getProperty(v, Name::publicName(std::to_string(i)));
    }
    template <typename F> std::string thrown(F&& f) {
        try {
            f();
        } catch (const avm2::ScriptThrow& t) {
            return vm.toString(t.value);
        }
        return {};
    }
};

TEST_F(XmlMethods, EachKindOfNodeAnswers) {
    setting("ignoreComments", Value::boolean(false));
    setting("ignoreProcessingInstructions", Value::boolean(false));
    const Value root = xml("<r a='v'>text<!--c--><?pi body?><e><f/></e></r>");
    const Value kids = call(root, "children");
    const Value attribute = item(call(root, "attributes"), 0);
    struct Row {
        Value node;
        const char* kind = "";
        const char* localName = "";
        const char* simple = "";
        const char* asString = "";
    };
    const Row rows[] = {
        {root, "element", "r", "false", "<r a=\"v\">text<!--c--><?pi body?><e><f/></e></r>"},
        {item(kids, 0), "text", "null", "true", "text"},
        {item(kids, 1), "comment", "null", "false", "<!--c-->"},
        {item(kids, 2), "processing-instruction", "pi", "false", "<?pi body?>"},
        {item(kids, 3), "element", "e", "false", "<e><f/></e>"},
        {attribute, "attribute", "a", "true", "v"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(text(call(r.node, "nodeKind")), r.kind);
        EXPECT_EQ(text(call(r.node, "localName")), r.localName) << r.kind;
        EXPECT_EQ(text(call(r.node, "hasSimpleContent")), r.simple) << r.kind;
        EXPECT_EQ(text(r.node), r.asString) << r.kind;
        EXPECT_EQ(text(call(r.node, "length")), "1");
    }
    EXPECT_EQ(text(call(item(kids, 3), "childIndex")), "3");
    EXPECT_EQ(text(call(attribute, "childIndex")), "-1");
    EXPECT_EQ(call(attribute, "parent").asObject(), root.asObject());
    EXPECT_EQ(text(call(root, "comments")), "<!--c-->");
    EXPECT_EQ(text(call(root, "processingInstructions", {Value::string("pi")})), "<?pi body?>");
    EXPECT_EQ(text(call(root, "processingInstructions", {Value::string("other")})), "");
    EXPECT_EQ(text(call(root, "hasComplexContent")), "true");
    EXPECT_EQ(text(call(root, "attribute", {Value::string("a")})), "v");
    EXPECT_EQ(text(call(root, "elements")), "<e><f/></e>");
    // The xml prefix is bound everywhere and never declared.
    EXPECT_EQ(text(call(xml("<a xml:lang='en'/>"), "toXMLString")), "<a xml:lang=\"en\"/>");
}

TEST_F(XmlMethods, SimpleContentDecidesWhatToStringPrints) {
    const std::pair<const char*, const char*> lists[] = {
        {"<a>1</a>", "1"},
        {"<a>1</a><b>2</b>", "<a>1</a>\n<b>2</b>"},
        {"<a><b/></a>", "<a><b/></a>"},
        {"", ""},
        {"just text", "just text"},
    };
    for (const auto& [markup, printed] : lists) {
        EXPECT_EQ(text(list(markup)), printed) << markup;
    }
    // Numbers read from simple content.
    EXPECT_EQ(vm.toNumber(xml("<n> 12.5 </n>")), 12.5);
    EXPECT_TRUE(std::isnan(vm.toNumber(list("<n>1</n><n>2</n>"))));
    EXPECT_TRUE(std::isnan(vm.toNumber(xml("<n><m/></n>"))));
}

TEST_F(XmlMethods, ConversionsAndConstructors) {
    const Value x = xml("<a>1</a>");
    Args same{x};
    // XML() hands XML back as it is; new XML() copies it.
    EXPECT_EQ(vm.call(classObject("XML"), Value::null(), same).asObject(), x.asObject());
    const Value copy = vm.construct(classObject("XML"), same);
    EXPECT_NE(copy.asObject(), x.asObject());
    EXPECT_TRUE(vm.looseEquals(copy, x));
    // A list of one converts to its item; XMLList() wraps XML.
    const Value one = list("<b/>");
    Args fromList{one};
    EXPECT_EQ(text(call(vm.call(classObject("XML"), Value::null(), fromList), "toXMLString")),
              "<b/>");
    Args wrap{x};
    EXPECT_EQ(text(call(vm.call(classObject("XMLList"), Value::null(), wrap), "length")), "1");
    // Nothing at all makes an empty text node; a number parses as text.
    Args none;
    EXPECT_EQ(text(call(vm.construct(classObject("XML"), none), "nodeKind")), "text");
    Args number{Value::integer(42)};
    EXPECT_EQ(text(vm.construct(classObject("XML"), number)), "42");
    EXPECT_TRUE(vm.isType(x, vm.findClass("XML")));
    EXPECT_FALSE(vm.isType(x, vm.findClass("XMLList")));
    EXPECT_NE(thrown([&] { call(Value::string("s"), "toXMLString"); }), "");
}

TEST_F(XmlMethods, ListMethodsForOneItemOnly) {
    const Value two = list("<a/><b/>");
    const char* methods[] = {"name",         "localName",    "nodeKind",         "childIndex",
                             "appendChild",  "prependChild", "setChildren",      "setName",
                             "setLocalName", "namespace",    "inScopeNamespaces"};
    for (const char* method : methods) {
        const std::string error = thrown([&] { call(two, method, {Value::string("x")}); });
        EXPECT_NE(error.find("Error #1086"), std::string::npos) << method << ": " << error;
        EXPECT_NE(error.find(method), std::string::npos) << error;
    }
    const Value one = list("<a/>");
    call(one, "appendChild", {xml("<c/>")});
    call(one, "setName", {Value::string("z")});
    EXPECT_EQ(text(one), "<z><c/></z>");
    // A list joins its own neighbouring text items, in their parent as well.
    const Value parent = xml("<p><a/></p>");
    const Value texts = list("");
    for (const char* t : {"x", "y", ""}) {
        Object* node = avm2::newXmlNode(vm, avm2::XmlKind::Text);
        avm2::xmlNode(node).text = t;
        call(parent, "appendChild", {Value::object(node)});
        avm2::listAppend(vm, texts.asObject(), Value::object(node));
    }
    call(texts, "normalize");
    EXPECT_EQ(text(call(texts, "length")), "1");
    EXPECT_EQ(text(call(parent, "toXMLString")), "<p><a/>xy</p>");
    // Methods across the items.
    EXPECT_EQ(text(call(list("<a><x/></a><b><y/></b>"), "children")), "<x/>\n<y/>");
    EXPECT_EQ(text(call(list("<a k='1'/><b k='2'/>"), "attribute", {Value::string("k")})), "12");
    EXPECT_EQ(text(call(list("<a>1</a><b>2</b>"), "text")), "12");
    EXPECT_EQ(text(call(list("<a>1</a><b>2</b>"), "contains", {xml("<b>2</b>")})), "true");
    EXPECT_EQ(text(call(list("<a/><b/>"), "hasOwnProperty", {Value::string("1")})), "true");
    EXPECT_EQ(text(call(list("<a/><b/>"), "propertyIsEnumerable", {Value::integer(2)})), "false");
}

TEST_F(XmlMethods, StringMethodsReachOnlyOneElementOfSimpleContent) {
    // An element of simple content, alone or as a list of one, answers to String's methods.
    EXPECT_EQ(text(call(xml("<a>abc</a>"), "toUpperCase")), "ABC");
    EXPECT_EQ(text(call(list("<a>abc</a>"), "charAt", {Value::integer(1)})), "b");
    // Lists of none or of several have no such methods, whatever their content.
    for (const char* source : {"", "x<a/>y", "<a>1</a><b>2</b>"}) {
        const std::string error = thrown([&] { call(list(source), "toUpperCase"); });
        EXPECT_NE(error.find("Error #1006: toUpperCase is not a function."), std::string::npos)
            << source << ": " << error;
    }
    EXPECT_NE(thrown([&] { call(xml("<a><b/></a>"), "toUpperCase"); }).find("Error #1006"),
              std::string::npos);
}

TEST_F(XmlMethods, SettingsChangeParsingAndPrinting) {
    struct Row {
        bool comments, instructions, whitespace;
        const char* printed;
    };
    const char* markup = "<a> <!--c--> <?p q?> x </a>";
    const Row rows[] = {
        {true, true, true, "<a>x</a>"},
        {false, true, true, "<a><!--c-->x</a>"},
        {true, false, true, "<a><?p q?>x</a>"},
        {true, true, false, "<a>   x </a>"},
    };
    for (const Row& r : rows) {
        setting("ignoreComments", Value::boolean(r.comments));
        setting("ignoreProcessingInstructions", Value::boolean(r.instructions));
        setting("ignoreWhitespace", Value::boolean(r.whitespace));
        EXPECT_EQ(text(call(xml(markup), "toXMLString")), r.printed);
    }
    Args defaults;
    call(classObject("XML"), "setSettings", defaults);
    setting("prettyIndent", Value::integer(4));
    EXPECT_EQ(text(call(xml("<a><b><c/></b></a>"), "toXMLString")),
              "<a>\n    <b>\n        <c/>\n    </b>\n</a>");
    setting("prettyIndent", Value::integer(0));
    EXPECT_EQ(text(call(xml("<a><b/></a>"), "toXMLString")), "<a>\n<b/>\n</a>");
    // settings() round-trips through setSettings().
    setting("prettyPrinting", Value::boolean(false));
    const Value saved = call(classObject("XML"), "settings");
    call(classObject("XML"), "setSettings", {call(classObject("XML"), "defaultSettings")});
    EXPECT_EQ(text(vm.getProperty(classObject("XML"), Name::publicName("prettyPrinting"))), "true");
    call(classObject("XML"), "setSettings", {saved});
    EXPECT_EQ(text(vm.getProperty(classObject("XML"), Name::publicName("prettyPrinting"))),
              "false");
}

TEST_F(XmlMethods, NamespaceMethods) {
    const Value x = xml("<r xmlns:p='urn:p'><p:a p:k='1'/><b/></r>");
    const Value a = item(call(x, "children"), 0);
    const Value b = item(call(x, "children"), 1);
    EXPECT_EQ(text(call(a, "namespace")), "urn:p");
    EXPECT_EQ(text(vm.getProperty(call(a, "namespace"), Name::publicName("prefix"))), "p");
    EXPECT_EQ(text(call(call(a, "inScopeNamespaces"), "toString")), "urn:p");
    EXPECT_EQ(text(call(call(a, "namespaceDeclarations"), "toString")), "");
    EXPECT_EQ(text(call(call(x, "namespaceDeclarations"), "toString")), "urn:p");

    Args nsArgs{Value::string("q"), Value::string("urn:q")};
    const Value q = vm.construct(classObject("Namespace"), nsArgs);
    call(b, "setNamespace", {q});
    // Its own declaration first, then those of the ancestors.
    EXPECT_EQ(text(call(b, "toXMLString")), "<q:b xmlns:q=\"urn:q\" xmlns:p=\"urn:p\"/>");
    call(b, "setLocalName", {Value::string("c")});
    EXPECT_EQ(text(call(b, "name")), "urn:q::c");
    Args qnameArgs{Value::string("urn:z"), Value::string("z")};
    call(b, "setName", {vm.construct(classObject("QName"), qnameArgs)});
    EXPECT_EQ(text(call(b, "name")), "urn:z::z");

    call(x, "addNamespace", {q});
    EXPECT_EQ(text(call(call(x, "namespaceDeclarations"), "toString")), "urn:p,urn:q");
    call(x, "removeNamespace", {q});
    EXPECT_EQ(text(call(call(x, "namespaceDeclarations"), "toString")), "urn:p");
    // A QName with a namespace finds the child; one without does not.
    Args inP{Value::string("urn:p"), Value::string("a")};
    EXPECT_EQ(text(call(call(x, "child", {vm.construct(classObject("QName"), inP)}), "length")),
              "1");
    EXPECT_EQ(text(call(call(x, "child", {Value::string("a")}), "length")), "0");
    Args anyNs{Value::null(), Value::string("a")};
    EXPECT_EQ(
        text(call(call(x, "descendants", {vm.construct(classObject("QName"), anyNs)}), "length")),
        "1");
}

} // namespace

namespace {

TEST_F(XmlMethods, IsXmlNameTakesTheLocalNameOfWhatItIsGiven) {
    const Value fn =
        vm.getProperty(Value::object(vm.globalObject()), Name::publicName("isXMLName"));
    Args qnameArgs{Value::string("urn:x"), Value::string("local")};
    const Value qname = vm.construct(classObject("QName"), qnameArgs);
    const std::vector<std::pair<Value, bool>> table = {
        {Value::string("a"), true},
        {Value::string("_x.y-z9"), true},
        {Value::string("\xC3\xA9t\xC3\xA9"), true},
        {Value::string("1a"), false},
        {Value::string(""), false},
        {Value::string("a:b"), false},
        {Value::string("a b"), false},
        {Value::string("-a"), false},
        {Value::null(), false},
        {Value(), false},
        {Value::integer(5), false},
        {qname, true},
    };
    for (const auto& [v, expected] : table) {
        Args args{v};
        EXPECT_EQ(vm.call(fn, Value(), args).asBoolean(), expected) << vm.toString(v);
    }
    Args none;
    EXPECT_FALSE(vm.call(fn, Value(), none).asBoolean());
}

} // namespace
