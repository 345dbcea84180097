#include "TimelinePlayer.h"

#include "NoScripts.h"

#include <algorithm>
#include <limits>
#include <type_traits>
#include <utility>

#include "SwfConversions.h"

namespace mc {

namespace {

// The runner of a timeline made without one: stateless, so one serves them all.
ScriptRunner& noScripts() {
    static NoScripts none;
    return none;
}

// Frees `depth` by moving what holds it, and the run of objects right below, one depth
// down; false when no depth below is free.
bool stepAside(DisplayList& list, std::int32_t depth) {
    std::int32_t free = depth;
    while (list.contains(free)) {
        if (free == std::numeric_limits<std::int32_t>::min()) {
            return false;
        }
        --free;
    }
    for (std::int64_t d = std::int64_t{free} + 1; d <= depth; ++d) {
        auto node = list.extract(static_cast<std::int32_t>(d));
        node.key() = static_cast<std::int32_t>(d - 1);
        node.mapped()->depth = node.key();
        list.insert(std::move(node));
    }
    return true;
}

bool heldByScript(const Clip& clip, std::int32_t depth) {
    auto it = atDepth(clip.displayList, depth);
    return it != clip.displayList.end() && it->second->dynamic;
}

} // namespace

TimelinePlayer::TimelinePlayer(const CharacterCatalog& catalog, const swf::Timeline& root,
                               Rgba background, TimelineLimits limits, ScriptRunner* runner,
                               const swf::Movie* rootMovie)
    : library_(catalog, rootMovie), limits_(limits), geometry_(library_, limits_.maxObjects),
      background_(background), runner_(runner != nullptr ? *runner : noScripts()),
      root_(std::make_shared<Clip>()) {
    runner_.attach(*this);
    rootObject_ = makeObject();
    rootObject_->kind = CharacterKind::Sprite;
    rootObject_->clip = root_;
    rootObject_->loaded = true;
    rootObject_->depth = kTimelineDepthBase;
    root_->timeline = &root;
    executionList_.push_back(rootObject_);
    runner_.prepareObject(*rootObject_);
    beginScripts();
    queueImportedInitActions(0);
    if (root_->frameCount() > 0) {
        enterFrame(*rootObject_, 0, true, nullptr);
    }
    runPendingActions();
    endScripts();
}

void TimelinePlayer::beginScripts() {
    runner_.beginTick();
}

void TimelinePlayer::endScripts() {
    runner_.endTick();
    if (sound_ != nullptr) {
        sound_->tickEnded();
    }
}

void TimelinePlayer::setSoundEvents(SoundEvents* events) {
    sound_ = events;
    if (sound_ == nullptr) {
        return;
    }
    // Each clip's object with the serial of the one that holds it.
    std::vector<std::pair<const DisplayObject*, std::uint64_t>> clips{{rootObject_.get(), 0}};
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const DisplayObject& object = *clips[i].first;
        const Clip& clip = *object.clip;
        if (clip.timeline != nullptr && clip.frame < clip.frameCount()) {
            sound_->frameEntered(object.serial, clips[i].second, *clip.timeline, clip.frame);
        }
        for (const auto& [depth, o] : clip.displayList) {
            if (o->clip) {
                clips.emplace_back(o.get(), object.serial);
            }
        }
    }
}

namespace {

std::uint64_t parentSerialOf(const DisplayObject& object) {
    return object.parent != nullptr ? object.parent->serial : 0;
}

} // namespace

std::shared_ptr<DisplayObject> TimelinePlayer::makeObject() {
    auto object = std::make_shared<DisplayObject>();
    object->serial = nextSerial_++;
    objects_.emplace(object->serial, object);
    return object;
}

std::shared_ptr<DisplayObject> TimelinePlayer::bySerial(std::uint64_t serial) const {
    const auto it = objects_.find(serial);
    if (it == objects_.end()) {
        return nullptr;
    }
    auto object = it->second.lock();
    return object && !object->removed ? object : nullptr;
}

