// Movies scripts load into clips and levels.
#include "Drawing.h"
#include "TimelinePlayer.h"

namespace mc {

bool TimelinePlayer::replaceContent(DisplayObject& clip, std::uint16_t library) {
    const swf::Movie* movie = library_.movie(library);
    // A movie that loads itself into its own clips, however deep, stops at the nesting limit.
    if (!clip.clip || clip.removed || movie == nullptr || clip.kind != CharacterKind::Sprite ||
        clip.clip->nesting >= limits_.maxNesting) {
        return false;
    }
    unloadClip(clip);
    if (clip.removed) {
        return false;
    }
    clip.library = library;
    Clip& content = *clip.clip;
    content.emptied = false;
    content.timeline = &movie->root;
    content.frame = 0;
    content.playing = true;
    // Like a clip just placed, it moves on from the next tick.
    content.createdTick = tick_;
    runner_.contentReplaced(clip);
    clip.loaded = true;
    dispatchEvent(clip, clip_event::Load, "onLoad");
    queueImportedInitActions(library);
    if (!clip.removed && content.frameCount() > 0) {
        enterFrame(clip, 0, true, nullptr);
    }
    return true;
}

DisplayObject* TimelinePlayer::level(int n) const {
    if (n == 0) {
        return rootObject_.get();
    }
    const auto it = levelObjects_.find(n);
    return it != levelObjects_.end() ? it->second.get() : nullptr;
}

DisplayObject* TimelinePlayer::makeLevel(int n) {
    if (DisplayObject* existing = level(n)) {
        return existing;
    }
    if (n < 0 || n > MovieLevels::kMaxLevel || levelObjects_.size() >= MovieLevels::kMaxLevels ||
        liveObjects_ >= limits_.maxObjects) {
        return nullptr;
    }
    auto o = makeObject();
    ++liveObjects_;
    o->kind = CharacterKind::Sprite;
    o->level = n;
    o->loadedLevel = n;
    // A level sits at its number's depth: _level5 answers getDepth() with -16379.
    o->depth = kTimelineDepthBase + n;
    o->loaded = true;
    auto clip = std::make_shared<Clip>();
    clip->createdTick = tick_;
    o->clip = clip;
    executionList_.push_back(o);
    levelObjects_.emplace(n, o);
    runner_.prepareObject(*o);
    return o.get();
}

void TimelinePlayer::unloadLevel(int n) {
    if (n == 0) {
        unloadClip(*rootObject_);
        return;
    }
    const auto it = levelObjects_.find(n);
    if (it == levelObjects_.end()) {
        return;
    }
    const auto object = it->second;
    levelObjects_.erase(it);
    releaseObject(*object, true);
}

bool TimelinePlayer::swapLevel(DisplayObject& level, std::int32_t depth) {
    const std::int64_t to = std::int64_t{depth} - kTimelineDepthBase;
    const int from = level.level;
    // A level swapDepths moved to a depth of 0 or more (past _level16383) stays there.
    if (level.parent != nullptr || level.removed || from == 0 || level.depth >= 0 || to <= 0 ||
        to > MovieLevels::kMaxLevel || to == from) {
        return false;
    }
    auto self = levelObjects_.extract(from);
    if (self.empty() || self.mapped().get() != &level) {
        if (!self.empty()) {
            levelObjects_.insert(std::move(self));
        }
        return false;
    }
    const int n = static_cast<int>(to);
    if (auto other = levelObjects_.extract(n); !other.empty()) {
        other.key() = from;
        other.mapped()->level = from;
        other.mapped()->depth = kTimelineDepthBase + from;
        levelObjects_.insert(std::move(other));
    }
    self.key() = n;
    level.level = n;
    level.depth = depth;
    levelObjects_.insert(std::move(self));
    return true;
}

std::vector<DisplayObject*> TimelinePlayer::upperLevels() const {
    std::vector<DisplayObject*> levels;
    levels.reserve(levelObjects_.size());
    for (const auto& [n, o] : levelObjects_) {
        levels.push_back(o.get());
    }
    return levels;
}

} // namespace mc
