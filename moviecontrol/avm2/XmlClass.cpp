// The XML class: construction and conversion, the XML settings, and the methods of an XML
// node. XMLList's methods (XmlListClass.cpp) reuse the ones that gather nodes.
#include "avm2/MovieVersion.h"
#include "avm2/StringPositions.h"
#include "avm2/XmlMethods.h"
#include "avm2/XmlOperators.h"

#include <algorithm>

namespace avm2 {

Object* xmlSelf(Machine& m, const Value& self, const char* method) {
    if (isXmlList(self)) {
        const auto& items = self.asObject()->elements;
        if (items.size() == 1 && isXml(items.front())) {
            return items.front().asObject();
        }
        m.throwError("TypeError", 1086,
                     std::string("The ") + method +
                         " method only works on lists containing one item.");
    }
    if (!isXml(self)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(self) + " to XML.");
    }
    return self.asObject();
}

Value makeNamespace(Machine& m, const XmlNamespace& ns) {
    Args a;
    if (ns.hasPrefix && !(ns.uri.empty() && !ns.prefix.empty())) {
        a = {Value::string(ns.prefix), Value::string(ns.uri)};
    } else {
        a = {Value::string(ns.uri)};
    }
    return m.construct(Value::object(m.namespaceClass->classObject), a);
}

namespace {

// A node's index as a property name ("0", 2): the position, or nothing.
bool indexArg(Machine& m, const Value& v, std::size_t& out) {
    if (v.isNumeric()) {
        const double d = v.asNumber();
        if (d >= 0 && d < 4294967295.0 && d == static_cast<double>(static_cast<std::uint32_t>(d))) {
            out = static_cast<std::size_t>(d);
            return true;
        }
        return false;
    }
    if (v.isObject() && v.asObject()->kind == Object::Kind::QName) {
        return false;
    }
    const std::string s = m.toString(v);
    if (s.empty() || s.size() > 9 || (s.size() > 1 && s[0] == '0') ||
        !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return false;
    }
    out = static_cast<std::size_t>(std::stoul(s));
    return true;
}

void push(Object* list, Object* node) {
    list->elements.push_back(Value::object(node));
}

} // namespace

// --- Gathering methods, shared with XMLList ------------------------------------------------

void gatherChild(Machine& m, Object* x, const Args& a, Object* out) {
    const XmlNode& n = xmlNode(x);
    std::size_t index = 0;
    if (indexArg(m, arg(a, 0), index)) {
        if (index < n.children.size()) {
            push(out, n.children[index]);
        }
        return;
    }
    const XmlQuery q = queryFromValue(m, arg(a, 0), false);
    for (Object* o : q.attribute ? n.attributes : n.children) {
        if (q.matches(xmlNode(o))) {
            push(out, o);
        }
    }
}

void gatherChildren(Machine&, Object* x, const Args&, Object* out) {
    for (Object* c : xmlNode(x).children) {
        push(out, c);
    }
}

void gatherElements(Machine& m, Object* x, const Args& a, Object* out) {
    const XmlQuery q = queryFromValue(m, a.empty() ? Value::string("*") : a[0], false);
    for (Object* c : xmlNode(x).children) {
        if (xmlNode(c).kind == XmlKind::Element && q.matches(xmlNode(c))) {
            push(out, c);
        }
    }
}

void gatherAttributes(Machine&, Object* x, const Args&, Object* out) {
    for (Object* c : xmlNode(x).attributes) {
        push(out, c);
    }
}

void gatherAttribute(Machine& m, Object* x, const Args& a, Object* out) {
    const XmlQuery q = queryFromValue(m, arg(a, 0), true);
    for (Object* c : xmlNode(x).attributes) {
        if (q.matches(xmlNode(c))) {
            push(out, c);
        }
    }
}

namespace {

void gatherKind(Object* x, XmlKind kind, Object* out) {
    for (Object* c : xmlNode(x).children) {
        if (xmlNode(c).kind == kind) {
            push(out, c);
        }
    }
}

} // namespace

void gatherComments(Machine&, Object* x, const Args&, Object* out) {
    gatherKind(x, XmlKind::Comment, out);
}

void gatherText(Machine&, Object* x, const Args&, Object* out) {
    gatherKind(x, XmlKind::Text, out);
}

