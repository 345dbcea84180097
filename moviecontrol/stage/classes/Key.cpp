// Key: the keyboard as scripts read it, from the stage's input state.
#include "Broadcasting.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

std::size_t keyIndex(avm1::Machine& m, const Value& v) {
    const double code = m.toNumber(v);
    return code >= 0 && code < 256 ? static_cast<std::size_t>(code) : 0;
}

} // namespace

void installKey(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::Object* key = broadcastingObject(stage, "Key");
    stage.input.keyObject = key;
    const std::pair<const char*, double> codes[] = {
        {"BACKSPACE", 8}, {"TAB", 9},       {"ENTER", 13},  {"SHIFT", 16},    {"CONTROL", 17},
        {"ALT", 18},      {"CAPSLOCK", 20}, {"ESCAPE", 27}, {"SPACE", 32},    {"PGUP", 33},
        {"PGDN", 34},     {"END", 35},      {"HOME", 36},   {"LEFT", 37},     {"UP", 38},
        {"RIGHT", 39},    {"DOWN", 40},     {"INSERT", 45}, {"DELETEKEY", 46}};
    for (const auto& [name, code] : codes) {
        m.define(key, name, Value(code),
                 avm1::attr::DontEnum | avm1::attr::DontDelete | avm1::attr::ReadOnly);
    }
    InputState& input = stage.input;
    m.defineMethod(key, "isDown", [&input](CallArgs& a) {
        const std::size_t k = keyIndex(a.machine, a.arg(0));
        return Value(k != 0 && input.keysDown[k]);
    });
    m.defineMethod(key, "isToggled", [&input](CallArgs& a) {
        const std::size_t k = keyIndex(a.machine, a.arg(0));
        return Value(k != 0 ? input.toggled[k] : false);
    });
    m.defineMethod(key, "getCode",
                   [&input](CallArgs&) { return Value(static_cast<double>(input.lastKey.code)); });
    m.defineMethod(key, "getAscii",
                   [&input](CallArgs&) { return Value(static_cast<double>(input.lastKey.ascii)); });
}

} // namespace mc
