// NetStream: a stream over a NetConnection. On a connection opened with connect(null), play
// reads a video file beside the movie at once (as a local file loads), reports it through
// onStatus as Flash does, and runs its clock to the file's last timestamp; the pictures
// themselves are not shown. Streams of a server never connect, so they stay silent.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "StageScripts.h"
#include "StatusReports.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"
#include "avm1/classes/NetConnection.h"
#include "swf/FlvReader.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

// What one stream is doing, kept on its object.
struct StreamState : avm1::NativeState {
    avm1::Object* connection = nullptr; // marked by trace
    bool playing = false;
    bool paused = false;
    double bufferTime = 0.1; // seconds
    double bytesLoaded = 0;
    double bytesTotal = 0;
    double durationMs = 0;
    double positionMs = 0;  // where the clock stood at the last start, pause or seek
    double startedAtMs = 0; // the player's clock when it last ran on

    void trace(avm1::Tracer& tracer) override {
        if (connection != nullptr) {
            tracer.mark(connection);
        }
    }
    // Back to a stream that plays nothing, on the same connection and buffer.
    void reset() {
        playing = paused = false;
        bytesLoaded = bytesTotal = durationMs = positionMs = startedAtMs = 0;
    }
};

StreamState* stateOf(avm1::Object* self) {
    return self != nullptr ? dynamic_cast<StreamState*>(self->nativeState()) : nullptr;
}

// The length of an FLV file in milliseconds: the latest timestamp of its tags; none when
// the bytes are not an FLV file. Tags cut short end the walk.
std::optional<double> flvDurationMs(std::span<const std::uint8_t> file) {
    std::optional<std::size_t> at = swf::flvFirstTag(file);
    if (!at) {
        return std::nullopt;
    }
    std::uint32_t latest = 0;
    while (const std::optional<swf::FlvTag> tag = swf::readFlvTag(file, *at)) {
        latest = std::max(latest, tag->timeMs);
    }
    return static_cast<double>(latest);
}

class NetStreamClass {
  public:
    explicit NetStreamClass(StageScripts& stage) : stage_(stage) {}
    void install(avm1::Machine& m);
    // Ends the streams whose clock has passed the end of their file.
    void advance();

  private:
    double nowMs() const { return stage_.callbacks().clockMs ? stage_.callbacks().clockMs() : 0; }
    double timeMs(const StreamState& s) const {
        const double ran = s.playing && !s.paused ? nowMs() - s.startedAtMs : 0;
        return std::clamp(s.positionMs + ran, 0.0, s.durationMs);
    }
    // onStatus({code, level}) after the running scripts; an error a stream without its own
    // handler reports goes to System.onStatus.
    void status(avm1::Object* self, std::string_view code, std::string_view level = "status");
    void play(CallArgs& c);

    StageScripts& stage_;
    std::vector<avm1::Root> playing_;
};

void NetStreamClass::status(avm1::Object* self, std::string_view code, std::string_view level) {
    avm1::Machine& m = stage_.machine();
    avm1::Object* info = m.newObject();
    m.set(info, "code", Value(m.str(code)));
    m.set(info, "level", Value(m.str(level)));
    reportStatus(m, self, info, level == "error");
}

void NetStreamClass::play(CallArgs& c) {
    avm1::Object* self = c.thisObject();
    StreamState* s = stateOf(self);
    if (s == nullptr || c.count() == 0 || !avm1::isLocalNetConnection(s->connection)) {
        return;
    }
    const std::string url = c.machine.toString(c.arg(0)).str();
    const std::vector<std::uint8_t> bytes = stage_.readBesideMovie(url);
    const std::optional<double> duration = flvDurationMs(bytes);
    s->reset();
    if (!duration) {
        status(self, "NetStream.Play.StreamNotFound", "error");
        return;
    }
    s->playing = true;
    s->bytesLoaded = s->bytesTotal = static_cast<double>(bytes.size());
    s->durationMs = *duration;
    s->startedAtMs = nowMs();
    status(self, "NetStream.Play.Start");
    status(self, "NetStream.Buffer.Full");
    if (playing_.size() < 256) {
        playing_.emplace_back(c.machine, self);
    }
}

