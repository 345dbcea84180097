// MovieClipLoader: loads into a clip or level like loadMovie, and tells its listeners (the
// loader itself among them) how the load went.
#include <memory>

#include "ClipLoader.h"
#include "StageScripts.h"
#include "avm1/Convert.h"
#include "avm1/Function.h"
#include "avm1/Interpreter.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// Every loader shares the broadcaster's methods through the prototype; each keeps its own
// listeners, itself first, so that scripts may set its events on it directly.
void makeBroadcaster(avm1::Machine& m, avm1::Object* proto) {
    const Value ab = m.get(m.global(), "AsBroadcaster");
    if (avm1::Object* a = ab.asObject()) {
        const Value arg(proto);
        m.callMethod(a, "initialize", std::span<const Value>(&arg, 1));
        m.deleteProperty(proto, m.str("_listeners"));
    }
}

void giveOwnListeners(avm1::Machine& m, avm1::Object* self) {
    const Value listeners[] = {Value(self)};
    m.define(self, "_listeners", Value(m.newArray(listeners)));
}

} // namespace

std::optional<ClipLoader::Target> StageScripts::loadTarget(const Value& target,
                                                           avm1::Object* from) {
    auto found = levelOrClip(target, from);
    // An older movie inside an ActionScript 3 movie has no levels to load into: its root is
    // a clip of the host's, a target as a clip (which no movie replaces, see ClipLoader).
    if (found && found->level && hosted()) {
        return std::nullopt;
    }
    return found;
}

std::optional<ClipLoader::Target> StageScripts::levelOrClip(const Value& target,
                                                            avm1::Object* from) {
    ClipLoader::Target t;
    if (target.isNumber()) {
        const double n = machine_->toNumber(target);
        if (!(n >= 0.0 && n <= MovieLevels::kMaxLevel)) {
            return std::nullopt;
        }
        t.level = static_cast<int>(n);
        return t;
    }
    DisplayObject* clip = displayOf(target);
    if (clip == nullptr && target.isString()) {
        const std::string_view path = target.asString().view();
        if (const auto level = avm1::levelNumber(path);
            level && path.find_first_of("./:") == std::string_view::npos) {
            if (*level < 0 || *level > MovieLevels::kMaxLevel) {
                return std::nullopt;
            }
            t.level = *level;
            return t;
        }
        clip = displayOf(avm1::resolveTargetPath(*machine_, nullptr, from, path));
    }
    if (clip == nullptr || !clip->clip) {
        return std::nullopt;
    }
    if (clip->parent == nullptr) {
        t.level = clip->level;
        return t;
    }
    t.clip = player_->sharedOf(*clip);
    return t;
}

void installMovieClipLoader(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs& c) {
        if (avm1::Object* self = c.thisObject(); self != nullptr && c.constructing) {
            giveOwnListeners(c.machine, self);
        }
        return Value();
    });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    makeBroadcaster(m, proto);
    StageScripts* s = &stage;
    m.defineMethod(proto, "loadClip", [s](CallArgs& c) {
        // Only a string names what to load: no other value is turned into an address.
        const auto target = s->loadTarget(c.arg(1), c.machine.currentTarget());
        if (!target || !c.arg(0).isString()) {
            return Value(false);
        }
        return Value(
            s->loader().load(*target, c.machine.toString(c.arg(0)).view(), c.thisObject()));
    });
    // Without a target there is no answer at all.
    m.defineMethod(proto, "unloadClip", [s](CallArgs& c) {
        if (c.count() == 0) {
            return Value();
        }
        const auto target = s->loadTarget(c.arg(0), c.machine.currentTarget());
        if (!target) {
            return Value(false);
        }
        s->unload(*target);
        return Value(true);
    });
    m.defineMethod(proto, "getProgress", [s](CallArgs& c) {
        avm1::Machine& m = c.machine;
        DisplayObject* clip = s->displayOf(c.arg(0));
        if (clip == nullptr) {
            return Value();
        }
        // A bare object: no prototype, just the two counts.
        avm1::Object* result = m.newObject();
        result->setProto(nullptr);
        // Any clip answers, loading or not: one that is not loading counts its bytes as
        // the clip itself does.
        if (const auto progress = s->loader().progress(*clip)) {
            m.set(result, "bytesLoaded", Value(static_cast<double>(progress->loaded)));
            m.set(result, "bytesTotal", Value(static_cast<double>(progress->total)));
        } else if (avm1::Object* target = c.arg(0).asObject()) {
            m.set(result, "bytesLoaded", m.callMethod(target, "getBytesLoaded", {}));
            m.set(result, "bytesTotal", m.callMethod(target, "getBytesTotal", {}));
        }
        return Value(result);
    });
    m.define(m.global(), "MovieClipLoader", Value(static_cast<avm1::Object*>(ctor)));
}

} // namespace mc
