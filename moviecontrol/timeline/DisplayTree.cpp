// The display tree operations scripts use: finding children, timeline control of any clip,
// clips made and removed at run time, depths and masks.
#include <algorithm>
#include <cmath>

#include "Drawing.h"
#include "TextFieldState.h"
#include "TimelinePlayer.h"

namespace mc {

namespace {

bool sameName(std::string_view a, std::string_view b, bool caseSensitive) {
    if (caseSensitive) {
        return a == b;
    }
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

bool scriptDepth(std::int32_t depth) {
    return depth >= kMinScriptDepth && depth <= kMaxScriptDepth;
}

// Text fields read html as the player of their movie's version did; 0 when unknown.
int movieVersionOf(const MovieLibrary& library, std::uint16_t index) {
    const swf::Movie* movie = library.movie(index);
    return movie != nullptr ? movie->header.version : 0;
}

} // namespace

std::shared_ptr<DisplayObject> TimelinePlayer::childByName(const DisplayObject& parent,
                                                           std::string_view name,
                                                           bool caseSensitive) const {
    if (!parent.clip) {
        return nullptr;
    }
    for (const auto& [depth, child] : parent.clip->displayList) {
        if (sameName(child->name, name, caseSensitive) ||
            (!caseSensitive && nameFold_ != nullptr && nameFold_(child->name, name))) {
            return child;
        }
    }
    return nullptr;
}

std::shared_ptr<DisplayObject> TimelinePlayer::childAtDepth(const DisplayObject& parent,
                                                            std::int32_t depth) const {
    if (!parent.clip) {
        return nullptr;
    }
    const auto it = atDepth(parent.clip->displayList, depth);
    return it == parent.clip->displayList.end() ? nullptr : it->second;
}

void TimelinePlayer::gotoClipFrame(DisplayObject& clip, std::uint32_t frame, bool play) {
    if (!clip.clip || clip.removed) {
        return;
    }
    if (clip.clip->timeline == nullptr && !clip.clip->emptied) {
        clip.clip->frameEntered = true;
    }
    gotoFrameOf(clip, frame);
    clip.clip->playing = play;
    if (!queueHeld_) {
        runPendingActions();
    }
}

bool TimelinePlayer::gotoClipLabel(DisplayObject& clip, const std::string& label, bool play) {
    if (!clip.clip) {
        return false;
    }
    const std::int64_t frame = frameOfLabel(*clip.clip, label);
    if (frame < 0) {
        return false;
    }
    gotoClipFrame(clip, static_cast<std::uint32_t>(frame), play);
    return true;
}

void TimelinePlayer::setClipPlaying(DisplayObject& clip, bool playing) {
    if (clip.clip) {
        clip.clip->playing = playing;
    }
}

void TimelinePlayer::nextClipFrame(DisplayObject& clip) {
    if (clip.clip) {
        gotoClipFrame(clip, clip.clip->frame + 1, false);
    }
}

void TimelinePlayer::previousClipFrame(DisplayObject& clip) {
    if (clip.clip) {
        gotoClipFrame(clip, clip.clip->frame > 0 ? clip.clip->frame - 1 : 0, false);
    }
}

std::shared_ptr<DisplayObject> TimelinePlayer::insertNew(DisplayObject& parent, std::int32_t depth,
                                                         std::string_view name, bool anyDepth) {
    if (!parent.clip || parent.removed || (!anyDepth && !scriptDepth(depth)) ||
        liveObjects_ >= limits_.maxObjects) {
        return nullptr;
    }
    removeAt(parent, depth);
    auto o = makeObject();
    o->depth = depth;
    o->parent = &parent;
    o->library = parent.library;
    o->name = std::string(name);
    o->dynamic = true;
    o->placedFrame = parent.clip->frame;
    parent.clip->displayList.emplace(depth, o);
    return o;
}

std::shared_ptr<DisplayObject> TimelinePlayer::attachMovie(DisplayObject& parent,
                                                           std::string_view symbol,
                                                           std::string_view name,
                                                           std::int32_t depth) {
    // A symbol of the movie itself, else one it imported under that name.
    std::optional<MovieLibrary::CharacterRef> character;
    if (const auto id = catalogOf(parent).exported(symbol)) {
        character = MovieLibrary::CharacterRef{parent.library, *id};
    } else {
        character = library_.importedNamed(parent.library, symbol);
    }
    if (!character ||
        library_.catalog(character->library).kind(character->id) == CharacterKind::None) {
        return nullptr;
    }
    auto o = insertNew(parent, depth, name);
    if (!o) {
        return nullptr;
    }
    o->exportName = std::string(symbol);
    o->library = character->library;
    if (!instantiate(parent, o, character->id, true)) {
        unlist(parent.clip->displayList, *o);
        o->removed = true;
        o->parent = nullptr;
        return nullptr;
    }
    if (o->kind == CharacterKind::EditText) {
        createTextState(*o);
    }
    return o;
}

std::shared_ptr<DisplayObject> TimelinePlayer::placeCharacter(DisplayObject& parent,
                                                              std::uint16_t characterId,
                                                              std::int32_t depth) {
    const MovieLibrary::CharacterRef character = library_.resolve(parent.library, characterId);
    if (library_.catalog(character.library).kind(character.id) == CharacterKind::None) {
        return nullptr;
    }
    // Left unnamed, it takes the next "instanceN" of the count every new object shares.
    auto o = insertNew(parent, depth, {});
    if (!o) {
        return nullptr;
    }
    if (!instantiate(parent, o, characterId, true)) {
        unlist(parent.clip->displayList, *o);
        o->removed = true;
        o->parent = nullptr;
        return nullptr;
    }
    if (o->kind == CharacterKind::EditText) {
        createTextState(*o);
    }
    return o;
}

std::shared_ptr<DisplayObject>
TimelinePlayer::createEmptyClip(DisplayObject& parent, std::string_view name, std::int32_t depth) {
    // Unlike the other ways to make a clip, any 32-bit depth takes an empty one.
    auto o = insertNew(parent, depth, name, true);
    if (!o) {
        return nullptr;
    }
    ++liveObjects_;
    o->kind = CharacterKind::Sprite;
    auto clip = std::make_shared<Clip>();
    clip->nesting = parent.clip->nesting + 1;
    clip->createdTick = tick_;
    o->clip = clip;
    o->loaded = true;
    executionList_.push_back(o);
    runner_.prepareObject(*o);
    return o;
}

std::shared_ptr<DisplayObject>
TimelinePlayer::attachPixels(DisplayObject& parent, std::int32_t depth,
                             std::shared_ptr<const PixelSource> pixels, bool smoothing) {
    auto o = insertNew(parent, depth, "instance" + std::to_string(nextSerial_));
    if (!o) {
        return nullptr;
    }
    ++liveObjects_;
    o->kind = CharacterKind::Bitmap;
    o->pixels = std::move(pixels);
    o->smoothing = smoothing;
    return o;
}

std::shared_ptr<DisplayObject> TimelinePlayer::createTextField(DisplayObject& parent,
                                                               std::string_view name,
                                                               std::int32_t depth,
                                                               const Bounds& twips) {
    // Like an empty clip, a field takes any 32-bit depth.
    auto o = insertNew(parent, depth, name, true);
    if (!o) {
        return nullptr;
    }
    ++liveObjects_;
    o->kind = CharacterKind::EditText;
    o->matrix = Transform::translation(twips.xMin, twips.yMin);
    auto text = std::make_shared<TextFieldState>();
    text->bounds.valid = true;
    text->bounds.xMax = std::max(0.0, twips.xMax - twips.xMin);
    text->bounds.yMax = std::max(0.0, twips.yMax - twips.yMin);
    text->field.bounds = swf::Rect{0, static_cast<std::int32_t>(text->bounds.xMax), 0,
                                   static_cast<std::int32_t>(text->bounds.yMax)};
    text->field.fontHeight = 240; // 12 points, the players' default format
    text->field.color = swf::Rgba{0, 0, 0, 255};
    text->field.readOnly = true; // a made field is dynamic until a script makes it input
    text->movieVersion = movieVersionOf(library_, parent.library);
    o->text = text;
    runner_.prepareObject(*o);
    return o;
}

void TimelinePlayer::createTextState(DisplayObject& object) {
    if (object.text) {
        return;
    }
    auto text = std::make_shared<TextFieldState>();
    text->movieVersion = movieVersionOf(library_, object.library);
    if (const swf::EditText* def = catalogOf(object).editText(object.characterId)) {
        const swf::Font* font = def->fontId ? catalogOf(object).font(*def->fontId) : nullptr;
        text->define(*def, font != nullptr ? std::string_view(font->name) : std::string_view());
        text->bounds = Bounds::of(def->bounds);
        text->autoSize = def->autoSize ? "left" : "none";
    }
    object.text = text;
}

std::shared_ptr<DisplayObject>
TimelinePlayer::duplicateClip(DisplayObject& original, std::string_view name, std::int32_t depth) {
    DisplayObject* parent = original.parent;
    // The topmost script depth takes no duplicate.
    const bool field = original.kind == CharacterKind::EditText && original.text;
    // A button is copied as a clip is, from its definition.
    const bool button = original.kind == CharacterKind::Button;
    if (parent == nullptr || original.removed || depth >= kMaxScriptDepth ||
        !((original.clip && original.kind == CharacterKind::Sprite) || field || button)) {
        return nullptr;
    }
    const auto self = sharedOf(original); // the original may sit at the depth taken
    std::shared_ptr<DisplayObject> o;
    if (!field && !button && original.clip->timeline == nullptr) {
        o = createEmptyClip(*parent, name, depth);
    } else {
        o = insertNew(*parent, depth, name);
        if (!o) {
            return nullptr;
        }
        // A duplicate keeps the original's placement and clip events, and starts afresh.
        o->matrix = original.matrix;
        o->colorTransform = original.colorTransform;
        o->copyScriptMove(original);
        o->visible = original.visible;
        o->blendMode = original.blendMode;
        // A duplicated edit field starts without the filters a script gave the original.
        if (!field) {
            o->filters = original.filters;
        }
        o->clipActions = original.clipActions;
        o->exportName = original.exportName;
        // An imported original's character is the exporting movie's; a clip a movie was
        // loaded into is duplicated as the character it was placed as.
        const swf::Movie* loaded = library_.movie(original.library);
        if (loaded == nullptr || !original.clip || original.clip->timeline != &loaded->root) {
            o->library = original.library;
        }
        if (!instantiate(*parent, o, original.characterId, true)) {
            unlist(parent->clip->displayList, *o);
            o->removed = true;
            o->parent = nullptr;
            return nullptr;
        }
    }
    if (o && original.drawing) {
        o->drawing = std::make_shared<Drawing>(*original.drawing);
    }
    return o;
}

bool TimelinePlayer::removableByScript(const DisplayObject& object) const {
    // A level counts too once swapDepths has moved it to such a depth (_level16384 and up).
    const bool placed =
        object.parent != nullptr || (object.level != 0 && level(object.level) == &object);
    return placed && !object.removed && object.depth >= 0 && object.depth <= kMaxRemovableDepth;
}

bool TimelinePlayer::removeByScript(DisplayObject& object) {
    if (!removableByScript(object)) {
        return false;
    }
    if (object.parent == nullptr) {
        // Flash drops such a level without calling its unload handlers.
        const auto it = levelObjects_.find(object.level);
        const std::shared_ptr<DisplayObject> keep = it->second;
        levelObjects_.erase(it);
        releaseObject(*keep, false);
        return true;
    }
    // The object itself, which may share its depth with a newer one.
    removeEntry(*object.parent, entryOf(object.parent->clip->displayList, object));
    return true;
}

void TimelinePlayer::dataArrived(DisplayObject& clip) {
    if (!clip.removed) {
        dispatchEvent(clip, clip_event::Data, "onData");
    }
}

void TimelinePlayer::unloadClip(DisplayObject& clip) {
    if (!clip.clip || clip.removed) {
        return;
    }
    // The children leave as a removal takes them: those with unload scripts wait at their
    // unloading depth, still the clip's, so that their scripts see their parent.
    DisplayList children = std::move(clip.clip->displayList);
    clip.clip->displayList.clear();
    for (auto& [depth, child] : children) {
        if (child->unloading) {
            clip.clip->displayList.emplace(depth, child);
        } else {
            leaveDisplayList(clip, child);
        }
    }
    clip.clip->timeline = nullptr;
    clip.clip->frame = 0;
    clip.clip->emptied = true;
    clip.clip->frameEntered = false;
    clip.drawing.reset();
}

void TimelinePlayer::unloadMovie(DisplayObject& clip) {
    if (!clip.clip || clip.removed) {
        return;
    }
    // The clip stays, so its own unload event runs, after those of the children it loses.
    unloadClip(clip);
    dispatchEvent(clip, clip_event::Unload, "onUnload");
}

bool TimelinePlayer::swapDepths(DisplayObject& object, std::int32_t depth) {
    DisplayObject* parent = object.parent;
    // A clip waiting for its unload scripts keeps its depth.
    if (parent == nullptr || object.removed || object.unloading || !scriptDepth(depth) ||
        depth == object.depth) {
        return false;
    }
    auto& list = parent->clip->displayList;
    const auto entry = entryOf(list, object);
    if (entry == list.end()) {
        return false;
    }
    auto self = list.extract(entry);
    auto other = list.extract(depth);
    if (!other.empty()) {
        other.key() = object.depth;
        other.mapped()->depth = object.depth;
        other.mapped()->dynamic = true;
        list.insert(std::move(other));
    }
    self.key() = depth;
    object.depth = depth;
    // Once a script moved it, the timeline no longer places or removes it.
    object.dynamic = true;
    list.insert(std::move(self));
    return true;
}

std::int32_t TimelinePlayer::nextHighestDepth(const DisplayObject& parent) const {
    if (!parent.clip || parent.clip->displayList.empty()) {
        return 0;
    }
    const std::int32_t top = parent.clip->displayList.rbegin()->first;
    return top < 0 ? 0 : (top >= kMaxScriptDepth ? kMaxScriptDepth : top + 1);
}

void TimelinePlayer::setMask(DisplayObject& object, DisplayObject* mask) {
    if (auto old = object.scriptMask.lock()) {
        --old->maskedCount;
    }
    object.scriptMask.reset();
    if (mask != nullptr && mask != &object && !mask->removed) {
        if (auto shared = sharedOf(*mask)) {
            object.scriptMask = shared;
            ++mask->maskedCount;
        }
    }
}

} // namespace mc