void gatherInstructions(Machine& m, Object* x, const Args& a, Object* out) {
    const std::string name = a.empty() ? "*" : m.toString(a[0]);
    for (Object* c : xmlNode(x).children) {
        if (xmlNode(c).kind == XmlKind::Instruction && (name == "*" || xmlNode(c).local == name)) {
            push(out, c);
        }
    }
}

void gatherDescendantsOf(Machine& m, Object* x, const Args& a, Object* out) {
    const XmlQuery q = queryFromValue(m, a.empty() ? Value::string("*") : a[0], false);
    listAppend(m, out, xmlDescendantsByQuery(m, Value::object(x), q));
}

void normalizeNode(Machine& m, Object* x, std::size_t depth) {
    if (depth > kXmlMaxDepth) {
        m.throwError("Error", 1023, "Stack overflow occurred.");
    }
    std::vector<Object*>& kids = xmlNode(x).children;
    std::vector<Object*> kept;
    for (Object* c : kids) {
        XmlNode& cn = xmlNode(c);
        if (cn.kind == XmlKind::Element) {
            normalizeNode(m, c, depth + 1);
        } else if (cn.kind == XmlKind::Text) {
            if (!kept.empty() && xmlNode(kept.back()).kind == XmlKind::Text) {
                xmlNode(kept.back()).text += cn.text;
                cn.parent = nullptr;
                continue;
            }
        }
        kept.push_back(c);
    }
    // Text left empty, or only white space, goes.
    const auto blank = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(),
                           [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    };
    std::vector<Object*> result;
    for (Object* c : kept) {
        if (xmlNode(c).kind == XmlKind::Text && blank(xmlNode(c).text)) {
            xmlNode(c).parent = nullptr;
        } else {
            result.push_back(c);
        }
    }
    xmlNode(x).children = std::move(result);
}

namespace {

template <Gather G> Value xmlGatherMethod(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self);
    Object* out = newXmlList(m, x);
    G(m, x, a, out);
    return Value::object(out);
}

// --- XML's own methods ----------------------------------------------------------------------

Value xmlInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    Object* o = self.asObject();
    Value v = arg(a, 0);
    Object* from = nullptr;
    if (isXml(v)) {
        from = deepCopy(m, v.asObject());
    } else if (isXmlList(v) && v.asObject()->elements.size() == 1) {
        from = deepCopy(m, v.asObject()->elements.front().asObject());
    } else {
        from = toXmlValue(m, v).asObject();
    }
    // This object takes the parsed node's place: its children now name it as their parent.
    o->kind = Object::Kind::Xml;
    o->nativeData = from->nativeData;
    XmlNode& n = xmlNode(o);
    n.parent = nullptr;
    for (Object* c : n.children) {
        xmlNode(c).parent = o;
    }
    for (Object* c : n.attributes) {
        xmlNode(c).parent = o;
    }
    return Value();
}

Value xmlCall(Machine& m, const Value&, Args& a) {
    Value v = arg(a, 0);
    if (isXml(v)) {
        return v;
    }
    if (isXmlList(v) && v.asObject()->elements.size() == 1) {
        return v.asObject()->elements.front();
    }
    return m.construct(Value::object(xmlState(m).xmlClass->classObject), a);
}

Value xmlToStringMethod(Machine& m, const Value& self, Args&) {
    return Value::string(xmlToString(m, xmlSelf(m, self)));
}

Value xmlToXmlStringMethod(Machine& m, const Value& self, Args&) {
    return Value::string(xmlToXmlString(m, xmlSelf(m, self)));
}

Value xmlValueOf(Machine& m, const Value& self, Args&) {
    return Value::object(xmlSelf(m, self));
}

Value xmlLength(Machine& m, const Value& self, Args&) {
    xmlSelf(m, self);
    return Value::integer(1);
}

Value xmlCopy(Machine& m, const Value& self, Args&) {
    return Value::object(deepCopy(m, xmlSelf(m, self)));
}

Value xmlParent(Machine& m, const Value& self, Args&) {
    Object* p = xmlNode(xmlSelf(m, self)).parent;
    return p != nullptr ? Value::object(p) : Value();
}

