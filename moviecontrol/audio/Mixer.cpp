#include "Mixer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "SincKernel.h"

namespace audio {

struct Mixer::Voice {
    VoiceId id = 0;
    std::uint16_t soundId = 0;
    std::uint64_t group = 0;
    bool isStream = false;
    std::uint64_t streamKey = 0;
    // Event sounds: the decoded sound, the part of it that plays and how often.
    std::shared_ptr<const PcmBuffer> pcm;
    std::size_t begin = 0;
    std::size_t end = 0;
    unsigned loopsLeft = 1;
    bool looped = false; // a pass after the first: the in point follows the out point
    std::vector<EnvelopePoint> envelope;
    std::size_t envelopeCursor = 0;
    // Streams: what arrived and has not been played yet, and how much was played before it.
    std::unique_ptr<StreamSource> source;
    std::vector<std::int16_t> buffer;
    bool sourceEnded = false;
    std::uint64_t consumed = 0;
    // Position in source frames: into pcm for event sounds, into buffer for streams.
    double pos = 0.0;
    std::uint64_t outFrames = 0;
    bool done = false;
};

namespace {

// The two levels of an envelope at `pos44`, straight lines between its points.
std::pair<float, float> envelopeAt(const std::vector<EnvelopePoint>& env, std::uint64_t pos44,
                                   std::size_t& cursor) {
    if (env.empty()) {
        return {1.0f, 1.0f};
    }
    while (cursor + 1 < env.size() && env[cursor + 1].pos44 <= pos44) {
        ++cursor;
    }
    const EnvelopePoint& a = env[cursor];
    if (pos44 <= a.pos44 || cursor + 1 >= env.size()) {
        return {a.left / 32768.0f, a.right / 32768.0f};
    }
    const EnvelopePoint& b = env[cursor + 1];
    const float t = static_cast<float>(pos44 - a.pos44) / static_cast<float>(b.pos44 - a.pos44);
    return {(a.left + (b.left - a.left) * t) / 32768.0f,
            (a.right + (b.right - a.right) * t) / 32768.0f};
}

std::int16_t toSample(float v) {
    return static_cast<std::int16_t>(std::lround(std::clamp(v, -32768.0f, 32767.0f)));
}

} // namespace

Mixer::Mixer(std::uint32_t outputRate) : outputRate_(outputRate == 0 ? 44100 : outputRate) {}

Mixer::~Mixer() = default;

void Mixer::applyInfo(Voice& v, const SoundInfo& info, std::uint32_t sourceRate) {
    const std::size_t frames = v.pcm->frames();
    // In and out points count 44.1 kHz samples whatever the sound's own rate.
    auto toSource = [&](std::uint32_t pos44) {
        return static_cast<std::size_t>(std::uint64_t{pos44} * sourceRate / 44100u);
    };
    v.begin = info.inPoint ? std::min(toSource(*info.inPoint), frames) : 0;
    v.end = info.outPoint ? std::min(toSource(*info.outPoint), frames) : frames;
    v.loopsLeft = std::max<unsigned>(1, info.loops);
    v.envelope = info.envelope;
    v.pos = static_cast<double>(v.begin);
}

VoiceId Mixer::startEvent(std::uint16_t soundId, std::shared_ptr<const PcmBuffer> pcm,
                          const SoundInfo& info, std::uint64_t group) {
    std::lock_guard lock(mutex_);
    if (info.syncStop) {
        std::erase_if(voices_,
                      [&](const auto& v) { return !v->isStream && v->soundId == soundId; });
        return 0;
    }
    if (!pcm || pcm->frames() == 0 || pcm->rate == 0) {
        return 0;
    }
    std::size_t playing = 0;
    for (const auto& v : voices_) {
        if (!v->isStream && !v->done) {
            ++playing;
            if (info.noMultiple && v->soundId == soundId) {
                return 0;
            }
        }
    }
    if (playing >= kMaxEventSounds) {
        return 0;
    }
    auto v = std::make_unique<Voice>();
    v->id = nextId_++;
    v->soundId = soundId;
    v->group = group;
    v->pcm = std::move(pcm);
    applyInfo(*v, info, v->pcm->rate);
    if (v->end <= v->begin) {
        return 0;
    }
    const VoiceId id = v->id;
    voices_.push_back(std::move(v));
    return id;
}

void Mixer::stopSound(std::uint16_t soundId) {
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [&](const auto& v) { return !v->isStream && v->soundId == soundId; });
}

