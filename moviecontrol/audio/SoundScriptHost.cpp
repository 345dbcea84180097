#include "SoundScriptHost.h"

#include <algorithm>

namespace audio {

SoundTransform withVolume(SoundTransform t, double percent) {
    t.volume = static_cast<float>(std::clamp(percent, -1000.0, 1000.0) / 100.0);
    return t;
}

double volumeOf(const SoundTransform& t) {
    return t.volume * 100.0;
}

SoundTransform withPan(SoundTransform t, double pan) {
    const double p = std::clamp(pan, -100.0, 100.0);
    t.leftToLeft = static_cast<float>(p > 0 ? (100.0 - p) / 100.0 : 1.0);
    t.rightToRight = static_cast<float>(p < 0 ? (100.0 + p) / 100.0 : 1.0);
    t.leftToRight = 0.0f;
    t.rightToLeft = 0.0f;
    return t;
}

double panOf(const SoundTransform& t) {
    return (t.rightToRight - t.leftToLeft) * 100.0;
}

} // namespace audio