Value xmlNodeKind(Machine& m, const Value& self, Args&) {
    static const char* const kNames[] = {"element", "text", "comment", "processing-instruction",
                                         "attribute"};
    return Value::string(kNames[static_cast<int>(xmlNode(xmlSelf(m, self, "nodeKind")).kind)]);
}

Value xmlHasSimple(Machine& m, const Value& self, Args&) {
    return Value::boolean(hasSimpleContent(xmlSelf(m, self)));
}

Value xmlHasComplex(Machine& m, const Value& self, Args&) {
    Object* x = xmlSelf(m, self);
    return Value::boolean(xmlNode(x).kind == XmlKind::Element && !hasSimpleContent(x));
}

// The node itself or an equal XML node; Flash compares no other values.
Value xmlContains(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self);
    const Value v = arg(a, 0);
    return Value::boolean(isXml(v) && xmlDeepEquals(x, v.asObject()));
}

Value xmlChildIndex(Machine& m, const Value& self, Args&) {
    const std::size_t i = childIndexOf(xmlSelf(m, self, "childIndex"));
    return Value::integer(i == static_cast<std::size_t>(-1) ? -1 : static_cast<std::int32_t>(i));
}

Value xmlLocalName(Machine& m, const Value& self, Args&) {
    const XmlNode& n = xmlNode(xmlSelf(m, self, "localName"));
    if (n.kind == XmlKind::Text || n.kind == XmlKind::Comment) {
        return Value::null();
    }
    return Value::string(n.local);
}

Value xmlName(Machine& m, const Value& self, Args&) {
    const XmlNode& n = xmlNode(xmlSelf(m, self, "name"));
    if (n.kind == XmlKind::Text || n.kind == XmlKind::Comment) {
        return Value::null();
    }
    Args qa{Value::string(n.uri), Value::string(n.local)};
    return m.construct(Value::object(m.qnameClass->classObject), qa);
}

Value xmlNamespace(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "namespace");
    const XmlNode& n = xmlNode(x);
    const std::vector<XmlNamespace> scope = inScopeNamespaces(x);
    if (!a.empty()) {
        const std::string prefix = m.toString(a[0]);
        for (const XmlNamespace& ns : scope) {
            if (ns.prefix == prefix) {
                return makeNamespace(m, ns);
            }
        }
        return Value();
    }
    if (n.kind == XmlKind::Text || n.kind == XmlKind::Comment || n.kind == XmlKind::Instruction) {
        return Value::null();
    }
    for (const XmlNamespace& ns : scope) {
        if (ns.uri == n.uri && (!n.hasPrefix || ns.prefix == n.prefix)) {
            return makeNamespace(m, ns);
        }
    }
    // A prefix no longer bound to the URI is unknown.
    return makeNamespace(m, XmlNamespace{"", n.uri.empty(), n.uri});
}

Value xmlAppendChild(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "appendChild");
    const Value child = arg(a, 0);
    // Appending puts the value at the end of the list of children, and a value that is not XML
    // put after an element becomes an element of that element's name holding the value's text.
    if (!isXmlOrList(child) && movieVersionOf(m) >= kXmlChildAsTextVersion &&
        xmlNode(x).kind == XmlKind::Element) {
        // Converted first: a script's toString may change the children.
        Object* text = newXmlNode(m, XmlKind::Text);
        xmlNode(text).text = m.toString(child);
        Object* node = text;
        const auto& kids = xmlNode(x).children;
        if (!kids.empty() && xmlNode(kids.back()).kind == XmlKind::Element) {
            const XmlNode& last = xmlNode(kids.back());
            node = newXmlNode(m, XmlKind::Element);
            XmlNode& e = xmlNode(node);
            e.uri = last.uri;
            e.local = last.local;
            if (last.hasPrefix) {
                // The prefix may be declared on the element copied from alone.
                e.prefix = last.prefix;
                e.hasPrefix = true;
                e.namespaces.push_back(XmlNamespace{last.prefix, true, last.uri});
            }
            e.children.push_back(text);
            xmlNode(text).parent = node;
        }
        insertChildren(m, x, xmlNode(x).children.size(), Value::object(node));
        return Value::object(x);
    }
    insertChildren(m, x, xmlNode(x).children.size(), child);
    return Value::object(x);
}

Value xmlPrependChild(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "prependChild");
    insertChildren(m, x, 0, arg(a, 0));
    return Value::object(x);
}

