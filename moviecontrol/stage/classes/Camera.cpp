// Camera: the movie control offers no camera to movies, so Camera.get() answers null and
// Camera.names is empty. The class still has the surface Flash gives it: the setting methods
// on its prototype, and the reading properties, which Flash adds to the prototype the first
// time a script asks for a camera.
#include "StageScripts.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

constexpr const char* kSettings[] = {"setMode",        "setQuality",  "setKeyFrameInterval",
                                     "setMotionLevel", "setLoopback", "setCursor"};

constexpr const char* kReadings[] = {"activityLevel", "bandwidth", "currentFps",  "fps",
                                     "height",        "index",     "motionLevel", "motionTimeout",
                                     "muted",         "name",      "quality",     "width"};

} // namespace

void installCamera(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    for (const char* name : kSettings) {
        m.defineMethod(proto, name, [](CallArgs&) { return Value(); });
    }
    // The prototype is looked up at each call: a script may have replaced it.
    m.defineMethod(ctor, "get", [](CallArgs& c) -> Value {
        avm1::Machine& m = c.machine;
        avm1::Object* self = c.thisObject();
        avm1::Object* prototype = self != nullptr ? m.get(self, "prototype").asObject() : nullptr;
        if (prototype != nullptr && !m.hasOwnProperty(prototype, m.str(kReadings[0]))) {
            for (const char* name : kReadings) {
                // With no camera there is never an object of the class to read from.
                avm1::defineAccessor(
                    m, prototype, name, [](CallArgs&) { return Value(); }, nullptr);
            }
        }
        return Value::null();
    });
    avm1::defineAccessor(
        m, ctor, "names", [](CallArgs& c) { return Value(c.machine.newArray()); }, nullptr);
    m.define(m.global(), "Camera", Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only6);
}

} // namespace mc
