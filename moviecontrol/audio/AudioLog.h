#pragma once

#include <functional>
#include <string>

namespace audio {

// Where the sound layer reports what the user should know about but cannot fix (a codec
// it cannot play, no sound device). Each distinct text goes out once per process.
using AudioLogSink = std::function<void(const std::string&)>;
void setAudioLogSink(AudioLogSink sink);
void logOnce(const std::string& text);

} // namespace audio