// The position of a child given as XML or a one-item list; nothing when it is not one.
bool positionOf(Object* x, const Value& child, std::size_t& out) {
    Value c = child;
    if (isXmlList(c) && c.asObject()->elements.size() == 1) {
        c = c.asObject()->elements.front();
    }
    if (!isXml(c)) {
        return false;
    }
    const auto& kids = xmlNode(x).children;
    const auto it = std::find(kids.begin(), kids.end(), c.asObject());
    if (it == kids.end()) {
        return false;
    }
    out = static_cast<std::size_t>(it - kids.begin());
    return true;
}

Value xmlInsertChildAfter(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "insertChildAfter");
    if (xmlNode(x).kind != XmlKind::Element) {
        return Value();
    }
    if (arg(a, 0).isNull()) {
        insertChildren(m, x, 0, arg(a, 1));
        return Value::object(x);
    }
    std::size_t at = 0;
    if (!positionOf(x, arg(a, 0), at)) {
        return Value();
    }
    insertChildren(m, x, at + 1, arg(a, 1));
    return Value::object(x);
}

Value xmlInsertChildBefore(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "insertChildBefore");
    if (xmlNode(x).kind != XmlKind::Element) {
        return Value();
    }
    if (arg(a, 0).isNull()) {
        insertChildren(m, x, xmlNode(x).children.size(), arg(a, 1));
        return Value::object(x);
    }
    std::size_t at = 0;
    if (!positionOf(x, arg(a, 0), at)) {
        return Value();
    }
    insertChildren(m, x, at, arg(a, 1));
    return Value::object(x);
}

Value xmlSetChildren(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "setChildren");
    if (xmlNode(x).kind != XmlKind::Element) {
        return Value::object(x);
    }
    for (Object* c : xmlNode(x).children) {
        xmlNode(c).parent = nullptr;
    }
    xmlNode(x).children.clear();
    insertChildren(m, x, 0, arg(a, 0));
    return Value::object(x);
}

Value xmlReplace(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "replace");
    if (xmlNode(x).kind != XmlKind::Element) {
        return Value::object(x);
    }
    const Value value = arg(a, 1);
    std::vector<Object*>& kids = xmlNode(x).children;
    std::size_t index = 0;
    if (indexArg(m, arg(a, 0), index)) {
        if (index < kids.size()) {
            removeFromParent(kids[index]);
            insertChildren(m, x, index, value);
        } else {
            insertChildren(m, x, kids.size(), value);
        }
        return Value::object(x);
    }
    const XmlQuery q = queryFromValue(m, arg(a, 0), false);
    std::size_t first = kids.size();
    for (std::size_t i = kids.size(); i-- > 0;) {
        if (q.matches(xmlNode(kids[i]))) {
            if (first != kids.size()) {
                removeFromParent(kids[first]);
            }
            first = i;
        }
    }
    if (first == kids.size()) {
        return Value::object(x);
    }
    removeFromParent(kids[first]);
    if (isXmlOrList(value)) {
        insertChildren(m, x, first, value);
    } else {
        Object* t = newXmlNode(m, XmlKind::Text);
        xmlNode(t).text = m.toString(value);
        insertChildren(m, x, first, Value::object(t));
    }
    return Value::object(x);
}

Value xmlNormalize(Machine& m, const Value& self, Args&) {
    Object* x = xmlSelf(m, self);
    normalizeNode(m, x, 0);
    return Value::object(x);
}

// A namespace argument: Namespace, QName or URI text.
XmlNamespace namespaceArg(Machine& m, const Value& v) {
    if (v.isObject() && v.asObject()->kind == Object::Kind::Namespace) {
        Object* o = v.asObject();
        return XmlNamespace{o->text, o->flag, o->ns.uri};
    }
    if (v.isObject() && v.asObject()->kind == Object::Kind::QName) {
        return XmlNamespace{"", false, v.asObject()->ns.uri};
    }
    const std::string uri = v.isNullish() ? std::string() : m.toString(v);
    return XmlNamespace{"", uri.empty(), uri};
}

void declare(Object* x, const XmlNamespace& ns) {
    if (!ns.hasPrefix) {
        return;
    }
    auto& decls = xmlNode(x).namespaces;
    for (XmlNamespace& d : decls) {
        if (d.prefix == ns.prefix) {
            d = ns;
            return;
        }
    }
    decls.push_back(ns);
}

