#pragma once

#include "moviemaker/Records.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace moviemaker {

enum class BlendMode : uint8_t {
    Normal = 1,
    Layer = 2,
    Multiply = 3,
    Screen = 4,
    Lighten = 5,
    Darken = 6,
    Difference = 7,
    Add = 8,
    Subtract = 9,
    Invert = 10,
    Alpha = 11,
    Erase = 12,
    Overlay = 13,
    HardLight = 14,
};

// One onClipEvent block of a placement: its event flags (as stored: load 0x1, enterFrame 0x2,
// unload 0x4 ... construct 0x40000), the key of a keyPress event and the actions, End included.
struct ClipEventHandler {
    uint32_t events = 0;
    uint8_t keyCode = 0;
    std::vector<uint8_t> actions;
};

// One placement; absent fields are left out of the record. The first version needs a
// character and writes an identity matrix when none is given; a field the chosen version
// lacks is refused, not dropped.
struct PlaceObject {
    uint16_t depth = 1;
    std::optional<uint16_t> characterId;
    bool move = false; // modify the object already at this depth
    std::optional<Matrix> matrix;
    std::optional<ColorTransform> colorTransform;
    std::optional<uint16_t> ratio;
    std::optional<std::string> name;
    std::optional<uint16_t> clipDepth;
    // Event handlers, second version on; their flags take two bytes in movies up to version
    // 5 and four after, so the movie's version goes with them.
    std::vector<ClipEventHandler> clipActions;
    uint8_t movieVersion = 6;
    // Third version only.
    std::optional<std::string> className;
    std::optional<std::vector<uint8_t>> filters; // the filter list as stored, count byte first
    std::optional<BlendMode> blendMode;
    std::optional<bool> cacheAsBitmap;
    std::optional<bool> visible;
    std::optional<Rgba> backgroundColor; // the opaque background
};

// The tag body for version 1, 2 or 3.
std::vector<uint8_t> encodePlaceObject(const PlaceObject& place, int version);

// A filter list with one blur (blur sizes in pixels, 1 to 15 passes).
std::vector<uint8_t> blurFilterList(double blurX, double blurY, uint8_t passes);

} // namespace moviemaker
