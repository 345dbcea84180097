// flash.media: Sound, SoundChannel, SoundTransform and SoundMixer. The sound layer does not
// play ActionScript 3 sounds yet: a sound plays silently, its channel at position 0, so that
// the movies' sound classes (symbols extending Sound) load and their scripts run on.
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <algorithm>

namespace avm2 {

namespace {

Value transformInit(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    setHiddenField(o, "volume", Value::number(a.empty() ? 1.0 : m.toNumber(a[0])));
    setHiddenField(o, "pan", Value::number(a.size() < 2 ? 0.0 : m.toNumber(a[1])));
    return Value();
}

constexpr char kVolume[] = "volume";
constexpr char kPan[] = "pan";
constexpr char kLeftToLeft[] = "leftToLeft";
constexpr char kLeftToRight[] = "leftToRight";
constexpr char kRightToRight[] = "rightToRight";
constexpr char kRightToLeft[] = "rightToLeft";

template <const char* Name, int Fallback> Value numberGet(Machine& m, const Value& s, Args&) {
    return hiddenField(receiverObject(m, s), Name, Value::number(Fallback));
}

template <const char* Name, int Fallback> Value numberSet(Machine& m, const Value& s, Args& a) {
    setHiddenField(receiverObject(m, s), Name, Value::number(m.toNumber(arg(a, 0))));
    return Value();
}

template <const char* Name, int Fallback> void number(Machine& m, Class* c) {
    m.defineGetter(c, Name, numberGet<Name, Fallback>);
    m.defineSetter(c, Name, numberSet<Name, Fallback>);
}

Value newTransform(Machine& m) {
    Args none;
    return m.construct(Value::object(m.findClass("flash.media::SoundTransform")->classObject),
                       none);
}

// A channel's or the mixer's transform: kept, handed out as a copy as Flash does.
Value transformGet(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    Value t = hiddenField(o, "soundTransform");
    if (!t.isObject()) {
        t = newTransform(m);
        setHiddenField(o, "soundTransform", t);
    }
    Value copy = newTransform(m);
    copy.asObject()->entries = t.asObject()->entries;
    return copy;
}

Value transformSet(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    if (arg(a, 0).isObject()) {
        Value copy = newTransform(m);
        copy.asObject()->entries = arg(a, 0).asObject()->entries;
        setHiddenField(o, "soundTransform", copy);
    }
    return Value();
}

Value soundPlay(Machine& m, const Value&, Args& a) {
    Args none;
    Value channel =
        m.construct(Value::object(m.findClass("flash.media::SoundChannel")->classObject), none);
    if (arg(a, 2).isObject()) {
        Args t{arg(a, 2)};
        transformSet(m, channel, t);
    }
    return channel;
}

Value zero(Machine&, const Value&, Args&) {
    return Value::number(0);
}

Value nothing(Machine&, const Value&, Args&) {
    return Value();
}

} // namespace

void installMedia(Machine& m) {
    Class* transform = m.defineClass("flash.media", "SoundTransform", m.objectClass, transformInit);
    transform->sealed = true;
    number<kVolume, 1>(m, transform);
    number<kPan, 0>(m, transform);
    number<kLeftToLeft, 1>(m, transform);
    number<kLeftToRight, 0>(m, transform);
    number<kRightToRight, 1>(m, transform);
    number<kRightToLeft, 0>(m, transform);

    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* channel = m.defineClass("flash.media", "SoundChannel", dispatcher);
    channel->sealed = true;
    m.defineMethod(channel, "stop", nothing);
    m.defineGetter(channel, "position", zero);
    m.defineGetter(channel, "leftPeak", zero);
    m.defineGetter(channel, "rightPeak", zero);
    m.defineGetter(channel, "soundTransform", transformGet);
    m.defineSetter(channel, "soundTransform", transformSet);

    Class* sound = m.defineClass("flash.media", "Sound", dispatcher);
    m.defineMethod(sound, "play", soundPlay);
    m.defineMethod(sound, "load", nothing);
    m.defineMethod(sound, "close", nothing);
    m.defineGetter(sound, "length", zero);
    m.defineGetter(sound, "bytesLoaded", zero);
    m.defineGetter(sound, "bytesTotal", zero);
    m.defineGetter(sound, "isBuffering",
                   [](Machine&, const Value&, Args&) { return Value::boolean(false); });
    m.defineGetter(sound, "url", [](Machine&, const Value&, Args&) { return Value::null(); });
    sound->sealed = true;

    Class* mixer = m.defineClass("flash.media", "SoundMixer", m.objectClass);
    m.defineMethod(mixer, "stopAll", nothing, true);
    m.defineGetter(
        mixer, "soundTransform",
        [](Machine& mm, const Value&, Args& a) {
            return transformGet(
                mm, Value::object(mm.findClass("flash.media::SoundMixer")->classObject), a);
        },
        true);
    m.defineSetter(
        mixer, "soundTransform",
        [](Machine& mm, const Value&, Args& a) {
            return transformSet(
                mm, Value::object(mm.findClass("flash.media::SoundMixer")->classObject), a);
        },
        true);
}

} // namespace avm2