Value xmlAddNamespace(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "addNamespace");
    if (xmlNode(x).kind == XmlKind::Element) {
        declare(x, namespaceArg(m, arg(a, 0)));
    }
    return Value::object(x);
}

Value xmlRemoveNamespace(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "removeNamespace");
    const XmlNamespace ns = namespaceArg(m, arg(a, 0));
    XmlNode& n = xmlNode(x);
    if (n.kind != XmlKind::Element || n.uri == ns.uri) {
        return Value::object(x); // the element's own namespace stays
    }
    auto& decls = n.namespaces;
    decls.erase(std::remove_if(decls.begin(), decls.end(),
                               [&](const XmlNamespace& d) {
                                   return d.uri == ns.uri &&
                                          (!ns.hasPrefix || d.prefix == ns.prefix);
                               }),
                decls.end());
    return Value::object(x);
}

Value namespaceArray(Machine& m, const std::vector<XmlNamespace>& list) {
    std::vector<Value> out;
    out.reserve(list.size());
    for (const XmlNamespace& ns : list) {
        out.push_back(makeNamespace(m, ns));
    }
    return Value::object(m.newArray(std::move(out)));
}

// The declarations an element makes that its ancestors have not made already.
Value xmlNamespaceDeclarations(Machine& m, const Value& self, Args&) {
    const XmlNode& n = xmlNode(xmlSelf(m, self, "namespaceDeclarations"));
    if (n.kind != XmlKind::Element) {
        return namespaceArray(m, {});
    }
    const std::vector<XmlNamespace> above =
        n.parent != nullptr ? inScopeNamespaces(n.parent) : std::vector<XmlNamespace>{};
    std::vector<XmlNamespace> own;
    for (const XmlNamespace& ns : n.namespaces) {
        if (ns.prefix.empty() && ns.uri.empty()) {
            continue;
        }
        if (std::find(above.begin(), above.end(), ns) == above.end()) {
            own.push_back(ns);
        }
    }
    return namespaceArray(m, own);
}

Value xmlInScopeNamespaces(Machine& m, const Value& self, Args&) {
    Object* x = xmlSelf(m, self, "inScopeNamespaces");
    std::vector<XmlNamespace> scope = inScopeNamespaces(x);
    if (scope.empty()) {
        scope.push_back(XmlNamespace{"", true, ""});
    }
    return namespaceArray(m, scope);
}

Value xmlSetLocalName(Machine& m, const Value& self, Args& a) {
    XmlNode& n = xmlNode(xmlSelf(m, self, "setLocalName"));
    if (n.kind == XmlKind::Text || n.kind == XmlKind::Comment) {
        return Value();
    }
    const Value v = arg(a, 0);
    n.local = v.isObject() && v.asObject()->kind == Object::Kind::QName ? v.asObject()->text
                                                                        : m.toString(v);
    return Value();
}

Value xmlSetName(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "setName");
    XmlNode& n = xmlNode(x);
    if (n.kind == XmlKind::Text || n.kind == XmlKind::Comment) {
        return Value();
    }
    const Value v = arg(a, 0);
    const bool qname = v.isObject() && v.asObject()->kind == Object::Kind::QName;
    // The name is read as a QName would read it, so undefined is the empty name.
    const std::string local = qname ? v.asObject()->text : v.isUndefined() ? "" : m.toString(v);
    if (!isXmlName(local)) {
        m.throwError("TypeError", 1117, "Invalid XML name: " + local + ".");
    }
    if (qname) {
        n.local = v.asObject()->text;
        n.uri = v.asObject()->flag ? std::string() : v.asObject()->ns.uri;
    } else {
        n.local = local;
        n.uri = n.kind == XmlKind::Attribute ? std::string() : xmlState(m).defaultNamespace;
    }
    if (n.kind == XmlKind::Instruction) {
        n.uri.clear();
    }
    n.hasPrefix = false;
    n.prefix.clear();
    return Value();
}

