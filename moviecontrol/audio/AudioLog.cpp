#include "AudioLog.h"

#include <mutex>
#include <set>

namespace audio {

namespace {

struct LogState {
    std::mutex mutex;
    AudioLogSink sink;
    std::set<std::string> said;
};

LogState& state() {
    static LogState s;
    return s;
}

} // namespace

void setAudioLogSink(AudioLogSink sink) {
    std::lock_guard lock(state().mutex);
    state().sink = std::move(sink);
}

void logOnce(const std::string& text) {
    AudioLogSink sink;
    {
        std::lock_guard lock(state().mutex);
        if (!state().said.insert(text).second || !state().sink) {
            return;
        }
        sink = state().sink;
    }
    sink(text);
}

} // namespace audio