void TimelinePlayer::advance() {
    ++tick_;
    tagsThisTick_ = 0;
    scriptsThisTick_ = 0;
    beginScripts();
    finishUnloading();
    // Forget the clips that left; the rest keep their creation order.
    std::erase_if(executionList_, [](const std::weak_ptr<DisplayObject>& w) {
        const auto o = w.lock();
        return !o || o->removed;
    });
    for (auto it = objects_.begin(); it != objects_.end();) {
        it = it->second.expired() ? objects_.erase(it) : std::next(it);
    }
    const std::size_t count = executionList_.size();
    for (std::size_t i = count; i-- > 0;) {
        const auto object = executionList_[i].lock();
        if (!object || object->removed || !object->clip || object->clip->createdTick >= tick_) {
            continue;
        }
        advanceClip(*object, object == rootObject_);
    }
    if (!arrivalsTaken_) {
        runner_.takeArrivals();
    }
    arrivalsTaken_ = false;
    runPendingActions();
    endScripts();
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
    scriptsThisTick_ = 0;
    beginScripts();
    gotoFrameOf(*rootObject_, frame);
    runPendingActions();
    root_->playing = play;
    endScripts();
}

void TimelinePlayer::queueImportedInitActions(std::uint16_t library) {
    // The movies a movie imports from are read whole before it plays: their init actions
    // run first, once each, those of a movie's own imports before its own.
    std::vector<std::uint16_t> order;
    std::vector<std::pair<std::uint16_t, std::size_t>> path{{library, 0}};
    std::set<std::uint16_t> seen{library};
    while (!path.empty()) {
        auto& [at, next] = path.back();
        const std::vector<std::uint16_t> from = library_.exportersOf(at);
        if (next < from.size() && path.size() <= kMaxImportNesting) {
            const std::uint16_t exporter = from[next++];
            if (seen.insert(exporter).second) {
                path.emplace_back(exporter, 0);
            }
            continue;
        }
        if (at != library) {
            order.push_back(at);
        }
        path.pop_back();
    }
    for (const std::uint16_t exporter : order) {
        const swf::Movie* movie = library_.movie(exporter);
        if (movie == nullptr) {
            continue;
        }
        for (const swf::Frame& frame : movie->root.frames) {
            for (const swf::ControlTag& tag : frame.tags) {
                if (const auto* init = std::get_if<swf::DoInitAction>(&tag);
                    init != nullptr &&
                    initActionsRun_.insert(std::uint32_t{exporter} << 16 | init->spriteId).second) {
                    queue({rootObject_, QueuedKind::Actions, &init->actions, nullptr}, true);
                }
            }
        }
    }
}

std::shared_ptr<DisplayObject> TimelinePlayer::movieRootOf(const DisplayObject& object) {
    const DisplayObject* root = &object;
    int guard = 0;
    while (root->parent != nullptr && root->parent->library == root->library && guard++ < 4096) {
        root = root->parent;
    }
    auto shared = sharedOf(*root);
    return shared ? shared : rootObject_;
}

void TimelinePlayer::enterFrame(DisplayObject& object, std::uint32_t frame, bool queueActions,
                                Pool* reuse) {
    Clip& clip = *object.clip;
    if (frame >= clip.frameCount()) {
        return;
    }
    clip.frame = frame;
    tagsThisTick_ += clip.timeline->frames[frame].tags.size();
    // A frame's init actions run before anything the frame places is constructed, on the
    // root of the movie that holds them: a loaded movie's own, in the clip or level it
    // was loaded into.
    for (const swf::ControlTag& tag : clip.timeline->frames[frame].tags) {
        if (const auto* init = std::get_if<swf::DoInitAction>(&tag);
            init != nullptr &&
            initActionsRun_.insert(std::uint32_t{object.library} << 16 | init->spriteId).second) {
            queue({movieRootOf(object), QueuedKind::Actions, &init->actions, nullptr}, true);
        }
    }
    for (const swf::ControlTag& tag : clip.timeline->frames[frame].tags) {
        if (object.removed) {
            return;
        }
        if (const auto* place = std::get_if<swf::PlaceObject>(&tag)) {
            applyPlace(object, *place, frame, reuse);
        } else if (const auto* remove = std::get_if<swf::RemoveObject>(&tag)) {
            const std::int32_t depth = depthOfTag(remove->depth);
            if (leavesScriptChildren_ && heldByScript(*object.clip, depth)) {
                continue;
            }
            // Going back, the frames' tags are merged before anything is made: what a later
            // tag places again at the depth is the object that was there, not a new one.
            auto at = atDepth(object.clip->displayList, depth);
            if (reuse != nullptr && at != object.clip->displayList.end() && !at->second->dynamic &&
                !reuse->contains(depth)) {
                reuse->insert(object.clip->displayList.extract(at));
            } else {
                removeAt(object, depth);
            }
        } else if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            if (queueActions) {
                queue({sharedOf(object), QueuedKind::Actions, &action->actions, nullptr}, false);
            }
        } else if (const auto* bg = std::get_if<swf::SetBackgroundColor>(&tag)) {
            // The player takes the stage colour from the first tag and ignores later ones.
            if (&object == rootObject_.get() && !backgroundNamed_) {
                background_ = toRgba(bg->color);
                background_.a = 255;
                backgroundNamed_ = true;
            }
        }
    }
    // The sound layer knows the first movie's sounds only.
    if (queueActions && sound_ != nullptr && !object.removed && object.library == 0) {
        sound_->frameEntered(object.serial, parentSerialOf(object), *clip.timeline, frame);
    }
}

