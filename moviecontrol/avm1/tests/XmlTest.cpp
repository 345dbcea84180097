// XML text parsing (status codes, entities, white space, depth) and the XML tree as scripts
// use it: node links, edits that would make cycles, text output, copies and namespaces.

#include "FakeStage.h"

#include "avm1/XmlParser.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace avm1test {
namespace {

using avm1::Object;
using avm1::Str;
using avm1::Value;
namespace xml = avm1::xml;

std::string outline(const xml::Document& d) {
    std::string out;
    for (const auto& e : d.events) {
        if (e.kind == xml::Event::Kind::Open) {
            out += "<" + e.text + ">";
        } else if (e.kind == xml::Event::Kind::Close) {
            out += "</" + e.text + ">";
        } else {
            out += "[" + e.text + "]";
        }
    }
    return out;
}

TEST(XmlParser, StatusCodesForEachKindOfDamage) {
    const std::pair<const char*, xml::Status> cases[] = {
        {"<a><b/></a>", xml::Status::Ok},
        {"<a><![CDATA[x</a>", xml::Status::CdataUnterminated},
        {"<?xml version='1.0'", xml::Status::DeclarationUnterminated},
        {"<!DOCTYPE a", xml::Status::DoctypeUnterminated},
        {"<a><!-- x </a>", xml::Status::CommentUnterminated},
        {"<a b></a>", xml::Status::Malformed},
        {"<a b=c></a>", xml::Status::Malformed},
        {"<>", xml::Status::Malformed},
        {"<a b='c></a>", xml::Status::AttributeUnterminated},
        {"<a><b></a>", xml::Status::MissingEndTag}, // <a> is open further out
        {"<a><b></c>", xml::Status::MissingStartTag},
        {"<a><b>", xml::Status::MissingEndTag},
        {"</a>", xml::Status::MissingStartTag},
        {"<a></A>", xml::Status::Ok}, // end tags match in any case
        {"<a></a junk>", xml::Status::Ok},
        {"<a></a", xml::Status::Malformed},
        {"</>", xml::Status::Malformed},
        {"<a/ >", xml::Status::MissingEndTag}, // an element named "a/"
        {"<a b/>", xml::Status::Malformed},
        {"<a b='x\\'y'/>", xml::Status::Ok}, // an escaped quote stays in the value
        {"<a b='x\\'/>", xml::Status::AttributeUnterminated},
        {"<?XML v?><a/>", xml::Status::Ok},
        {"<?php x?>", xml::Status::Malformed}, // a tag named "?php"
        {"<!doctype a><a/>", xml::Status::Ok},
        {"<!ELEMENT>", xml::Status::MissingEndTag}, // a tag named "!ELEMENT"
        {"<![cdata[x", xml::Status::CdataUnterminated},
    };
    for (const auto& [text, status] : cases) {
        EXPECT_EQ(xml::parse(text, false).status, status) << text;
    }
}

TEST(XmlParser, KeepsWhatCameBeforeAnErrorAndClosesIt) {
    xml::Document d = xml::parse("<a>one<b>two", false);
    EXPECT_EQ(d.status, xml::Status::MissingEndTag);
    EXPECT_EQ(outline(d), "<a>[one]<b>[two]</b></a>");
}

TEST(XmlParser, TextCdataCommentsAndDeclarations) {
    xml::Document d = xml::parse(
        "<?xml version=\"1.0\"?><!DOCTYPE note><a>x<![CDATA[<&amp;>]]><!-- gone -->y</a>!", false);
    EXPECT_EQ(d.status, xml::Status::Ok);
    EXPECT_EQ(outline(d), "<a>[x][<&amp;>][y]</a>[!]");
    EXPECT_EQ(d.declaration, "<?xml version=\"1.0\"?>");
    EXPECT_EQ(d.doctype, "<!DOCTYPE note>");
}

TEST(XmlParser, IgnoreWhiteDropsOnlyBlankText) {
    const char* text = "<a>\n  <b> x </b>\t</a>";
    EXPECT_EQ(outline(xml::parse(text, true)), "<a><b>[ x ]</b></a>");
    EXPECT_EQ(outline(xml::parse(text, false)), "<a>[\n  ]<b>[ x ]</b>[\t]</a>");
}

TEST(XmlParser, AttributesInOrderWithEntitiesReplaced) {
    xml::Document d = xml::parse("<a x='1' y=\"&lt;2&gt;\" x='3'/>", false);
    ASSERT_EQ(d.events.size(), 2u);
    const auto& attrs = d.events[0].attributes;
    ASSERT_EQ(attrs.size(), 2u);
    EXPECT_EQ(attrs[0].name, "x");
    EXPECT_EQ(attrs[0].value, "1"); // the first of a repeated attribute stays
    EXPECT_EQ(attrs[1].value, "<2>");
}

TEST(XmlParser, UnknownAndBrokenReferencesStayAsWritten) {
    EXPECT_EQ(xml::unescape("A &amp; &#39; &#x41; B"), "A & ' A B");
    EXPECT_EQ(xml::unescape("A & &thing; B"), "A & &thing; B");
    EXPECT_EQ(xml::unescape("a&nbsp;b&NBSP;"), "a\xC2\xA0"
                                               "b&NBSP;"); // names are exact
    EXPECT_EQ(xml::escape("\xC2\xA0"), "\xC2\xA0");
    EXPECT_EQ(xml::unescape("A &&amp; B"), "A && B");
    EXPECT_EQ(xml::unescape("&#; &#x; &#99999999; &"), "&#; &#x; &#99999999; &");
    EXPECT_EQ(xml::escape("<a href=\"x\">'&'</a>"),
              "&lt;a href=&quot;x&quot;&gt;&apos;&amp;&apos;&lt;/a&gt;");
}

TEST(XmlParser, NestingPastTheBoundIsMalformedNotACrash) {
    std::string deep;
    for (std::size_t i = 0; i < xml::MaxDepth + 10; ++i) {
        deep += "<a>";
    }
    xml::Document d = xml::parse(deep, false);
    EXPECT_EQ(d.status, xml::Status::Malformed);
    std::size_t closes = 0;
    for (const auto& e : d.events) {
        closes += e.kind == xml::Event::Kind::Close;
    }
    EXPECT_EQ(closes, xml::MaxDepth);
}

class XmlTree : public ::testing::Test {
  protected:
    XmlTree() : stage(8), vm(stage.vm) {}
    Object* parse(std::string_view text) {
        Value arg{Str(text)};
        return vm.construct(vm.get(vm.global(), "XML"), std::span<const Value>(&arg, 1));
    }
    Value call(Object* o, std::string_view method, std::vector<Value> args = {}) {
        return vm.callMethod(o, method, args);
    }
    Object* node(Object* o, std::string_view path) {
        // "firstChild.nextSibling" style walks
        Object* at = o;
        std::size_t start = 0;
        while (at && start <= path.size()) {
            std::size_t dot = path.find('.', start);
            std::string_view part = path.substr(start, dot - start);
            at = vm.get(at, part).asObject();
            if (dot == std::string_view::npos) {
                break;
            }
            start = dot + 1;
        }
        return at;
    }
    std::string text(const Value& v) { return vm.toString(v).str(); }