Value xmlSetNamespace(Machine& m, const Value& self, Args& a) {
    Object* x = xmlSelf(m, self, "setNamespace");
    XmlNode& n = xmlNode(x);
    if (n.kind != XmlKind::Element && n.kind != XmlKind::Attribute) {
        return Value();
    }
    const XmlNamespace ns = namespaceArg(m, arg(a, 0));
    n.uri = ns.uri;
    n.prefix = ns.prefix;
    n.hasPrefix = ns.hasPrefix;
    Object* holder = n.kind == XmlKind::Attribute ? n.parent : x;
    if (holder != nullptr) {
        declare(holder, ns);
    }
    return Value();
}

Value xmlHasOwnPropertyMethod(Machine& m, const Value& self, Args& a) {
    Name n = Name::publicName(m.toString(arg(a, 0)));
    return Value::boolean(xmlHasOwnProperty(m, Value::object(xmlSelf(m, self)), n));
}

Value xmlPropertyIsEnumerable(Machine& m, const Value& self, Args& a) {
    xmlSelf(m, self);
    return Value::boolean(m.toString(arg(a, 0)) == "0");
}

Value xmlToJson(Machine&, const Value&, Args&) {
    return Value::string("XML");
}

// --- The settings --------------------------------------------------------------------------

Value settingsObject(Machine& m, const XmlState& st) {
    Object* o = m.newObject();
    o->setProp("ignoreComments", Value::boolean(st.ignoreComments));
    o->setProp("ignoreProcessingInstructions", Value::boolean(st.ignoreProcessingInstructions));
    o->setProp("ignoreWhitespace", Value::boolean(st.ignoreWhitespace));
    o->setProp("prettyIndent", Value::integer(st.prettyIndent));
    o->setProp("prettyPrinting", Value::boolean(st.prettyPrinting));
    return Value::object(o);
}

void applyDefaults(XmlState& st) {
    st.ignoreComments = true;
    st.ignoreProcessingInstructions = true;
    st.ignoreWhitespace = true;
    st.prettyPrinting = true;
    st.prettyIndent = 2;
}

Value xmlSettings(Machine& m, const Value&, Args&) {
    return settingsObject(m, xmlState(m));
}

Value xmlDefaultSettings(Machine& m, const Value&, Args&) {
    XmlState defaults;
    return settingsObject(m, defaults);
}

Value xmlSetSettings(Machine& m, const Value&, Args& a) {
    XmlState& st = xmlState(m);
    const Value v = arg(a, 0);
    if (!v.isObject()) {
        applyDefaults(st);
        return Value();
    }
    Object* o = v.asObject();
    const auto flag = [&](const char* name, bool& field) {
        if (const Value* p = o->findProp(name); p != nullptr && p->isBoolean()) {
            field = p->asBoolean();
        }
    };
    flag("ignoreComments", st.ignoreComments);
    flag("ignoreProcessingInstructions", st.ignoreProcessingInstructions);
    flag("ignoreWhitespace", st.ignoreWhitespace);
    flag("prettyPrinting", st.prettyPrinting);
    if (const Value* p = o->findProp("prettyIndent"); p != nullptr && p->isNumeric()) {
        st.prettyIndent = toInt32(p->asNumber());
    }
    return Value();
}

#define XML_FLAG(field)                                                                            \
    [](Machine& m, const Value&, Args&) { return Value::boolean(xmlState(m).field); },             \
        [](Machine& m, const Value&, Args& a) {                                                    \
            xmlState(m).field = Machine::toBoolean(arg(a, 0));                                     \
            return Value();                                                                        \
        }

void defineFlag(Machine& m, Class* c, const char* name, NativeFn get, NativeFn set) {
    m.defineGetter(c, name, get, true);
    m.defineSetter(c, name, set, true);
}

// isXMLName(value): whether the name a QName would take from the value (its local name) is
// one an element or attribute may have; null and undefined name nothing.
Value isXmlNameFn(Machine& m, const Value&, Args& a) {
    const Value v = arg(a, 0);
    if (v.isNullish()) {
        return Value::boolean(false);
    }
    const bool qname = v.isObject() && v.asObject()->kind == Object::Kind::QName;
    return Value::boolean(isXmlName(qname ? v.asObject()->text : m.toString(v)));
}

} // namespace

