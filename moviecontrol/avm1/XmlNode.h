#pragma once
// A node of an XML tree as scripts see it (XMLNode and XML objects). The tree lives in the
// nodes' C++ members; scripts read it through computed properties (firstChild,
// childNodes...), so that replacing XMLNode.prototype keeps the tree readable.

#include "avm1/Function.h"
#include "avm1/Machine.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace avm1 {

class XmlNode : public Object {
  public:
    enum : int { Element = 1, TextNode = 3 };
    XmlNode(Object* proto, int type, Value name, Value value)
        : Object(proto), type_(type), name_(std::move(name)), value_(std::move(value)) {}

    std::string_view className() const override { return "XMLNode"; }
    bool getVirtual(Machine& m, const Str& name, Value& out) override;
    bool setVirtual(Machine& m, const Str& name, const Value& value) override;
    bool hasVirtual(Machine& m, const Str& name) override;
    void trace(Tracer& t) override;

    int type() const { return type_; }
    XmlNode* parent() const { return parent_; }
    const std::vector<XmlNode*>& children() const { return children_; }
    // The attributes object, made on first use.
    Object* attributes(Machine& m);

    // True when `node` is this node or one of its ancestors.
    bool hasAncestor(const XmlNode* node) const;
    // Moves `child` (detached from its old parent) in front of `before`, or to the end
    // when `before` is null. False when that would make the tree a cycle.
    bool insert(Machine& m, XmlNode* child, XmlNode* before);
    void detach(Machine& m);
    void removeChildren(Machine& m);
    // Appends a fresh node that has no parent, leaving childNodes as it was until
    // childrenChanged (for building a parsed tree in one pass).
    void appendFresh(XmlNode* child) {
        children_.push_back(child);
        child->parent_ = this;
    }
    void childrenChanged(Machine& m) { refreshChildArray(m); }

    // An XML document also answers status, xmlDecl and docTypeDecl, which its parses set,
    // and loaded, which its loads set.
    void makeDocument() { document_ = true; }
    void setParseResult(Value status, Value xmlDecl, Value docTypeDecl) {
        status_ = std::move(status);
        xmlDecl_ = std::move(xmlDecl);
        docTypeDecl_ = std::move(docTypeDecl);
    }

    // The node and everything below it as XML text.
    std::string toText(Machine& m);
    // A copy with its own attributes object; with `deep`, of the children too.
    XmlNode* clone(Machine& m, bool deep);

    // Namespace lookups through this node and its ancestors ("xmlns" attributes).
    Value namespaceForPrefix(Machine& m, std::string_view prefix);
    Value prefixForNamespace(Machine& m, std::string_view uri);

  private:
    // The first "xmlns" declaration, nearest first, that `match` accepts: its prefix or
    // its namespace.
    Value findDeclaration(Machine& m,
                          const std::function<bool(std::string_view prefix, const Str& uri)>& match,
                          bool wantPrefix);
    void refreshChildArray(Machine& m);
    Object* childArray(Machine& m);
    std::string openTag(Machine& m);

    int type_;
    Value name_;  // string or null
    Value value_; // string or null
    XmlNode* parent_ = nullptr;
    std::vector<XmlNode*> children_;
    Object* attributes_ = nullptr;
    Object* childArray_ = nullptr;
    bool document_ = false;
    Value status_{0.0};
    Value xmlDecl_;
    Value docTypeDecl_;
    Value loaded_;
};

// The node a value holds, or null; and the `this` of an XMLNode or XML method.
inline XmlNode* asNode(const Value& v) {
    return dynamic_cast<XmlNode*>(v.asObject());
}

inline XmlNode* thisNode(CallArgs& c) {
    return asNode(c.thisValue);
}

// Accessors on `proto` (XMLNode's or XML's prototype) for properties that nodes answer
// themselves: they make the names the prototype's own, never a node's.
void defineNodeAccessors(Machine& m, Object* proto, std::span<const std::string_view> names);

// A new node whose prototype is XMLNode.prototype as it is now.
XmlNode* makeXmlNode(Machine& m, int type, const Value& nameOrValue);

// Replaces the children of `document` with what `text` holds; sets status, xmlDecl,
// docTypeDecl and adds elements with an "id" attribute to the id map.
void parseXmlInto(Machine& m, XmlNode* document, std::string_view text);

} // namespace avm1
