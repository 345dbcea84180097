// TextSnapshot, the static text of a clip as scripts search it, and
// MovieClip.getTextSnapshot, which builds one with whatever _global.TextSnapshot is now.
// The snapshot holds no text runs: the player does not keep static text for searching.
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

using avm1::CallArgs;
using avm1::Value;

void installTextSnapshot(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    // Scripts enumerate these methods; the most recently defined is listed first.
    const std::pair<const char*, Value> methods[] = {{"getCount", Value(0.0)},
                                                     {"setSelected", Value()},
                                                     {"getSelected", Value(false)},
                                                     {"getText", Value(m.str(""))},
                                                     {"getSelectedText", Value(m.str(""))},
                                                     {"hitTestTextNearPos", Value(-1.0)},
                                                     {"findText", Value(-1.0)},
                                                     {"setSelectColor", Value()},
                                                     {"getTextRunInfo", Value()}};
    for (const auto& method : methods) {
        const char* name = method.first;
        const Value result = method.second;
        const bool runs = std::string_view(name) == "getTextRunInfo";
        m.defineMethod(
            proto, name,
            [result, runs](CallArgs& c) { return runs ? Value(c.machine.newArray()) : result; }, 0);
    }
    m.define(m.global(), "TextSnapshot", Value(static_cast<avm1::Object*>(ctor)));

    if (avm1::Object* clipProto = m.prototypeOf("MovieClip")) {
        m.defineMethod(
            clipProto, "getTextSnapshot",
            [](CallArgs& c) {
                avm1::Machine& m = c.machine;
                const Value self = c.thisValue;
                avm1::Object* made = m.construct(m.get(m.global(), "TextSnapshot"),
                                                 std::span<const Value>(&self, 1));
                return made != nullptr ? Value(made) : Value();
            },
            avm1::attr::DontEnum | avm1::attr::Only7);
    }
}

} // namespace mc
