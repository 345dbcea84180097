#include "MovieAudio.h"

namespace audio {

namespace {

bool timelineHasSound(const swf::Timeline& timeline) {
    for (const swf::Frame& frame : timeline.frames) {
        for (const swf::ControlTag& tag : frame.tags) {
            if (std::holds_alternative<swf::RawControlTag>(tag)) {
                return true; // the only control tags kept raw are the sound tags
            }
        }
    }
    return false;
}

} // namespace

bool movieHasSound(const swf::Movie& movie) {
    if (!movie.soundDefinitions.empty() || timelineHasSound(movie.root) ||
        movie.unreadSprites.sound) {
        return true;
    }
    for (const auto& [id, definition] : movie.dictionary) {
        if (const auto* sprite = std::get_if<swf::Sprite>(&definition);
            sprite != nullptr && timelineHasSound(sprite->timeline)) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<MovieAudio> MovieAudio::forMovie(const swf::Movie& movie, double framesPerSecond) {
    if (!movieHasSound(movie)) {
        return nullptr;
    }
    return std::unique_ptr<MovieAudio>(new MovieAudio(SdlOutput::claim(), movie, framesPerSecond));
}

MovieAudio::MovieAudio(std::unique_ptr<SdlOutput::Claim> claim, const swf::Movie& movie,
                       double framesPerSecond)
    : claim_(std::move(claim)),
      sound_(std::make_unique<MovieSound>(movie, claim_->mixer(), framesPerSecond)) {
    sound_->setPaused(false);
}

void MovieAudio::listen(mc::TimelinePlayer& player) {
    if (player_ != nullptr) {
        player_->setSoundEvents(nullptr);
    }
    player_ = &player;
    player_->setSoundEvents(sound_.get());
}

MovieAudio::~MovieAudio() {
    if (player_ != nullptr) {
        player_->setSoundEvents(nullptr);
    }
    sound_.reset(); // silences the movie before the device may close
}

std::optional<int> MovieAudio::framesDue() const {
    if (!claim_->audible()) {
        return std::nullopt;
    }
    return sound_->framesDue(kMaxCatchUp);
}

} // namespace audio