void Mixer::stopVoice(VoiceId voice) {
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [&](const auto& v) { return v->id == voice; });
}

void Mixer::stopAllEvents() {
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [](const auto& v) { return !v->isStream; });
}

void Mixer::stopGroup(std::uint64_t group) {
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [&](const auto& v) { return !v->isStream && v->group == group; });
}

bool Mixer::soundPlaying(std::uint16_t soundId) const {
    std::lock_guard lock(mutex_);
    return std::any_of(voices_.begin(), voices_.end(), [&](const auto& v) {
        return !v->isStream && !v->done && v->soundId == soundId;
    });
}

std::size_t Mixer::eventVoices() const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count_if(
        voices_.begin(), voices_.end(), [](const auto& v) { return !v->isStream && !v->done; }));
}

void Mixer::startStream(std::uint64_t key, std::unique_ptr<StreamSource> source,
                        std::uint64_t group) {
    if (!source) {
        return;
    }
    auto v = std::make_unique<Voice>();
    v->isStream = true;
    v->streamKey = key;
    v->group = group;
    v->source = std::move(source);
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [&](const auto& o) { return o->isStream && o->streamKey == key; });
    v->id = nextId_++;
    voices_.push_back(std::move(v));
}

void Mixer::stopStream(std::uint64_t key) {
    std::lock_guard lock(mutex_);
    std::erase_if(voices_, [&](const auto& v) { return v->isStream && v->streamKey == key; });
}

bool Mixer::streamPlaying(std::uint64_t key) const {
    std::lock_guard lock(mutex_);
    return std::any_of(voices_.begin(), voices_.end(), [&](const auto& v) {
        return v->isStream && !v->done && v->streamKey == key;
    });
}

std::uint64_t Mixer::streamPlayed(std::uint64_t key) const {
    std::lock_guard lock(mutex_);
    for (const auto& v : voices_) {
        if (v->isStream && v->streamKey == key) {
            return v->consumed + static_cast<std::uint64_t>(v->pos);
        }
    }
    return 0;
}

void Mixer::stopAll() {
    std::lock_guard lock(mutex_);
    voices_.clear();
}

void Mixer::setPaused(bool paused) {
    std::lock_guard lock(mutex_);
    paused_ = paused;
}

bool Mixer::paused() const {
    std::lock_guard lock(mutex_);
    return paused_;
}

std::vector<float> Mixer::recentOutput(std::size_t frames) const {
    std::lock_guard lock(mutex_);
    frames = std::min(frames, kRecentFrames);
    std::vector<float> out;
    out.reserve(2 * frames);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::size_t f = (recentNext_ + kRecentFrames - frames + i) % kRecentFrames;
        out.push_back(recent_[2 * f]);
        out.push_back(recent_[2 * f + 1]);
    }
    return out;
}

void Mixer::setMasterVolume(int volume) {
    std::lock_guard lock(mutex_);
    masterVolume_ = std::clamp(volume, 0, 100);
}

int Mixer::masterVolume() const {
    std::lock_guard lock(mutex_);
    return masterVolume_;
}

void Mixer::setMuted(bool muted) {
    std::lock_guard lock(mutex_);
    muted_ = muted;
}

bool Mixer::muted() const {
    std::lock_guard lock(mutex_);
    return muted_;
}