    FakeStage stage;
    avm1::Machine& vm;
};

TEST_F(XmlTree, NodesMadeByScriptAndTheirText) {
    Value made = Value(vm.construct(vm.get(vm.global(), "XMLNode"),
                                    std::vector<Value>{Value(1), Value(Str("item"))}));
    Object* element = made.asObject();
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(text(vm.get(element, "nodeName")), "item");
    EXPECT_TRUE(vm.get(element, "nodeValue").isNull());
    Object* doc = parse("");
    Object* textNode = call(doc, "createTextNode", {Value(Str("a<b>&'\""))}).asObject();
    call(element, "appendChild", {Value(textNode)});
    vm.set(vm.get(element, "attributes").asObject(), "k", Value(Str("1")));
    vm.set(vm.get(element, "attributes").asObject(), "j", Value(Str("2")));
    // attributes come out in the order scripts enumerate them: the newest first
    EXPECT_EQ(text(Value(element)), "<item j=\"2\" k=\"1\">a&lt;b&gt;&amp;&apos;&quot;</item>");
    // nodeName and nodeValue write the node's one text: an element's name, a text's value.
    vm.set(element, "nodeValue", Value(Str("renamed")));
    EXPECT_TRUE(vm.get(element, "nodeValue").isNull());
    EXPECT_EQ(text(vm.get(element, "nodeName")), "renamed");
    vm.set(textNode, "nodeName", Value(Str("t")));
    EXPECT_TRUE(vm.get(textNode, "nodeName").isNull());
    EXPECT_EQ(text(vm.get(textNode, "nodeValue")), "t");
    EXPECT_EQ(text(Value(element)), "<renamed j=\"2\" k=\"1\">t</renamed>");
    vm.set(textNode, "nodeValue", Value(Str("a<b>&'\"")));
    vm.set(element, "nodeName", Value::null());
    EXPECT_EQ(text(Value(element)), "a&lt;b&gt;&amp;&apos;&quot;");
    EXPECT_TRUE(call(textNode, "hasChildNodes").isBool());
    EXPECT_FALSE(call(textNode, "hasChildNodes").asBool());
}

TEST_F(XmlTree, IgnoreWhiteSetOnThePrototypeApplies) {
    vm.set(vm.prototypeOf("XML"), "ignoreWhite", Value(true));
    Object* doc = parse("<a>\n  <b/>\n</a>");
    EXPECT_EQ(vm.toNumber(vm.get(node(doc, "firstChild.childNodes"), "length")), 1);
    EXPECT_EQ(vm.toNumber(vm.get(doc, "status")), 0);
    Object* broken = parse("<a><b></a>");
    EXPECT_EQ(vm.toNumber(vm.get(broken, "status")), -9);
}

TEST(XmlTreeVersion7, IdsLandOnTheDocumentBeforeVersion8) {
    FakeStage stage(7);
    Value arg{Str("<a id=\"first\"/>")};
    Object* doc =
        stage.vm.construct(stage.vm.get(stage.vm.global(), "XML"), std::span<const Value>(&arg, 1));
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(stage.vm.get(doc, "idMap").isUndefined());
    EXPECT_EQ(stage.vm.get(doc, "first").asObject(), stage.vm.get(doc, "firstChild").asObject());
}

TEST_F(XmlTree, LinksBetweenNodes) {
    Object* doc = parse("<a><b/>t<c/></a>");
    Object* a = node(doc, "firstChild");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(node(a, "firstChild.nextSibling.nextSibling"), node(a, "lastChild"));
    EXPECT_EQ(node(a, "lastChild.previousSibling.previousSibling"), node(a, "firstChild"));
    EXPECT_TRUE(vm.get(node(a, "firstChild"), "previousSibling").isNull());
    EXPECT_EQ(node(a, "firstChild.parentNode"), a);
    EXPECT_TRUE(vm.get(doc, "parentNode").isNull());
    EXPECT_EQ(vm.toNumber(vm.get(node(a, "childNodes"), "length")), 3);
    EXPECT_EQ(vm.toNumber(vm.get(node(a, "firstChild.nextSibling"), "nodeType")), 3);
    EXPECT_EQ(vm.toNumber(vm.get(doc, "status")), 0);
}

TEST_F(XmlTree, ChildNodesFollowsEditsAndMovesLeaveTheOldParent) {
    Object* doc = parse("<a><b/></a><c/>");
    Object* kids = node(doc, "childNodes");
    Object* b = node(doc, "firstChild.firstChild");
    call(doc, "appendChild", {Value(b)});
    EXPECT_EQ(text(Value(doc)), "<a /><c /><b />");
    EXPECT_EQ(vm.toNumber(vm.get(kids, "length")), 3);
    EXPECT_EQ(vm.get(kids, "2").asObject(), b);
    call(b, "removeNode");
    EXPECT_EQ(vm.toNumber(vm.get(kids, "length")), 2);
    EXPECT_TRUE(vm.get(b, "parentNode").isNull());
    call(doc, "insertBefore", {Value(b), Value(node(doc, "firstChild"))});
    EXPECT_EQ(text(Value(doc)), "<b /><a /><c />");
}

TEST_F(XmlTree, ANodeNeverMovesIntoItself) {
    Object* doc = parse("<a><b/></a>");
    Object* a = node(doc, "firstChild");
    call(node(a, "firstChild"), "appendChild", {Value(a)});
    call(a, "appendChild", {Value(a)});
    EXPECT_EQ(text(Value(doc)), "<a><b /></a>");
    // insertBefore a node that is not a child does nothing
    call(doc, "insertBefore", {Value(node(a, "firstChild")), Value(node(a, "firstChild"))});
    EXPECT_EQ(text(Value(doc)), "<a><b /></a>");
}

TEST_F(XmlTree, TextOutputEscapesAndKeepsTheDeclaration) {
    Object* doc = parse("<?xml version=\"1.0\"?><p k=\"&quot;x&quot;\">a &amp; b</p>");
    EXPECT_EQ(text(Value(doc)), "<?xml version=\"1.0\"?><p k=\"&quot;x&quot;\">a &amp; b</p>");
    EXPECT_EQ(text(vm.get(node(doc, "firstChild.firstChild"), "nodeValue")), "a & b");
}

TEST_F(XmlTree, DeepCloneIsIndependent) {
    Object* doc = parse("<a x=\"1\"><b>t</b></a>");
    Object* a = node(doc, "firstChild");
    Object* copy = call(a, "cloneNode", {Value(true)}).asObject();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(text(Value(copy)), "<a x=\"1\"><b>t</b></a>");
    EXPECT_TRUE(vm.get(copy, "parentNode").isNull());
    vm.set(node(copy, "attributes"), "x", Value(Str("2")));
    EXPECT_EQ(text(vm.get(node(a, "attributes"), "x")), "1");
    Object* shallow = call(a, "cloneNode", {Value(false)}).asObject();
    EXPECT_EQ(text(Value(shallow)), "<a x=\"1\" />");
}

TEST_F(XmlTree, ACopiedDocumentIsAPlainNode) {
    Object* doc = parse("<?xml v?><a><b/></a>");
    Object* xmlProto = vm.prototypeOf("XML");
    Object* nodeProto = vm.prototypeOf("XMLNode");
    for (bool deep : {false, true}) {
        Object* copy = call(doc, "cloneNode", {Value(deep)}).asObject();
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->proto(), nodeProto) << deep;
        EXPECT_NE(copy->proto(), xmlProto) << deep;
        EXPECT_TRUE(vm.get(copy, "status").isUndefined()) << deep;
        EXPECT_EQ(text(Value(copy)), deep ? "<a><b /></a>" : "") << deep;
    }
}

