#include "MovieSound.h"

#include <algorithm>
#include <cmath>

#include "AudioLog.h"
#include "StreamClock.h"
#include "StreamFeed.h"
#include "swf/TagCodes.h"

namespace audio {

MovieSound::MovieSound(const swf::Movie& movie, Mixer& mixer, double framesPerSecond)
    : library_(movie), mixer_(mixer),
      framesPerSecond_(framesPerSecond > 0.0 ? framesPerSecond : 12.0) {}

MovieSound::~MovieSound() {
    mixer_.stopAll();
    mixer_.forgetGroups();
}

void MovieSound::frameEntered(std::uint64_t clip, std::uint64_t parent,
                              const swf::Timeline& timeline, std::uint32_t frame) {
    if (frame >= timeline.frames.size()) {
        return;
    }
    if (parent != 0) {
        mixer_.setGroupParent(clip, parent);
    }
    for (const swf::ControlTag& tag : timeline.frames[frame].tags) {
        if (const auto* raw = std::get_if<swf::RawControlTag>(&tag)) {
            startFromTag(raw->code, raw->body, clip);
        }
    }
    updateStream(clip, timeline, frame);
}

void MovieSound::startFromTag(std::uint16_t code, Bytes body, std::uint64_t group) {
    std::optional<StartSoundTag> start;
    if (code == swf::tag::StartSound) {
        start = readStartSound(body);
    } else if (code == swf::tag::StartSound2) {
        start = readStartSound2(body);
        if (start) {
            start->soundId = library_.exported(start->className).value_or(0);
        }
    }
    if (!start || library_.definition(start->soundId) == nullptr) {
        return;
    }
    if (start->info.syncStop) {
        mixer_.stopSound(start->soundId);
        return;
    }
    mixer_.startEvent(start->soundId, library_.decoded(start->soundId), start->info, group);
}

const std::optional<StreamHead>& MovieSound::headOf(const swf::Timeline& timeline) {
    auto it = heads_.find(&timeline);
    if (it == heads_.end()) {
        it = heads_.emplace(&timeline, findStreamHead(timeline)).first;
    }
    return it->second;
}

void MovieSound::updateStream(std::uint64_t clip, const swf::Timeline& timeline,
                              std::uint32_t frame) {
    const std::optional<StreamHead>& head = headOf(timeline);
    if (!head) {
        return;
    }
    Stream& s = streams_[clip];
    s.entered = true;
    if (s.active && frame == s.expected && mixer_.streamPlaying(clip)) {
        ++s.expected;
        return;
    }
    // A jump (or a first start): the stream goes on from the frame entered, if it holds a
    // block; a frame without one is silent.
    if (!streamBlockOf(timeline.frames[frame])) {
        if (s.active) {
            mixer_.stopStream(clip);
            s.active = false;
        }
        return;
    }
    if (!codecSupported(head->stream)) {
        logOnce(std::string("streamed sound in the ") + codecName(head->stream) +
                " format cannot be played; it stays silent");
        return;
    }
    mixer_.startStream(clip, std::make_unique<StreamFeed>(timeline, *head, frame, framesPerSecond_),
                       clip);
    s.active = true;
    s.expected = frame + 1;
    s.firstFrame = frame;
    s.samplesPerFrame = head->stream.rate / framesPerSecond_;
    if (lead_ == 0) {
        lead_ = clip;
    }
}

void MovieSound::clipRemoved(std::uint64_t clip) {
    // Serials never come back, so a clip made later starts with the default transform;
    // forgetting the group keeps the mixer's tables as small as the display tree.
    mixer_.forgetGroup(clip);
    const auto it = streams_.find(clip);
    if (it == streams_.end()) {
        return;
    }
    mixer_.stopStream(clip);
    streams_.erase(it);
    if (lead_ == clip) {
        lead_ = 0;
        chooseLead();
    }
}

void MovieSound::tickEnded() {
    for (auto& [clip, s] : streams_) {
        // A clip that entered no frame this tick has stopped: its stream stops with it.
        if (s.active && (!s.entered || !mixer_.streamPlaying(clip))) {
            mixer_.stopStream(clip);
            s.active = false;
        }
        s.entered = false;
    }
    chooseLead();
}

void MovieSound::chooseLead() {
    const auto lead = streams_.find(lead_);
    if (lead != streams_.end() && lead->second.active) {
        return;
    }
    lead_ = 0;
    for (const auto& [clip, s] : streams_) {
        if (s.active) {
            lead_ = clip;
            return;
        }
    }
}

std::optional<int> MovieSound::framesDue(int maxCatchUp) const {
    const auto it = streams_.find(lead_);
    if (it == streams_.end() || !it->second.active || mixer_.paused() ||
        !mixer_.streamPlaying(lead_)) {
        return std::nullopt;
    }
    const Stream& s = it->second;
    // The frames the clip has run since the stream's first one: each is due one frame's
    // worth of the stream's samples after the one before.
    return streamFramesDue(mixer_.streamPlayed(lead_), s.samplesPerFrame,
                           s.expected - 1 - s.firstFrame, maxCatchUp);
}

bool MovieSound::streaming() const {
    return lead_ != 0;
}

void MovieSound::stopAll() {
    mixer_.stopAll();
    for (auto& [clip, s] : streams_) {
        s.active = false;
    }
    lead_ = 0;
}

void MovieSound::setPaused(bool paused) {
    mixer_.setPaused(paused);
}

void MovieSound::buttonTransition(std::uint16_t buttonId, ButtonTransition transition) {
    const ButtonSounds* sounds = library_.buttonSounds(buttonId);
    if (sounds == nullptr || !sounds->transitions[transition]) {
        return;
    }
    const StartSoundTag& start = *sounds->transitions[transition];
    if (start.info.syncStop) {
        mixer_.stopSound(start.soundId);
        return;
    }
    mixer_.startEvent(start.soundId, library_.decoded(start.soundId), start.info);
}

std::optional<std::uint16_t> MovieSound::exportedSound(std::string_view linkageName) const {
    return library_.exported(linkageName);
}

std::optional<std::uint16_t> MovieSound::loadedSound(std::vector<std::uint8_t> mp3) {
    return library_.addLoadedMp3(std::move(mp3));
}

std::optional<std::uint16_t> MovieSound::movieSound(const swf::Movie& movie,
                                                    std::string_view linkageName) {
    return library_.addMovieSound(movie, linkageName);
}

VoiceId MovieSound::startSound(std::uint16_t soundId, double secondOffset, int loops,
                               std::uint64_t target) {
    SoundInfo info;
    if (std::isfinite(secondOffset) && secondOffset > 0.0) {
        info.inPoint = static_cast<std::uint32_t>(std::min(secondOffset * 44100.0, 4.0e9));
    }
    info.loops = static_cast<std::uint16_t>(std::clamp(loops, 1, 65535));
    return mixer_.startEvent(soundId, library_.decoded(soundId), info, target);
}

void MovieSound::stopSounds(std::uint64_t target, std::optional<std::uint16_t> soundId) {
    if (soundId) {
        mixer_.stopSound(*soundId);
    } else if (target == 0) {
        mixer_.stopAllEvents();
    } else {
        mixer_.stopGroup(target);
    }
}

std::vector<float> MovieSound::recentOutput(std::size_t frames) const {
    return mixer_.recentOutput(frames);
}

void MovieSound::setTransform(std::uint64_t target, const SoundTransform& transform) {
    mixer_.setTransform(target, transform);
}

SoundTransform MovieSound::transform(std::uint64_t target) const {
    return mixer_.transform(target);
}

void MovieSound::setParentGroup(std::uint64_t group, std::uint64_t parent) {
    mixer_.setGroupParent(group, parent);
}

std::uint64_t MovieSound::positionMs(VoiceId voice) const {
    return mixer_.voicePositionMs(voice);
}

bool MovieSound::voicePlaying(VoiceId voice) const {
    return mixer_.voicePlaying(voice);
}

std::uint64_t MovieSound::durationMs(std::uint16_t soundId) {
    const std::shared_ptr<const PcmBuffer> pcm = library_.decoded(soundId);
    return pcm && pcm->rate > 0 ? pcm->frames() * 1000u / pcm->rate : 0;
}

void MovieSound::stopVoice(VoiceId voice) {
    mixer_.stopVoice(voice);
}

void MovieSound::forgetGroup(std::uint64_t group) {
    mixer_.forgetGroup(group);
}

std::vector<VoiceId> MovieSound::takeCompleted() {
    return mixer_.takeFinished();
}

} // namespace audio
