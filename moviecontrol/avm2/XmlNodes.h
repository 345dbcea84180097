#pragma once
// XML values as E4X defines them. Every node (element, text, comment, processing
// instruction, attribute) is a script object of class XML whose native data is an XmlNode;
// children, attributes and the parent are those objects, so a node read twice is the same
// object. An XMLList is an object of class XMLList whose `elements` are its XML items, which
// lets for-in and for-each walk it as they walk an array.

#include "avm2/Machine.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace avm2 {

enum class XmlKind : std::uint8_t { Element, Text, Comment, Instruction, Attribute };

// A namespace an element declares: a prefix (maybe unknown) and a URI.
struct XmlNamespace {
    std::string prefix;
    bool hasPrefix = false;
    std::string uri;
    bool operator==(const XmlNamespace& o) const {
        return hasPrefix == o.hasPrefix && prefix == o.prefix && uri == o.uri;
    }
};

struct XmlNode {
    XmlKind kind = XmlKind::Text;
    // Element and attribute names: URI, local name and the prefix the name was written with.
    std::string uri;
    std::string local;
    std::string prefix;
    bool hasPrefix = false;
    // Text, comment, attribute value; a processing instruction's content.
    std::string text;
    bool cdata = false; // text written as a CDATA section, and printed as one
    Object* parent = nullptr;
    std::vector<Object*> attributes;
    std::vector<Object*> children;
    std::vector<XmlNamespace> namespaces; // declared on this element
};

// What an XMLList remembers of where it came from, so that assigning through it can add to
// the object it was read from.
struct XmlListOrigin {
    Object* target = nullptr;
    std::string uri;
    std::string local;
    bool attribute = false;
    bool named = false;
};

// The XML settings (XML.ignoreComments...) and the default xml namespace.
struct XmlState {
    bool ignoreComments = true;
    bool ignoreProcessingInstructions = true;
    bool ignoreWhitespace = true;
    bool prettyPrinting = true;
    int prettyIndent = 2;
    std::string defaultNamespace;
    Class* xmlClass = nullptr;
    Class* listClass = nullptr;
};

// The namespace the prefix "xml" is bound to in every document.
inline const std::string kXmlPrefixUri = "http://www.w3.org/XML/1998/namespace";

// Nesting deeper than this is refused: parsing, printing and copying walk it recursively.
inline constexpr std::size_t kXmlMaxDepth = 512;

// A name as E4X matches it: any or one local name, any or some URIs, element or attribute.
struct XmlQuery {
    bool anyLocal = false;
    bool anyUri = false;
    bool attribute = false;
    std::string local;
    std::vector<std::string> uris;
    bool matches(const XmlNode& n) const;
    // The URI a node made for this name takes.
    std::string firstUri() const { return uris.empty() ? std::string() : uris.front(); }
};

XmlState& xmlState(Machine& m);
bool isXml(const Value& v);
bool isXmlList(const Value& v);
inline bool isXmlOrList(const Value& v) {
    return isXml(v) || isXmlList(v);
}
XmlNode& xmlNode(Object* o);
XmlListOrigin& listOrigin(Object* o);

Object* newXmlNode(Machine& m, XmlKind kind);
Object* newXmlList(Machine& m, Object* target = nullptr);
void listAppend(Machine& m, Object* list, const Value& item);

// Parsing (XmlParser.cpp): the nodes of `text` as the children of a fresh element, with the
// settings in force. Malformed markup throws TypeError as Flash does.
Object* parseXmlFragment(Machine& m, const std::string& text);
// The one node `text` makes: an element, or a text node; more than one node throws.
Object* parseXmlValue(Machine& m, const std::string& text);

// Printing (XmlPrinter.cpp).
std::string xmlToString(Machine& m, Object* xml);
std::string xmlToXmlString(Machine& m, Object* xml);
std::string listToString(Machine& m, Object* list);
std::string listToXmlString(Machine& m, Object* list);
std::string escapeElementValue(const std::string& s);
std::string escapeAttributeValue(const std::string& s);
bool hasSimpleContent(Object* xml);
// Whether a name can name an element or attribute: an XML name without a colon. Letters of
// other scripts (any character beyond ASCII) are accepted as letters.
bool isXmlName(std::string_view name);

// Tree work (XmlTree.cpp).
Object* deepCopy(Machine& m, Object* xml, Object* parent = nullptr, std::size_t depth = 0);
bool xmlDeepEquals(Object* a, Object* b, std::size_t depth = 0);
// Whether `node` is `ancestor` or lies inside it (a cycle check before inserting).
bool isSelfOrAncestor(Object* ancestor, Object* node);
// Inserts a node (or copies of a list's nodes) among x's children at `index`.
void insertChildren(Machine& m, Object* x, std::size_t index, const Value& value);
void removeFromParent(Object* node);
std::size_t childIndexOf(Object* node);
// The in-scope namespaces of a node, innermost declarations first, one per prefix.
std::vector<XmlNamespace> inScopeNamespaces(Object* node);
XmlQuery queryFromName(Machine& m, const Name& name);
XmlQuery queryFromValue(Machine& m, const Value& v, bool attribute);
Value toXmlValue(Machine& m, const Value& v);
Value toXmlListValue(Machine& m, const Value& v);

} // namespace avm2