TEST_F(XmlTree, LoadedReadsBackAsABooleanOnceSet) {
    Object* doc = parse("<a/>");
    EXPECT_TRUE(vm.get(doc, "loaded").isUndefined());
    EXPECT_FALSE(vm.hasOwnProperty(doc, Str("loaded")));
    const std::pair<Value, const char*> assigned[] = {
        {Value(Str("x")), "true"}, {Value(0), "false"},      {Value(), "false"}, // kept
        {Value(7), "true"},        {Value::null(), "false"}, {Value(Str("")), "false"},
    };
    for (const auto& [value, readBack] : assigned) {
        vm.set(doc, "loaded", value);
        Value now = vm.get(doc, "loaded");
        EXPECT_TRUE(now.isBool()) << text(value);
        EXPECT_EQ(text(now), readBack) << text(value);
    }
}

TEST_F(XmlTree, AColonOnlyAtTheEndIsNoPrefix) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"p:q", "p", "q"}, {"q", "", "q"}, {"q:", "", "q:"}, {":q", "", "q"}, {"a:b:c", "a", "b:c"},
    };
    Value ctor = vm.get(vm.global(), "XMLNode");
    for (const auto& [name, prefix, local] : cases) {
        Value args[] = {Value(1), Value(Str(name))};
        Object* n = vm.construct(ctor, std::span<const Value>(args));
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(text(vm.get(n, "prefix")), prefix) << name;
        EXPECT_EQ(text(vm.get(n, "localName")), local) << name;
    }
}

