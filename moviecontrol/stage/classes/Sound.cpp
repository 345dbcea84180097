// The script Sound class: Sound objects act on a target clip, named by the path it had when
// the object was made (or the path string given), found again at every call as players do:
// a clip removed and made again under the same name is the target again, a renamed one is
// not. Without a target a Sound object acts on the whole movie.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "SoundPort.h"
#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Convert.h"
#include "avm1/Function.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// The player keeps percents as 32-bit integers. Volume and pan take the processor's
// conversion: a number in range loses its fraction, and NaN, the infinities and anything
// out of range become the lowest integer.
double percentOrLowest(avm1::Machine& m, const Value& v) {
    return static_cast<double>(avm1::truncateToInt32(m.toNumber(v)));
}

// A transform's shares take the language's ToInt32: they wrap around.
double percentWrapped(avm1::Machine& m, const Value& v) {
    return static_cast<double>(avm1::toInt32(m.toNumber(v)));
}

// The integers' arithmetic wraps as the player's does.
std::int32_t wrapped(std::int64_t n) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
}

std::int32_t magnitude(double share) {
    return wrapped(std::llabs(static_cast<std::int64_t>(share)));
}

class SoundClass {
  public:
    explicit SoundClass(StageScripts& stage) : stage_(stage) {}

    void install(avm1::Machine& m);
    // Calls onLoad of the objects whose load failed and onSoundComplete of those whose
    // sound ended, and lets go of those that no longer play.
    void deliverEvents();

  private:
    // What a call acts on: the target's display object (null: the whole movie), or nothing
    // when the target is not on the stage now.
    struct Target {
        bool found = false;
        const DisplayObject* display = nullptr;
    };
    Target targetOf(CallArgs& c);
    std::uint64_t idOf(CallArgs& c);
    SoundPort* port() const { return stage_.callbacks().sound; }
    SoundMix mixOf(const Target& t) const { return port() ? port()->mix(t.display) : SoundMix{}; }
    void setMix(const Target& t, const SoundMix& mix) {
        if (port() != nullptr) {
            port()->setMix(t.display, mix);
        }
    }
    void installMixMethods(avm1::Machine& m, avm1::Object* proto);
    void installPlayMethods(avm1::Machine& m, avm1::Object* proto);

    StageScripts& stage_;
    std::uint64_t nextId_ = 0;
    // Objects with a sound playing stay alive for their onSoundComplete.
    std::map<std::uint64_t, avm1::Root> playing_;
    // Objects whose loadSound ended, told how on the next frame (a script sets onLoad after
    // loadSound as often as before). Bounded: a script loading every frame repeats itself.
    static constexpr std::size_t kMaxPendingLoads = 256;
    std::vector<std::pair<avm1::Root, bool>> finishedLoads_;
    // The size of the file each object loaded last.
    std::map<std::uint64_t, double> loadedBytes_;
    void loadSound(CallArgs& c);
};

std::uint64_t SoundClass::idOf(CallArgs& c) {
    avm1::Object* self = c.thisObject();
    const Value id = self != nullptr ? c.machine.get(self, "__soundId") : Value();
    return id.isNumber() && id.asNumber() >= 1 ? static_cast<std::uint64_t>(id.asNumber()) : 0;
}

SoundClass::Target SoundClass::targetOf(CallArgs& c) {
    avm1::Object* self = c.thisObject();
    if (self == nullptr || idOf(c) == 0) {
        return {};
    }
    const Value where = c.machine.get(self, "__soundTarget");
    if (where.isUndefined()) {
        return {true, nullptr};
    }
    avm1::Object* found =
        where.isString() ? c.machine.resolveTarget(where.asString().view()) : where.asObject();
    const DisplayObject* display = stage_.displayOf(found);
    return display != nullptr ? Target{true, display} : Target{};
}

void SoundClass::install(avm1::Machine& m) {
    avm1::FunctionObject* ctor = m.newClass([this](CallArgs& c) {
        avm1::Object* self = c.thisObject();
        if (self == nullptr) {
            return Value();
        }
        const Value& arg = c.arg(0);
        Value where;
        if (arg.isString()) {
            where = arg;
        } else if (DisplayObject* d = stage_.displayOf(arg)) {
            where = Value(c.machine.str(stage_.dotPathOf(*d)));
        } else if (arg.asObject() != nullptr && arg.asObject()->isDisplayObject()) {
            where = arg; // a clip no longer on the stage: never found again
        }
        const auto hidden = avm1::attr::Hidden | avm1::attr::ReadOnly;
        c.machine.define(self, "__soundId", Value(static_cast<double>(++nextId_)), hidden);
        c.machine.define(self, "__soundTarget", where, hidden);
        return Value();
    });
    m.define(m.global(), "Sound", Value(static_cast<avm1::Object*>(ctor)));
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    installMixMethods(m, proto);
    installPlayMethods(m, proto);
}

