// flash.media: Sound, SoundChannel, SoundTransform and SoundMixer. A Sound subclass bound
// to a library sound, or a Sound that loaded an MP3 file, plays it through the host's sound
// layer, each channel a voice of its own; without a sound layer a sound plays silently, its
// channel at position 0, so that the movies' sound classes load and their scripts run on.
#include "avm2/ByteArrayData.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Host.h"
#include "avm2/LoadHost.h"
#include "avm2/LoadSteps.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/SoundHost.h"
#include "avm2/SoundLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace avm2 {

namespace {

constexpr char kVolume[] = "volume";
constexpr char kLeftToLeft[] = "leftToLeft";
constexpr char kLeftToRight[] = "leftToRight";
constexpr char kRightToRight[] = "rightToRight";
constexpr char kRightToLeft[] = "rightToLeft";

double numberField(const Object* o, const char* name, double fallback) {
    const Value v = hiddenField(o, name);
    return v.isNumeric() ? v.asNumber() : fallback;
}

// Pan is no state of its own: Flash keeps the four channel gains and derives pan from the
// left gain, as long as no channel crosses over (then it reports 0). Setting it spreads
// the power between the channels, so out-of-range pans give NaN gains as in Flash.
void setPan(Object* o, double pan) {
    setHiddenField(o, kLeftToLeft, Value::number(std::sqrt(1.0 - pan)));
    setHiddenField(o, kLeftToRight, Value::number(0));
    setHiddenField(o, kRightToRight, Value::number(std::sqrt(1.0 + pan)));
    setHiddenField(o, kRightToLeft, Value::number(0));
}

double panOf(const Object* o) {
    if (numberField(o, kLeftToRight, 0) != 0 || numberField(o, kRightToLeft, 0) != 0) {
        return 0;
    }
    const double left = numberField(o, kLeftToLeft, 1);
    return 1.0 - left * left;
}

Value transformInit(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    setHiddenField(o, kVolume, Value::number(a.empty() ? 1.0 : m.toNumber(a[0])));
    setPan(o, a.size() < 2 ? 0.0 : m.toNumber(a[1]));
    return Value();
}

Value panGet(Machine& m, const Value& s, Args&) {
    return Value::number(panOf(receiverObject(m, s)));
}

Value panSet(Machine& m, const Value& s, Args& a) {
    setPan(receiverObject(m, s), m.toNumber(arg(a, 0)));
    return Value();
}

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

std::uint64_t idOf(const Object* o) {
    // The machine never moves nor frees an object, so its address names it for good.
    return static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(o));
}

double finiteOr(double value, double fallback) {
    return std::isfinite(value) ? value : fallback;
}

// The volume and pan of a transform object (defaults when it is none).
std::pair<double, double> volumeAndPan(const Value& t) {
    if (!t.isObject()) {
        return {1.0, 0.0};
    }
    return {finiteOr(numberField(t.asObject(), kVolume, 1.0), 1.0),
            std::clamp(finiteOr(panOf(t.asObject()), 0.0), -1.0, 1.0)};
}

constexpr char kAttached[] = "sound.attached";
constexpr char kLoadStarted[] = "sound.loadStarted";
constexpr char kLoadUrl[] = "sound.url";
constexpr char kFileSize[] = "sound.fileSize";
constexpr char kBytesLoaded[] = "sound.bytesLoaded";

// The sound's library sound, attached on first use: the class SymbolClass bound it to is
// the object's own or, for a subclass of it, the nearest ancestor below Sound.
bool attachLibrarySound(SoundHost& sounds, Object* o) {
    if (hiddenField(o, kAttached).isBoolean()) {
        return hiddenField(o, kAttached).asBoolean();
    }
    bool found = false;
    for (const Class* c = o->cls; c != nullptr && c->qualifiedName() != "flash.media::Sound";
         c = c->super) {
        if (sounds.attachClassSound(idOf(o), c->messageName())) {
            found = true;
            break;
        }
    }
    setHiddenField(o, kAttached, Value::boolean(found));
    return found;
}

Object* playingList(Machine& m) {
    Object* holder = m.findClass("flash.media::SoundChannel")->classObject;
    Value list = hiddenField(holder, "playing");
    if (!list.isObject()) {
        list = Value::object(m.newArray());
        setHiddenField(holder, "playing", list);
    }
    return list.asObject();
}

void forgetPlaying(Machine& m, Object* channel) {
    auto& list = playingList(m)->elements;
    list.erase(std::remove_if(
                   list.begin(), list.end(),
                   [channel](const Value& v) { return v.isObject() && v.asObject() == channel; }),
               list.end());
}

// --- Loading an MP3 file --------------------------------------------------------------------

