// System.capabilities: what this player says it is and can do.
#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::Value;

avm1::Object* plainObject(avm1::Machine& m, std::string_view globalName) {
    avm1::Object* o = m.newObject();
    m.define(m.global(), globalName, Value(o));
    return o;
}

void installCapabilities(avm1::Machine& m, const swf::Header& header) {
    avm1::Object* system = m.get(m.global(), "System").asObject();
    if (system == nullptr) {
        system = plainObject(m, "System");
    }
    avm1::Object* caps = m.newObject();
    m.define(system, "capabilities", Value(caps));
    const auto text = [&](const char* name, const char* value) {
        m.set(caps, name, Value(m.str(value)));
    };
    text("os", "Linux");
    text("language", "en");
    text("manufacturer", "Velmora");
    text("playerType", "StandAlone");
    text("version", "LNX 8,0,0,0");
    text("screenColor", "color");
    m.set(caps, "screenResolutionX", Value(1920.0));
    m.set(caps, "screenResolutionY", Value(1080.0));
    m.set(caps, "screenDPI", Value(72.0));
    m.set(caps, "pixelAspectRatio", Value(1.0));
    for (const char* yes : {"hasAudio", "hasMP3", "hasAudioEncoder", "isDebugger"}) {
        m.set(caps, yes,
              Value(std::string_view(yes) != "isDebugger" &&
                    std::string_view(yes) != "hasAudioEncoder"));
    }
    (void)header;
}

} // namespace

void installSystem(StageScripts& stage) {
    installCapabilities(stage.machine(), stage.movie().header);
}

} // namespace mc
