#include "TimelinePlayer.h"

#include <algorithm>
#include <type_traits>
#include <utility>

#include "SwfConversions.h"

namespace mc {

TimelinePlayer::TimelinePlayer(const CharacterCatalog& catalog, const swf::Timeline& root,
                               Rgba background, TimelineLimits limits)
    : catalog_(catalog), limits_(limits), background_(background), root_(std::make_shared<Clip>()) {
    root_->timeline = &root;
    if (root_->frameCount() > 0) {
        enterFrame(root_, 0, true, nullptr);
        runPendingActions();
    }
}

void TimelinePlayer::advance() {
    ++tick_;
    tagsThisTick_ = 0;
    advanceClip(root_, true);
    runPendingActions();
    if (sound_ != nullptr) {
        sound_->tickEnded();
    }
}

void TimelinePlayer::rewind() {
    gotoFrame(0, root_->playing);
}

void TimelinePlayer::stepForward() {
    const std::uint32_t n = frameCount();
    if (n == 0) {
        return;
    }
    const std::uint32_t next = root_->frame + 1 < n ? root_->frame + 1 : (loop_ ? 0 : n - 1);
    gotoFrame(next, false);
}

void TimelinePlayer::stepBack() {
    if (root_->frame > 0) {
        gotoFrame(root_->frame - 1, false);
    } else {
        root_->playing = false;
    }
}

void TimelinePlayer::gotoFrame(std::uint32_t frame, bool play) {
    if (frameCount() == 0) {
        return;
    }
    ++tick_;
    tagsThisTick_ = 0;
    gotoClipFrame(root_, frame);
    runPendingActions();
    root_->playing = play;
    if (sound_ != nullptr) {
        sound_->tickEnded();
    }
}

void TimelinePlayer::setSoundEvents(SoundEvents* events) {
    sound_ = events;
    if (sound_ == nullptr) {
        return;
    }
    std::vector<const Clip*> clips{root_.get()};
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const Clip& clip = *clips[i];
        if (clip.timeline != nullptr && clip.frame < clip.frameCount()) {
            sound_->frameEntered(&clip, *clip.timeline, clip.frame);
        }
        for (const auto& [depth, o] : clip.displayList) {
            if (o.clip) {
                clips.push_back(o.clip.get());
            }
        }
    }
}

void TimelinePlayer::enterFrame(const std::shared_ptr<Clip>& clip, std::uint32_t frame,
                                bool queueActions, Pool* reuse) {
    if (frame >= clip->frameCount()) {
        return;
    }
    clip->frame = frame;
    tagsThisTick_ += clip->timeline->frames[frame].tags.size();
    for (const swf::ControlTag& tag : clip->timeline->frames[frame].tags) {
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            applyPlace(clip, *place, frame, reuse);
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            removeAt(*clip, remove->depth);
        } else if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            if (queueActions) {
                pending_.push_back({clip, &action->actions});
            }
        } else if (const auto* bg = std::get_if<swf::SetBackgroundColor>(&tag)) {
            if (clip == root_) {
                background_ = toRgba(bg->color);
                background_.a = 255;
            }
        }
    }
    if (queueActions && sound_ != nullptr) {
        sound_->frameEntered(clip.get(), *clip->timeline, frame);
    }
}

namespace {

void resetPlacement(DisplayObject& o) {
    o.matrix = Transform{};
    o.colorTransform = ColorTransform{};
    o.ratio = 0;
    o.clipDepth = 0;
    o.name.clear();
    o.blendMode = swf::BlendMode::Normal;
    o.filters.clear();
    o.cacheAsBitmap = false;
    o.visible = true;
}

void applyProperties(DisplayObject& o, const swf::PlaceObject& tag) {
    if (tag.matrix) {
        o.matrix = toTransform(*tag.matrix);
    }
    if (tag.colorTransform) {
        o.colorTransform = toColorTransform(*tag.colorTransform);
    }
    if (tag.ratio) {
        o.ratio = *tag.ratio;
    }
    if (tag.name) {
        o.name = *tag.name;
    }
    if (tag.clipDepth) {
        o.clipDepth = *tag.clipDepth;
    }
    if (tag.blendMode) {
        o.blendMode = *tag.blendMode;
    }
    if (tag.filters) {
        o.filters = *tag.filters;
    }
    if (tag.cacheAsBitmap) {
        o.cacheAsBitmap = *tag.cacheAsBitmap;
    }
    if (tag.visible) {
        o.visible = *tag.visible;
    }
}

} // namespace