TEST_F(XmlTree, DeepTreesBuiltByScriptPrintWithoutRecursion) {
    Object* doc = parse("");
    Object* at = doc;
    for (int i = 0; i < 5000; ++i) {
        Value name(Str("n"));
        Object* child = call(doc, "createElement", {name}).asObject();
        call(at, "appendChild", {Value(child)});
        at = child;
    }
    std::string out = text(Value(doc));
    EXPECT_EQ(out.size(), 5000u * 7 - 2);
}

TEST_F(XmlTree, NamespacesResolveThroughAncestors) {
    Object* doc = parse("<p:a xmlns:p=\"urn:p\" xmlns=\"urn:d\"><p:b/><c xmlnsx=\"urn:x\"/></p:a>");
    Object* b = node(doc, "firstChild.firstChild");
    EXPECT_EQ(text(vm.get(b, "prefix")), "p");
    EXPECT_EQ(text(vm.get(b, "localName")), "b");
    EXPECT_EQ(text(vm.get(b, "namespaceURI")), "urn:p");
    EXPECT_EQ(text(call(b, "getPrefixForNamespace", {Value(Str("urn:d"))})), "");
    EXPECT_TRUE(call(b, "getNamespaceForPrefix", {Value(Str("q"))}).isNull());
    // any attribute beginning with xmlns declares the default namespace; the nearest wins
    Object* c = node(doc, "firstChild.lastChild");
    EXPECT_EQ(text(vm.get(c, "namespaceURI")), "urn:x");
    EXPECT_TRUE(vm.get(doc, "namespaceURI").isNull());
}

