// Stage: the movie's size and how it is fitted, broadcasting to its listeners.
#include <cmath>

#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::Value;

// Stage: the movie's size and how it is fitted, as scripts read them. The fit itself is the
// timeline's, which every view of the movie follows.
class StageInfo final : public avm1::Object {
  public:
    StageInfo(avm1::Object* proto, StageScripts& stage) : avm1::Object(proto), stage_(stage) {}
    bool getVirtual(avm1::Machine& m, const avm1::Str& name, Value& out) override {
        const swf::Rect& r = stage_.movie().header.frameRect;
        const StageLayout& layout = this->layout();
        if (avm1::equalsFolded(name.view(), "width")) {
            out = Value(std::floor((r.xMax - r.xMin) / 20.0));
        } else if (avm1::equalsFolded(name.view(), "height")) {
            out = Value(std::floor((r.yMax - r.yMin) / 20.0));
        } else if (avm1::equalsFolded(name.view(), "scaleMode")) {
            out = Value(m.str(std::string(layout.scaleModeName())));
        } else if (avm1::equalsFolded(name.view(), "align")) {
            out = Value(m.str(layout.alignName()));
        } else if (avm1::equalsFolded(name.view(), "showMenu")) {
            out = Value(showMenu_);
        } else if (avm1::equalsFolded(name.view(), "displayState")) {
            out = Value(m.str(fullScreen_ ? "fullScreen" : "normal"));
        } else {
            return false;
        }
        return true;
    }
    bool setVirtual(avm1::Machine& m, const avm1::Str& name, const Value& value) override {
        if (avm1::equalsFolded(name.view(), "scaleMode")) {
            // A name that is none of the modes sets the default one.
            if (!layout().setScaleMode(m.toString(value).str())) {
                layout().scaleMode = ScaleMode::ShowAll;
            }
            return true;
        }
        if (avm1::equalsFolded(name.view(), "showMenu")) {
            showMenu_ = m.toBoolean(value);
            return true;
        }
        if (avm1::equalsFolded(name.view(), "displayState")) {
            // Only the two states' names (in any case) change it.
            const std::string state = m.toString(value).str();
            if (avm1::equalsFolded(state, "fullScreen") || avm1::equalsFolded(state, "normal")) {
                fullScreen_ = avm1::equalsFolded(state, "fullScreen");
            }
            return true;
        }
        if (avm1::equalsFolded(name.view(), "align")) {
            layout().setAlign(m.toString(value).str());
            return true;
        }
        return avm1::equalsFolded(name.view(), "width") ||
               avm1::equalsFolded(name.view(), "height");
    }

    // The six are the Stage object's own properties, as Flash makes them.
    bool hasVirtual(avm1::Machine& m, const avm1::Str& name) override {
        for (std::string_view own :
             {"width", "height", "scaleMode", "align", "showMenu", "displayState"}) {
            if (m.caseSensitive() ? name.view() == own : avm1::equalsFolded(name.view(), own)) {
                return true;
            }
        }
        return false;
    }

  private:
    // The scripts are made before the timeline they play on.
    StageLayout& layout() {
        return stage_.attached() ? stage_.player().stageLayout() : unattached_;
    }

    StageScripts& stage_;
    StageLayout unattached_;
    bool showMenu_ = true;
    bool fullScreen_ = false;
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
    auto* info = m.make<StageInfo>(m.objectPrototype(), stage);
    m.define(m.global(), "Stage", Value(static_cast<avm1::Object*>(info)));
    broadcaster(m, info);
}

} // namespace mc
