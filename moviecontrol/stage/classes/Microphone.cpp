// Microphone: the movie control records no sound, so the one microphone a movie can get is
// muted (the person never allowed it) and hears nothing; its settings still take and read
// back as Flash keeps them, so a movie that sets up a microphone carries on.
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>

#include "StageScripts.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// What one microphone is set to, kept on the object Microphone.get() gives.
struct MicrophoneState : avm1::NativeState {
    double gain = 50;
    double rate = 8;
    double silenceLevel = 10;
    double silenceTimeout = 2000;
    // Flash answers this as a number (0 or 1), though it is set as a boolean.
    bool echoSuppression = false;
};

// The one microphone, made on the first Microphone.get(), and its class, kept alive for
// get() even when a script lets go of the global.
struct MicrophoneDevice {
    avm1::Root microphone;
    avm1::Root ctor;
};

MicrophoneState* stateOf(const CallArgs& c) {
    avm1::Object* self = c.thisObject();
    return self != nullptr ? dynamic_cast<MicrophoneState*>(self->nativeState()) : nullptr;
}

// A percentage argument: cut to 0..100; what is no number leaves the setting alone.
void setPercent(avm1::Machine& m, const Value& v, double& setting) {
    const double n = m.toNumber(v);
    if (std::isfinite(n)) {
        setting = std::clamp(std::trunc(n), 0.0, 100.0);
    }
}

// The rates a microphone samples at, in kHz: a request takes the next one up, the top one
// past the end.
double microphoneRate(double requested) {
    constexpr std::array<double, 6> kRates = {5, 8, 11, 16, 22, 44};
    if (!(requested > 0)) {
        return kRates.front();
    }
    for (double r : kRates) {
        if (requested <= r) {
            return r;
        }
    }
    return kRates.back();
}

} // namespace

void installMicrophone(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    auto device = std::make_shared<MicrophoneDevice>();
    avm1::FunctionObject* ctor = m.newClass([](CallArgs&) { return Value(); });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();

    m.defineMethod(proto, "setGain", [](CallArgs& c) {
        if (MicrophoneState* s = stateOf(c)) {
            setPercent(c.machine, c.arg(0), s->gain);
        }
        return Value();
    });
    m.defineMethod(proto, "setRate", [](CallArgs& c) {
        if (MicrophoneState* s = stateOf(c); s != nullptr && c.count() > 0) {
            s->rate = microphoneRate(c.machine.toNumber(c.arg(0)));
        }
        return Value();
    });
    // setSilenceLevel(level [, timeout in ms])
    m.defineMethod(proto, "setSilenceLevel", [](CallArgs& c) {
        if (MicrophoneState* s = stateOf(c)) {
            setPercent(c.machine, c.arg(0), s->silenceLevel);
            const double timeout = c.machine.toNumber(c.arg(1));
            if (c.count() > 1 && std::isfinite(timeout)) {
                s->silenceTimeout = std::max(0.0, std::trunc(timeout));
            }
        }
        return Value();
    });
    m.defineMethod(proto, "setUseEchoSuppression", [](CallArgs& c) {
        if (MicrophoneState* s = stateOf(c)) {
            s->echoSuppression = c.machine.toBoolean(c.arg(0));
        }
        return Value();
    });

    // Microphone.get(): the same muted microphone every time. Its properties appear on the
    // prototype only once a microphone has been asked for, as in Flash.
    device->ctor = avm1::Root(m, ctor);
    m.defineMethod(ctor, "get", [device](CallArgs& c) -> Value {
        avm1::Machine& m = c.machine;
        if (device->microphone) {
            return Value(device->microphone.get());
        }
        avm1::Object* mic = m.construct(Value(device->ctor.get()), {});
        if (mic == nullptr) {
            return Value::null();
        }
        mic->setNativeState(std::make_unique<MicrophoneState>());
        device->microphone = avm1::Root(m, mic);
        // The prototype as it is now: a script may have replaced it.
        avm1::Object* proto = m.get(device->ctor.get(), "prototype").asObject();
        if (proto == nullptr) {
            return Value(mic);
        }
        const auto reading = [&m, proto](std::string_view name, auto read) {
            avm1::defineAccessor(
                m, proto, name,
                [read](CallArgs& call) -> Value {
                    const MicrophoneState* s = stateOf(call);
                    return s != nullptr ? read(*s) : Value();
                },
                nullptr);
        };
        reading("activityLevel", [](const MicrophoneState&) { return Value(-1); });
        reading("gain", [](const MicrophoneState& s) { return Value(s.gain); });
        reading("index", [](const MicrophoneState&) { return Value(0); });
        reading("muted", [](const MicrophoneState&) { return Value(true); });
        reading("name", [&m](const MicrophoneState&) { return Value(m.str("")); });
        reading("rate", [](const MicrophoneState& s) { return Value(s.rate); });
        reading("silenceLevel", [](const MicrophoneState& s) { return Value(s.silenceLevel); });
        reading("silenceTimeout", [](const MicrophoneState& s) { return Value(s.silenceTimeout); });
        reading("useEchoSuppression",
                [](const MicrophoneState& s) { return Value(s.echoSuppression ? 1 : 0); });
        return Value(mic);
    });
    // No recording device is offered to movies.
    m.define(ctor, "names", Value(m.newArray()));
    m.define(m.global(), "Microphone", Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only6);
    stage.keepAlive(device);
}

} // namespace mc
