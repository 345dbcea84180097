// Video: the script object of a placed video character. The player has no camera or network
// stream to attach, so attaching and clearing leave the embedded frames as they are.
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

void installVideo(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](avm1::CallArgs&) { return avm1::Value(); });
    // A class of version 6 movies, as video itself.
    m.define(m.global(), "Video", avm1::Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only6);
    if (avm1::Object* proto = m.get(ctor, "prototype").asObject()) {
        for (const char* name : {"attachVideo", "clear"}) {
            m.defineMethod(proto, name, [](avm1::CallArgs&) { return avm1::Value(); });
        }
    }
}

} // namespace mc
