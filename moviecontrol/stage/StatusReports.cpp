#include "StatusReports.h"

#include "avm1/Function.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

bool hasHandler(avm1::Machine& m, avm1::Object* o) {
    const avm1::Value handler = o != nullptr ? m.get(o, "onStatus") : avm1::Value();
    return handler.isObject() && handler.asObject()->asFunction() != nullptr;
}

} // namespace

void reportStatus(avm1::Machine& m, avm1::Object* self, avm1::Object* info, bool error) {
    avm1::FunctionObject* deliver = m.newFunction([](avm1::CallArgs& c) {
        avm1::Machine& m = c.machine;
        avm1::Object* target = c.arg(0).asObject();
        if (!hasHandler(m, target) && m.toBoolean(c.arg(2))) {
            target = m.get(m.global(), "System").asObject();
        }
        if (target != nullptr) {
            const avm1::Value& info = c.arg(1);
            m.callMethod(target, "onStatus", std::span<const avm1::Value>(&info, 1));
        }
        return avm1::Value();
    });
    avm1::callAfterScripts(m, avm1::Value(static_cast<avm1::Object*>(deliver)),
                           {avm1::Value(self), avm1::Value(info), avm1::Value(error)});
}

} // namespace mc
