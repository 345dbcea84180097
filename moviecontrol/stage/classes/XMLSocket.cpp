// XMLSocket: the movie control opens no sockets for a movie (a card has no server to talk
// to), so connect answers false at once, as Flash does for a host or port it will not
// reach, and no onConnect follows. The class is otherwise whole, so a movie that offers a
// socket connection and copes with a refusal plays on.
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

} // namespace

void installXMLSocket(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    m.defineMethod(proto, "connect", [](CallArgs&) { return Value(false); });
    m.defineMethod(proto, "send", [](CallArgs&) { return Value(); });
    m.defineMethod(proto, "close", [](CallArgs&) { return Value(); });
    // What arrives is parsed as an XML document and handed to onXML.
    m.defineMethod(proto, "onData", [](CallArgs& c) {
        avm1::Machine& m = c.machine;
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return Value();
        }
        const Value text = c.arg(0);
        avm1::Object* document = m.construct(m.get(m.global(), "XML"), {&text, 1});
        const Value arg(document);
        m.callMethod(self, "onXML", {&arg, 1});
        return Value();
    });
    m.define(m.global(), "XMLSocket", Value(static_cast<avm1::Object*>(ctor)));
}

} // namespace mc
