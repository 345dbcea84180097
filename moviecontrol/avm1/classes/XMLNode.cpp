// XMLNode: the nodes of XML trees built by script or parsed from text.

#include "avm1/XmlNode.h"
#include "avm1/Convert.h"
#include "avm1/Interpreter.h"
#include "avm1/State.h"

namespace avm1 {

namespace {

// The prototype's members are plain assignments, as Flash's own XMLNode makes them:
// enumerable and deletable. They are made in Flash's order, which a for-in over any node
// shows.
constexpr std::uint32_t Assigned = 0;

void installNodeMethods(Machine& m, Object* proto) {
    m.defineMethod(
        proto, "cloneNode",
        [](CallArgs& c) -> Value {
            XmlNode* self = thisNode(c);
            if (!self) {
                return {};
            }
            return Value(
                static_cast<Object*>(self->clone(c.machine, c.machine.toBoolean(c.arg(0)))));
        },
        Assigned);
    m.defineMethod(
        proto, "removeNode",
        [](CallArgs& c) -> Value {
            if (XmlNode* self = thisNode(c)) {
                self->detach(c.machine);
            }
            return {};
        },
        Assigned);
    m.defineMethod(
        proto, "insertBefore",
        [](CallArgs& c) -> Value {
            XmlNode* self = thisNode(c);
            XmlNode* child = asNode(c.arg(0));
            XmlNode* before = asNode(c.arg(1));
            if (self && child && before && child->parent() != self) {
                self->insert(c.machine, child, before);
            }
            return {};
        },
        Assigned);
    m.defineMethod(
        proto, "appendChild",
        [](CallArgs& c) -> Value {
            // A node that is already a child keeps its place.
            XmlNode* self = thisNode(c);
            XmlNode* child = asNode(c.arg(0));
            if (self && child && child->parent() != self) {
                self->insert(c.machine, child, nullptr);
            }
            return {};
        },
        Assigned);
    m.defineMethod(
        proto, "hasChildNodes",
        [](CallArgs& c) -> Value {
            XmlNode* self = thisNode(c);
            return self ? Value(!self->children().empty()) : Value();
        },
        Assigned);
    m.defineMethod(
        proto, "toString",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            XmlNode* self = thisNode(c);
            if (!self) {
                return Value(m.str(""));
            }
            std::string head;
            // A document prints its declaration and document type before its nodes.
            if (self->parent() == nullptr && !m.get(self, "nodeName").isString()) {
                for (const char* name : {"xmlDecl", "docTypeDecl"}) {
                    Value v = m.get(self, name);
                    if (!v.isNullish()) {
                        head += m.toString(v).str();
                    }
                }
            }
            return Value(Str(head + self->toText(m)));
        },
        Assigned);
    m.defineMethod(
        proto, "getNamespaceForPrefix",
        [](CallArgs& c) -> Value {
            XmlNode* self = thisNode(c);
            if (!self || c.count() == 0) {
                return {};
            }
            return self->namespaceForPrefix(c.machine, c.machine.toString(c.arg(0)).view());
        },
        Assigned);
    m.defineMethod(
        proto, "getPrefixForNamespace",
        [](CallArgs& c) -> Value {
            XmlNode* self = thisNode(c);
            if (!self || c.count() == 0) {
                return {};
            }
            return self->prefixForNamespace(c.machine, c.machine.toString(c.arg(0)).view());
        },
        Assigned);
}

// The tree's properties belong to XMLNode.prototype: a node has none of its own. Nodes
// answer the reads themselves; objects that merely inherit from the prototype read
// undefined.
constexpr std::string_view TreeProperties[] = {
    "attributes", "childNodes", "firstChild",  "lastChild",  "nextSibling",
    "nodeName",   "nodeType",   "nodeValue",   "parentNode", "previousSibling",
    "prefix",     "localName",  "namespaceURI"};

} // namespace

void installXMLNode(Machine& m) {
    FunctionObject* node = m.newClass([](CallArgs&) -> Value { return {}; });
    node->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* proto = m.get(c.callee, "prototype").asObject();
        // new XMLNode(type, text): with fewer arguments, an empty text node. The type is
        // kept as a byte.
        int type = XmlNode::TextNode;
        Value text(m.str(""));
        if (c.count() >= 2) {
            type = toInt32(m.toNumber(c.arg(0))) & 0xFF;
            text = Value(m.toString(c.arg(1)));
        }
        XmlNode* made = type == XmlNode::Element
                            ? m.make<XmlNode>(proto, type, text, Value::null())
                            : m.make<XmlNode>(proto, type, Value::null(), text);
        return Value(static_cast<Object*>(made));
    };
    Object* nodeProto = constructorPrototype(m, node);
    installNodeMethods(m, nodeProto);
    defineNodeAccessors(m, nodeProto, TreeProperties);
    m.define(m.global(), "XMLNode", Value(static_cast<Object*>(node)));
}

} // namespace avm1
