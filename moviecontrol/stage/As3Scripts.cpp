#include "As3Scripts.h"

#include <algorithm>

namespace mc {

As3Scripts::As3Scripts(const swf::Movie& movie, StageCallbacks callbacks)
    : movie_(movie), callbacks_(std::move(callbacks)), tags_(swf::findAbcTags(movie)),
      vm_(std::make_unique<avm2::Machine>(static_cast<avm2::Host&>(*this))) {}

As3Scripts::~As3Scripts() = default;

void As3Scripts::attach(TimelinePlayer& player) {
    player_ = &player;
}

void As3Scripts::beginTick() {
    vm_->beginFrame();
}

void As3Scripts::endTick() {
    if (player_ == nullptr) {
        return;
    }
    runTagsUpTo(player_->currentFrame());
    // A frame script runs when its frame is entered; one that moves the playhead has the
    // new frame's script run before the tick ends.
    for (int hops = 0; hops < 16 && player_->currentFrame() != scriptedFrame_; ++hops) {
        scriptedFrame_ = player_->currentFrame();
        try {
            vm_->runFrameScript(scriptedFrame_);
        } catch (const avm2::ScriptAbort&) {
            break;
        }
    }
}

std::uint32_t As3Scripts::rootFrame() {
    return player_ != nullptr ? player_->currentFrame() : 0;
}

std::uint32_t As3Scripts::rootFrameCount() {
    return player_ != nullptr ? std::max<std::uint32_t>(player_->frameCount(), 1) : 1;
}

void As3Scripts::rootGoto(std::uint32_t frame, bool play) {
    if (player_ != nullptr) {
        player_->gotoFrame(frame, play);
    }
}

void As3Scripts::rootSetPlaying(bool playing) {
    if (player_ != nullptr) {
        player_->setPlaying(playing);
    }
}

void As3Scripts::runTagsUpTo(std::uint32_t frame) {
    while (nextTag_ < tags_.size() && tags_[nextTag_].frame <= frame) {
        const swf::AbcTag& tag = tags_[nextTag_++];
        try {
            if (tag.kind == swf::AbcTag::Kind::DoAbc) {
                vm_->loadAbc(tag.abc, tag.lazy);
                continue;
            }
            // Id 0 names the document class; some tools give it an id no character has.
            const std::string* document = nullptr;
            for (const auto& [id, name] : tag.symbols) {
                if (id == 0 || (document == nullptr && vm_->document() == nullptr &&
                                movie_.find(id) == nullptr)) {
                    document = &name;
                } else {
                    vm_->defineSymbolClass(name);
                }
            }
            if (document != nullptr && vm_->document() == nullptr) {
                vm_->constructDocument(*document);
            }
        } catch (const avm2::ScriptAbort&) {
            // The budget ran out: this frame's scripts stop; the movie plays on.
        }
    }
}

void As3Scripts::trace(std::string_view line) {
    if (callbacks_.trace) {
        callbacks_.trace(line);
    }
}

double As3Scripts::clockMs() {
    return callbacks_.clockMs ? callbacks_.clockMs() : 0.0;
}

void As3Scripts::limitHit(std::string_view what) {
    if (!limitReported_ && callbacks_.logLimit) {
        limitReported_ = true;
        callbacks_.logLimit(std::string("ActionScript 3 script stopped: ") + std::string(what));
    }
}

} // namespace mc
