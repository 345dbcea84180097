// XML: a document, a tree of XMLNodes built by script or parsed from text.

#include "avm1/Interpreter.h"
#include "avm1/State.h"
#include "avm1/XmlNode.h"

namespace avm1 {

namespace {

// The XML constructor's document: an element without a name.
XmlNode* makeDocument(Machine& m, Object* proto) {
    auto* document = m.make<XmlNode>(proto, XmlNode::Element, Value::null(), Value::null());
    document->makeDocument();
    if (m.version() >= 8) {
        m.define(document, "idMap", Value(m.newObject()));
    }
    return document;
}

// XML.prototype's members are plain assignments, as Flash's own XML class makes them:
// enumerable and deletable, in Flash's order, which a for-in over any document shows.
constexpr std::uint32_t Assigned = 0;

Value bytesField(CallArgs& c, std::string_view field) {
    Object* self = c.thisObject();
    return self ? c.machine.get(self, field) : Value();
}

void installDocumentMethods(Machine& m, Object* proto) {
    // Without an argument there is nothing to make; any argument becomes text.
    auto create = [](int type) {
        return [type](CallArgs& c) -> Value {
            if (c.count() == 0) {
                return {};
            }
            Value text(c.machine.toString(c.arg(0)));
            return Value(static_cast<Object*>(makeXmlNode(c.machine, type, text)));
        };
    };
    m.defineMethod(proto, "createElement", create(XmlNode::Element), Assigned);
    m.defineMethod(proto, "createTextNode", create(XmlNode::TextNode), Assigned);
    m.defineMethod(
        proto, "parseXML",
        [](CallArgs& c) -> Value {
            // Without text the old tree still goes.
            if (XmlNode* self = thisNode(c)) {
                if (c.count() == 0) {
                    self->removeChildren(c.machine);
                } else {
                    parseXmlInto(c.machine, self, c.machine.toString(c.arg(0)).view());
                }
            }
            return {};
        },
        Assigned);
    // A machine without a player has nowhere to read from or send to: the player's
    // loading replaces load and sendAndLoad in their places.
    m.defineMethod(
        proto, "load", [](CallArgs&) -> Value { return Value(false); }, Assigned);
    m.defineMethod(
        proto, "send", [](CallArgs&) -> Value { return Value(false); }, Assigned);
    m.defineMethod(
        proto, "sendAndLoad", [](CallArgs&) -> Value { return Value(false); }, Assigned);
    m.defineMethod(
        proto, "onLoad", [](CallArgs&) -> Value { return {}; }, Assigned);
    // Text that arrives (a load) is parsed, then onLoad hears whether it came.
    m.defineMethod(
        proto, "onData",
        [](CallArgs& c) -> Value {
            Machine& m = c.machine;
            Object* self = c.thisObject();
            if (!self) {
                return {};
            }
            // A failed load leaves `loaded` as load() set it.
            bool arrived = !c.arg(0).isUndefined();
            if (arrived) {
                Value text = c.arg(0);
                m.callMethod(self, "parseXML", std::span<const Value>(&text, 1));
                m.set(self, "loaded", Value(true));
            }
            Value success(arrived);
            m.callMethod(self, "onLoad", std::span<const Value>(&success, 1));
            return {};
        },
        Assigned);
    // A load keeps its byte counts beside the document.
    m.defineMethod(
        proto, "getBytesLoaded", [](CallArgs& c) { return bytesField(c, "_bytesLoaded"); },
        Assigned);
    m.defineMethod(
        proto, "getBytesTotal", [](CallArgs& c) { return bytesField(c, "_bytesTotal"); }, Assigned);
    m.defineMethod(
        proto, "addRequestHeader", [](CallArgs&) -> Value { return {}; }, Assigned);
    m.define(proto, "contentType", Value(m.str("application/x-www-form-urlencoded")), Assigned);
    // What a parse leaves is the prototype's to answer, never a document's own.
    constexpr std::string_view docType[] = {"docTypeDecl"};
    defineNodeAccessors(m, proto, docType);
    m.define(proto, "ignoreWhite", Value(false), Assigned);
    // Until a load starts, `loaded` is undefined; a document keeps it as a boolean.
    constexpr std::string_view loadState[] = {"loaded"};
    defineNodeAccessors(m, proto, loadState);
    constexpr std::string_view parseResults[] = {"status", "xmlDecl"};
    defineNodeAccessors(m, proto, parseResults);
}

} // namespace

void installXML(Machine& m) {
    // XML inherits XMLNode's methods: XMLNode stands above it in ClassList.h.
    Object* nodeProto = m.prototypeOf("XMLNode");
    FunctionObject* document = m.newClass([](CallArgs&) -> Value { return {}; }, nodeProto);
    document->constructor = [](CallArgs& c) -> Value {
        Machine& m = c.machine;
        XmlNode* made = makeDocument(m, m.get(c.callee, "prototype").asObject());
        // Any argument is text to parse: undefined is "undefined" from version 7 on.
        if (c.count() > 0) {
            parseXmlInto(m, made, m.toString(c.arg(0)).view());
        }
        return Value(static_cast<Object*>(made));
    };
    installDocumentMethods(m, constructorPrototype(m, document));
    m.define(m.global(), "XML", Value(static_cast<Object*>(document)));
}

} // namespace avm1
