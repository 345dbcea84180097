// Mouse: showing and hiding the pointer, and the listeners of its moves and clicks.
#include "Broadcasting.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

using avm1::CallArgs;
using avm1::Value;

void installMouse(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::Object* mouse = broadcastingObject(stage, "Mouse");
    stage.input.mouseObject = mouse;
    InputState& input = stage.input;
    // Both answer whether the pointer was shown before the call.
    m.defineMethod(mouse, "show", [&input](CallArgs&) {
        const bool was = !input.mouseHidden;
        input.mouseHidden = false;
        return Value(was ? 1.0 : 0.0);
    });
    m.defineMethod(mouse, "hide", [&input](CallArgs&) {
        const bool was = !input.mouseHidden;
        input.mouseHidden = true;
        return Value(was ? 1.0 : 0.0);
    });
}

} // namespace mc