TEST_F(XmlTree, IdsCollectAcrossParsesInTheIdMap) {
    Object* doc = parse("<a id=\"one\"><b id=\"two\"/></a>");
    Object* ids = vm.get(doc, "idMap").asObject();
    ASSERT_NE(ids, nullptr);
    EXPECT_EQ(vm.get(ids, "two").asObject(), node(doc, "firstChild.firstChild"));
    call(doc, "parseXML", {Value(Str("<c id=\"three\"/>"))});
    EXPECT_EQ(vm.get(doc, "idMap").asObject(), ids);
    EXPECT_TRUE(vm.get(ids, "one").isObject());
    EXPECT_EQ(vm.get(ids, "three").asObject(), node(doc, "firstChild"));
}

TEST_F(XmlTree, ScriptMadeNodesAndEditsFollowTheirArguments) {
    Value ctor = vm.get(vm.global(), "XMLNode");
    // Fewer than two arguments make an empty text node; the type is a byte.
    for (const std::vector<Value>& args : {std::vector<Value>{}, std::vector<Value>{Value(1)}}) {
        Object* n = vm.construct(ctor, args);
        ASSERT_NE(n, nullptr);
        EXPECT_EQ(vm.toNumber(vm.get(n, "nodeType")), 3);
        EXPECT_EQ(text(vm.get(n, "nodeValue")), "");
    }
    Object* wrapped = vm.construct(ctor, std::vector<Value>{Value(257), Value(Str("e"))});
    EXPECT_EQ(text(Value(wrapped)), "<e />");
    Object* doc = parse("<a/><b/>");
    EXPECT_TRUE(call(doc, "createElement").isUndefined());
    EXPECT_TRUE(call(doc, "createTextNode").isUndefined());
    EXPECT_EQ(text(call(doc, "createTextNode", {Value()})), "undefined");
    // A node that is already a child stays where it is.
    call(doc, "appendChild", {Value(node(doc, "firstChild"))});
    call(doc, "insertBefore", {Value(node(doc, "lastChild")), Value(node(doc, "firstChild"))});
    EXPECT_EQ(text(Value(doc)), "<a /><b />");
    // Assigning undefined keeps a name; an element no prefix declares is in namespace "".
    Object* a = node(doc, "firstChild");
    vm.set(a, "nodeName", Value());
    EXPECT_EQ(text(vm.get(a, "nodeName")), "a");
    EXPECT_EQ(text(vm.get(a, "namespaceURI")), "");
    EXPECT_TRUE(vm.get(node(a, "nextSibling"), "namespaceURI").isString());
    EXPECT_TRUE(call(a, "getNamespaceForPrefix").isUndefined());
}

