#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "DisplayObject.h"
#include "KeyCodes.h"
#include "avm1/Host.h"

namespace avm1 {
class Object;
}

namespace mc {

// The mouse and keyboard as the movie's scripts read them, kept between events.
struct InputState {
    // The pointer in stage twips.
    double mouseX = 0.0;
    double mouseY = 0.0;
    bool mouseHidden = false;
    // The person moved or pressed the mouse over the stage at least once: until then the
    // pointer is nowhere.
    bool pointerPlaced = false;
    // By key code; the mouse's left button counts as key 1, as scripts ask for it.
    std::array<bool, 256> keysDown{};
    // Flips at every press of the key: the lock keys' lights, and the same for every key.
    std::array<bool, 256> toggled{};
    KeyStroke lastKey;

    // startDrag: the clip follows the pointer, keeping the offset it had when the drag
    // began (none with lockCenter), within bounds given in its parent's pixels.
    struct Drag {
        std::weak_ptr<DisplayObject> clip;
        double offsetX = 0.0; // twips of the parent's space
        double offsetY = 0.0;
        std::optional<avm1::Host::DragBounds> bounds;
    };
    std::optional<Drag> drag;
    // _droptarget of the clips dragged, by serial: the slash path of what they were dropped on.
    std::unordered_map<std::uint64_t, std::string> dropTargets;

    // The object that has the keyboard focus (Selection), if any.
    std::weak_ptr<DisplayObject> focus;
    // The focus came from the keyboard or a script, not from the mouse: a button or clip
    // that has it shows the focus rectangle and answers Enter and Space.
    bool focusHighlighted = false;
    // What the pointer is over as far as roll events go: what the pointer last rolled
    // over, or what a script's or the Tab key's focus rolled over since (see rollFocusTo).
    std::weak_ptr<DisplayObject> focusRolledOver;
    // The focus rolled over something since the pointer last moved: the pointer counts as
    // over it, and rolls out of it when it moves elsewhere.
    bool focusRolled = false;
    // _focusrect as scripts set it, by serial; an object without its own follows the
    // root's, and shows the rectangle when neither was set.
    std::unordered_map<std::uint64_t, bool> focusRects;
    // The selection in the focused field, in characters, begin <= end; the caret
    // stands at `caret` (one of the two).
    struct Selection {
        std::size_t begin = 0;
        std::size_t end = 0;
        std::size_t caret = 0;
    };
    Selection selection;

    // The Key, Mouse and Selection objects that listeners register with; kept alive by the
    // stage.
    avm1::Object* keyObject = nullptr;
    avm1::Object* mouseObject = nullptr;
    avm1::Object* selectionObject = nullptr;
};

} // namespace mc