void SoundClass::installMixMethods(avm1::Machine& m, avm1::Object* proto) {
    m.defineMethod(proto, "getVolume", [this](CallArgs& c) {
        const Target t = targetOf(c);
        return t.found ? Value(mixOf(t).volume) : Value();
    });
    m.defineMethod(proto, "setVolume", [this](CallArgs& c) {
        if (const Target t = targetOf(c); t.found) {
            SoundMix mix = mixOf(t);
            mix.volume = percentOrLowest(c.machine, c.arg(0));
            setMix(t, mix);
        }
        return Value();
    });
    // Pan moves one channel down from full. It reads back from the channels as Flash reads
    // it, by their magnitudes, also after setTransform.
    m.defineMethod(proto, "getPan", [this](CallArgs& c) {
        const Target t = targetOf(c);
        if (!t.found) {
            return Value();
        }
        const SoundMix mix = mixOf(t);
        const std::int32_t pan = mix.ll != 100.0 ? wrapped(100 - std::int64_t{magnitude(mix.ll)})
                                                 : wrapped(magnitude(mix.rr) - std::int64_t{100});
        return Value(static_cast<double>(pan));
    });
    m.defineMethod(proto, "setPan", [this](CallArgs& c) {
        if (const Target t = targetOf(c); t.found) {
            const auto pan = static_cast<std::int64_t>(percentOrLowest(c.machine, c.arg(0)));
            SoundMix mix = mixOf(t);
            mix.ll = pan >= 0 ? wrapped(100 - pan) : 100.0;
            mix.rr = pan < 0 ? wrapped(100 + pan) : 100.0;
            mix.lr = 0.0;
            mix.rl = 0.0;
            setMix(t, mix);
        }
        return Value();
    });
    m.defineMethod(proto, "getTransform", [this](CallArgs& c) {
        const Target t = targetOf(c);
        if (!t.found) {
            return Value();
        }
        const SoundMix mix = mixOf(t);
        avm1::Object* o = c.machine.newObject();
        c.machine.set(o, "ll", Value(mix.ll));
        c.machine.set(o, "lr", Value(mix.lr));
        c.machine.set(o, "rr", Value(mix.rr));
        c.machine.set(o, "rl", Value(mix.rl));
        return Value(o);
    });
    m.defineMethod(proto, "setTransform", [this](CallArgs& c) {
        const Target t = targetOf(c);
        avm1::Object* from = c.arg(0).asObject();
        if (!t.found || from == nullptr) {
            return Value();
        }
        SoundMix mix = mixOf(t);
        // Channels the object itself leaves out (inherited ones too) keep their share.
        const auto take = [&](std::string_view name, double& share) {
            if (c.machine.hasOwnProperty(from, c.machine.str(name))) {
                share = percentWrapped(c.machine, c.machine.get(from, name));
            }
        };
        take("ll", mix.ll);
        take("lr", mix.lr);
        take("rr", mix.rr);
        take("rl", mix.rl);
        setMix(t, mix);
        return Value();
    });
}