TEST_F(XmlTree, ParsedAttributesPrintInTheirOrder) {
    Object* doc = parse("<a x=\"1\" y=\"2\" b=\"3\"/>");
    EXPECT_EQ(text(Value(doc)), "<a x=\"1\" y=\"2\" b=\"3\" />");
    // A copy takes them in the order they enumerate, and so lists them the other way round;
    // a copy of the copy has them back in order.
    Object* copy = call(node(doc, "firstChild"), "cloneNode", {Value(true)}).asObject();
    EXPECT_EQ(text(Value(copy)), "<a b=\"3\" y=\"2\" x=\"1\" />");
    EXPECT_EQ(text(call(copy, "cloneNode", {Value(false)})), "<a x=\"1\" y=\"2\" b=\"3\" />");
    // The first of two default declarations in the text wins.
    Object* twice = parse("<a xmlns=\"urn:1\" xmlnsq=\"urn:2\"/>");
    EXPECT_EQ(text(vm.get(node(twice, "firstChild"), "namespaceURI")), "urn:1");
}

TEST_F(XmlTree, AnyConstructorArgumentIsText) {
    Value ctor = vm.get(vm.global(), "XML");
    EXPECT_EQ(text(Value(vm.construct(ctor, std::vector<Value>{Value()}))), "undefined");
    EXPECT_EQ(text(Value(vm.construct(ctor, std::vector<Value>{Value::null()}))), "null");
    EXPECT_EQ(text(Value(vm.construct(ctor, std::vector<Value>{Value(12)}))), "12");
    EXPECT_EQ(text(Value(vm.construct(ctor, std::vector<Value>{}))), "");
    // parseXML without text empties the document.
    Object* doc = parse("<a/>");
    call(doc, "parseXML");
    EXPECT_EQ(text(Value(doc)), "");
    EXPECT_TRUE(vm.get(doc, "firstChild").isNull());
}

TEST_F(XmlTree, AFailedLoadLeavesLoadedAsItWas) {
    Object* doc = parse("<a/>");
    vm.set(doc, "loaded", Value(true));
    Value heard;
    vm.set(doc, "onLoad", Value(static_cast<Object*>(vm.newFunction([&heard](avm1::CallArgs& c) {
               heard = c.arg(0);
               return Value();
           }))));
    call(doc, "onData", {Value()});
    EXPECT_TRUE(vm.get(doc, "loaded").asBool());
    ASSERT_TRUE(heard.isBool());
    EXPECT_FALSE(heard.asBool());
    call(doc, "onData", {Value(Str("<b/>"))});
    EXPECT_TRUE(heard.asBool());
    EXPECT_EQ(text(Value(doc)), "<b />");
}

TEST_F(XmlTree, TreeAndParsePropertiesAreThePrototypes) {
    Object* doc = parse("<?xml a?><?xml b?><!DOCTYPE d [<!ENTITY e \"f\">]><a>t</a>");
    Object* a = node(doc, "firstChild");
    Object* nodeProto = vm.prototypeOf("XMLNode");
    Object* docProto = vm.prototypeOf("XML");
    for (const char* name : {"firstChild", "nodeName", "nodeValue", "childNodes", "attributes",
                             "parentNode", "namespaceURI"}) {
        EXPECT_FALSE(vm.hasOwnProperty(a, Str(name))) << name;
        EXPECT_TRUE(vm.hasOwnProperty(nodeProto, Str(name))) << name;
    }
    for (const char* name : {"status", "xmlDecl", "docTypeDecl"}) {
        EXPECT_FALSE(vm.hasOwnProperty(doc, Str(name))) << name;
        EXPECT_TRUE(vm.hasOwnProperty(docProto, Str(name))) << name;
    }
    EXPECT_EQ(text(vm.get(doc, "xmlDecl")), "<?xml a?><?xml b?>");
    EXPECT_EQ(text(vm.get(doc, "docTypeDecl")), "<!DOCTYPE d [<!ENTITY e \"f\">]>");
    EXPECT_EQ(text(vm.get(a, "firstChild")), "t");
    // The attributes object stays the node's own; another cannot replace it.
    Object* attributes = vm.get(a, "attributes").asObject();
    vm.set(a, "attributes", Value(vm.newObject()));
    EXPECT_EQ(vm.get(a, "attributes").asObject(), attributes);
    EXPECT_EQ(text(call(nodeProto, "toString")), "");
    // Read through the prototype from an object that is no node: nothing.
    Object* plain = vm.newObject();
    plain->setProto(nodeProto);
    EXPECT_TRUE(vm.get(plain, "firstChild").isUndefined());
    // A fresh document parsed nothing wrong; its status takes 32-bit numbers only.
    Object* fresh = vm.construct(vm.get(vm.global(), "XML"), std::vector<Value>{});
    EXPECT_EQ(vm.toNumber(vm.get(fresh, "status")), 0);
    EXPECT_TRUE(vm.get(fresh, "xmlDecl").isUndefined());
    vm.set(fresh, "status", Value(4294967297.0));
    EXPECT_EQ(vm.toNumber(vm.get(fresh, "status")), 1);
    vm.set(fresh, "status", Value(Str("1")));
    EXPECT_EQ(vm.toNumber(vm.get(fresh, "status")), -2147483648.0);
    // A new parse forgets the old declarations.
    call(doc, "parseXML", {Value(Str("<b/>"))});
    EXPECT_TRUE(vm.get(doc, "xmlDecl").isUndefined());
    EXPECT_EQ(text(Value(doc)), "<b />");
}