void Mixer::setTransform(std::uint64_t group, const SoundTransform& transform) {
    std::lock_guard lock(mutex_);
    transforms_[group] = transform;
}

SoundTransform Mixer::transform(std::uint64_t group) const {
    std::lock_guard lock(mutex_);
    const auto it = transforms_.find(group);
    return it != transforms_.end() ? it->second : SoundTransform{};
}

void Mixer::setGroupParent(std::uint64_t group, std::uint64_t parent) {
    if (group == 0 || group == parent) {
        return;
    }
    std::lock_guard lock(mutex_);
    parents_[group] = parent;
}

void Mixer::forgetGroup(std::uint64_t group) {
    std::lock_guard lock(mutex_);
    transforms_.erase(group);
    parents_.erase(group);
}

void Mixer::forgetGroups() {
    std::lock_guard lock(mutex_);
    transforms_.clear();
    parents_.clear();
}

SoundTransform Mixer::effectiveTransform(std::uint64_t group) const {
    // The nearest transform set on the way up gives the channels; every volume on the way,
    // the movie's own included, scales the sound. The walk is bounded: a cycle of parents
    // (keys reused by new clips) cannot hold the output thread.
    SoundTransform t;
    bool channelsSet = false;
    float volume = 1.0f;
    for (int step = 0; step < kMaxGroupNesting && group != 0; ++step) {
        if (const auto it = transforms_.find(group); it != transforms_.end()) {
            if (!channelsSet) {
                t = it->second;
                channelsSet = true;
            }
            volume *= it->second.volume;
        }
        const auto up = parents_.find(group);
        group = up != parents_.end() ? up->second : 0;
    }
    if (const auto it = transforms_.find(0); it != transforms_.end()) {
        if (!channelsSet) {
            t = it->second;
        }
        volume *= it->second.volume;
    }
    t.volume = volume;
    return t;
}

std::uint64_t Mixer::voicePositionMs(VoiceId voice) const {
    std::lock_guard lock(mutex_);
    for (const auto& v : voices_) {
        if (v->id == voice) {
            return v->outFrames * 1000u / outputRate_;
        }
    }
    return 0;
}

bool Mixer::voicePlaying(VoiceId voice) const {
    std::lock_guard lock(mutex_);
    return std::any_of(voices_.begin(), voices_.end(),
                       [&](const auto& v) { return v->id == voice && !v->done; });
}

std::vector<VoiceId> Mixer::takeFinished() {
    std::lock_guard lock(mutex_);
    return std::exchange(finished_, {});
}