namespace {

// How deep below a removed clip its children are searched for unload scripts.
constexpr int kMaxUnloadSearch = 64;

void resetPlacement(DisplayObject& o) {
    o.matrix = Transform{};
    o.colorTransform = ColorTransform{};
    o.ratio = 0;
    o.isMask = false;
    o.clipDepth = 0;
    o.blendMode = swf::BlendMode::Normal;
    o.filters.clear();
    o.cacheAsBitmap = false;
    o.opaqueBackground.reset();
    o.visible = true;
    o.resetScriptMove();
}

// A move changes how an object looks; its name and clip events stay those it was placed with.
enum class Placing { New, Move };

// `version` is the SWF version of the movie the tag comes from, 0 when unknown.
void applyProperties(DisplayObject& o, const swf::PlaceObject& tag, Placing placing, int version) {
    // Once a script moved the object, the timeline's matrices no longer apply to it.
    if (tag.matrix) {
        o.timelineMove(toTransform(*tag.matrix));
    }
    if (tag.colorTransform) {
        o.colorTransform = toColorTransform(*tag.colorTransform);
    }
    if (tag.ratio) {
        o.ratio = *tag.ratio;
    }
    if (tag.name && placing == Placing::New) {
        o.name = *tag.name;
    }
    if (tag.clipDepth) {
        o.isMask = true;
        o.clipDepth = depthOfTag(*tag.clipDepth);
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
    // Players read the visibility and background of a third-version placement only from
    // movies of version 11 on; older movies carry the fields but show the object as placed.
    const bool readsLook = version == 0 || version >= 11;
    if (tag.backgroundColor && readsLook) {
        // The background is opaque whatever alpha the tag stores.
        o.opaqueBackground =
            Rgba{tag.backgroundColor->r, tag.backgroundColor->g, tag.backgroundColor->b, 255};
    }
    if (tag.visible && readsLook) {
        o.visible = *tag.visible;
    }
    if (!tag.clipActions.empty() && placing == Placing::New) {
        o.clipActions = &tag.clipActions;
    }
}

} // namespace

void TimelinePlayer::applyPlace(DisplayObject& parent, const swf::PlaceObject& tag,
                                std::uint32_t frame, Pool* reuse) {
    Clip& clip = *parent.clip;
    const std::int32_t depth = depthOfTag(tag.depth);
    const swf::Movie* movie = library_.movie(parent.library);
    const int version = movie != nullptr ? movie->header.version : 0;
    auto it = atDepth(clip.displayList, depth);
    if (leavesScriptChildren_ && it != clip.displayList.end() && it->second->dynamic) {
        // The script's object is not the timeline's to move or replace: the depth is free
        // to the timeline once that object stepped below it.
        if (!tag.characterId || !stepAside(clip.displayList, depth)) {
            return;
        }
        it = clip.displayList.end();
    }
    const std::optional<MovieLibrary::CharacterRef> character =
        tag.characterId ? std::optional(library_.resolve(parent.library, *tag.characterId))
                        : std::nullopt;
    if (tag.move && it != clip.displayList.end()) {
        DisplayObject& o = *it->second;
        if (character && *character != MovieLibrary::CharacterRef{o.library, o.characterId} &&
            !o.isClip()) {
            // Replace: a new character at the depth keeps the placement of the old one.
            // Clips are not replaced, as players keep a clip's own state.
            const CharacterKind kind = library_.catalog(character->library).kind(character->id);
            if (kind != CharacterKind::None && kind != CharacterKind::Sprite) {
                o.library = character->library;
                o.characterId = character->id;
                o.kind = kind;
            }
        }
        applyProperties(o, tag, Placing::Move, version);
        return;
    }
    if (!tag.characterId) {
        return; // a move of nothing
    }
    if (it != clip.displayList.end() &&
        (leavesScriptChildren_ || (!it->second->dynamic && !stacksPlacements_))) {
        // What holds the depth stays, and the new placement is dropped.
        return;
    }
    // Otherwise both stay: the new object goes below the one there and answers for the
    // depth, the old one keeps its name, its scripts and its place in the drawing.
    if (reuse != nullptr) {
        // Going back, the object the timeline had at the depth is the one the frame places
        // when it is of the same character with the same ratio, whatever frame placed it and
        // whatever it was named: the ratio is what tells one placement of a character from
        // another.
        auto [old, end] = reuse->equal_range(depth);
        while (old != end && (MovieLibrary::CharacterRef{old->second->library,
                                                         old->second->characterId} != *character ||
                              old->second->ratio != tag.ratio.value_or(0))) {
            ++old;
        }
        if (old != end) {
            std::shared_ptr<DisplayObject> kept = std::move(old->second);
            reuse->erase(old);
            // An object the timeline keeps keeps what a script moved it to: the timeline's
            // matrices stopped applying to it then, going back as going forward.
            const bool keepMove = kept->movedByScript();
            const Transform moved = kept->matrix;
            const std::optional<ScriptGeometry> geometry = kept->geometry;
            resetPlacement(*kept);
            if (keepMove) {
                kept->scriptMove(moved, geometry);
            }
            // It is the same instance: its name and clip events stay.
            applyProperties(*kept, tag, Placing::Move, version);
            placeBelow(clip.displayList, std::move(kept));
            return;
        }
    }
    auto o = makeObject();
    o->depth = depth;
    o->placedFrame = frame;
    o->placedByTimeline = true;
    o->parent = &parent;
    o->library = parent.library;
    applyProperties(*o, tag, Placing::New, version);
    const auto placed = placeBelow(clip.displayList, o);
    if (!instantiate(parent, o, *tag.characterId, false, tag.name.has_value())) {
        clip.displayList.erase(placed);
        o->removed = true;
        o->parent = nullptr;
    }
}

bool TimelinePlayer::instantiate(DisplayObject& parent, const std::shared_ptr<DisplayObject>& o,
                                 std::uint16_t characterId, bool byScript, bool namedByTag) {
    // An imported id makes an instance of the exporting movie's character, whose own ids
    // and scripts are that movie's.
    const MovieLibrary::CharacterRef character = library_.resolve(o->library, characterId);
    o->library = character.library;
    characterId = character.id;
    const CharacterCatalog& catalog = catalogOf(*o);
    const CharacterKind kind = catalog.kind(characterId);
    if (kind == CharacterKind::None || liveObjects_ >= limits_.maxObjects) {
        return false;
    }
    o->characterId = characterId;
    o->kind = kind;
    o->clip.reset();
    o->scalingGrid.reset();
    if (kind == CharacterKind::Sprite || kind == CharacterKind::Button) {
        if (const auto grid = catalog.scalingGrid(characterId)) {
            o->scalingGrid = Bounds::of(*grid);
        }
    }
    ++liveObjects_;
    if (o->name.empty() &&
        (nameEveryObject_ || ((kind == CharacterKind::Sprite || kind == CharacterKind::Button ||
                               kind == CharacterKind::EditText) &&
                              !namedByTag))) {
        // Players name what the movie left unnamed: ActionScript 3 every object, older
        // movies what their scripts can reach. An empty name in the place tag is a name
        // there: the clip keeps it and takes no instance number.
        o->name = nextInstanceName();
    }
    if (kind == CharacterKind::Sprite) {
        const swf::Timeline* timeline = catalog.spriteTimeline(characterId);
        if (timeline == nullptr || parent.clip->nesting + 1 > limits_.maxNesting) {
            return true; // drawn as nothing, as before
        }
        auto clip = std::make_shared<Clip>();
        clip->timeline = timeline;
        clip->nesting = parent.clip->nesting + 1;
        clip->createdTick = tick_;
        o->clip = clip;
        executionList_.push_back(o);
        if (byScript) {
            // A clip made by a script already holds its first frame's children when
            // its class constructor runs.
            runner_.prepareObject(*o);
            o->loaded = true;
            // Its load event is queued ahead of those of the children its first frame places.
            dispatchEvent(*o, clip_event::Load, "onLoad");
            enterFrame(*o, 0, true, nullptr);
            if (!o->removed && o->clipActions != nullptr && !runner_.hasClass(*o)) {
                // A duplicate keeps the original's clip events: its initialize and construct
                // events run with those of the clips just made, after its children's (a
                // clip of a registered class has had its constructor instead).
                queue({o, QueuedKind::Initialize, nullptr, nullptr}, true);
                queue({o, QueuedKind::ConstructEvents, nullptr, nullptr}, true);
            }
            if (!o->removed) {
                runner_.construct(*o);
            }
            return true;
        }
        queue({o, QueuedKind::Initialize, nullptr, nullptr}, true);
        queue({o, QueuedKind::Construct, nullptr, nullptr}, true);
        // The new clip's first frame: its load event, then its tags.
        o->loaded = true;
        dispatchEvent(*o, clip_event::Load, "onLoad");
        if (!o->removed) {
            enterFrame(*o, 0, true, nullptr);
        }
    } else if (kind == CharacterKind::Button) {
        runner_.prepareObject(*o);
        // A button that holds itself, however deep, stops at the nesting limit.
        if (parent.clip->nesting + 1 <= limits_.maxNesting) {
            auto states = std::make_shared<Clip>();
            states->nesting = parent.clip->nesting + 1;
            states->createdTick = tick_;
            states->playing = false;
            o->clip = states;
            // ActionScript 3 builds a button's states as it constructs the SimpleButton:
            // the timeline makes none of its own, which would take names from the count.
            if (!nameEveryObject_) {
                setButtonState(*o, swf::button_state::Up);
            }
        }
    } else if (kind == CharacterKind::EditText) {
        createTextState(*o);
        runner_.prepareObject(*o);
    }
    return true;
}

void TimelinePlayer::releaseObject(DisplayObject& object, bool unloadEvents) {
    if (object.removed) {
        return;
    }
    // An unloading clip and its children had their unload events queued already.
    if (unloadEvents && object.clip && !object.unloading) {
        queueUnloadEvents(object);
    }
    object.removed = true;
    if (object.clip) {
        if (sound_ != nullptr) {
            sound_->clipRemoved(object.serial);
        }
        for (auto& [depth, child] : object.clip->displayList) {
            releaseObject(*child, unloadEvents);
            child->parent = nullptr;
        }
        object.clip->displayList.clear();
    }
    if (auto mask = object.scriptMask.lock()) {
        --mask->maskedCount;
        object.scriptMask.reset();
    }
    runner_.forget(object);
    if (object.kind != CharacterKind::None && liveObjects_ > 0) {
        --liveObjects_;
    }
}

void TimelinePlayer::removeAt(DisplayObject& parent, std::int32_t depth) {
    auto& list = parent.clip->displayList;
    removeEntry(parent, atDepth(list, depth));
}

void TimelinePlayer::removeEntry(DisplayObject& parent, DisplayList::iterator it) {
    auto& list = parent.clip->displayList;
    if (it != list.end()) {
        const auto object = it->second;
        list.erase(it);
        leaveDisplayList(parent, object);
    }
}

bool TimelinePlayer::hasUnloadScripts(DisplayObject& object, int nesting) {
    if (!object.clip || object.removed || nesting > kMaxUnloadSearch) {
        return false;
    }
    if (object.clipActions != nullptr) {
        for (const swf::ClipAction& a : *object.clipActions) {
            if ((a.events & clip_event::Unload) != 0) {
                return true;
            }
        }
    }
    if (object.kind == CharacterKind::Sprite && runner_.hasHandler(object, "onUnload")) {
        return true;
    }
    for (auto& [depth, child] : object.clip->displayList) {
        if (hasUnloadScripts(*child, nesting + 1)) {
            return true;
        }
    }
    return false;
}

void TimelinePlayer::queueUnloadEvents(DisplayObject& object) {
    // The children's unload events come before their parent's.
    object.unloading = true;
    for (auto& [depth, child] : object.clip->displayList) {
        if (child->clip) {
            queueUnloadEvents(*child);
        }
    }
    dispatchEvent(object, clip_event::Unload, "onUnload");
}

void TimelinePlayer::leaveDisplayList(DisplayObject& parent,
                                      const std::shared_ptr<DisplayObject>& object) {
    // Depths at or above 0 land below -32768, where nothing else can be placed; the
    // timeline's own depths land between -32768 and -16385.
    const std::int64_t waiting = std::int64_t{-32769} - object->depth;
    auto& list = parent.clip->displayList;
    if (object->unloading || waiting < std::numeric_limits<std::int32_t>::min() ||
        list.contains(static_cast<std::int32_t>(waiting)) || !hasUnloadScripts(*object, 0)) {
        releaseObject(*object, true);
        object->parent = nullptr;
        return;
    }
    object->depth = static_cast<std::int32_t>(waiting);
    list.emplace(object->depth, object);
    unloading_.push_back(object);
    queueUnloadEvents(*object);
}

void TimelinePlayer::finishUnloading() {
    std::vector<std::weak_ptr<DisplayObject>> waiting = std::move(unloading_);
    unloading_.clear();
    for (const auto& w : waiting) {
        const auto object = w.lock();
        if (!object || object->removed) {
            continue;
        }
        if (DisplayObject* parent = object->parent; parent != nullptr && parent->clip) {
            auto& list = parent->clip->displayList;
            if (auto it = entryOf(list, *object); it != list.end()) {
                list.erase(it);
            }
        }
        releaseObject(*object, false);
        object->parent = nullptr;
    }
}

void TimelinePlayer::advanceClip(DisplayObject& object, bool isRoot) {
    dispatchEvent(object, clip_event::EnterFrame, "onEnterFrame");
    // What arrived between ticks comes in after the root's enter-frame event and before
    // the root's next frame, the last of the tick's clips.
    if (isRoot) {
        runner_.takeArrivals();
        arrivalsTaken_ = true;
    }
    Clip& clip = *object.clip;
    const std::uint32_t n = clip.frameCount();
    if (object.removed || !clip.playing || n == 0) {
        return;
    }
    if (clip.frame + 1 < n) {
        enterFrame(object, clip.frame + 1, true, nullptr);
    } else if (isRoot && !loop_) {
        clip.playing = false;
    } else if (n > 1) {
        gotoFrameOf(object, 0);
    }
}

void TimelinePlayer::gotoFrameOf(DisplayObject& object, std::uint32_t frame) {
    Clip& clip = *object.clip;
    const std::uint32_t n = clip.frameCount();
    if (n == 0 || object.removed) {
        return;
    }
    // Past the end: to the last frame, whose actions then do not run, as players do.
    const bool pastEnd = frame > n - 1;
    frame = std::min(frame, n - 1);
    if (frame == clip.frame) {
        return;
    }
    if (frame > clip.frame) {
        for (std::uint32_t f = clip.frame + 1; f <= frame && !object.removed; ++f) {
            enterFrame(object, f, f == frame && !pastEnd, nullptr);
        }
        return;
    }
    // Back: the timeline's objects are rebuilt from the first frame; what scripts made stays.
    Pool old;
    for (auto it = clip.displayList.begin(); it != clip.displayList.end();) {
        if (it->second->dynamic || it->second->unloading) {
            ++it;
        } else {
            old.insert(clip.displayList.extract(it++));
        }
    }
    for (std::uint32_t f = 0; f <= frame && !object.removed; ++f) {
        enterFrame(object, f, false, &old);
    }
    // What the target frame lacks leaves first; the frame's actions run after its unloads.
    for (auto& [depth, o] : old) {
        if (!object.removed) {
            leaveDisplayList(object, o);
        } else {
            releaseObject(*o, true);
            o->parent = nullptr;
        }
    }
    if (!object.removed) {
        queueFrameActions(object, frame);
        if (sound_ != nullptr && object.library == 0) {
            sound_->frameEntered(object.serial, parentSerialOf(object), *clip.timeline, frame);
        }
    }
}

void TimelinePlayer::queueFrameActions(DisplayObject& object, std::uint32_t frame) {
    for (const swf::ControlTag& tag : object.clip->timeline->frames[frame].tags) {
        if (const auto* action = std::get_if<swf::DoAction>(&tag)) {
            queue({sharedOf(object), QueuedKind::Actions, &action->actions, nullptr}, false);
        }
    }
}

void TimelinePlayer::dispatchEvent(DisplayObject& object, std::uint32_t event,
                                   const char* handler) {
    const auto self = sharedOf(object);
    if (!self) {
        return;
    }
    const bool unload = event == clip_event::Unload;
    if (object.clipActions != nullptr) {
        for (const swf::ClipAction& a : *object.clipActions) {
            if ((a.events & event) != 0) {
                queue({self, QueuedKind::Actions, &a.actions, nullptr, unload}, false);
            }
        }
    }
    if (handler != nullptr) {
        queue({self, QueuedKind::Handler, nullptr, handler, unload}, false);
    }
}

void TimelinePlayer::queueActions(DisplayObject& timeline, const swf::ActionBlock& block) {
    queue({sharedOf(timeline), QueuedKind::Actions, &block, nullptr, false}, false);
}

void TimelinePlayer::runInputScripts() {
    if (runningQueue_) {
        return; // an event raised by a script: the running queue picks it up
    }
    tagsThisTick_ = 0;
    scriptsThisTick_ = 0;
    runner_.beginTick();
    runPendingActions();
    runner_.endTick();
}

void TimelinePlayer::queueKeyPress(DisplayObject& object, std::uint8_t buttonKey) {
    if (object.clipActions == nullptr) {
        return;
    }
    const auto self = sharedOf(object);
    for (const swf::ClipAction& a : *object.clipActions) {
        if ((a.events & clip_event::KeyPress) != 0 && a.keyCode == buttonKey) {
            queue({self, QueuedKind::Actions, &a.actions, nullptr, false}, false);
        }
    }
}

std::vector<std::shared_ptr<DisplayObject>> TimelinePlayer::clipsNewestFirst() const {
    std::vector<std::shared_ptr<DisplayObject>> clips;
    clips.reserve(executionList_.size());
    for (auto it = executionList_.rbegin(); it != executionList_.rend(); ++it) {
        if (auto o = it->lock(); o && !o->removed) {
            clips.push_back(std::move(o));
        }
    }
    return clips;
}

void TimelinePlayer::queue(QueuedScript script, bool early) {
    if (!script.object) {
        return;
    }
    if (++scriptsThisTick_ > limits_.maxQueuedScripts) {
        return;
    }
    if (script.kind == QueuedKind::Initialize) {
        // The initialize events of new clips come before any of their construct events.
        const auto construct =
            std::find_if(earlyQueue_.begin(), earlyQueue_.end(), [](const auto& q) {
                return q.kind == QueuedKind::Construct || q.kind == QueuedKind::ConstructEvents;
            });
        earlyQueue_.insert(construct, std::move(script));
        return;
    }
    (early ? earlyQueue_ : queue_).push_back(std::move(script));
}

void TimelinePlayer::runPendingActions() {
    if (runningQueue_) {
        return; // the outer loop picks up what was queued
    }
    runningQueue_ = true;
    int budget = limits_.maxActionBlocks;
    while (!tickBudgetSpent()) {
        std::deque<QueuedScript>& from = !earlyQueue_.empty() ? earlyQueue_ : queue_;
        if (from.empty()) {
            break;
        }
        const QueuedScript next = std::move(from.front());
        from.pop_front();
        if (next.kind == QueuedKind::Actions && --budget < 0) {
            continue;
        }
        runQueued(next);
    }
    earlyQueue_.clear();
    queue_.clear();
    runningQueue_ = false;
}

void TimelinePlayer::runQueued(const QueuedScript& script) {
    DisplayObject& object = *script.object;
    // An unloading clip runs its unload scripts and nothing else it had waiting.
    if ((object.removed || object.unloading) && !script.unload) {
        return;
    }
    switch (script.kind) {
    case QueuedKind::Actions:
        runner_.runActions(object, *script.block);
        break;
    case QueuedKind::Handler:
        runner_.callHandler(object, script.handler);
        break;
    case QueuedKind::Construct:
    case QueuedKind::ConstructEvents:
        if (object.clipActions != nullptr) {
            for (const swf::ClipAction& a : *object.clipActions) {
                if ((a.events & clip_event::Construct) != 0) {
                    runner_.runActions(object, a.actions);
                }
            }
        }
        if (script.kind == QueuedKind::Construct) {
            runner_.prepareObject(object);
            runner_.construct(object);
        }
        break;
    case QueuedKind::Initialize:
        runner_.prepareObject(object);
        if (object.clipActions != nullptr) {
            for (const swf::ClipAction& a : *object.clipActions) {
                if ((a.events & clip_event::Initialize) != 0) {
                    runner_.runActions(object, a.actions);
                }
            }
        }
        break;
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