std::string joined(const std::vector<Str>& names) {
    std::string out;
    for (const Str& n : names) {
        out += n.str() + ",";
    }
    return out;
}

TEST_F(XmlTree, PrototypeMembersEnumerateInFlashOrder) {
    const std::string nodeMembers =
        "namespaceURI,localName,prefix,previousSibling,parentNode,nodeValue,nodeType,nodeName,"
        "nextSibling,lastChild,firstChild,childNodes,attributes,getPrefixForNamespace,"
        "getNamespaceForPrefix,toString,hasChildNodes,appendChild,insertBefore,removeNode,"
        "cloneNode,";
    const std::string documentMembers =
        "xmlDecl,status,loaded,ignoreWhite,docTypeDecl,contentType,addRequestHeader,"
        "getBytesTotal,getBytesLoaded,onData,onLoad,sendAndLoad,send,load,parseXML,"
        "createTextNode,createElement,";
    Object* element =
        vm.construct(vm.get(vm.global(), "XMLNode"), std::vector<Value>{Value(1), Value(Str("a"))});
    EXPECT_EQ(joined(vm.enumerate(element)), nodeMembers);
    // A version 8 document's idMap is its own but hidden.
    EXPECT_EQ(joined(vm.enumerate(parse("<a/>"))), nodeMembers + documentMembers);
    // Plain members: a script may delete them.
    Object* nodeProto = vm.prototypeOf("XMLNode");
    EXPECT_TRUE(vm.deleteProperty(nodeProto, Str("cloneNode")));
    EXPECT_FALSE(vm.hasOwnProperty(nodeProto, Str("cloneNode")));
    EXPECT_TRUE(vm.hasOwnProperty(vm.prototypeOf("XML"), Str("loaded")));
    EXPECT_TRUE(vm.get(parse(""), "loaded").isUndefined());
}

TEST_F(XmlTree, AttributesAreABareMap) {
    Object* doc = parse("<a x='1' y='2'/>");
    Object* a = node(doc, "firstChild");
    for (Object* owner : {doc, a, call(a, "cloneNode", {Value(true)}).asObject()}) {
        ASSERT_NE(owner, nullptr);
        Object* attributes = vm.get(owner, "attributes").asObject();
        ASSERT_NE(attributes, nullptr);
        EXPECT_EQ(attributes->proto(), nullptr);
        EXPECT_EQ(text(Value(attributes)), "[type Object]");
        EXPECT_TRUE(vm.get(attributes, "hasOwnProperty").isUndefined());
    }
    // Nothing inherited gets in the way of reading or printing the attributes.
    Object* attributes = vm.get(a, "attributes").asObject();
    EXPECT_EQ(text(vm.get(attributes, "y")), "2");
    vm.set(attributes, "toString", Value(Str("t")));
    EXPECT_EQ(text(Value(a)), "<a toString=\"t\" x=\"1\" y=\"2\" />");
}

} // namespace
} // namespace avm1test
