#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Bounds.h"
#include "ColorTransform.h"
#include "DrawCommand.h"
#include "PixelSource.h"
#include "Transform.h"
#include "swf/ControlTags.h"

namespace mc {

struct Clip;
struct DisplayObject;
class Drawing;
struct TextFieldState;

// Depths as scripts see them: the place tags' depths start at kTimelineDepthBase, the depths
// scripts create their clips at run from 0 to kMaxDynamicDepth. Below the timeline sit the
// depths that removeMovieClip refuses (a clip there is not the script's to remove).
inline constexpr std::int32_t kTimelineDepthBase = -16384;
inline constexpr std::int32_t kMaxDynamicDepth = 1048575;
inline constexpr std::int32_t kMinScriptDepth = -16384;
inline constexpr std::int32_t kMaxScriptDepth = 2130690045;
// removeMovieClip leaves the topmost script depths alone, as it leaves the timeline's.
inline constexpr std::int32_t kMaxRemovableDepth = 2130690031;

inline std::int32_t depthOfTag(std::uint16_t tagDepth) {
    return static_cast<std::int32_t>(tagDepth) + kTimelineDepthBase;
}

// Children by depth, painted lowest first. A depth holds one object as a rule; when the
// timeline places at a depth that holds one already, players keep both (see placeBelow).
using DisplayList = std::multimap<std::int32_t, std::shared_ptr<DisplayObject>>;

// The object that answers for `depth` (to a lookup, a move or a removal by depth): the one
// placed there last.
inline DisplayList::iterator atDepth(DisplayList& list, std::int32_t depth) {
    const auto it = list.lower_bound(depth);
    return it != list.end() && it->first == depth ? it : list.end();
}
inline DisplayList::const_iterator atDepth(const DisplayList& list, std::int32_t depth) {
    const auto it = list.lower_bound(depth);
    return it != list.end() && it->first == depth ? it : list.end();
}

// The entry of one object, which may share its depth with others; end when not listed.
inline DisplayList::iterator entryOf(DisplayList& list, const DisplayObject& object);

// Takes one object out of the list, leaving any other at its depth.
inline void unlist(DisplayList& list, const DisplayObject& object);

// Lists `object` at its depth below whatever holds that depth already: it paints under
// them and answers for the depth from now on.
inline DisplayList::iterator placeBelow(DisplayList& list, std::shared_ptr<DisplayObject> object);

// Scale and rotation as a script last set them. Players keep these beside the matrix so that
// a negative or zero scale survives a rotation and reads back as set.
struct ScriptGeometry {
    double xScale = 100.0; // percent
    double yScale = 100.0;
    double rotation = 0.0; // degrees
};

// A window onto a display object's content, in pixels of its own space.
struct ScrollWindow {
    double x = 0.0;
    double y = 0.0;
    double width = 0.0;
    double height = 0.0;

    // Moves the content so that the window's corner stands at the object's origin (twips).
    Transform shift() const { return Transform::translation(-x * 20.0, -y * 20.0); }
    // What shows of the object, in its own twips before the shift: the window alone counts
    // for bounds and hits, however much or little content lies behind it.
    Bounds frame() const { return Bounds{0.0, 0.0, width * 20.0, height * 20.0, true}; }
    bool frameContains(double px, double py) const {
        return px >= 0.0 && py >= 0.0 && px <= width * 20.0 && py <= height * 20.0;
    }
};

// One entry of a display list: a placed character, the properties the place tags or the
// scripts gave it, and for sprites their timeline.
struct DisplayObject {
    std::int32_t depth = 0;
    std::uint16_t characterId = 0;
    // The dictionary `characterId` belongs to: 0 for the first movie, else a movie a script
    // loaded (see MovieLibrary). Children take their clip's.
    std::uint16_t library = 0;
    CharacterKind kind = CharacterKind::None;
    Transform matrix;
    ColorTransform colorTransform;
    std::uint16_t ratio = 0;
    // Set for a mask placed by the timeline: it masks the depths above it up to clipDepth.
    bool isMask = false;
    std::int32_t clipDepth = 0;
    std::string name;
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> filters;
    bool cacheAsBitmap = false;
    // A box of this colour fills the object's bounds behind its content.
    std::optional<Rgba> opaqueBackground;
    // Shows only this window of the content, its corner at the object's origin.
    std::optional<ScrollWindow> scrollRect;
    // A sprite's or button's nine-slice grid, in its own twips: its drawing keeps its corners
    // unscaled when the object is scaled.
    std::optional<Bounds> scalingGrid;
    bool visible = true;
    // Which records of a button show: the up (1), over (2) or down (4) state bits of its
    // definition, as the pointer leaves it.
    std::uint8_t buttonState = 0x01;
    // Frame whose place tag created the object: a rebuild of the display list keeps an
    // object that the same tag would create again, as players do.
    std::uint32_t placedFrame = 0;
    // Created by a place tag of a timeline (not a script), however scripts moved it since: such
    // an object's name is the timeline's and stays.
    bool placedByTimeline = false;

