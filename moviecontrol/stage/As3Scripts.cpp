#include "As3Scripts.h"

namespace mc {

As3Scripts::As3Scripts(const swf::Movie& movie, StageCallbacks callbacks)
    : callbacks_(std::move(callbacks)), tags_(swf::findAbcTags(movie)),
      vm_(std::make_unique<avm2::Machine>(static_cast<avm2::Host&>(*this))) {}

As3Scripts::~As3Scripts() = default;

void As3Scripts::attach(TimelinePlayer& player) {
    player_ = &player;
}

void As3Scripts::beginTick() {
    vm_->beginFrame();
}

void As3Scripts::endTick() {
    runTagsUpTo(player_ != nullptr ? player_->currentFrame() : 0);
}

void As3Scripts::runTagsUpTo(std::uint32_t frame) {
    while (nextTag_ < tags_.size() && tags_[nextTag_].frame <= frame) {
        const swf::AbcTag& tag = tags_[nextTag_++];
        try {
            if (tag.kind == swf::AbcTag::Kind::DoAbc) {
                vm_->loadAbc(tag.abc, tag.lazy);
                continue;
            }
            for (const auto& [id, name] : tag.symbols) {
                if (id == 0) {
                    vm_->constructDocument(name);
                }
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