void TimelinePlayer::applyPlace(const std::shared_ptr<Clip>& clip, const swf::PlaceObject& tag,
                                std::uint32_t frame, Pool* reuse) {
    auto it = clip->displayList.find(tag.depth);
    if (tag.move && it != clip->displayList.end()) {
        DisplayObject& o = it->second;
        if (tag.characterId && *tag.characterId != o.characterId) {
            // Replace: a new character at the depth keeps the placement of the old one.
            const CharacterKind kind = catalog_.kind(*tag.characterId);
            if (kind != CharacterKind::None) {
                DisplayObject fresh = o;
                fresh.clip.reset();
                releaseObject(o);
                o = std::move(fresh);
                o.kind = CharacterKind::None;
                if (!instantiate(*clip, o, *tag.characterId)) {
                    clip->displayList.erase(it);
                    return;
                }
            }
        }
        applyProperties(o, tag);
        return;
    }
    if (!tag.characterId) {
        return; // a move of nothing
    }
    if (it != clip->displayList.end()) {
        releaseObject(it->second);
        clip->displayList.erase(it);
    }
    if (reuse != nullptr) {
        auto old = reuse->find(tag.depth);
        if (old != reuse->end() && old->second.characterId == *tag.characterId &&
            old->second.placedFrame == frame) {
            DisplayObject kept = std::move(old->second);
            reuse->erase(old);
            resetPlacement(kept);
            applyProperties(kept, tag);
            clip->displayList.emplace(tag.depth, std::move(kept));
            return;
        }
    }
    DisplayObject o;
    o.depth = tag.depth;
    o.placedFrame = frame;
    applyProperties(o, tag);
    if (instantiate(*clip, o, *tag.characterId)) {
        clip->displayList.emplace(tag.depth, std::move(o));
    }
}

bool TimelinePlayer::instantiate(Clip& parent, DisplayObject& object, std::uint16_t characterId) {
    const CharacterKind kind = catalog_.kind(characterId);
    if (kind == CharacterKind::None || liveObjects_ >= limits_.maxObjects) {
        return false;
    }
    object.characterId = characterId;
    object.kind = kind;
    object.clip.reset();
    ++liveObjects_;
    if (kind == CharacterKind::Sprite) {
        const swf::Timeline* timeline = catalog_.spriteTimeline(characterId);
        if (timeline != nullptr && parent.nesting + 1 <= limits_.maxNesting) {
            auto clip = std::make_shared<Clip>();
            clip->timeline = timeline;
            clip->nesting = parent.nesting + 1;
            clip->createdTick = tick_;
            object.clip = clip;
            enterFrame(clip, 0, true, nullptr);
        }
    }
    return true;
}

void TimelinePlayer::releaseObject(DisplayObject& object) {
    if (object.kind == CharacterKind::None) {
        return;
    }
    if (object.clip) {
        if (sound_ != nullptr) {
            sound_->clipRemoved(object.clip.get());
        }
        for (auto& [depth, child] : object.clip->displayList) {
            releaseObject(child);
        }
        object.clip->displayList.clear();
        object.clip.reset();
    }
    object.kind = CharacterKind::None;
    if (liveObjects_ > 0) {
        --liveObjects_;
    }
}

void TimelinePlayer::removeAt(Clip& clip, std::uint16_t depth) {
    auto it = clip.displayList.find(depth);
    if (it != clip.displayList.end()) {
        releaseObject(it->second);
        clip.displayList.erase(it);
    }
}

void TimelinePlayer::advanceClip(const std::shared_ptr<Clip>& clip, bool isRoot) {
    const std::uint32_t n = clip->frameCount();
    if (clip->playing && n > 0) {
        if (clip->frame + 1 < n) {
            enterFrame(clip, clip->frame + 1, true, nullptr);
        } else if (isRoot && !loop_) {
            clip->playing = false;
        } else if (n > 1) {
            gotoClipFrame(clip, 0);
        }
    }
    advanceChildren(*clip);
}

void TimelinePlayer::advanceChildren(Clip& clip) {
    // Children are collected first: advancing one never changes its parent's list, but the
    // copy keeps that true even if it someday does.
    std::vector<std::shared_ptr<Clip>> children;
    for (auto& [depth, o] : clip.displayList) {
        if (o.clip && o.clip->createdTick < tick_) {
            children.push_back(o.clip);
        }
    }
    for (const auto& child : children) {
        advanceClip(child, false);
    }
}

void TimelinePlayer::gotoClipFrame(const std::shared_ptr<Clip>& clip, std::uint32_t frame) {
    const std::uint32_t n = clip->frameCount();
    if (n == 0) {
        return;
    }
    frame = std::min(frame, n - 1);
    if (frame == clip->frame) {
        return;
    }
    if (frame > clip->frame) {
        for (std::uint32_t f = clip->frame + 1; f <= frame; ++f) {
            enterFrame(clip, f, f == frame, nullptr);
        }
        return;
    }
    Pool old = std::move(clip->displayList);
    clip->displayList.clear();
    for (std::uint32_t f = 0; f <= frame; ++f) {
        enterFrame(clip, f, f == frame, &old);
    }
    for (auto& [depth, o] : old) {
        releaseObject(o);
    }
}

std::int64_t TimelinePlayer::frameOfLabel(const Clip& clip, const std::string& label) const {
    if (clip.timeline == nullptr) {
        return -1;
    }
    auto [it, inserted] = labels_.try_emplace(clip.timeline);
    if (inserted) {
        const auto& frames = clip.timeline->frames;
        for (std::uint32_t f = 0; f < frames.size(); ++f) {
            for (const swf::ControlTag& tag : frames[f].tags) {
                if (const auto* l = std::get_if<swf::FrameLabel>(&tag)) {
                    std::string key = l->label;
                    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
                        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
                    });
                    it->second.try_emplace(key, f);
                }
            }
        }
    }
    std::string key = label;
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    auto found = it->second.find(key);
    return found == it->second.end() ? -1 : static_cast<std::int64_t>(found->second);
}

} // namespace mc
