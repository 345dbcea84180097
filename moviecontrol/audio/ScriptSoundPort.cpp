#include "ScriptSoundPort.h"

#include <algorithm>
#include <cmath>

#include "DisplayObject.h"

namespace audio {

namespace {

float share(double percent) {
    return static_cast<float>(std::clamp(percent, -1000.0, 1000.0) / 100.0);
}

} // namespace

SoundTransform transformOf(const mc::SoundMix& mix) {
    SoundTransform t;
    t.volume = share(mix.volume);
    t.leftToLeft = share(mix.ll);
    t.leftToRight = share(mix.lr);
    t.rightToRight = share(mix.rr);
    t.rightToLeft = share(mix.rl);
    return t;
}

std::uint64_t groupOf(const mc::DisplayObject* target) {
    // By the object's serial, as the timeline reports its frames: a clip made where a removed
    // one was is a new group.
    return target != nullptr ? target->serial : 0;
}

template <class Map> void ScriptSoundPort::keepWithinBound(Map& map) {
    while (map.size() > kMaxRemembered) {
        const auto oldest =
            std::min_element(map.begin(), map.end(), [](const auto& a, const auto& b) {
                return a.second.order < b.second.order;
            });
        map.erase(oldest);
    }
}

void ScriptSoundPort::bind(SoundScriptHost* host) {
    host_ = host;
    if (host_ == nullptr) {
        return;
    }
    if (globalMix_ != mc::SoundMix{}) {
        host_->setTransform(0, transformOf(globalMix_));
    }
    for (const auto& [serial, m] : mixes_) {
        host_->setTransform(serial, transformOf(m.mix));
    }
}

bool ScriptSoundPort::attachSound(std::uint64_t soundObject, std::string_view symbol) {
    const std::optional<std::uint16_t> id =
        host_ != nullptr ? host_->exportedSound(symbol) : std::nullopt;
    if (!id) {
        return false;
    }
    attached_[soundObject] = Attached{*id, 0, ++order_};
    keepWithinBound(attached_);
    return true;
}

bool ScriptSoundPort::loadSound(std::uint64_t soundObject, std::vector<std::uint8_t> mp3) {
    const std::optional<std::uint16_t> id =
        host_ != nullptr ? host_->loadedSound(std::move(mp3)) : std::nullopt;
    if (!id) {
        return false;
    }
    attached_[soundObject] = Attached{*id, 0, ++order_};
    keepWithinBound(attached_);
    return true;
}

bool ScriptSoundPort::attachMovieSound(std::uint64_t soundObject, const swf::Movie& movie,
                                       std::string_view symbol) {
    const std::optional<std::uint16_t> id =
        host_ != nullptr ? host_->movieSound(movie, symbol) : std::nullopt;
    if (!id) {
        return false;
    }
    attached_[soundObject] = Attached{*id, 0, ++order_};
    keepWithinBound(attached_);
    return true;
}

bool ScriptSoundPort::attachSameSound(std::uint64_t soundObject, std::uint64_t from) {
    const auto it = attached_.find(from);
    if (it == attached_.end()) {
        return false;
    }
    // A sound in use is the last to be forgotten when too many are remembered.
    it->second.order = ++order_;
    const std::uint16_t soundId = it->second.soundId;
    attached_[soundObject] = Attached{soundId, 0, ++order_};
    keepWithinBound(attached_);
    return true;
}

void ScriptSoundPort::start(std::uint64_t soundObject, const mc::DisplayObject* target,
                            double offsetSeconds, int loops) {
    const auto it = attached_.find(soundObject);
    if (host_ == nullptr || it == attached_.end()) {
        return;
    }
    registerParents(target);
    it->second.voice = host_->startSound(it->second.soundId, offsetSeconds, loops, groupOf(target));
}

void ScriptSoundPort::stop(const mc::DisplayObject* target, std::string_view symbol) {
    if (host_ == nullptr) {
        return;
    }
    if (symbol.empty()) {
        host_->stopSounds(groupOf(target), std::nullopt);
    } else if (const auto id = host_->exportedSound(symbol)) {
        host_->stopSounds(groupOf(target), id);
    }
}

void ScriptSoundPort::registerParents(const mc::DisplayObject* target) {
    if (host_ == nullptr) {
        return;
    }
    // Bounded by the display tree's nesting; a removed clip has no parent.
    for (const mc::DisplayObject* o = target; o != nullptr && o->parent != nullptr; o = o->parent) {
        host_->setParentGroup(groupOf(o), groupOf(o->parent));
    }
}

void ScriptSoundPort::setMix(const mc::DisplayObject* target, const mc::SoundMix& mix) {
    if (target == nullptr) {
        globalMix_ = mix;
    } else {
        ClipMix& m = mixes_[target->serial];
        m.mix = mix;
        m.order = ++order_;
        keepWithinBound(mixes_);
    }
    registerParents(target);
    if (host_ != nullptr) {
        host_->setTransform(groupOf(target), transformOf(mix));
    }
}

mc::SoundMix ScriptSoundPort::mix(const mc::DisplayObject* target) const {
    if (target == nullptr) {
        return globalMix_;
    }
    const auto it = mixes_.find(target->serial);
    return it != mixes_.end() ? it->second.mix : mc::SoundMix{};
}

std::optional<double> ScriptSoundPort::durationMs(std::uint64_t soundObject) {
    const auto it = attached_.find(soundObject);
    if (it == attached_.end()) {
        return std::nullopt;
    }
    return host_ != nullptr ? static_cast<double>(host_->durationMs(it->second.soundId)) : 0.0;
}

std::optional<double> ScriptSoundPort::positionMs(std::uint64_t soundObject) const {
    const auto it = attached_.find(soundObject);
    if (it == attached_.end()) {
        return std::nullopt;
    }
    if (host_ == nullptr || it->second.voice == 0) {
        return 0.0;
    }
    return static_cast<double>(host_->positionMs(it->second.voice));
}

bool ScriptSoundPort::playing(std::uint64_t soundObject) const {
    const auto it = attached_.find(soundObject);
    return host_ != nullptr && it != attached_.end() && it->second.voice != 0 &&
           host_->voicePlaying(it->second.voice);
}

std::vector<std::uint64_t> ScriptSoundPort::takeCompleted() {
    std::vector<std::uint64_t> done;
    if (host_ == nullptr) {
        return done;
    }
    const std::vector<VoiceId> ended = host_->takeCompleted();
    for (auto& [object, a] : attached_) {
        if (a.voice != 0 && std::find(ended.begin(), ended.end(), a.voice) != ended.end()) {
            done.push_back(object);
        }
    }
    return done;
}

namespace {

// An object's own mix is a group apart from every clip's (clip groups are small serials).
std::uint64_t ownGroup(std::uint64_t soundObject) {
    return (std::uint64_t{1} << 63) | (soundObject & ((std::uint64_t{1} << 63) - 1));
}

} // namespace

void ScriptSoundPort::startOwn(std::uint64_t soundObject, double offsetSeconds, int loops,
                               const mc::SoundMix& mix) {
    const auto it = attached_.find(soundObject);
    if (host_ == nullptr || it == attached_.end()) {
        return;
    }
    const std::uint64_t group = ownGroup(soundObject);
    host_->setTransform(group, transformOf(mix));
    it->second.voice = host_->startSound(it->second.soundId, offsetSeconds, loops, group);
    if (it->second.voice == 0) {
        host_->forgetGroup(group);
    }
}

void ScriptSoundPort::setOwnMix(std::uint64_t soundObject, const mc::SoundMix& mix) {
    if (host_ != nullptr && attached_.count(soundObject) != 0) {
        host_->setTransform(ownGroup(soundObject), transformOf(mix));
    }
}

void ScriptSoundPort::stopOwn(std::uint64_t soundObject) {
    const auto it = attached_.find(soundObject);
    if (host_ == nullptr || it == attached_.end()) {
        return;
    }
    if (it->second.voice != 0) {
        host_->stopVoice(it->second.voice);
    }
    host_->forgetGroup(ownGroup(soundObject));
    // The object is done with: its voice and group do not outlive it.
    attached_.erase(it);
}

std::vector<float> ScriptSoundPort::recentOutput(std::size_t frames) const {
    return host_ != nullptr ? host_->recentOutput(frames) : std::vector<float>{};
}

void ScriptSoundPort::stopAll() {
    if (host_ != nullptr) {
        host_->stopSounds(0, std::nullopt);
    }
}

} // namespace audio
