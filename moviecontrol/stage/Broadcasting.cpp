#include "Broadcasting.h"

#include "StageScripts.h"

namespace mc {

using avm1::Value;

avm1::Object* broadcastingObject(StageScripts& stage, std::string_view globalName) {
    avm1::Machine& m = stage.machine();
    avm1::Object* o = m.newObject();
    m.define(m.global(), globalName, Value(o));
    if (avm1::Object* a = m.get(m.global(), "AsBroadcaster").asObject()) {
        const Value arg(o);
        m.callMethod(a, "initialize", std::span<const Value>(&arg, 1));
    }
    stage.keep(o);
    return o;
}

} // namespace mc
