// What SoundMixer reads of the mixer's latest output. The waveform is the samples as
// they are; the frequency view is a discrete Fourier transform of a window twice as long,
// each band's magnitude scaled so that a full-scale sine reads about 1.
#include "avm2/SoundLevels.h"

#include "avm2/ByteArrayData.h"
#include "avm2/Host.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/SoundHost.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <numbers>

namespace avm2 {

namespace {

int clampedStretch(int stretchFactor) {
    // 0 reads at 44.1 kHz, 1 at 22.05 kHz, 2 at 11.025 kHz; Flash reads no coarser.
    return std::clamp(stretchFactor, 0, 2);
}

// The channel's samples of the window, oldest first, padded with silence in front.
std::vector<float> channelWindow(const std::vector<float>& recent, std::size_t channel,
                                 std::size_t count, std::size_t step) {
    std::vector<float> out(count, 0.0f);
    const std::size_t frames = recent.size() / 2;
    for (std::size_t i = 0; i < count; ++i) {
        // The newest frame is the window's last.
        const std::size_t back = (count - 1 - i) * step;
        if (back < frames) {
            out[i] = recent[2 * (frames - 1 - back) + channel];
        }
    }
    return out;
}

void bandMagnitudes(const std::vector<float>& window, float* out) {
    const std::size_t n = window.size();
    for (std::size_t k = 0; k < kLevelBands; ++k) {
        double re = 0, im = 0;
        for (std::size_t t = 0; t < n; ++t) {
            const double angle =
                2 * std::numbers::pi * static_cast<double>(k * t % n) / static_cast<double>(n);
            re += window[t] * std::cos(angle);
            im -= window[t] * std::sin(angle);
        }
        const double magnitude = 2 * std::hypot(re, im) / static_cast<double>(n);
        out[k] = static_cast<float>(std::min(magnitude, 1.0));
    }
}

Value computeLevels(Machine& m, const Value&, Args& a) {
    const Value target = arg(a, 0);
    if (target.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter outputArray must be non-null.");
    }
    m.coerce(target, m.findClass("flash.utils::ByteArray"));
    ByteArrayData* bytes = byteArrayData(target);
    if (bytes == nullptr) {
        return Value();
    }
    const bool fft = Machine::toBoolean(arg(a, 1));
    const int stretch = toInt32(m.toNumber(arg(a, 2)));
    std::vector<float> recent;
    if (SoundHost* sounds = soundHost(m.host()); sounds != nullptr) {
        recent = sounds->recentOutput(levelFrames(fft, stretch));
    }
    const std::vector<float> values = soundLevels(recent, fft, stretch);
    constexpr std::size_t kBytes = 2 * kLevelBands * sizeof(float);
    bytes->data.resize(std::max(bytes->data.size(), kBytes));
    for (std::size_t i = 0; i < values.size(); ++i) {
        auto word = std::bit_cast<std::uint32_t>(values[i]);
        for (std::size_t b = 0; b < 4; ++b) {
            const std::size_t shift = bytes->littleEndian ? 8 * b : 8 * (3 - b);
            bytes->data[4 * i + b] = static_cast<std::uint8_t>(word >> shift);
        }
    }
    bytes->position = 0;
    return Value();
}

} // namespace

std::size_t levelFrames(bool fft, int stretchFactor) {
    const auto step = static_cast<std::size_t>(clampedStretch(stretchFactor) + 1);
    return (fft ? 2 : 1) * kLevelBands * step;
}

std::vector<float> soundLevels(const std::vector<float>& recent, bool fft, int stretchFactor) {
    const auto step = static_cast<std::size_t>(clampedStretch(stretchFactor) + 1);
    std::vector<float> out(2 * kLevelBands, 0.0f);
    for (std::size_t channel = 0; channel < 2; ++channel) {
        float* dest = out.data() + channel * kLevelBands;
        if (fft) {
            bandMagnitudes(channelWindow(recent, channel, 2 * kLevelBands, step), dest);
        } else {
            const std::vector<float> wave = channelWindow(recent, channel, kLevelBands, step);
            std::copy(wave.begin(), wave.end(), dest);
        }
    }
    return out;
}

void installSoundLevels(Machine& m, Class* soundMixer) {
    m.defineMethod(soundMixer, "computeSpectrum", computeLevels, true);
}

} // namespace avm2