void Mixer::mixVoice(Voice& v, float* acc, std::size_t frames) {
    const SoundTransform t = effectiveTransform(v.group);
    for (std::size_t i = 0; i < frames; ++i) {
        const std::int16_t* data = nullptr;
        unsigned ch = 1;
        std::ptrdiff_t available = 0;
        double step = 1.0;
        if (v.isStream) {
            // The kernel looks a few samples ahead of the position.
            const std::size_t need = static_cast<std::size_t>(v.pos) + SincKernel::kTaps;
            ch = std::max(1u, v.source->channels());
            while (!v.sourceEnded && v.buffer.size() / ch < need) {
                if (!v.source->pull(v.buffer)) {
                    v.sourceEnded = true;
                }
            }
            available = static_cast<std::ptrdiff_t>(v.buffer.size() / ch);
            if (static_cast<std::ptrdiff_t>(v.pos) >= available) {
                v.done = true;
                return;
            }
            data = v.buffer.data();
            step = static_cast<double>(std::max(1u, v.source->rate())) / outputRate_;
        } else {
            if (v.pos >= static_cast<double>(v.end)) {
                if (v.loopsLeft <= 1) {
                    v.done = true;
                    return;
                }
                --v.loopsLeft;
                v.looped = true;
                v.pos = static_cast<double>(v.begin) + (v.pos - static_cast<double>(v.end));
                if (v.pos >= static_cast<double>(v.end)) {
                    v.pos = static_cast<double>(v.begin);
                }
            }
            ch = v.pcm->channels;
            available = static_cast<std::ptrdiff_t>(v.pcm->frames());
            data = v.pcm->samples.data();
            step = static_cast<double>(v.pcm->rate) / outputRate_;
        }
        const auto idx = static_cast<std::ptrdiff_t>(v.pos);
        const auto frac = static_cast<float>(v.pos - static_cast<double>(idx));
        const unsigned r = ch == 2 ? 1 : 0;
        float left = 0.0f;
        float right = 0.0f;
        if (frac == 0.0f) {
            left = data[idx * ch];
            right = data[idx * ch + r];
        } else {
            const auto& w = SincKernel::weights(frac);
            const auto begin = static_cast<std::ptrdiff_t>(v.begin);
            const auto end = static_cast<std::ptrdiff_t>(v.end);
            for (int k = 0; k < SincKernel::kTaps; ++k) {
                std::ptrdiff_t j = idx + k - SincKernel::kBefore;
                if (!v.isStream) {
                    // A looping sound joins its out point to its in point seamlessly.
                    if (j >= end && v.loopsLeft > 1) {
                        j -= end - begin;
                    } else if (j >= end) {
                        continue;
                    } else if (j < begin && v.looped) {
                        j += end - begin;
                    }
                }
                if (j < 0 || j >= available) {
                    continue;
                }
                left += w[k] * data[j * ch];
                right += w[k] * data[j * ch + r];
            }
        }
        float gainL = t.volume;
        float gainR = t.volume;
        if (!v.envelope.empty()) {
            const auto [el, er] =
                envelopeAt(v.envelope, v.outFrames * 44100u / outputRate_, v.envelopeCursor);
            gainL *= el;
            gainR *= er;
        }
        acc[2 * i] += (left * t.leftToLeft + right * t.rightToLeft) * gainL;
        acc[2 * i + 1] += (right * t.rightToRight + left * t.leftToRight) * gainR;
        v.pos += step;
        ++v.outFrames;
    }
    if (v.isStream) {
        // Played frames leave the buffer, but for the few the kernel still looks back at.
        const unsigned ch = std::max(1u, v.source->channels());
        const auto keep = static_cast<std::size_t>(SincKernel::kBefore);
        const auto played = static_cast<std::size_t>(v.pos);
        const std::size_t drop = std::min(played > keep ? played - keep : 0, v.buffer.size() / ch);
        v.buffer.erase(v.buffer.begin(), v.buffer.begin() + static_cast<std::ptrdiff_t>(drop * ch));
        v.pos -= static_cast<double>(drop);
        v.consumed += drop;
    }
}

void Mixer::mix(std::int16_t* out, std::size_t frames) {
    std::lock_guard lock(mutex_);
    if (paused_) {
        std::fill(out, out + 2 * frames, std::int16_t{0});
        return;
    }
    scratch_.assign(2 * frames, 0.0f);
    for (auto& v : voices_) {
        if (!v->done) {
            mixVoice(*v, scratch_.data(), frames);
        }
    }
    std::erase_if(voices_, [&](const auto& v) {
        if (v->done && !v->isStream) {
            finished_.push_back(v->id);
        }
        return v->done;
    });
    for (std::size_t f = 0; f < frames; ++f) {
        for (std::size_t c = 0; c < 2; ++c) {
            recent_[2 * recentNext_ + c] = std::clamp(scratch_[2 * f + c] / 32768.0f, -1.0f, 1.0f);
        }
        recentNext_ = (recentNext_ + 1) % kRecentFrames;
    }
    // Muted, the voices still advance: they keep their place against the movie's frames.
    const float gain = muted_ ? 0.0f : static_cast<float>(masterVolume_) / 100.0f;
    for (std::size_t i = 0; i < 2 * frames; ++i) {
        out[i] = toSample(scratch_[i] * gain);
    }
}

} // namespace audio
