// The ActionScript 3 sound classes on the stage's sound port: a sound is the library sound
// its class is bound to or the MP3 file it loaded, each channel a port object of its own that plays
// one voice.
#include "As3Scripts.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

// flash.media.SoundTransform's volume (0..1) and pan (-1 left .. 1 right) as a script mix:
// panning to one side turns the other down.
SoundMix mixOf(double volume, double pan) {
    const double v = std::isfinite(volume) ? std::clamp(volume, 0.0, 10.0) : 1.0;
    const double p = std::isfinite(pan) ? std::clamp(pan, -1.0, 1.0) : 0.0;
    SoundMix mix;
    mix.volume = v * 100.0;
    mix.ll = p > 0 ? (1.0 - p) * 100.0 : 100.0;
    mix.rr = p < 0 ? (1.0 + p) * 100.0 : 100.0;
    mix.lr = 0.0;
    mix.rl = 0.0;
    return mix;
}

} // namespace

bool As3Scripts::attachClassSound(std::uint64_t sound, std::string_view className) {
    return callbacks_.sound != nullptr && callbacks_.sound->attachSound(sound, className);
}

bool As3Scripts::attachLoadedSound(std::uint64_t sound, std::vector<std::uint8_t> mp3) {
    return callbacks_.sound != nullptr && callbacks_.sound->loadSound(sound, std::move(mp3));
}

bool As3Scripts::playChannel(std::uint64_t sound, std::uint64_t channel, double startMs, int loops,
                             double volume, double pan) {
    if (callbacks_.sound == nullptr || !callbacks_.sound->attachSameSound(channel, sound)) {
        return false;
    }
    callbacks_.sound->startOwn(channel, startMs / 1000.0, loops, mixOf(volume, pan));
    // A voice the mixer refused (too many at once, a start past the end) is no channel: the
    // script's channel stays silent and nothing waits for its end.
    if (!callbacks_.sound->playing(channel)) {
        callbacks_.sound->stopOwn(channel);
        return false;
    }
    return true;
}

void As3Scripts::stopChannel(std::uint64_t channel) {
    if (callbacks_.sound != nullptr) {
        callbacks_.sound->stopOwn(channel);
    }
}

void As3Scripts::setChannelTransform(std::uint64_t channel, double volume, double pan) {
    if (callbacks_.sound != nullptr) {
        callbacks_.sound->setOwnMix(channel, mixOf(volume, pan));
    }
}

std::optional<double> As3Scripts::channelPositionMs(std::uint64_t channel) {
    return callbacks_.sound != nullptr ? callbacks_.sound->positionMs(channel) : std::nullopt;
}

std::optional<double> As3Scripts::soundLengthMs(std::uint64_t sound) {
    return callbacks_.sound != nullptr ? callbacks_.sound->durationMs(sound) : std::nullopt;
}

std::vector<std::uint64_t> As3Scripts::finishedChannels() {
    return callbacks_.sound != nullptr ? callbacks_.sound->takeCompleted()
                                       : std::vector<std::uint64_t>{};
}

void As3Scripts::stopAllSounds() {
    if (callbacks_.sound != nullptr) {
        callbacks_.sound->stopAll();
    }
}

void As3Scripts::setDisplayTransform(std::uint64_t node, double volume, double pan) {
    if (const DisplayObject* object = tree_->find(node); callbacks_.sound != nullptr && object) {
        callbacks_.sound->setMix(object, mixOf(volume, pan));
    }
}

std::vector<float> As3Scripts::recentOutput(std::size_t frames) {
    return callbacks_.sound != nullptr ? callbacks_.sound->recentOutput(frames)
                                       : std::vector<float>{};
}

void As3Scripts::setMixerTransform(double volume, double pan) {
    if (callbacks_.sound != nullptr) {
        callbacks_.sound->setMix(nullptr, mixOf(volume, pan));
    }
}

} // namespace mc
