// Accessibility: the movie control speaks to no screen reader, so isActive() is false and
// updateProperties() has nobody to tell. Movies ask before they describe themselves.
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

void installAccessibility(StageScripts& stage) {
    using avm1::CallArgs;
    using avm1::Value;
    avm1::Machine& m = stage.machine();
    avm1::Object* accessibility = m.newObject();
    m.defineMethod(accessibility, "isActive", [](CallArgs&) { return Value(false); });
    m.defineMethod(accessibility, "updateProperties", [](CallArgs&) { return Value(); });
    m.define(m.global(), "Accessibility", Value(accessibility),
             avm1::attr::DontEnum | avm1::attr::Only6);
}

} // namespace mc