void SoundClass::installPlayMethods(avm1::Machine& m, avm1::Object* proto) {
    m.defineMethod(proto, "attachSound", [this](CallArgs& c) {
        const std::uint64_t id = idOf(c);
        if (port() != nullptr && id != 0) {
            port()->attachSound(id, c.machine.toString(c.arg(0)).view());
        }
        return Value();
    });
    m.defineMethod(proto, "start", [this](CallArgs& c) {
        const std::uint64_t id = idOf(c);
        const Target t = targetOf(c);
        if (port() == nullptr || id == 0 || !t.found) {
            return Value();
        }
        const double offset = c.machine.toNumber(c.arg(0));
        const double loops = c.machine.toNumber(c.arg(1));
        port()->start(id, t.display, std::isfinite(offset) ? std::max(0.0, offset) : 0.0,
                      std::isfinite(loops) ? static_cast<int>(std::clamp(loops, 1.0, 65535.0)) : 1);
        if (port()->playing(id)) {
            playing_.insert_or_assign(id, avm1::Root(c.machine, c.thisObject()));
        }
        return Value();
    });
    m.defineMethod(proto, "stop", [this](CallArgs& c) {
        const Target t = targetOf(c);
        if (port() != nullptr && t.found) {
            port()->stop(t.display,
                         c.count() > 0 ? c.machine.toString(c.arg(0)).view() : std::string_view());
        }
        return Value();
    });
    // From version 6 on: the attached sound's length and where its last start has got to.
    const auto only6 = avm1::attr::DontEnum | avm1::attr::Only6;
    const auto duration = [this](CallArgs& c) {
        const auto ms = port() != nullptr ? port()->durationMs(idOf(c)) : std::nullopt;
        return ms ? Value(*ms) : Value();
    };
    const auto position = [this](CallArgs& c) {
        const auto ms = port() != nullptr ? port()->positionMs(idOf(c)) : std::nullopt;
        return ms ? Value(*ms) : Value();
    };
    m.defineMethod(proto, "getDuration", duration, only6);
    m.defineMethod(proto, "getPosition", position, only6);
    // Their setters exist but change nothing: a sound's length and place are its own.
    m.defineMethod(
        proto, "setDuration", [](CallArgs&) { return Value(); }, only6);
    m.defineMethod(
        proto, "setPosition", [](CallArgs&) { return Value(); }, only6);
    const bool cs = m.caseSensitive();
    proto->properties().add(
        avm1::Property{m.str("duration"), Value(), only6, m.newFunction(duration), nullptr}, cs);
    proto->properties().add(
        avm1::Property{m.str("position"), Value(), only6, m.newFunction(position), nullptr}, cs);
    m.defineMethod(
        proto, "loadSound",
        [this](CallArgs& c) {
            loadSound(c);
            return Value();
        },
        only6);
    // A local file arrives whole: loaded and total are its size once loadSound read it.
    const auto bytes = [this](CallArgs& c) {
        const auto it = loadedBytes_.find(idOf(c));
        return it != loadedBytes_.end() ? Value(it->second) : Value();
    };
    m.defineMethod(proto, "getBytesLoaded", bytes, only6);
    m.defineMethod(proto, "getBytesTotal", bytes, only6);
}

// loadSound(url, isStreaming): an MP3 file beside the movie becomes the object's sound; a
// streaming one starts playing at once, an event one waits for start(). What cannot be read
// or played fails, as a missing file does.
void SoundClass::loadSound(CallArgs& c) {
    avm1::Object* self = c.thisObject();
    const std::uint64_t id = idOf(c);
    if (self == nullptr || id == 0 || c.count() == 0) {
        return;
    }
    std::vector<std::uint8_t> file = stage_.readBesideMovie(c.machine.toString(c.arg(0)).view());
    const double size = static_cast<double>(file.size());
    const bool loaded =
        !file.empty() && port() != nullptr && port()->loadSound(id, std::move(file));
    if (loaded) {
        loadedBytes_.insert_or_assign(id, size);
        if (const Target t = targetOf(c); t.found && c.machine.toBoolean(c.arg(1))) {
            port()->start(id, t.display, 0.0, 1);
            if (port()->playing(id)) {
                playing_.insert_or_assign(id, avm1::Root(c.machine, self));
            }
        }
    }
    if (finishedLoads_.size() < kMaxPendingLoads) {
        finishedLoads_.emplace_back(avm1::Root(c.machine, self), loaded);
    }
}

void SoundClass::deliverEvents() {
    for (const auto& [object, loaded] : std::exchange(finishedLoads_, {})) {
        const Value success(loaded);
        stage_.machine().callMethod(object.get(), "onLoad", std::span<const Value>(&success, 1));
    }
    if (port() == nullptr || playing_.empty()) {
        return;
    }
    for (const std::uint64_t id : port()->takeCompleted()) {
        const auto it = playing_.find(id);
        if (it == playing_.end()) {
            continue;
        }
        const avm1::Root object = it->second;
        playing_.erase(it);
        stage_.machine().callMethod(object.get(), "onSoundComplete", {});
    }
    std::erase_if(playing_, [&](const auto& entry) { return !port()->playing(entry.first); });
}

} // namespace

void installSound(StageScripts& stage) {
    auto sound = std::make_shared<SoundClass>(stage);
    sound->install(stage.machine());
    stage.keepAlive(sound);
    stage.onTimers([sound] { sound->deliverEvents(); });
}

} // namespace mc
