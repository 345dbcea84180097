// flash.xml's document model, the one ActionScript 3 keeps from ActionScript 2: XMLNode (a
// node whose links are public variables a script may read and set), XMLDocument (a node that
// parses markup into its children) and XMLNodeType. A node's children live in an array the
// node hands out as childNodes, its attributes in a plain object kept in their order.
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"
#include "avm2/XmlDocumentParser.h"

#include <string_view>
#include <vector>

namespace avm2 {

namespace {

constexpr char kPackage[] = "flash.xml";
constexpr char kChildren[] = "xmlnode.children";
constexpr char kAttributes[] = "xmlnode.attributes";
constexpr std::uint32_t kElement = 1;
constexpr std::uint32_t kText = 3;

Value field(Machine& m, const Value& node, const char* name) {
    return m.getProperty(node, Name::publicName(name));
}

void setField(Machine& m, const Value& node, const char* name, const Value& v) {
    m.setProperty(node, Name::publicName(name), v);
}

Class* nodeClass(Machine& m) {
    return m.findClass("flash.xml::XMLNode");
}

bool isNode(Machine& m, const Value& v) {
    Class* c = nodeClass(m);
    return v.isObject() && c != nullptr && m.isType(v, c);
}

Object* children(Machine& m, const Value& node) {
    const Value kids = hiddenField(node, kChildren);
    if (kids.isObject()) {
        return kids.asObject();
    }
    Object* made = m.newArray();
    setHiddenField(node, kChildren, Value::object(made));
    return made;
}

Value attributes(Machine& m, const Value& node) {
    Value held = hiddenField(node, kAttributes);
    if (!held.isNullish()) {
        return held;
    }
    Value made = Value::object(m.newObject());
    setHiddenField(node, kAttributes, made);
    return made;
}

// The attributes as a for-in over them lists them: names and values in their order.
std::vector<std::pair<std::string, Value>> attributeList(Machine& m, const Value& node) {
    std::vector<std::pair<std::string, Value>> out;
    const Value attrs = attributes(m, node);
    if (!attrs.isObject()) {
        return out;
    }
    const Object* o = attrs.asObject();
    for (std::size_t i = 0; i < o->elements.size(); ++i) {
        if (!o->elements[i].isHole()) {
            out.emplace_back(std::to_string(i), o->elements[i]);
        }
    }
    for (std::size_t i = 0; i < o->props.size(); ++i) {
        if (!o->dontEnum[i]) {
            out.push_back(o->props[i]);
        }
    }
    return out;
}

void nodeInit(Machine& m, const Value& self, const Value& type, const Value& value) {
    setField(m, self, "nodeType", type);
    const bool element = m.toNumber(field(m, self, "nodeType")) == kElement;
    setField(m, self, element ? "nodeName" : "nodeValue", value);
    children(m, self);
}

Value nodeConstruct(Machine& m, const Value& self, Args& a) {
    nodeInit(m, self, arg(a, 0), arg(a, 1));
    return Value();
}

// Takes the node out of its parent's children and its siblings' links.
void detach(Machine& m, const Value& node) {
    const Value parent = field(m, node, "parentNode");
    const Value before = field(m, node, "previousSibling");
    const Value after = field(m, node, "nextSibling");
    if (parent.isObject()) {
        if (m.strictEquals(field(m, parent, "firstChild"), node)) {
            setField(m, parent, "firstChild", after);
        }
        if (m.strictEquals(field(m, parent, "lastChild"), node)) {
            setField(m, parent, "lastChild", before);
        }
        std::vector<Value>& kids = children(m, parent)->elements;
        for (std::size_t i = 0; i < kids.size(); ++i) {
            if (m.strictEquals(kids[i], node)) {
                kids.erase(kids.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        }
    }
    if (before.isObject()) {
        setField(m, before, "nextSibling", after);
    }
    if (after.isObject()) {
        setField(m, after, "previousSibling", before);
    }
    setField(m, node, "parentNode", Value::null());
    setField(m, node, "previousSibling", Value::null());
    setField(m, node, "nextSibling", Value::null());
}

bool hasAncestor(Machine& m, Value node, const Value& ancestor) {
    for (std::size_t steps = 0; node.isObject() && steps <= 1u << 20; ++steps) {
        if (m.strictEquals(node, ancestor)) {
            return true;
        }
        node = field(m, node, "parentNode");
    }
    return false;
}

// Puts `node` among `parent`'s children in front of `before` (at the end when null), taken
// from wherever it was. A node cannot go inside itself.
void insertChild(Machine& m, const Value& parent, const Value& node, const Value& before) {
    if (!isNode(m, node)) {
        m.throwError("TypeError", 2007, "Parameter node must be non-null.");
    }
    if (hasAncestor(m, parent, node)) {
        return;
    }
    detach(m, node);
    std::vector<Value>& kids = children(m, parent)->elements;
    std::size_t at = kids.size();
    for (std::size_t i = 0; before.isObject() && i < kids.size(); ++i) {
        if (m.strictEquals(kids[i], before)) {
            at = i;
        }
    }
    const Value prev = at > 0 ? kids[at - 1] : Value::null();
    const Value next = at < kids.size() ? kids[at] : Value::null();
    m.checkMemory(sizeof(Value));
    kids.insert(kids.begin() + static_cast<std::ptrdiff_t>(at), node);
    setField(m, node, "parentNode", parent);
    setField(m, node, "previousSibling", prev);
    setField(m, node, "nextSibling", next);
    if (prev.isObject()) {
        setField(m, prev, "nextSibling", node);
    } else {
        setField(m, parent, "firstChild", node);
    }
    if (next.isObject()) {
        setField(m, next, "previousSibling", node);
    } else {
        setField(m, parent, "lastChild", node);
    }
}

Value appendChild(Machine& m, const Value& self, Args& a) {
    const Value node = arg(a, 0);
    if (isNode(m, node) && m.strictEquals(field(m, node, "parentNode"), self)) {
        return Value(); // already a child: it keeps its place
    }
    insertChild(m, self, node, Value::null());
    return Value();
}

// insertBefore(node, before): in front of one of this node's children; a `before` that is
// none of them inserts nothing, a null one appends.
Value insertBefore(Machine& m, const Value& self, Args& a) {
    const Value before = arg(a, 1);
    if (before.isNullish()) {
        insertChild(m, self, arg(a, 0), Value::null());
    } else if (m.strictEquals(field(m, before, "parentNode"), self) &&
               !m.strictEquals(arg(a, 0), before)) {
        insertChild(m, self, arg(a, 0), before);
    }
    return Value();
}

Value removeNode(Machine& m, const Value& self, Args&) {
    detach(m, self);
    return Value();
}

Value hasChildNodes(Machine& m, const Value& self, Args&) {
    return Value::boolean(!children(m, self)->elements.empty());
}

Value childNodes(Machine& m, const Value& self, Args&) {
    return Value::object(children(m, self));
}

Value getAttributes(Machine& m, const Value& self, Args&) {
    return attributes(m, self);
}

Value setAttributes(Machine&, const Value& self, Args& a) {
    setHiddenField(self, kAttributes, arg(a, 0));
    return Value();
}

Value newNode(Machine& m, std::uint32_t type, const Value& value) {
    Class* cls = nodeClass(m);
    Args args{Value::unsignedInt(type), value};
    return m.construct(Value::object(cls->classObject), args);
}

Value cloneNode(Machine& m, const Value& self, Args& a) {
    // Deep copies go down an explicit list, not the native stack: a script can nest nodes
    // as deep as it likes.
    std::vector<std::pair<Value, Value>> pending{{self, Value()}};
    Value top;
    while (!pending.empty()) {
        m.checkBudget();
        const auto [from, parent] = pending.back();
        pending.pop_back();
        const bool element = m.toNumber(field(m, from, "nodeType")) == kElement;
        const Value copy =
            newNode(m, static_cast<std::uint32_t>(m.toNumber(field(m, from, "nodeType"))),
                    field(m, from, element ? "nodeName" : "nodeValue"));
        if (!element) {
            setField(m, copy, "nodeName", field(m, from, "nodeName"));
        }
        const Value attrs = attributes(m, copy);
        for (const auto& [name, value] : attributeList(m, from)) {
            m.setProperty(attrs, Name::publicName(name), value);
        }
        if (parent.isUndefined()) {
            top = copy;
        } else {
            insertChild(m, parent, copy, Value::null());
        }
        if (m.toBoolean(arg(a, 0))) {
            const std::vector<Value> kids = children(m, from)->elements;
            for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
                if (isNode(m, *it)) {
                    pending.emplace_back(*it, copy);
                }
            }
        }
    }
    return top;
}

std::string nodeName(Machine& m, const Value& self) {
    const Value name = field(m, self, "nodeName");
    return name.isNullish() ? std::string() : m.toString(name);
}

Value localName(Machine& m, const Value& self, Args&) {
    if (field(m, self, "nodeName").isNullish()) {
        return Value::null();
    }
    const std::string name = nodeName(m, self);
    const std::size_t colon = name.find(':');
    return Value::string(colon == std::string::npos ? name : name.substr(colon + 1));
}

Value prefix(Machine& m, const Value& self, Args&) {
    if (field(m, self, "nodeName").isNullish()) {
        return Value::null();
    }
    const std::string name = nodeName(m, self);
    const std::size_t colon = name.find(':');
    return Value::string(colon == std::string::npos ? std::string() : name.substr(0, colon));
}

// The nearest declaration, on this node or an ancestor, that `match` accepts: its prefix
// (`wantPrefix`) or its namespace; null when none does.
template <typename Match>
Value findDeclaration(Machine& m, Value node, Match match, bool wantPrefix) {
    for (std::size_t steps = 0; node.isObject() && steps <= 1u << 20; ++steps) {
        m.checkBudget();
        for (const auto& [name, value] : attributeList(m, node)) {
            if (name != "xmlns" && name.rfind("xmlns:", 0) != 0) {
                continue;
            }
            const std::string declared = name.size() > 6 ? name.substr(6) : std::string();
            if (match(declared, value)) {
                return wantPrefix ? Value::string(declared) : value;
            }
        }
        node = field(m, node, "parentNode");
    }
    return Value::null();
}

Value namespaceForPrefix(Machine& m, const Value& self, const std::string& wanted) {
    return findDeclaration(
        m, self, [&](const std::string& declared, const Value&) { return declared == wanted; },
        false);
}

Value getNamespaceForPrefix(Machine& m, const Value& self, Args& a) {
    return namespaceForPrefix(m, self, m.toString(arg(a, 0)));
}

Value getPrefixForNamespace(Machine& m, const Value& self, Args& a) {
    const std::string uri = m.toString(arg(a, 0));
    return findDeclaration(
        m, self, [&](const std::string&, const Value& value) { return m.toString(value) == uri; },
        true);
}

Value namespaceURI(Machine& m, const Value& self, Args& a) {
    const Value p = prefix(m, self, a);
    if (p.isNull()) {
        return Value::null();
    }
    return namespaceForPrefix(m, self, p.asString());
}

// The markup of a node and all below it, written without recursion: a node's closing tag
// waits on the list until its children are written.
std::string markup(Machine& m, const Value& root) {
    std::string out;
    std::vector<std::pair<Value, bool>> pending{{root, false}};
    while (!pending.empty()) {
        m.checkBudget();
        const auto [node, closing] = pending.back();
        pending.pop_back();
        if (!isNode(m, node)) {
            out += m.toString(node);
            continue;
        }
        const bool named = !field(m, node, "nodeName").isNullish();
        if (closing) {
            out += "</" + nodeName(m, node) + ">";
            continue;
        }
        if (m.toNumber(field(m, node, "nodeType")) != kElement) {
            const Value value = field(m, node, "nodeValue");
            out += xmldoc::escape(value.isNullish() ? std::string("null") : m.toString(value));
            continue;
        }
        const std::vector<Value> kids = children(m, node)->elements;
        if (named) {
            out += "<" + nodeName(m, node);
            for (const auto& [name, value] : attributeList(m, node)) {
                out += " " + name + "=\"" + xmldoc::escape(m.toString(value)) + "\"";
            }
            if (kids.empty()) {
                out += " />";
                continue;
            }
            out += ">";
            pending.emplace_back(node, true);
        }
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            pending.emplace_back(*it, false);
        }
        m.checkMemory(out.size());
    }
    return out;
}

Value nodeToString(Machine& m, const Value& self, Args&) {
    return Value::string(markup(m, self));
}

// --- XMLDocument ------------------------------------------------------------------------

Value parseXml(Machine& m, const Value& self, Args& a) {
    const std::string source = m.toString(arg(a, 0));
    const xmldoc::Parsed parsed = xmldoc::parse(source, m.toBoolean(field(m, self, "ignoreWhite")));
    // The old tree goes whatever the new text holds.
    for (const Value& kid : std::vector<Value>(children(m, self)->elements)) {
        detach(m, kid);
    }
    setField(m, self, "xmlDecl",
             parsed.hasDeclaration ? Value::string(parsed.declaration) : Value::null());
    setField(m, self, "docTypeDecl",
             parsed.hasDoctype ? Value::string(parsed.doctype) : Value::null());
    if (parsed.error == 1085) {
        m.throwError("TypeError", 1085,
                     "The element type \"" + parsed.unclosed +
                         "\" must be terminated by the matching end-tag \"</" + parsed.unclosed +
                         ">\".");
    }
    if (parsed.error == 1088) {
        m.throwError("TypeError", 1088,
                     "The markup in the document following the root element must be "
                     "well-formed.");
    }
    if (parsed.error != 0) {
        static constexpr std::pair<int, std::string_view> kFailures[] = {
            {1090, "element is malformed."},
            {1091, "Unterminated CDATA section."},
            {1092, "Unterminated XML declaration."},
            {1093, "Unterminated DOCTYPE declaration."},
            {1094, "Unterminated comment."},
            {1095, "Unterminated attribute."},
            {1096, "Unterminated element."},
            {1097, "Unterminated processing instruction."}};
        for (const auto& [code, text] : kFailures) {
            if (code == parsed.error) {
                m.throwError("TypeError", code, "XML parser failure: " + std::string(text));
            }
        }
    }
    const Value ids = field(m, self, "idMap");
    Value parent = self;
    for (const xmldoc::Item& item : parsed.items) {
        m.checkBudget();
        if (item.kind == xmldoc::Item::Kind::Close) {
            parent = field(m, parent, "parentNode");
            continue;
        }
        const bool element = item.kind == xmldoc::Item::Kind::Open;
        const Value node = newNode(m, element ? kElement : kText, Value::string(item.text));
        const Value attrs = attributes(m, node);
        for (const xmldoc::Attribute& at : item.attributes) {
            m.setProperty(attrs, Name::publicName(at.name), Value::string(at.value));
            // Elements with an id are found by it in the document's idMap.
            if (at.name == "id" && ids.isObject()) {
                m.setProperty(ids, Name::publicName(at.value), node);
            }
        }
        insertChild(m, parent, node, Value::null());
        if (element && !item.empty) {
            parent = node;
        }
    }
    return Value();
}

Value documentConstruct(Machine& m, const Value& self, Args& a) {
    nodeInit(m, self, Value::unsignedInt(kElement), Value::null());
    setField(m, self, "idMap", Value::object(m.newObject()));
    const Value source = arg(a, 0);
    if (!source.isNullish()) {
        Args args{source};
        parseXml(m, self, args);
    }
    return Value();
}

Value documentToString(Machine& m, const Value& self, Args&) {
    std::string out;
    for (const char* name : {"xmlDecl", "docTypeDecl"}) {
        const Value v = field(m, self, name);
        if (!v.isNullish()) {
            out += m.toString(v);
        }
    }
    return Value::string(out + markup(m, self));
}

template <std::uint32_t Type> Value createNode(Machine& m, const Value&, Args& a) {
    return newNode(m, Type, arg(a, 0));
}

} // namespace

void installXmlDocument(Machine& m) {
    Class* types = m.defineClass(kPackage, "XMLNodeType", m.objectClass);
    types->sealed = true;
    types->isFinal = true;
    m.defineStaticConst(types, "ELEMENT_NODE", Value::unsignedInt(kElement));
    m.defineStaticConst(types, "TEXT_NODE", Value::unsignedInt(kText));

    Class* node = m.defineClass(kPackage, "XMLNode", m.objectClass, nodeConstruct);
    node->sealed = true;
    node->init.nativeRequired = 2;
    node->init.nativeParams = 2;
    addPublicSlot(node, "nodeType", m.uintClass, Value::unsignedInt(0));
    for (const char* link :
         {"previousSibling", "nextSibling", "parentNode", "firstChild", "lastChild"}) {
        addPublicSlot(node, link, node, Value::null());
    }
    addPublicSlot(node, "nodeName", m.stringClass, Value::null());
    addPublicSlot(node, "nodeValue", m.stringClass, Value::null());
    m.defineGetter(node, "childNodes", childNodes);
    m.defineGetter(node, "attributes", getAttributes);
    m.defineSetter(node, "attributes", setAttributes);
    m.defineGetter(node, "localName", localName);
    m.defineGetter(node, "prefix", prefix);
    m.defineGetter(node, "namespaceURI", namespaceURI);
    const std::tuple<const char*, NativeFn, std::uint8_t> methods[] = {
        {"appendChild", appendChild, 1},
        {"insertBefore", insertBefore, 2},
        {"removeNode", removeNode, 0},
        {"hasChildNodes", hasChildNodes, 0},
        {"cloneNode", cloneNode, 1},
        {"getNamespaceForPrefix", getNamespaceForPrefix, 1},
        {"getPrefixForNamespace", getPrefixForNamespace, 1},
        {"toString", nodeToString, 0}};
    for (const auto& [name, fn, params] : methods) {
        m.defineMethod(node, name, fn);
        m.declareParams(node, name, params, params);
    }

    Class* document = m.defineClass(kPackage, "XMLDocument", node, documentConstruct);
    document->init.nativeRequired = 0;
    document->init.nativeParams = 1;
    addPublicSlot(document, "docTypeDecl", nullptr, Value::null());
    addPublicSlot(document, "idMap", m.objectClass, Value::null());
    addPublicSlot(document, "ignoreWhite", m.booleanClass, Value::boolean(false));
    addPublicSlot(document, "xmlDecl", nullptr, Value::null());
    const std::tuple<const char*, NativeFn, std::uint8_t> documentMethods[] = {
        {"createElement", createNode<kElement>, 1},
        {"createTextNode", createNode<kText>, 1},
        {"parseXML", parseXml, 1},
        {"toString", documentToString, 0}};
    for (const auto& [name, fn, params] : documentMethods) {
        m.defineMethod(document, name, fn);
        m.declareParams(document, name, params, params);
    }
}

} // namespace avm2