// A Sound loads one sound in its life: a second load of any kind is the script's error.
void startSoundLoad(Machine& m, Object* o) {
    if (hiddenField(o, kLoadStarted).isBoolean()) {
        m.throwError("Error", 2037,
                     "Functions called in incorrect sequence, or earlier call was unsuccessful.");
    }
    setHiddenField(o, kLoadStarted, Value::boolean(true));
}

// The MP3 bytes become the sound the Sound plays (silently without a sound layer).
void attachMp3(Machine& m, Object* o, std::vector<std::uint8_t> mp3) {
    SoundHost* sounds = soundHost(m.host());
    const bool attached = sounds != nullptr && sounds->attachLoadedSound(idOf(o), std::move(mp3));
    setHiddenField(o, kAttached, Value::boolean(attached));
}

Value soundLoadArrived(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (!stepIsCurrent(o)) {
        return Value();
    }
    const Value size = hiddenField(o, kFileSize, Value::number(0));
    setHiddenField(o, kBytesLoaded, size);
    sendProgress(m, o, size.asNumber(), size.asNumber());
    dispatchEvent(m, o, newEvent(m, "complete"));
    return Value();
}

Value soundLoadFailed(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (stepIsCurrent(o)) {
        sendStreamError(m, o, m.toString(hiddenField(o, kLoadUrl, Value::string(""))));
    }
    return Value();
}

// load(request): the file beside the movie arrives once the scripts running now are done,
// as open, progress and complete, or as ioError when the player may not or cannot read it.
Value soundLoad(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const std::string url = requestUrl(m, arg(a, 0));
    startSoundLoad(m, o);
    setHiddenField(o, kLoadUrl, Value::string(url));
    std::optional<std::vector<std::uint8_t>> bytes = readForLoad(m, o, url, soundLoadFailed);
    if (!bytes) {
        return Value();
    }
    // The file is read whole now, so a sound played before its complete event already
    // sounds, as a streaming sound would; the script learns of it in the usual order.
    setHiddenField(o, kFileSize, Value::number(static_cast<double>(bytes->size())));
    attachMp3(m, o, std::move(*bytes));
    queueLoadStep(m, o, sendOpenStep);
    queueLoadStep(m, o, soundLoadArrived);
    return Value();
}

// loadCompressedDataFromByteArray(bytes, bytesLength): MP3 data from the array's position
// on, read at once; the array's position moves past what was read.
Value soundLoadFromBytes(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    ByteArrayData* source = byteArrayData(arg(a, 0));
    if (source == nullptr) {
        m.throwError("TypeError", 2007, "Parameter bytes must be non-null.");
    }
    startSoundLoad(m, o);
    const double asked = a.size() < 2 ? 0.0 : m.toNumber(a[1]);
    const std::size_t start = std::min(source->position, source->data.size());
    const std::size_t available = source->data.size() - start;
    const std::size_t count =
        std::isfinite(asked) && asked > 0
            ? static_cast<std::size_t>(std::min(asked, static_cast<double>(available)))
            : 0;
    const auto from = source->data.begin() + static_cast<std::ptrdiff_t>(start);
    std::vector<std::uint8_t> mp3(from, from + static_cast<std::ptrdiff_t>(count));
    source->position = start + count;
    setHiddenField(o, kBytesLoaded, Value::number(static_cast<double>(count)));
    attachMp3(m, o, std::move(mp3));
    return Value();
}

Value soundInit(Machine& m, const Value& s, Args& a) {
    if (!arg(a, 0).isNullish()) {
        Args request{a[0]};
        soundLoad(m, s, request);
    }
    return Value();
}

Value soundBytesLoaded(Machine& m, const Value& s, Args&) {
    return hiddenField(receiverObject(m, s), kBytesLoaded, Value::number(0));
}

Value soundUrl(Machine& m, const Value& s, Args&) {
    return hiddenField(receiverObject(m, s), kLoadUrl, Value::null());
}

Value soundPlay(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    Args none;
    Value channel =
        m.construct(Value::object(m.findClass("flash.media::SoundChannel")->classObject), none);
    if (arg(a, 2).isObject()) {
        Args t{arg(a, 2)};
        transformSet(m, channel, t);
    }
    SoundHost* sounds = soundHost(m.host());
    if (sounds == nullptr || !attachLibrarySound(*sounds, o)) {
        return channel;
    }
    const double start = std::max(0.0, finiteOr(a.empty() ? 0.0 : m.toNumber(a[0]), 0.0));
    const double loopsAsked = finiteOr(a.size() < 2 ? 0.0 : m.toNumber(a[1]), 0.0);
    const int loops = static_cast<int>(std::clamp(loopsAsked, 1.0, 65535.0));
    const auto [volume, pan] = volumeAndPan(hiddenField(channel.asObject(), "soundTransform"));
    Object* c = channel.asObject();
    if (sounds->playChannel(idOf(o), idOf(c), start, loops, volume, pan)) {
        // Flash keeps a playing channel however the script lets go of it.
        playingList(m)->elements.push_back(channel);
        setHiddenField(c, "channel.sound", Value::object(o));
        setHiddenField(c, "channel.playing", Value::boolean(true));
    }
    return channel;
}