    // Unique for the life of the player, counting up in creation order.
    std::uint64_t serial = 0;
    // The clip whose display list holds this object; null for the root and once removed.
    DisplayObject* parent = nullptr;
    bool removed = false;
    // Left the display list while its unload scripts still had to run: players keep it at
    // depth -32769 - depth, reachable by name, until the next frame.
    bool unloading = false;
    // Made by a script (attachMovie, duplicateMovieClip...): the timeline never removes it.
    bool dynamic = false;
    // Scale and rotation as the last script that set them gave them; see scriptMove.
    std::optional<ScriptGeometry> geometry;
    // Load has run; from the next frame on it gets enterFrame instead.
    bool loaded = false;
    // The onClipEvent blocks of the place tag that made it (kept by duplicates).
    const std::vector<swf::ClipAction>* clipActions = nullptr;
    // Symbol name a script attached it by; its registered class, if any, follows the name.
    std::string exportName;
    // setMask: the object that masks this one, and for a mask, that it masks something.
    std::weak_ptr<DisplayObject> scriptMask;
    int maskedCount = 0;
    // _lockroot: _root inside this clip names the clip itself.
    bool lockRoot = false;
    // For the root of a level (parent null): its number, _levelN.
    int level = 0;
    // The level it was loaded into. Its dot path keeps this name after swapDepths moves it, so
    // String() of a moved level still reads "_level5" while its _target follows the depth.
    int loadedLevel = 0;

    // Set for sprites: their own timeline state.
    std::shared_ptr<Clip> clip;
    // Set once a script draws into a clip with the drawing methods.
    std::shared_ptr<Drawing> drawing;
    // Set for edit texts.
    std::shared_ptr<TextFieldState> text;
    // Set for a bitmap a script attached: drawn from these pixels, smoothed when asked.
    std::shared_ptr<const PixelSource> pixels;
    bool smoothing = false;

    bool isClip() const { return clip != nullptr; }

    // Once a script set the object's position, scale, rotation or matrix, place tags and
    // button records no longer move it; placing it anew from the timeline frees it again.
    bool movedByScript() const { return movedByScript_; }
    // A script's move: the matrix it gave, with the geometry to read back (none when the
    // script gave a whole matrix).
    void scriptMove(const Transform& m, std::optional<ScriptGeometry> g) {
        matrix = m;
        geometry = g;
        movedByScript_ = true;
    }
    // A script's move of the position alone: scale and rotation read back as they were.
    void scriptMoveTo(double txTwips, double tyTwips) {
        matrix.tx = txTwips;
        matrix.ty = tyTwips;
        movedByScript_ = true;
    }
    // The timeline's matrix, kept out once a script moved the object.
    void timelineMove(const Transform& m) {
        if (!movedByScript_) {
            matrix = m;
        }
    }
    // Placed anew by the timeline: the timeline's matrices apply again.
    void resetScriptMove() {
        geometry.reset();
        movedByScript_ = false;
    }
    // A duplicate moves as its original does.
    void copyScriptMove(const DisplayObject& original) {
        geometry = original.geometry;
        movedByScript_ = original.movedByScript_;
    }

  private:
    bool movedByScript_ = false;
};

// A timeline being played: the root movie or one placed sprite.
struct Clip {
    const swf::Timeline* timeline = nullptr;
    std::uint32_t frame = 0; // 0-based index of the frame shown
    bool playing = true;
    // Without a timeline: unloadMovie took the content (no frames at all), or a goto moved
    // an empty clip into its one frame (it stood before it, at frame 0).
    bool emptied = false;
    bool frameEntered = false;
    int nesting = 0; // 0 for the root
    std::uint64_t createdTick = 0;
    DisplayList displayList;

    std::uint32_t frameCount() const {
        return timeline == nullptr ? 0u : static_cast<std::uint32_t>(timeline->frames.size());
    }
};

inline DisplayList::iterator entryOf(DisplayList& list, const DisplayObject& object) {
    auto [it, end] = list.equal_range(object.depth);
    while (it != end && it->second.get() != &object) {
        ++it;
    }
    return it == end ? list.end() : it;
}

inline void unlist(DisplayList& list, const DisplayObject& object) {
    if (const auto it = entryOf(list, object); it != list.end()) {
        list.erase(it);
    }
}

inline DisplayList::iterator placeBelow(DisplayList& list, std::shared_ptr<DisplayObject> object) {
    const std::int32_t depth = object->depth;
    return list.emplace_hint(list.lower_bound(depth), depth, std::move(object));
}

} // namespace mc