void installXml(Machine& m) {
    m.defineGlobal("", "isXMLName", Value::object(m.newNative(isXmlNameFn, "isXMLName")));
    Class* c = m.defineClass("", "XML", m.objectClass, xmlInit);
    c->isFinal = true;
    c->call = xmlCall;
    xmlState(m).xmlClass = c;

    defineFlag(m, c, "ignoreComments", XML_FLAG(ignoreComments));
    defineFlag(m, c, "ignoreProcessingInstructions", XML_FLAG(ignoreProcessingInstructions));
    defineFlag(m, c, "ignoreWhitespace", XML_FLAG(ignoreWhitespace));
    defineFlag(m, c, "prettyPrinting", XML_FLAG(prettyPrinting));
    defineFlag(
        m, c, "prettyIndent",
        [](Machine& vm, const Value&, Args&) { return Value::integer(xmlState(vm).prettyIndent); },
        [](Machine& vm, const Value&, Args& a) {
            xmlState(vm).prettyIndent = toInt32(vm.toNumber(arg(a, 0)));
            return Value();
        });
    m.defineMethod(c, "settings", xmlSettings, true);
    m.defineMethod(c, "setSettings", xmlSetSettings, true);
    m.defineMethod(c, "defaultSettings", xmlDefaultSettings, true);

    const std::pair<const char*, NativeFn> methods[] = {
        {"toString", xmlToStringMethod},
        {"toXMLString", xmlToXmlStringMethod},
        {"valueOf", xmlValueOf},
        {"length", xmlLength},
        {"copy", xmlCopy},
        {"parent", xmlParent},
        {"nodeKind", xmlNodeKind},
        {"hasSimpleContent", xmlHasSimple},
        {"hasComplexContent", xmlHasComplex},
        {"contains", xmlContains},
        {"childIndex", xmlChildIndex},
        {"localName", xmlLocalName},
        {"name", xmlName},
        {"namespace", xmlNamespace},
        {"appendChild", xmlAppendChild},
        {"prependChild", xmlPrependChild},
        {"insertChildAfter", xmlInsertChildAfter},
        {"insertChildBefore", xmlInsertChildBefore},
        {"setChildren", xmlSetChildren},
        {"replace", xmlReplace},
        {"normalize", xmlNormalize},
        {"addNamespace", xmlAddNamespace},
        {"removeNamespace", xmlRemoveNamespace},
        {"namespaceDeclarations", xmlNamespaceDeclarations},
        {"inScopeNamespaces", xmlInScopeNamespaces},
        {"setLocalName", xmlSetLocalName},
        {"setName", xmlSetName},
        {"setNamespace", xmlSetNamespace},
        {"hasOwnProperty", xmlHasOwnPropertyMethod},
        {"propertyIsEnumerable", xmlPropertyIsEnumerable},
        {"toJSON", xmlToJson},
        {"child", xmlGatherMethod<gatherChild>},
        {"children", xmlGatherMethod<gatherChildren>},
        {"elements", xmlGatherMethod<gatherElements>},
        {"attributes", xmlGatherMethod<gatherAttributes>},
        {"attribute", xmlGatherMethod<gatherAttribute>},
        {"comments", xmlGatherMethod<gatherComments>},
        {"text", xmlGatherMethod<gatherText>},
        {"processingInstructions", xmlGatherMethod<gatherInstructions>},
        {"descendants", xmlGatherMethod<gatherDescendantsOf>},
    };
    for (const auto& [name, fn] : methods) {
        m.defineMethod(c, name, fn);
    }
    // XMLList takes these from XML: they work on its one item.
    Class* list = m.defineClass("", "XMLList", m.objectClass, nullptr);
    list->isFinal = true;
    xmlState(m).listClass = list;
    static const char* const kSingleItem[] = {"addNamespace",     "appendChild",
                                              "childIndex",       "inScopeNamespaces",
                                              "insertChildAfter", "insertChildBefore",
                                              "localName",        "name",
                                              "namespace",        "namespaceDeclarations",
                                              "nodeKind",         "prependChild",
                                              "removeNamespace",  "replace",
                                              "setChildren",      "setLocalName",
                                              "setName",          "setNamespace"};
    for (const char* name : kSingleItem) {
        for (const auto& [n, fn] : methods) {
            if (std::string_view(n) == name) {
                m.defineMethod(list, name, fn);
            }
        }
    }
    installXmlListMethods(m, list);
}

} // namespace avm2