Value channelPosition(Machine& m, const Value& s, Args&) {
    Object* c = receiverObject(m, s);
    SoundHost* sounds = soundHost(m.host());
    if (sounds != nullptr && hiddenField(c, "channel.playing").isBoolean() &&
        hiddenField(c, "channel.playing").asBoolean()) {
        return Value::number(sounds->channelPositionMs(idOf(c)).value_or(0.0));
    }
    return hiddenField(c, "channel.position", Value::number(0));
}

// The channel stops where it is (or, finished, at its end) and no longer needs keeping.
void endChannel(Machine& m, Object* c, std::optional<double> at) {
    SoundHost* sounds = soundHost(m.host());
    if (sounds != nullptr && !at) {
        at = sounds->channelPositionMs(idOf(c));
    }
    setHiddenField(c, "channel.position", Value::number(at.value_or(0.0)));
    setHiddenField(c, "channel.playing", Value::boolean(false));
    forgetPlaying(m, c);
}

Value channelStop(Machine& m, const Value& s, Args&) {
    Object* c = receiverObject(m, s);
    const Value playing = hiddenField(c, "channel.playing");
    if (!playing.isBoolean() || !playing.asBoolean()) {
        return Value();
    }
    endChannel(m, c, std::nullopt);
    if (SoundHost* sounds = soundHost(m.host())) {
        sounds->stopChannel(idOf(c));
    }
    return Value();
}

Value channelTransformSet(Machine& m, const Value& s, Args& a) {
    transformSet(m, s, a);
    Object* c = receiverObject(m, s);
    SoundHost* sounds = soundHost(m.host());
    const Value playing = hiddenField(c, "channel.playing");
    if (sounds != nullptr && playing.isBoolean() && playing.asBoolean()) {
        const auto [volume, pan] = volumeAndPan(hiddenField(c, "soundTransform"));
        sounds->setChannelTransform(idOf(c), volume, pan);
    }
    return Value();
}

Value soundLength(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    SoundHost* sounds = soundHost(m.host());
    if (sounds == nullptr || !attachLibrarySound(*sounds, o)) {
        return Value::number(0);
    }
    return Value::number(sounds->soundLengthMs(idOf(o)).value_or(0.0));
}

Value mixerStopAll(Machine& m, const Value&, Args&) {
    SoundHost* sounds = soundHost(m.host());
    if (sounds == nullptr) {
        return Value();
    }
    // Stopped channels send no soundComplete; they stay where they were.
    const std::vector<Value> playing = playingList(m)->elements;
    for (const Value& v : playing) {
        if (v.isObject()) {
            endChannel(m, v.asObject(), std::nullopt);
            sounds->stopChannel(idOf(v.asObject()));
        }
    }
    sounds->stopAllSounds();
    return Value();
}

Value mixerTransformSet(Machine& m, const Value&, Args& a) {
    if (arg(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter sndTransform must be non-null.");
    }
    const Value mixer = Value::object(m.findClass("flash.media::SoundMixer")->classObject);
    transformSet(m, mixer, a);
    if (SoundHost* sounds = soundHost(m.host())) {
        const auto [volume, pan] = volumeAndPan(hiddenField(mixer.asObject(), "soundTransform"));
        sounds->setMixerTransform(volume, pan);
    }
    return Value();
}

Value spriteTransformSet(Machine& m, const Value& self, Args& a) {
    if (arg(a, 0).isNullish()) {
        m.throwError("TypeError", 2007, "Parameter sndTransform must be non-null.");
    }
    m.coerce(arg(a, 0), m.findClass("flash.media::SoundTransform"));
    transformSet(m, self, a);
    const std::uint64_t node = self.isObject() ? self.asObject()->displayNode : 0;
    if (SoundHost* sounds = soundHost(m.host()); sounds != nullptr && node != 0) {
        const auto [volume, pan] = volumeAndPan(hiddenField(self.asObject(), "soundTransform"));
        sounds->setDisplayTransform(node, volume, pan);
    }
    return Value();
}

Value zero(Machine&, const Value&, Args&) {
    return Value::number(0);
}

} // namespace

SoundHost* soundHost(Host& host) {
    return dynamic_cast<SoundHost*>(&host);
}