void NetStreamClass::advance() {
    std::vector<avm1::Object*> ended;
    std::erase_if(playing_, [&](const avm1::Root& r) {
        StreamState* s = stateOf(r.get());
        if (s == nullptr || !s->playing) {
            return true;
        }
        if (s->paused || timeMs(*s) < s->durationMs) {
            return false;
        }
        s->positionMs = s->durationMs;
        s->playing = false;
        ended.push_back(r.get());
        return false; // kept alive until its handlers have run
    });
    for (avm1::Object* self : ended) {
        status(self, "NetStream.Buffer.Flush");
        status(self, "NetStream.Play.Stop");
        status(self, "NetStream.Buffer.Empty");
    }
}

void NetStreamClass::install(avm1::Machine& m) {
    avm1::FunctionObject* ctor = m.newClass([](CallArgs& c) {
        if (avm1::Object* self = c.thisObject()) {
            auto state = std::make_unique<StreamState>();
            state->connection = c.arg(0).asObject();
            self->setNativeState(std::move(state));
        }
        return Value();
    });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    m.defineMethod(proto, "play", [this](CallArgs& c) {
        play(c);
        return Value();
    });
    // pause() toggles; pause(flag) pauses or resumes.
    m.defineMethod(proto, "pause", [this](CallArgs& c) {
        StreamState* s = stateOf(c.thisObject());
        if (s == nullptr || !s->playing) {
            return Value();
        }
        const bool pause = c.count() > 0 ? c.machine.toBoolean(c.arg(0)) : !s->paused;
        if (pause == s->paused) {
            return Value();
        }
        s->positionMs = timeMs(*s);
        s->startedAtMs = nowMs();
        s->paused = pause;
        status(c.thisObject(), pause ? "NetStream.Pause.Notify" : "NetStream.Unpause.Notify");
        return Value();
    });
    // seek(seconds): to a whole second within the file.
    m.defineMethod(proto, "seek", [this](CallArgs& c) {
        StreamState* s = stateOf(c.thisObject());
        if (s == nullptr || s->durationMs <= 0) {
            return Value();
        }
        const double seconds = c.machine.toNumber(c.arg(0));
        const double to = std::isfinite(seconds) ? std::max(0.0, seconds) * 1000 : 0;
        if (to > s->durationMs) {
            status(c.thisObject(), "NetStream.Seek.InvalidTime", "error");
            return Value();
        }
        s->positionMs = to;
        s->startedAtMs = nowMs();
        status(c.thisObject(), "NetStream.Seek.Notify");
        return Value();
    });
    m.defineMethod(proto, "close", [](CallArgs& c) {
        if (StreamState* s = stateOf(c.thisObject())) {
            s->reset();
        }
        return Value();
    });
    m.defineMethod(proto, "setBufferTime", [](CallArgs& c) {
        StreamState* s = stateOf(c.thisObject());
        const double seconds = c.machine.toNumber(c.arg(0));
        if (s != nullptr && std::isfinite(seconds)) {
            s->bufferTime = std::max(0.0, seconds);
        }
        return Value();
    });
    // Publishing and receiving need a server.
    for (const char* name :
         {"attachAudio", "attachVideo", "publish", "receiveAudio", "receiveVideo", "send"}) {
        m.defineMethod(proto, name, [](CallArgs&) { return Value(); });
    }
    const auto reading = [&m, proto](std::string_view name, auto read) {
        avm1::defineAccessor(
            m, proto, name,
            [read](CallArgs& call) -> Value {
                const StreamState* s = stateOf(call.thisObject());
                return s != nullptr ? read(*s) : Value();
            },
            nullptr);
    };
    reading("time", [this](const StreamState& s) { return Value(timeMs(s) / 1000); });
    reading("bytesLoaded", [](const StreamState& s) { return Value(s.bytesLoaded); });
    reading("bytesTotal", [](const StreamState& s) { return Value(s.bytesTotal); });
    reading("bufferTime", [](const StreamState& s) { return Value(s.bufferTime); });
    reading("bufferLength", [](const StreamState&) { return Value(0.0); });
    reading("currentFps", [](const StreamState&) { return Value(0.0); });
    reading("liveDelay", [](const StreamState&) { return Value(0.0); });
    m.define(m.global(), "NetStream", Value(static_cast<avm1::Object*>(ctor)),
             avm1::attr::DontEnum | avm1::attr::Only6);
}

} // namespace

void installNetStream(StageScripts& stage) {
    auto streams = std::make_shared<NetStreamClass>(stage);
    streams->install(stage.machine());
    stage.keepAlive(streams);
    stage.onTimers([streams] { streams->advance(); });
}

} // namespace mc
