// The XML tree: computed node properties, tree edits, text output and copies.

#include "avm1/XmlNode.h"

#include "avm1/Convert.h"
#include "avm1/State.h"
#include "avm1/XmlParser.h"

#include <algorithm>

namespace avm1 {

namespace {

bool named(Machine& m, const Str& name, std::string_view wanted) {
    return m.caseSensitive() ? name.view() == wanted : equalsFolded(name.view(), wanted);
}

Value nodeOrNull(XmlNode* node) {
    return node ? Value(static_cast<Object*>(node)) : Value::null();
}

// Prefix and local part of an element name ("a:b"); without a colon, or with one only at
// the end, the prefix is empty and the local part the whole name.
std::pair<std::string_view, std::string_view> splitName(std::string_view name) {
    std::size_t colon = name.find(':');
    if (colon == std::string_view::npos || colon + 1 == name.size()) {
        return {std::string_view(), name};
    }
    return {name.substr(0, colon), name.substr(colon + 1)};
}

// The prefix an "xmlns" attribute declares ("xmlns:p" declares p; "xmlns", "xmlns:" and
// any other name beginning with "xmlns" declare the default namespace), or false.
bool declaredPrefix(std::string_view attribute, std::string_view& prefix) {
    if (!attribute.starts_with("xmlns")) {
        return false;
    }
    prefix = attribute.size() > 6 && attribute[5] == ':' ? attribute.substr(6) : std::string_view();
    return true;
}

} // namespace

Object* XmlNode::attributes(Machine& m) {
    if (!attributes_) {
        // A bare map of names to values: no prototype, so it holds nothing but the
        // attributes (it prints as "[type Object]" and equals null and undefined).
        attributes_ = m.make<Object>(nullptr);
    }
    return attributes_;
}

Object* XmlNode::childArray(Machine& m) {
    if (!childArray_) {
        childArray_ = m.newArray();
        refreshChildArray(m);
    }
    return childArray_;
}

void XmlNode::refreshChildArray(Machine& m) {
    if (!childArray_) {
        return;
    }
    auto* array = static_cast<ArrayObject*>(childArray_);
    array->setLength(m, 0);
    for (std::size_t i = 0; i < children_.size(); ++i) {
        m.set(array, indexName(m, static_cast<double>(i)),
              Value(static_cast<Object*>(children_[i])));
    }
    array->setLength(m, static_cast<double>(children_.size()));
}

bool XmlNode::getVirtual(Machine& m, const Str& name, Value& out) {
    auto sibling = [&](int step) -> XmlNode* {
        if (!parent_) {
            return nullptr;
        }
        const auto& kids = parent_->children_;
        auto it = std::find(kids.begin(), kids.end(), this);
        auto index = (it - kids.begin()) + step;
        if (it == kids.end() || index < 0 || index >= static_cast<long>(kids.size())) {
            return nullptr;
        }
        return kids[static_cast<std::size_t>(index)];
    };
    if (document_ && named(m, name, "status")) {
        out = status_;
    } else if (document_ && named(m, name, "xmlDecl")) {
        out = xmlDecl_;
    } else if (document_ && named(m, name, "docTypeDecl")) {
        out = docTypeDecl_;
    } else if (document_ && named(m, name, "loaded")) {
        out = loaded_;
    } else if (named(m, name, "nodeType")) {
        out = Value(type_);
    } else if (named(m, name, "nodeName")) {
        out = name_;
    } else if (named(m, name, "nodeValue")) {
        out = value_;
    } else if (named(m, name, "attributes")) {
        out = Value(attributes(m));
    } else if (named(m, name, "childNodes")) {
        out = Value(childArray(m));
    } else if (named(m, name, "firstChild")) {
        out = nodeOrNull(children_.empty() ? nullptr : children_.front());
    } else if (named(m, name, "lastChild")) {
        out = nodeOrNull(children_.empty() ? nullptr : children_.back());
    } else if (named(m, name, "parentNode")) {
        out = nodeOrNull(parent_);
    } else if (named(m, name, "nextSibling")) {
        out = nodeOrNull(sibling(1));
    } else if (named(m, name, "previousSibling")) {
        out = nodeOrNull(sibling(-1));
    } else if (named(m, name, "prefix") || named(m, name, "localName")) {
        if (!name_.isString()) {
            out = Value::null();
        } else {
            auto [prefix, local] = splitName(name_.asString().view());
            out = Value(m.str(named(m, name, "prefix") ? prefix : local));
        }
    } else if (named(m, name, "namespaceURI")) {
        if (!name_.isString()) {
            out = Value::null();
        } else {
            // An element whose prefix nothing declares is in no namespace: "".
            out = namespaceForPrefix(m, splitName(name_.asString().view()).first);
            if (out.isNull()) {
                out = Value(m.str(""));
            }
        }
    } else {
        return false;
    }
    return true;
}

bool XmlNode::setVirtual(Machine& m, const Str& name, const Value& value) {
    if (document_ && named(m, name, "status")) {
        // A status is a 32-bit number; anything else is the lowest one.
        status_ = value.isNumber() ? Value(static_cast<double>(toInt32(value.asNumber())))
                                   : Value(-2147483648.0);
        return true;
    }
    if (document_ && named(m, name, "loaded")) {
        // Whether a load arrived is a boolean; assigning undefined leaves it as it was.
        if (!value.isUndefined()) {
            loaded_ = Value(m.toBoolean(value));
        }
        return true;
    }
    if (document_ && (named(m, name, "xmlDecl") || named(m, name, "docTypeDecl"))) {
        Value text = value.isUndefined() ? Value() : Value(m.toString(value));
        (named(m, name, "xmlDecl") ? xmlDecl_ : docTypeDecl_) = text;
        return true;
    }
    // A node holds one text: an element's is its name, any other node's its value, and
    // nodeName and nodeValue both write that one (an element's nodeValue renames it, a
    // text node's nodeName changes its text). Assigning undefined leaves it as it was.
    if (named(m, name, "nodeName") || named(m, name, "nodeValue")) {
        if (!value.isUndefined()) {
            (type_ == Element ? name_ : value_) =
                value.isNull() ? Value::null() : Value(m.toString(value));
        }
    } else {
        // The tree's links and the attributes object are read-only; assigning them does
        // nothing.
        static constexpr std::string_view readOnly[] = {
            "nodeType",   "childNodes",   "firstChild",      "lastChild",
            "parentNode", "nextSibling",  "previousSibling", "prefix",
            "localName",  "namespaceURI", "attributes"};
        return std::any_of(std::begin(readOnly), std::end(readOnly),
                           [&](std::string_view n) { return named(m, name, n); });
    }
    return true;
}

bool XmlNode::hasVirtual(Machine&, const Str&) {
    // The tree's properties are the prototype's, never a node's own.
    return false;
}

void XmlNode::trace(Tracer& t) {
    t.mark(name_);
    t.mark(value_);
    t.mark(parent_);
    for (XmlNode* child : children_) {
        t.mark(child);
    }
    t.mark(attributes_);
    t.mark(childArray_);
    t.mark(status_);
    t.mark(xmlDecl_);
    t.mark(docTypeDecl_);
    t.mark(loaded_);
}

bool XmlNode::hasAncestor(const XmlNode* node) const {
    for (const XmlNode* n = this; n; n = n->parent_) {
        if (n == node) {
            return true;
        }
    }
    return false;
}

bool XmlNode::insert(Machine& m, XmlNode* child, XmlNode* before) {
    if (!child || hasAncestor(child)) {
        return false;
    }
    if (before && (before->parent_ != this || before == child)) {
        return false;
    }
    child->detach(m);
    auto at = before ? std::find(children_.begin(), children_.end(), before) : children_.end();
    bool atEnd = at == children_.end();
    children_.insert(at, child);
    child->parent_ = this;
    if (atEnd && childArray_) {
        // Appending is the common edit: one element, not the whole array again.
        double last = static_cast<double>(children_.size() - 1);
        m.set(childArray_, indexName(m, last), Value(static_cast<Object*>(child)));
        static_cast<ArrayObject*>(childArray_)->setLength(m, last + 1);
    } else {
        refreshChildArray(m);
    }
    return true;
}

void XmlNode::detach(Machine& m) {
    if (!parent_) {
        return;
    }
    XmlNode* parent = parent_;
    std::erase(parent->children_, this);
    parent_ = nullptr;
    parent->refreshChildArray(m);
}

void XmlNode::removeChildren(Machine& m) {
    for (XmlNode* child : children_) {
        child->parent_ = nullptr;
    }
    children_.clear();
    refreshChildArray(m);
}

std::string XmlNode::openTag(Machine& m) {
    std::string out = "<" + name_.asString().str();
    if (attributes_) {
        for (const Str& key : m.enumerate(attributes_)) {
            out += ' ';
            out += key.view();
            out += "=\"";
            out += xml::escape(m.toString(m.get(attributes_, key)).view());
            out += '"';
        }
    }
    return out;
}

std::string XmlNode::toText(Machine& m) {
    std::string out;
    // Depth-first without recursion: script-built trees may be arbitrarily deep.
    struct Visit {
        XmlNode* node;
        std::size_t next;
    };
    std::vector<Visit> path{{this, 0}};
    while (!path.empty()) {
        Visit& v = path.back();
        XmlNode* n = v.node;
        bool tagged = n->type_ == Element && n->name_.isString();
        if (v.next == 0) {
            if (n->type_ != Element) {
                if (n->value_.isString()) {
                    out += xml::escape(n->value_.asString().view());
                }
                path.pop_back();
                continue;
            }
            if (tagged) {
                out += n->openTag(m);
                if (n->children_.empty()) {
                    out += " />";
                    path.pop_back();
                    continue;
                }
                out += '>';
            }
        }
        if (v.next < n->children_.size()) {
            XmlNode* child = n->children_[v.next++];
            path.push_back({child, 0});
            continue;
        }
        if (tagged) {
            out += "</" + n->name_.asString().str() + ">";
        }
        path.pop_back();
    }
    return out;
}

XmlNode* XmlNode::clone(Machine& m, bool deep) {
    // A copy is a plain node, whatever the original was made as: a copied document is
    // no XML object, and nothing a script added to the original comes along.
    Object* nodeProto = m.prototypeOf("XMLNode");
    auto copyOne = [&m, nodeProto](XmlNode* from) {
        auto* to = m.make<XmlNode>(nodeProto, from->type_, from->name_, from->value_);
        if (from->attributes_) {
            // Copied out first: a store may run script (an inherited setter).
            std::vector<std::pair<Str, Value>> copied;
            from->attributes_->properties().forEach(
                [&](const Property& p) { copied.emplace_back(p.name, p.value); });
            // They are stored in the order scripts enumerate them (newest first), so the
            // copy lists them the other way round.
            Object* attrs = to->attributes(m);
            for (auto it = copied.rbegin(); it != copied.rend(); ++it) {
                m.set(attrs, it->first, it->second);
            }
        }
        return to;
    };
    XmlNode* root = copyOne(this);
    if (!deep) {
        return root;
    }
    std::vector<std::pair<XmlNode*, XmlNode*>> work{{this, root}};
    while (!work.empty()) {
        auto [from, to] = work.back();
        work.pop_back();
        for (XmlNode* child : from->children_) {
            XmlNode* copy = copyOne(child);
            to->children_.push_back(copy);
            copy->parent_ = to;
            work.emplace_back(child, copy);
        }
    }
    return root;
}

Value XmlNode::findDeclaration(
    Machine& m, const std::function<bool(std::string_view prefix, const Str& uri)>& match,
    bool wantPrefix) {
    for (XmlNode* n = this; n; n = n->parent_) {
        if (!n->attributes_) {
            continue;
        }
        // The first declaration as scripts enumerate the attributes (newest first; a
        // parse stores them last first): the last match in storage order.
        // Copied out first: turning a value into text may run script that edits them.
        std::vector<std::pair<Str, Value>> declarations;
        n->attributes_->properties().forEach([&](const Property& p) {
            std::string_view declared;
            if (declaredPrefix(p.name.view(), declared)) {
                declarations.emplace_back(p.name, p.value);
            }
        });
        Value found;
        bool done = false;
        for (const auto& [name, value] : declarations) {
            std::string_view declared;
            declaredPrefix(name.view(), declared);
            Str uri = m.toString(value);
            if (match(declared, uri)) {
                found = wantPrefix ? Value(m.str(declared)) : Value(uri);
                done = true;
            }
        }
        if (done) {
            return found;
        }
    }
    return Value::null();
}

Value XmlNode::namespaceForPrefix(Machine& m, std::string_view prefix) {
    return findDeclaration(
        m, [prefix](std::string_view declared, const Str&) { return declared == prefix; }, false);
}

Value XmlNode::prefixForNamespace(Machine& m, std::string_view uri) {
    return findDeclaration(
        m, [uri](std::string_view, const Str& declared) { return declared.view() == uri; }, true);
}

void defineNodeAccessors(Machine& m, Object* proto, std::span<const std::string_view> names) {
    for (std::string_view name : names) {
        Str key = m.str(name);
        FunctionObject* getter = m.newFunction([key](CallArgs& c) -> Value {
            Value out;
            XmlNode* self = thisNode(c);
            return self && self->getVirtual(c.machine, key, out) ? out : Value();
        });
        FunctionObject* setter = m.newFunction([key](CallArgs& c) -> Value {
            if (XmlNode* self = thisNode(c)) {
                self->setVirtual(c.machine, key, c.arg(0));
            }
            return {};
        });
        // Plain members of the prototype, as an assignment would make them: enumerable.
        Property* p = proto->properties().find(key, m.caseSensitive());
        if (!p) {
            p = &proto->properties().add(Property{key, Value(), 0, nullptr, nullptr},
                                         m.caseSensitive());
        }
        p->getter = getter;
        p->setter = setter;
    }
}

XmlNode* makeXmlNode(Machine& m, int type, const Value& nameOrValue) {
    Object* proto = m.prototypeOf("XMLNode");
    Value text = nameOrValue.isNullish() ? Value::null() : Value(m.toString(nameOrValue));
    if (type == XmlNode::Element) {
        return m.make<XmlNode>(proto, type, text, Value::null());
    }
    return m.make<XmlNode>(proto, type, Value::null(), text);
}

void parseXmlInto(Machine& m, XmlNode* document, std::string_view text) {
    bool ignoreWhite = m.toBoolean(m.get(document, "ignoreWhite"));
    xml::Document parsed = xml::parse(text, ignoreWhite);
    document->removeChildren(m);
    // Movies of version 8 on find elements by id in idMap; older ones on the document.
    Object* ids = document;
    if (m.version() >= 8) {
        ids = m.get(document, "idMap").asObject();
        if (!ids) {
            ids = m.newObject();
            m.set(document, "idMap", Value(ids));
        }
    }
    std::vector<XmlNode*> open{document};
    for (const xml::Event& e : parsed.events) {
        switch (e.kind) {
        case xml::Event::Kind::Open: {
            XmlNode* node = makeXmlNode(m, XmlNode::Element, Value(m.str(e.text)));
            Object* attrs = node->attributes(m);
            // Stored last first, so that they enumerate, and print, in the text's order.
            for (auto it = e.attributes.rbegin(); it != e.attributes.rend(); ++it) {
                const xml::Attribute& a = *it;
                m.set(attrs, m.str(a.name), Value(m.str(a.value)));
                if (a.name == "id") {
                    m.set(ids, m.str(a.value), Value(static_cast<Object*>(node)));
                }
            }
            open.back()->appendFresh(node);
            open.push_back(node);
            break;
        }
        case xml::Event::Kind::Close:
            if (open.size() > 1) {
                open.pop_back();
            }
            break;
        case xml::Event::Kind::Text:
            open.back()->appendFresh(makeXmlNode(m, XmlNode::TextNode, Value(m.str(e.text))));
            break;
        }
    }
    document->childrenChanged(m);
    document->setParseResult(Value(static_cast<int>(parsed.status)),
                             parsed.hasDeclaration ? Value(m.str(parsed.declaration)) : Value(),
                             parsed.hasDoctype ? Value(m.str(parsed.doctype)) : Value());
}

} // namespace avm1
