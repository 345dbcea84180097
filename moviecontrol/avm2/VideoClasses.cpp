// flash.media.Video and flash.net.NetStream. A Video the timeline placed shows its embedded
// stream; one a script made shows what a NetStream attached to it plays: an FLV file beside
// the movie, its frames decoded as the player's clock reaches their time, its script data
// (onMetaData, cue points) called on the stream's client, its progress told in netStatus
// events. A camera is never attached: a card does not film the person.
#include "avm2/Amf.h"
#include "avm2/ByteArrayData.h"
#include "avm2/DisplayHost.h"
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/LoadHost.h"
#include "avm2/LoadSteps.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"
#include "avm2/Timers.h"
#include "swf/FlvReader.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace avm2 {

namespace {

using swf::flvFirstTag;
using swf::FlvTag;
using swf::flvVideoFrame;
using swf::FlvVideoFrame;
using swf::readFlvTag;

double numberField(const Object* o, const char* key, double fallback = 0) {
    const Value v = hiddenField(o, key);
    return v.isNumeric() ? v.asNumber() : fallback;
}

// --- Video ---------------------------------------------------------------------------------

constexpr char kBoxWidth[] = "video.boxWidth";
constexpr char kBoxHeight[] = "video.boxHeight";
constexpr char kSmoothing[] = "video.smoothing";
constexpr char kDeblocking[] = "video.deblocking";
constexpr char kFrameWidth[] = "video.frameWidth";
constexpr char kFrameHeight[] = "video.frameHeight";
constexpr char kAttached[] = "video.stream";
constexpr char kStreamVideo[] = "stream.video";

DisplayHost* display(Machine& m) {
    return m.host().display();
}

NodeId nodeOf(const Object* o) {
    return o != nullptr ? o->displayNode : 0;
}

std::optional<DisplayHost::VideoStreamInfo> placedStream(Machine& m, const Object* video) {
    DisplayHost* h = display(m);
    return h != nullptr && nodeOf(video) != 0 ? h->videoStream(nodeOf(video)) : std::nullopt;
}

// A script's Video is a box of the size it was made with (320 by 240 unless told), drawn
// with nothing until a stream shows in it. An invisible fill gives it that box's bounds.
Value videoInit(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const bool placed = o->displayNode != 0;
    Args none;
    m.constructSuper(m.findClass("flash.media::Video")->super, s, none);
    if (placed) {
        return Value();
    }
    const auto side = [&](std::size_t i, double fallback) {
        const double v = i < a.size() ? m.toNumber(a[i]) : fallback;
        // int parameters: what is not a number is 0.
        return std::isfinite(v) ? std::trunc(v) : 0.0;
    };
    const double width = side(0, 320);
    const double height = side(1, 240);
    setHiddenField(o, kBoxWidth, Value::number(width));
    setHiddenField(o, kBoxHeight, Value::number(height));
    if (DisplayHost* h = display(m); h != nullptr && nodeOf(o) != 0 && width > 0 && height > 0) {
        const NodeId node = nodeOf(o);
        GraphicsOp op;
        op.kind = GraphicsOp::Kind::BeginFill;
        op.alpha = 0;
        h->graphics(node, op);
        op = GraphicsOp{};
        op.kind = GraphicsOp::Kind::MoveTo;
        h->graphics(node, op);
        for (const auto& [x, y] :
             {std::pair{width, 0.0}, {width, height}, {0.0, height}, {0.0, 0.0}}) {
            op.kind = GraphicsOp::Kind::LineTo;
            op.a = x;
            op.b = y;
            h->graphics(node, op);
        }
        op = GraphicsOp{};
        op.kind = GraphicsOp::Kind::EndFill;
        h->graphics(node, op);
    }
    return Value();
}

// The size of the frames shown: a placed video's encoded size, a stream's once it showed a
// frame, 0 before.
template <bool Width> Value videoSize(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (const auto stream = placedStream(m, o)) {
        return Value::integer(static_cast<std::int32_t>(Width ? stream->width : stream->height));
    }
    return Value::integer(
        static_cast<std::int32_t>(numberField(o, Width ? kFrameWidth : kFrameHeight)));
}

Value smoothingGet(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (std::optional<Value> set = findHiddenField(o, kSmoothing)) {
        return *set;
    }
    const auto stream = placedStream(m, o);
    return Value::boolean(stream && stream->smoothing);
}

Value smoothingSet(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const bool on = Machine::toBoolean(arg(a, 0));
    setHiddenField(o, kSmoothing, Value::boolean(on));
    if (DisplayHost* h = display(m); h != nullptr && nodeOf(o) != 0) {
        h->setVideoSmoothing(nodeOf(o), on);
    }
    return Value();
}

Value deblockingGet(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (std::optional<Value> set = findHiddenField(o, kDeblocking)) {
        return *set;
    }
    const auto stream = placedStream(m, o);
    return Value::integer(stream ? stream->deblocking : 0);
}

Value deblockingSet(Machine& m, const Value& s, Args& a) {
    const double v = m.toNumber(arg(a, 0));
    setHiddenField(receiverObject(m, s), kDeblocking,
                   Value::integer(std::isfinite(v) ? static_cast<std::int32_t>(
                                                         std::clamp(v, -2147483648.0, 2147483647.0))
                                                   : 0));
    return Value();
}

void detachStream(Object* video) {
    const Value old = hiddenField(video, kAttached);
    if (old.isObject() && hiddenField(old.asObject(), kStreamVideo).isObject() &&
        hiddenField(old.asObject(), kStreamVideo).asObject() == video) {
        setHiddenField(old.asObject(), kStreamVideo, Value::null());
    }
    setHiddenField(video, kAttached, Value::null());
}

Value attachNetStream(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    detachStream(o);
    const Value stream = arg(a, 0);
    if (stream.isObject()) {
        Object* previous = hiddenField(stream.asObject(), kStreamVideo).isObject()
                               ? hiddenField(stream.asObject(), kStreamVideo).asObject()
                               : nullptr;
        if (previous != nullptr && previous != o) {
            setHiddenField(previous, kAttached, Value::null());
        }
        setHiddenField(o, kAttached, stream);
        setHiddenField(stream.asObject(), kStreamVideo, s);
    }
    return Value();
}

Value videoClear(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (DisplayHost* h = display(m); h != nullptr && nodeOf(o) != 0) {
        h->clearVideo(nodeOf(o));
    }
    return Value();
}

void installVideo(Machine& m) {
    Class* displayObject = m.findClass("flash.display::DisplayObject");
    if (displayObject == nullptr) {
        return;
    }
    Class* video = m.defineClass("flash.media", "Video", displayObject, videoInit);
    video->sealed = true;
    m.defineGetter(video, "videoWidth", videoSize<true>);
    m.defineGetter(video, "videoHeight", videoSize<false>);
    m.defineGetter(video, "smoothing", smoothingGet);
    m.defineSetter(video, "smoothing", smoothingSet);
    m.defineGetter(video, "deblocking", deblockingGet);
    m.defineSetter(video, "deblocking", deblockingSet);
    m.defineMethod(video, "attachNetStream", attachNetStream);
    m.defineMethod(video, "attachCamera", [](Machine& mm, const Value& s, Args&) {
        detachStream(receiverObject(mm, s));
        return Value();
    });
    m.defineMethod(video, "clear", videoClear);
}

// --- NetStream -----------------------------------------------------------------------------

constexpr char kFile[] = "stream.file";
constexpr char kOffset[] = "stream.offset";
constexpr char kStartMs[] = "stream.startMs";
constexpr char kPausedAt[] = "stream.pausedAt";
constexpr char kTicker[] = "stream.ticker";
constexpr char kName[] = "stream.name";
constexpr char kTimeMs[] = "stream.timeMs";
// How often a playing stream looks for due tags, and how many it handles at most per look.
constexpr double kTickMs = 10;
constexpr int kMaxTagsPerTick = 4096;

void sendStatus(Machine& m, Object* target,
                std::initializer_list<std::pair<const char*, const char*>> fields) {
    Object* info = m.newObject();
    for (const auto& [name, value] : fields) {
        info->setProp(name, Value::string(value));
    }
    Object* event = newEvent(m, "netStatus", false, false, "flash.events::NetStatusEvent");
    m.setProperty(Value::object(event), Name::publicName("info"), Value::object(info));
    dispatchEvent(m, target, event);
}

void sendStatusCode(Machine& m, Object* target, const char* code, const char* level = "status") {
    sendStatus(m, target, {{"code", code}, {"level", level}});
}

std::span<const std::uint8_t> fileOf(Object* stream) {
    if (ByteArrayData* data = byteArrayData(hiddenField(stream, kFile))) {
        return data->data;
    }
    return {};
}

// A script data tag: a name and its arguments in AMF0, called on the client. A client
// without the method hears of it as an asyncError.
void callClient(Machine& m, Object* stream, std::span<const std::uint8_t> data) {
    Object* bytes = newByteArray(m);
    ByteArrayData* held = byteArrayData(Value::object(bytes));
    held->data.assign(data.begin(), data.end());
    held->objectEncoding = 0;
    Value name;
    Args args;
    try {
        name = amfReadObject(m, Value::object(bytes));
        while (held->position < held->data.size() && args.size() < 64) {
            args.push_back(amfReadObject(m, Value::object(bytes)));
        }
    } catch (const ScriptThrow&) {
        // Damaged data calls what was read whole.
    }
    if (!name.isString()) {
        return;
    }
    const Value client = m.getProperty(Value::object(stream), Name::publicName("client"));
    const Value method =
        client.isObject() ? m.getProperty(client, Name::publicName(name.asString())) : Value();
    if (method.isObject() && method.asObject()->kind == Object::Kind::Function) {
        m.call(method, client, args);
        return;
    }
    const std::string text =
        "Error #2095: flash.net.NetStream was unable to invoke callback " + name.asString() + ".";
    if (!hasListener(stream, "asyncError")) {
        m.throwError("Error", 2044, "Unhandled AsyncErrorEvent:. text=" + text);
    }
    Object* event = newEvent(m, "asyncError", false, false, "flash.events::AsyncErrorEvent");
    m.setProperty(Value::object(event), Name::publicName("text"), Value::string(text));
    m.setProperty(
        Value::object(event), Name::publicName("error"),
        Value::object(m.makeError("ReferenceError", 1069,
                                  "Property " + name.asString() + " not found on " +
                                      m.className(client) + " and there is no default value.")));
    dispatchEvent(m, stream, event);
}

void stopTicking(Machine& m, Object* stream) {
    const Value ticker = hiddenField(stream, kTicker);
    if (ticker.isObject()) {
        stopTicker(m, ticker.asObject());
    }
    setHiddenField(stream, kTicker, Value::null());
}

void showFrame(Machine& m, Object* stream, const FlvVideoFrame& frame) {
    const Value video = hiddenField(stream, kStreamVideo);
    DisplayHost* h = display(m);
    if (!video.isObject() || h == nullptr || nodeOf(video.asObject()) == 0) {
        return;
    }
    Object* v = video.asObject();
    const std::vector<std::uint8_t> bytes(frame.frame.begin(), frame.frame.end());
    const bool smooth = Machine::toBoolean(hiddenField(v, kSmoothing, Value::boolean(false)));
    if (const auto size =
            h->showVideoFrame(nodeOf(v), frame.codec, bytes, numberField(v, kBoxWidth),
                              numberField(v, kBoxHeight), smooth)) {
        setHiddenField(v, kFrameWidth, Value::number(size->width));
        setHiddenField(v, kFrameHeight, Value::number(size->height));
    }
}

// Handles every tag due by now; at the end of the file the stream stops as Flash reports it.
void advance(Machine& m, Object* stream) {
    const Value held = hiddenField(stream, kFile);
    const std::span<const std::uint8_t> file = fileOf(stream);
    const double elapsed = m.host().clockMs() - numberField(stream, kStartMs);
    auto offset = static_cast<std::size_t>(numberField(stream, kOffset));
    for (int handled = 0; handled < kMaxTagsPerTick; ++handled) {
        std::size_t next = offset;
        const std::optional<FlvTag> tag = readFlvTag(file, next);
        if (!tag) {
            stopTicking(m, stream);
            setHiddenField(stream, kFile, Value::null());
            sendStatusCode(m, stream, "NetStream.Buffer.Flush");
            sendStatusCode(m, stream, "NetStream.Play.Stop");
            sendStatusCode(m, stream, "NetStream.Buffer.Empty");
            return;
        }
        if (tag->timeMs > elapsed) {
            break;
        }
        offset = next;
        setHiddenField(stream, kOffset, Value::number(static_cast<double>(offset)));
        setHiddenField(stream, kTimeMs, Value::number(tag->timeMs));
        if (tag->type == static_cast<std::uint8_t>(FlvTag::Type::Video)) {
            if (const auto frame = flvVideoFrame(tag->data)) {
                showFrame(m, stream, *frame);
            }
        } else if (tag->type == static_cast<std::uint8_t>(FlvTag::Type::Script)) {
            callClient(m, stream, tag->data);
        }
        const Value now = hiddenField(stream, kFile);
        if (!now.isObject() || !held.isObject() || now.asObject() != held.asObject()) {
            return; // A callback closed the stream or played another.
        }
    }
}

Value streamTick(Machine& m, const Value&, Args& a) {
    if (arg(a, 0).isObject()) {
        advance(m, arg(a, 0).asObject());
    }
    return Value();
}

void startTicking(Machine& m, Object* stream) {
    stopTicking(m, stream);
    setHiddenField(stream, kTicker, Value::object(startTicker(m, streamTick, stream, kTickMs)));
}

Value stepStarted(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (!stepIsCurrent(o)) {
        return Value();
    }
    sendStatusCode(m, o, "NetStream.Play.Start");
    setHiddenField(o, kStartMs, Value::number(m.host().clockMs()));
    startTicking(m, o);
    // What plays at once (the metadata, the first frame) comes before the buffer is full.
    advance(m, o);
    if (hiddenField(o, kFile).isObject()) {
        sendStatusCode(m, o, "NetStream.Buffer.Full");
    }
    return Value();
}

Value stepNotFound(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (stepIsCurrent(o)) {
        sendStatusCode(m, o, "NetStream.Play.StreamNotFound", "error");
    }
    return Value();
}

void closeStream(Machine& m, Object* o) {
    cancelLoad(o);
    stopTicking(m, o);
    setHiddenField(o, kFile, Value::null());
    setHiddenField(o, kPausedAt, Value::null());
}

Value streamPlay(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    closeStream(m, o);
    const std::string name = arg(a, 0).isNullish() ? std::string() : m.toString(arg(a, 0));
    setHiddenField(o, kName, Value::string(name));
    setHiddenField(o, kTimeMs, Value::number(0));
    beginLoad(o);
    std::optional<std::vector<std::uint8_t>> bytes =
        name.empty() ? std::nullopt : readBesideMovie(m.host(), name);
    std::optional<std::size_t> first;
    if (bytes) {
        first = flvFirstTag(*bytes);
    }
    if (!first) {
        queueLoadStep(m, o, stepNotFound);
        return Value();
    }
    m.checkMemory(bytes->size());
    Object* file = newByteArray(m);
    byteArrayData(Value::object(file))->data = std::move(*bytes);
    setHiddenField(o, kFile, Value::object(file));
    setHiddenField(o, kOffset, Value::number(static_cast<double>(*first)));
    queueLoadStep(m, o, stepStarted);
    return Value();
}

bool playing(Object* o) {
    return hiddenField(o, kFile).isObject() && !hiddenField(o, kPausedAt).isNumeric();
}

Value streamPause(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    if (playing(o)) {
        stopTicking(m, o);
        setHiddenField(o, kPausedAt, Value::number(m.host().clockMs() - numberField(o, kStartMs)));
        sendStatusCode(m, o, "NetStream.Pause.Notify");
    }
    return Value();
}

Value streamResume(Machine& m, const Value& s, Args&) {
    Object* o = receiverObject(m, s);
    const Value pausedAt = hiddenField(o, kPausedAt);
    if (hiddenField(o, kFile).isObject() && pausedAt.isNumeric()) {
        setHiddenField(o, kStartMs, Value::number(m.host().clockMs() - pausedAt.asNumber()));
        setHiddenField(o, kPausedAt, Value::null());
        startTicking(m, o);
        sendStatusCode(m, o, "NetStream.Unpause.Notify");
    }
    return Value();
}

Value streamTogglePause(Machine& m, const Value& s, Args& a) {
    return playing(receiverObject(m, s)) ? streamPause(m, s, a) : streamResume(m, s, a);
}

struct SeekPoint {
    std::size_t offset = 0;
    double timeMs = 0;
};

// Where a seek to `targetMs` lands in the file: the last video key frame at or before it (a
// file without video: the last tag), from which the picture can be decoded. Nothing when
// the target lies past the file's last tag.
std::optional<SeekPoint> seekPoint(std::span<const std::uint8_t> file, double targetMs) {
    const std::optional<std::size_t> first = flvFirstTag(file);
    if (!first) {
        return std::nullopt;
    }
    std::optional<SeekPoint> keyFrame;
    std::optional<SeekPoint> anyTag;
    double lastMs = -1;
    std::size_t offset = *first;
    while (true) {
        const std::size_t at = offset;
        const std::optional<FlvTag> tag = readFlvTag(file, offset);
        if (!tag) {
            break;
        }
        lastMs = std::max(lastMs, static_cast<double>(tag->timeMs));
        if (tag->timeMs > targetMs) {
            continue; // a later tag may still carry an earlier time stamp
        }
        const SeekPoint here{at, static_cast<double>(tag->timeMs)};
        if (!anyTag || here.timeMs >= anyTag->timeMs) {
            anyTag = here;
        }
        if (tag->type == static_cast<std::uint8_t>(FlvTag::Type::Video)) {
            const auto frame = flvVideoFrame(tag->data);
            if (frame && frame->keyFrame && (!keyFrame || here.timeMs >= keyFrame->timeMs)) {
                keyFrame = here;
            }
        }
    }
    if (targetMs > lastMs) {
        return std::nullopt;
    }
    return keyFrame ? keyFrame : anyTag;
}

Value stepSeekNotify(Machine& m, const Value& s, Args&) {
    sendStatusCode(m, receiverObject(m, s), "NetStream.Seek.Notify");
    return Value();
}

Value stepSeekInvalid(Machine& m, const Value& s, Args&) {
    sendStatusCode(m, receiverObject(m, s), "NetStream.Seek.InvalidTime", "error");
    return Value();
}

// seek(offset): playing or paused, the stream goes on from the key frame at or before
// `offset` seconds, its picture shown at once; the answer comes as a netStatus event.
Value streamSeek(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    if (!hiddenField(o, kFile).isObject()) {
        return Value();
    }
    const double seconds = m.toNumber(arg(a, 0));
    const double targetMs = std::isfinite(seconds) ? std::max(0.0, seconds) * 1000.0 : 0.0;
    const std::optional<SeekPoint> point = seekPoint(fileOf(o), targetMs);
    if (!point) {
        queueCall(m, o, stepSeekInvalid);
        return Value();
    }
    const bool paused = hiddenField(o, kPausedAt).isNumeric();
    setHiddenField(o, kOffset, Value::number(static_cast<double>(point->offset)));
    setHiddenField(o, kTimeMs, Value::number(point->timeMs));
    setHiddenField(o, kStartMs, Value::number(m.host().clockMs() - point->timeMs));
    queueCall(m, o, stepSeekNotify);
    // Shows the key frame (and whatever shares its time) now, paused or not.
    advance(m, o);
    if (paused && hiddenField(o, kFile).isObject()) {
        setHiddenField(o, kPausedAt, Value::number(point->timeMs));
    }
    return Value();
}

Value streamClose(Machine& m, const Value& s, Args&) {
    closeStream(m, receiverObject(m, s));
    return Value();
}

Value streamTime(Machine& m, const Value& s, Args&) {
    return Value::number(numberField(receiverObject(m, s), kTimeMs) / 1000.0);
}

Value streamInit(Machine& m, const Value& s, Args& a) {
    Object* o = receiverObject(m, s);
    const Value connection = arg(a, 0);
    if (connection.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter connection must be non-null.");
    }
    if (!Machine::toBoolean(m.getProperty(connection, Name::publicName("connected")))) {
        m.throwError("ArgumentError", 2126, "NetConnection object must be connected.");
    }
    m.setProperty(s, Name::publicName("client"), s);
    (void)o;
    return Value();
}

void installNetStream(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* stream = m.defineClass("flash.net", "NetStream", dispatcher, streamInit);
    stream->sealed = true;
    addPublicSlot(stream, "client", m.objectClass, Value::null());
    addPublicSlot(stream, "bufferTime", m.numberClass, Value::number(0.1));
    addPublicSlot(stream, "checkPolicyFile", m.booleanClass, Value::boolean(false));
    m.defineMethod(stream, "play", streamPlay);
    m.defineMethod(stream, "pause", streamPause);
    m.defineMethod(stream, "resume", streamResume);
    m.defineMethod(stream, "togglePause", streamTogglePause);
    m.defineMethod(stream, "close", streamClose);
    m.defineMethod(stream, "seek", streamSeek);
    m.defineGetter(stream, "time", streamTime);
    for (const char* name : {"bytesLoaded", "bytesTotal"}) {
        m.defineGetter(stream, name, [](Machine& mm, const Value& s, Args&) {
            return Value::unsignedInt(
                static_cast<std::uint32_t>(fileOf(receiverObject(mm, s)).size()));
        });
    }
    m.defineGetter(stream, "bufferLength",
                   [](Machine&, const Value&, Args&) { return Value::number(0); });
}

} // namespace

void installVideoClasses(Machine& m) {
    installVideo(m);
    installNetStream(m);
}

} // namespace avm2
