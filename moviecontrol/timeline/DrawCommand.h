#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Bounds.h"
#include "ColorTransform.h"
#include "NineSlice.h"
#include "Transform.h"
#include "swf/Filters.h"

namespace mc {

class Drawing;
class PixelSource;
struct TextFieldState;

// What a character of the dictionary is, as far as the timeline cares. Sprites and buttons
// never reach the backend: the timeline flattens them into the commands of their children.
enum class CharacterKind : std::uint8_t {
    None,
    Shape,
    MorphShape,
    StaticText,
    EditText,
    Bitmap,
    Sprite,
    Button,
    Video,
    // Not in any dictionary: a box of one colour that the stage itself draws.
    Box
};

// Draws one character of the movie's dictionary. The matrix maps the character's twips to
// stage twips; the backend adds the stage-to-device transform.
struct DrawCharacter {
    CharacterKind kind = CharacterKind::Shape;
    std::uint16_t characterId = 0;
    // Morph shapes: 0 = start shape, 65535 = end shape. Video: the frame number shown.
    std::uint16_t ratio = 0;
    Transform matrix;
    ColorTransform colorTransform;
    // Set instead of a dictionary shape for what a script drew into a clip.
    const Drawing* drawing = nullptr;
    // Set for an edit field whose text scripts may change: drawn from this state.
    const TextFieldState* text = nullptr;
    // Set for a bitmap a script made: drawn from these pixels (see PixelSource).
    const PixelSource* pixels = nullptr;
    bool smoothing = false;
    // A picture file loaded by a script: its pixels keep hard edges when scaled or turned,
    // whatever the quality, unless `smoothing` asks for them to be smoothed.
    bool hardPixels = false;
    // The dictionary the id belongs to: 0 for the first movie's, else a loaded movie's.
    std::uint16_t library = 0;
    // A box: its corners in the space the matrix maps, and its colour.
    Bounds box = {};
    Rgba boxColor = {};
    // A shape of a clip scaled by its nine-slice grid: its points are mapped by these slices
    // before the matrix.
    std::optional<NineSlice> slices = std::nullopt;
};

// A sprite whose children must be composed in a layer of their own before they reach the
// picture: a blend mode other than normal, filters, or a bitmap cache request.
struct GroupStyle {
    swf::BlendMode blendMode = swf::BlendMode::Normal;
    std::vector<swf::Filter> filters;
    bool cacheAsBitmap = false;
    // The group's own placement.
    Transform matrix;
    // For a cached bitmap (filters or the cache request): what the group's content covers,
    // in stage twips. Players place such a bitmap with this box's corner on a whole pixel.
    Bounds bounds;
    // Applied to the finished layer, after its filters: a tinted object tints its shadow
    // too. The group's children are drawn without it.
    ColorTransform colorTransform;
};

} // namespace mc
