// XML nodes as objects, names as E4X matches them, and the tree operations the XML methods
// and operators share: copying, comparing, inserting and removing nodes.
#include "avm2/XmlNodes.h"

#include "avm2/MovieVersion.h"

#include <algorithm>

namespace avm2 {

XmlState& xmlState(Machine& m) {
    if (!m.xmlData) {
        auto state = std::make_shared<XmlState>();
        state->xmlClass = m.findClass("XML");
        state->listClass = m.findClass("XMLList");
        m.xmlData = state;
    }
    return *static_cast<XmlState*>(m.xmlData.get());
}

bool isXml(const Value& v) {
    return v.isObject() && v.asObject()->kind == Object::Kind::Xml;
}

bool isXmlList(const Value& v) {
    return v.isObject() && v.asObject()->kind == Object::Kind::XmlList;
}

XmlNode& xmlNode(Object* o) {
    return *static_cast<XmlNode*>(o->nativeData.get());
}

XmlListOrigin& listOrigin(Object* o) {
    return *static_cast<XmlListOrigin*>(o->nativeData.get());
}

Object* newXmlNode(Machine& m, XmlKind kind) {
    XmlState& st = xmlState(m);
    Object* o = m.instantiate(st.xmlClass);
    o->kind = Object::Kind::Xml;
    auto node = std::make_shared<XmlNode>();
    node->kind = kind;
    o->nativeData = std::move(node);
    return o;
}

Object* newXmlList(Machine& m, Object* target) {
    XmlState& st = xmlState(m);
    Object* o = m.instantiate(st.listClass);
    o->kind = Object::Kind::XmlList;
    auto origin = std::make_shared<XmlListOrigin>();
    origin->target = target;
    o->nativeData = std::move(origin);
    return o;
}

void listAppend(Machine& m, Object* list, const Value& item) {
    if ((list->elements.size() & 0x3FF) == 0x3FF) {
        m.checkMemory(list->elements.size() * sizeof(Value));
    }
    if (isXmlList(item)) {
        // A copy first: the list may be appended to itself.
        const std::vector<Value> items = item.asObject()->elements;
        list->elements.insert(list->elements.end(), items.begin(), items.end());
    } else if (isXml(item)) {
        list->elements.push_back(item);
    }
}

bool XmlQuery::matches(const XmlNode& n) const {
    if (attribute != (n.kind == XmlKind::Attribute)) {
        return false;
    }
    if (!attribute && n.kind != XmlKind::Element) {
        // Text, comments and instructions answer only to "*" in any namespace.
        return anyLocal && anyUri;
    }
    if (!anyLocal && n.local != local) {
        return false;
    }
    return anyUri || std::find(uris.begin(), uris.end(), n.uri) != uris.end();
}

XmlQuery queryFromName(Machine& m, const Name& name) {
    XmlQuery q;
    q.attribute = name.attribute;
    std::string local = name.local;
    if (!q.attribute && !local.empty() && local[0] == '@') {
        q.attribute = true;
        local.erase(0, 1);
    }
    q.anyLocal = name.anyName || local == "*";
    if (!q.anyLocal) {
        q.local = std::move(local);
    }
    if (name.anyNamespace) {
        q.anyUri = true;
        return q;
    }
    // `x.*` and `x.@*` are any name in any namespace; `ns::*` keeps its namespace.
    const bool qualified =
        name.namespaces.size() == 1 &&
        !(name.namespaces[0].group == Namespace::Group::Public && name.namespaces[0].uri.empty());
    if (q.anyLocal && !qualified) {
        q.anyUri = true;
        return q;
    }
    const std::string& dxns = xmlState(m).defaultNamespace;
    for (const Namespace& ns : name.namespaces) {
        if (ns.group != Namespace::Group::Public) {
            continue;
        }
        // The unqualified name of an element is in the default xml namespace; an
        // attribute's stays in none.
        std::string uri = ns.uri.empty() && !q.attribute ? dxns : ns.uri;
        if (std::find(q.uris.begin(), q.uris.end(), uri) == q.uris.end()) {
            q.uris.push_back(std::move(uri));
        }
    }
    if (q.uris.empty()) {
        q.uris.push_back(q.attribute ? std::string() : dxns);
    }
    return q;
}

XmlQuery queryFromValue(Machine& m, const Value& v, bool attribute) {
    if (v.isObject() && v.asObject()->kind == Object::Kind::QName) {
        XmlQuery q;
        q.attribute = attribute;
        Object* o = v.asObject();
        q.anyLocal = o->text == "*";
        q.local = q.anyLocal ? std::string() : o->text;
        q.anyUri = o->flag;
        q.uris.push_back(o->ns.uri);
        return q;
    }
    Name n = Name::publicName(v.isUndefined() ? std::string("undefined") : m.toString(v));
    n.attribute = attribute;
    return queryFromName(m, n);
}

Object* deepCopy(Machine& m, Object* xml, Object* parent, std::size_t depth) {
    if (depth > kXmlMaxDepth) {
        m.throwError("Error", 1023, "Stack overflow occurred.");
    }
    const XmlNode& from = xmlNode(xml);
    Object* copy = newXmlNode(m, from.kind);
    XmlNode& to = xmlNode(copy);
    to.uri = from.uri;
    to.local = from.local;
    to.prefix = from.prefix;
    to.hasPrefix = from.hasPrefix;
    to.text = from.text;
    to.cdata = from.cdata;
    to.namespaces = from.namespaces;
    to.parent = parent;
    for (Object* a : from.attributes) {
        to.attributes.push_back(deepCopy(m, a, copy, depth + 1));
    }
    for (Object* c : from.children) {
        to.children.push_back(deepCopy(m, c, copy, depth + 1));
    }
    return copy;
}

bool xmlDeepEquals(Object* a, Object* b, std::size_t depth) {
    if (a == b) {
        return true;
    }
    const XmlNode& x = xmlNode(a);
    const XmlNode& y = xmlNode(b);
    if (depth > kXmlMaxDepth || x.kind != y.kind || x.local != y.local || x.uri != y.uri ||
        x.text != y.text || x.attributes.size() != y.attributes.size() ||
        x.children.size() != y.children.size()) {
        return false;
    }
    for (Object* attr : x.attributes) {
        const XmlNode& an = xmlNode(attr);
        const bool found = std::any_of(y.attributes.begin(), y.attributes.end(), [&](Object* o) {
            const XmlNode& bn = xmlNode(o);
            return bn.local == an.local && bn.uri == an.uri && bn.text == an.text;
        });
        if (!found) {
            return false;
        }
    }
    for (std::size_t i = 0; i < x.children.size(); ++i) {
        if (!xmlDeepEquals(x.children[i], y.children[i], depth + 1)) {
            return false;
        }
    }
    return true;
}

bool isSelfOrAncestor(Object* ancestor, Object* node) {
    for (Object* p = node; p != nullptr; p = xmlNode(p).parent) {
        if (p == ancestor) {
            return true;
        }
    }
    return false;
}

void removeFromParent(Object* node) {
    XmlNode& n = xmlNode(node);
    if (n.parent == nullptr) {
        return;
    }
    XmlNode& p = xmlNode(n.parent);
    auto& from = n.kind == XmlKind::Attribute ? p.attributes : p.children;
    from.erase(std::remove(from.begin(), from.end(), node), from.end());
    n.parent = nullptr;
}

std::size_t childIndexOf(Object* node) {
    const XmlNode& n = xmlNode(node);
    if (n.parent == nullptr || n.kind == XmlKind::Attribute) {
        return static_cast<std::size_t>(-1);
    }
    const auto& kids = xmlNode(n.parent).children;
    const auto it = std::find(kids.begin(), kids.end(), node);
    return it == kids.end() ? static_cast<std::size_t>(-1)
                            : static_cast<std::size_t>(it - kids.begin());
}

namespace {

// The node a value puts among children: XML as it is (attributes as their text), anything
// else as its text (in old movies, as the markup or text it reads as).
std::vector<Object*> nodesToInsert(Machine& m, const Value& value) {
    std::vector<Object*> out;
    auto take = [&](Object* o) {
        if (xmlNode(o).kind == XmlKind::Attribute) {
            Object* t = newXmlNode(m, XmlKind::Text);
            xmlNode(t).text = xmlNode(o).text;
            out.push_back(t);
        } else {
            out.push_back(o);
        }
    };
    if (isXmlList(value)) {
        for (const Value& v : value.asObject()->elements) {
            take(v.asObject());
        }
    } else if (isXml(value)) {
        take(value.asObject());
    } else if (movieVersionOf(m) >= kXmlChildAsTextVersion) {
        Object* t = newXmlNode(m, XmlKind::Text);
        xmlNode(t).text = m.toString(value);
        out.push_back(t);
    } else {
        Object* root = parseXmlFragment(m, m.toString(value));
        for (Object* c : xmlNode(root).children) {
            out.push_back(c);
        }
        if (out.empty()) {
            Object* t = newXmlNode(m, XmlKind::Text);
            xmlNode(t).text = m.toString(value);
            out.push_back(t);
        }
    }
    return out;
}

} // namespace

void insertChildren(Machine& m, Object* x, std::size_t index, const Value& value) {
    if (xmlNode(x).kind != XmlKind::Element) {
        return;
    }
    std::vector<Object*> nodes = nodesToInsert(m, value);
    for (Object* n : nodes) {
        if (isSelfOrAncestor(n, x)) {
            m.throwError("TypeError", 1118, "Illegal cyclical loop between nodes.");
        }
    }
    for (Object* n : nodes) {
        removeFromParent(n);
        XmlNode& parent = xmlNode(x);
        index = std::min(index, parent.children.size());
        parent.children.insert(parent.children.begin() + static_cast<std::ptrdiff_t>(index), n);
        xmlNode(n).parent = x;
        ++index;
    }
}

std::vector<XmlNamespace> inScopeNamespaces(Object* node) {
    std::vector<XmlNamespace> out;
    for (Object* p = node; p != nullptr; p = xmlNode(p).parent) {
        for (const XmlNamespace& ns : xmlNode(p).namespaces) {
            const bool shadowed = std::any_of(out.begin(), out.end(), [&](const XmlNamespace& o) {
                return o.hasPrefix == ns.hasPrefix && o.prefix == ns.prefix;
            });
            if (!shadowed) {
                out.push_back(ns);
            }
        }
    }
    return out;
}

Value toXmlValue(Machine& m, const Value& v) {
    if (isXml(v)) {
        return v;
    }
    if (isXmlList(v)) {
        const auto& items = v.asObject()->elements;
        if (items.size() == 1) {
            return items.front();
        }
        m.throwError("TypeError", 1088,
                     "The markup in the document following the root element must be "
                     "well-formed.");
    }
    if (v.isNullish()) {
        return Value::object(newXmlNode(m, XmlKind::Text));
    }
    return Value::object(parseXmlValue(m, m.toString(v)));
}

Value toXmlListValue(Machine& m, const Value& v) {
    if (isXmlList(v)) {
        return v;
    }
    Object* list = newXmlList(m);
    if (isXml(v)) {
        list->elements.push_back(v);
    } else if (!v.isNullish()) {
        Object* root = parseXmlFragment(m, m.toString(v));
        for (Object* c : xmlNode(root).children) {
            xmlNode(c).parent = nullptr;
            list->elements.push_back(Value::object(c));
        }
    }
    return Value::object(list);
}

bool isXmlName(std::string_view name) {
    const auto letter = [](unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
    };
    if (name.empty() || !letter(static_cast<unsigned char>(name.front()))) {
        return false;
    }
    return std::all_of(name.begin() + 1, name.end(), [&](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return letter(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
    });
}

} // namespace avm2
