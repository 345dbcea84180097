#pragma once
// Control tags and the frames of a timeline (the root movie or a sprite).

#include "swf/ActionCodes.h"
#include "swf/BasicTypes.h"
#include "swf/Filters.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace swf {

struct ClipAction {
    std::uint32_t events = 0; // Event flag bits as stored (16 bits in version 5, else 32).
    std::uint8_t keyCode = 0; // When the key-press event bit is set.
    ActionBlock actions;
};

// PlaceObject, PlaceObject2 and PlaceObject3. Absent optionals mean "not in the record"
// (for a move: keep what the object has).
struct PlaceObject {
    std::uint8_t version = 1;
    bool move = false; // Modify (no character) or replace (with character) the object.
    std::uint16_t depth = 0;
    std::optional<std::uint16_t> characterId;
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<std::uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<std::uint16_t> clipDepth;
    std::optional<std::string> className;
    bool hasImage = false;
    std::optional<std::vector<Filter>> filters;
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor;
    std::vector<ClipAction> clipActions;
};

// RemoveObject (with character id) and RemoveObject2 (depth only).
struct RemoveObject {
    std::uint16_t depth = 0;
    std::optional<std::uint16_t> characterId;
};

struct DoAction {
    ActionBlock actions;
};

struct DoInitAction {
    std::uint16_t spriteId = 0;
    ActionBlock actions;
};

struct SetBackgroundColor {
    Rgba color;
};

struct FrameLabel {
    std::string label;
    bool namedAnchor = false;
};

// A control tag kept undecoded (sound tags, for now): code and body as stored.
struct RawControlTag {
    std::uint16_t code = 0;
    std::span<const std::uint8_t> body;
};

using ControlTag = std::variant<PlaceObject, RemoveObject, DoAction, DoInitAction,
                                SetBackgroundColor, FrameLabel, RawControlTag>;

// The control tags between two ShowFrame tags, in file order.
struct Frame {
    std::vector<ControlTag> tags;
};

// A scene of the root timeline: its name and first frame (from 0), as
// DefineSceneAndFrameLabelData lists them.
struct Scene {
    std::string name;
    std::uint32_t firstFrame = 0;
};

// A frame label DefineSceneAndFrameLabelData gives (frame from 0).
struct SceneFrameLabel {
    std::uint32_t frame = 0;
    std::string label;
};

struct Timeline {
    // The frame count the header or DefineSprite claims; frames.size() is what is present.
    std::uint16_t declaredFrameCount = 0;
    // From DefineSceneAndFrameLabelData, in file order; empty without one.
    std::vector<Scene> scenes;
    std::vector<SceneFrameLabel> sceneLabels;
    // Bytes of the sprite's tag stream (what a sprite reports as loaded); 0 for the root.
    std::uint32_t byteLength = 0;
    // Tags after the last ShowFrame form a final frame only when there are any.
    std::vector<Frame> frames;
};

} // namespace swf
