// PrintJob: a card plays on whatever machine opens it and prints nothing from a stranger's
// movie, so every job is one the person declined: start() answers false, pages added to it
// are refused and send() has nothing to send. The paper's sizes are only known after a start
// that succeeded, so they stay undefined. Movies that offer printing carry on as they do
// when a person cancels the print dialogue.
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

void installPrintJob(StageScripts& stage) {
    using avm1::CallArgs;
    using avm1::Value;
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    m.defineMethod(proto, "start", [](CallArgs&) { return Value(false); });
    m.defineMethod(proto, "addPage", [](CallArgs&) { return Value(false); });
    m.defineMethod(proto, "send", [](CallArgs&) { return Value(); });
    m.define(m.global(), "PrintJob", Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only7);
}

} // namespace mc
