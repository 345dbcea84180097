// Stage: the movie's size and how it is fitted, broadcasting to its listeners.
#include <cmath>

#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::Value;

// Stage: the movie's size and how it is fitted, as scripts read them.
class StageInfo final : public avm1::Object {
  public:
    StageInfo(avm1::Object* proto, const swf::Header& header)
        : avm1::Object(proto), header_(header) {}
    bool getVirtual(avm1::Machine& m, const avm1::Str& name, Value& out) override {
        const swf::Rect& r = header_.frameRect;
        if (avm1::equalsFolded(name.view(), "width")) {
            out = Value(std::floor((r.xMax - r.xMin) / 20.0));
        } else if (avm1::equalsFolded(name.view(), "height")) {
            out = Value(std::floor((r.yMax - r.yMin) / 20.0));
        } else if (avm1::equalsFolded(name.view(), "scaleMode")) {
            out = Value(m.str(scaleMode));
        } else if (avm1::equalsFolded(name.view(), "align")) {
            out = Value(m.str(align));
        } else {
            return false;
        }
        return true;
    }
    bool setVirtual(avm1::Machine& m, const avm1::Str& name, const Value& value) override {
        if (avm1::equalsFolded(name.view(), "scaleMode")) {
            const std::string mode = m.toString(value).str();
            for (const char* known : {"showAll", "noBorder", "exactFit", "noScale"}) {
                if (avm1::equalsFolded(mode, known)) {
                    scaleMode = known;
                }
            }
            return true;
        }
        if (avm1::equalsFolded(name.view(), "align")) {
            // Letters L, R, T, B in any order and case; kept in the players' order.
            const std::string given = m.toString(value).str();
            std::string a;
            for (const char letter : {'T', 'B', 'L', 'R'}) {
                if (given.find(letter) != std::string::npos ||
                    given.find(static_cast<char>(letter + 32)) != std::string::npos) {
                    a += letter;
                }
            }
            align = a;
            return true;
        }
        return avm1::equalsFolded(name.view(), "width") ||
               avm1::equalsFolded(name.view(), "height");
    }
    std::string scaleMode = "showAll";
    std::string align;

  private:
    const swf::Header& header_;
};

void broadcaster(avm1::Machine& m, avm1::Object* object) {
    const Value ab = m.get(m.global(), "AsBroadcaster");
    if (avm1::Object* a = ab.asObject()) {
        const Value arg(object);
        m.callMethod(a, "initialize", std::span<const Value>(&arg, 1));
    }
}

} // namespace

void installStage(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    auto* info = m.make<StageInfo>(m.objectPrototype(), stage.movie().header);
    m.define(m.global(), "Stage", Value(static_cast<avm1::Object*>(info)));
    broadcaster(m, info);
}

} // namespace mc
