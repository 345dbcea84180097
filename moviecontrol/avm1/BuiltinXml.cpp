// XMLNode and XML: trees of nodes built by script or parsed from text.

#include "avm1/Interpreter.h"
#include "avm1/State.h"
#include "avm1/XmlNode.h"

namespace avm1 {

namespace {

XmlNode* asNode(const Value& v) {
    return dynamic_cast<XmlNode*>(v.asObject());
}

XmlNode* thisNode(CallArgs& c) {
    return asNode(c.thisValue);
}

/// The XML constructor's document: an element without a name.
XmlNode* makeDocument(Machine& m, Object* proto) {
    auto* document = m.make<XmlNode>(proto, XmlNode::Element, Value::null(), Value::null());
    if (m.version() >= 8)
        m.define(document, "idMap", Value(m.newObject()));
    return document;
}

void installNodeMethods(Machine& m, Object* proto) {
    m.defineMethod(proto, "appendChild", [](CallArgs& c) -> Value {
        if (XmlNode* self = thisNode(c))
            self->insert(c.machine, asNode(c.arg(0)), nullptr);
        return {};
    });
    m.defineMethod(proto, "insertBefore", [](CallArgs& c) -> Value {
        XmlNode* self = thisNode(c);
        XmlNode* before = asNode(c.arg(1));
        if (self && before)
            self->insert(c.machine, asNode(c.arg(0)), before);
        return {};
    });
    m.defineMethod(proto, "removeNode", [](CallArgs& c) -> Value {
        if (XmlNode* self = thisNode(c))
            self->detach(c.machine);
        return {};
    });
    m.defineMethod(proto, "cloneNode", [](CallArgs& c) -> Value {
        XmlNode* self = thisNode(c);
        if (!self)
            return {};
        return Value(static_cast<Object*>(self->clone(c.machine, c.machine.toBoolean(c.arg(0)))));
    });
    m.defineMethod(proto, "hasChildNodes", [](CallArgs& c) -> Value {
        XmlNode* self = thisNode(c);
        return self ? Value(!self->children().empty()) : Value();
    });
    m.defineMethod(proto, "toString", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        XmlNode* self = thisNode(c);
        if (!self)
            return Value(m.str("[object Object]"));
        std::string head;
        // A document prints its declaration and document type before its nodes.
        if (self->parent() == nullptr && !m.get(self, "nodeName").isString()) {
            for (const char* name : {"xmlDecl", "docTypeDecl"}) {
                Value v = m.get(self, name);
                if (!v.isNullish())
                    head += m.toString(v).str();
            }
        }
        return Value(Str(head + self->toText(m)));
    });
    m.defineMethod(proto, "getNamespaceForPrefix", [](CallArgs& c) -> Value {
        XmlNode* self = thisNode(c);
        if (!self || c.count() == 0)
            return Value::null();
        return self->namespaceForPrefix(c.machine, c.machine.toString(c.arg(0)).view());
    });
    m.defineMethod(proto, "getPrefixForNamespace", [](CallArgs& c) -> Value {
        XmlNode* self = thisNode(c);
        if (!self || c.count() == 0)
            return Value::null();
        return self->prefixForNamespace(c.machine, c.machine.toString(c.arg(0)).view());
    });
}

void installDocumentMethods(Machine& m, Object* proto) {
    m.defineMethod(proto, "createElement", [](CallArgs& c) -> Value {
        return Value(static_cast<Object*>(makeXmlNode(c.machine, XmlNode::Element, c.arg(0))));
    });
    m.defineMethod(proto, "createTextNode", [](CallArgs& c) -> Value {
        return Value(static_cast<Object*>(makeXmlNode(c.machine, XmlNode::TextNode, c.arg(0))));
    });
    m.defineMethod(proto, "parseXML", [](CallArgs& c) -> Value {
        if (XmlNode* self = thisNode(c))
            parseXmlInto(c.machine, self, c.machine.toString(c.arg(0)).view());
        return {};
    });
    // Text that arrives (a load) is parsed, then onLoad hears whether it came.
    m.defineMethod(proto, "onData", [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* self = c.thisObject();
        if (!self)
            return {};
        bool arrived = !c.arg(0).isUndefined();
        if (arrived) {
            Value text = c.arg(0);
            m.callMethod(self, "parseXML", std::span<const Value>(&text, 1));
        }
        m.set(self, "loaded", Value(arrived));
        Value success(arrived);
        m.callMethod(self, "onLoad", std::span<const Value>(&success, 1));
        return {};
    });
    m.defineMethod(proto, "onLoad", [](CallArgs&) -> Value { return {}; });
    m.defineMethod(proto, "addRequestHeader", [](CallArgs&) -> Value { return {}; });
    m.define(proto, "contentType", Value(m.str("application/x-www-form-urlencoded")));
    m.define(proto, "ignoreWhite", Value(false));
}

} // namespace

void installXmlBuiltins(Machine& m) {
    FunctionObject* node = m.newClass([](CallArgs&) -> Value { return {}; });
    node->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        Object* proto = m.get(c.callee, "prototype").asObject();
        int type = c.count() ? static_cast<int>(m.toNumber(c.arg(0))) : XmlNode::Element;
        Value text = c.arg(1).isNullish() ? Value::null() : Value(m.toString(c.arg(1)));
        XmlNode* made = type == XmlNode::Element
                            ? m.make<XmlNode>(proto, type, text, Value::null())
                            : m.make<XmlNode>(proto, type, Value::null(), text);
        return Value(static_cast<Object*>(made));
    };
    Object* nodeProto = constructorPrototype(m, node);
    installNodeMethods(m, nodeProto);
    m.define(m.global(), "XMLNode", Value(static_cast<Object*>(node)));

    FunctionObject* document = m.newClass([](CallArgs&) -> Value { return {}; }, nodeProto);
    document->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        XmlNode* made = makeDocument(m, m.get(c.callee, "prototype").asObject());
        if (!c.arg(0).isNullish())
            parseXmlInto(m, made, m.toString(c.arg(0)).view());
        return Value(static_cast<Object*>(made));
    };
    installDocumentMethods(m, constructorPrototype(m, document));
    m.define(m.global(), "XML", Value(static_cast<Object*>(document)));
}

} // namespace avm1