void sendSoundCompletions(Machine& m) {
    SoundHost* sounds = soundHost(m.host());
    if (sounds == nullptr) {
        return;
    }
    const std::vector<std::uint64_t> finished = sounds->finishedChannels();
    if (finished.empty()) {
        return;
    }
    const std::vector<Value> playing = playingList(m)->elements;
    for (const Value& v : playing) {
        if (!v.isObject() ||
            std::find(finished.begin(), finished.end(), idOf(v.asObject())) == finished.end()) {
            continue;
        }
        Object* c = v.asObject();
        // A finished channel stays at the sound's end.
        double end = 0;
        const Value sound = hiddenField(c, "channel.sound");
        if (sound.isObject()) {
            end = sounds->soundLengthMs(idOf(sound.asObject())).value_or(0.0);
        }
        endChannel(m, c, end);
        sounds->stopChannel(idOf(c)); // lets the layer forget the channel's voice
        dispatchSimple(m, c, "soundComplete", false);
    }
}

void installMedia(Machine& m) {
    Class* transform = m.defineClass("flash.media", "SoundTransform", m.objectClass, transformInit);
    transform->sealed = true;
    number<kVolume, 1>(m, transform);
    m.defineGetter(transform, "pan", panGet);
    m.defineSetter(transform, "pan", panSet);
    number<kLeftToLeft, 1>(m, transform);
    number<kLeftToRight, 0>(m, transform);
    number<kRightToRight, 1>(m, transform);
    number<kRightToLeft, 0>(m, transform);

    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* channel = m.defineClass("flash.media", "SoundChannel", dispatcher);
    channel->sealed = true;
    m.defineMethod(channel, "stop", channelStop);
    m.defineGetter(channel, "position", channelPosition);
    m.defineGetter(channel, "leftPeak", zero);
    m.defineGetter(channel, "rightPeak", zero);
    m.defineGetter(channel, "soundTransform", transformGet);
    m.defineSetter(channel, "soundTransform", channelTransformSet);

    Class* sound = m.defineClass("flash.media", "Sound", dispatcher, soundInit);
    m.defineMethod(sound, "play", soundPlay);
    m.defineMethod(sound, "load", soundLoad);
    m.defineMethod(sound, "loadCompressedDataFromByteArray", soundLoadFromBytes);
    m.defineMethod(sound, "close", [](Machine& mm, const Value& s, Args&) {
        cancelLoad(receiverObject(mm, s));
        return Value();
    });
    m.defineGetter(sound, "length", soundLength);
    m.defineGetter(sound, "bytesLoaded", soundBytesLoaded);
    m.defineGetter(sound, "bytesTotal", soundBytesLoaded);
    m.defineGetter(sound, "isBuffering",
                   [](Machine&, const Value&, Args&) { return Value::boolean(false); });
    m.defineGetter(sound, "url", soundUrl);
    // No ID3 tags are read: a sound reports none.
    m.defineGetter(sound, "id3", [](Machine& mm, const Value& s, Args&) {
        receiverObject(mm, s);
        return Value::null();
    });
    // Decoded samples are not handed to scripts: none are written.
    m.defineMethod(sound, "extract", [](Machine& mm, const Value& s, Args&) {
        receiverObject(mm, s);
        return Value::number(0);
    });
    sound->sealed = true;

    Class* mixer = m.defineClass("flash.media", "SoundMixer", m.objectClass);
    m.defineMethod(mixer, "stopAll", mixerStopAll, true);
    installSoundLevels(m, mixer);
    m.defineGetter(
        mixer, "soundTransform",
        [](Machine& mm, const Value&, Args& a) {
            return transformGet(
                mm, Value::object(mm.findClass("flash.media::SoundMixer")->classObject), a);
        },
        true);
    m.defineSetter(mixer, "soundTransform", mixerTransformSet, true);
    // Seconds of a streaming sound loaded before it plays; 5 until a movie sets it.
    m.defineGetter(
        mixer, "bufferTime",
        [](Machine& mm, const Value&, Args&) {
            const Object* cls = mm.findClass("flash.media::SoundMixer")->classObject;
            return hiddenField(cls, "bufferTime", Value::integer(5));
        },
        true);
    m.defineSetter(
        mixer, "bufferTime",
        [](Machine& mm, const Value&, Args& a) {
            Object* cls = mm.findClass("flash.media::SoundMixer")->classObject;
            setHiddenField(cls, "bufferTime", Value::integer(toInt32(mm.toNumber(arg(a, 0)))));
            return Value();
        },
        true);
    // Every sound a card plays is its own.
    m.defineMethod(
        mixer, "areSoundsInaccessible",
        [](Machine&, const Value&, Args&) { return Value::boolean(false); }, true);
}

void defineSpriteSoundTransform(Machine& m, Class* sprite) {
    m.defineGetter(sprite, "soundTransform", transformGet);
    m.defineSetter(sprite, "soundTransform", spriteTransformSet);
}

} // namespace avm2
