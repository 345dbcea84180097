#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "KeyCodes.h"
#include "StageInput.h"

// One event of an input file: what a person's mouse or keyboard did.
struct InputEvent {
    enum class Kind : std::uint8_t {
        MouseMove,
        MouseDown,
        MouseUp,
        Wheel,
        KeyDown,
        KeyUp,
        Text,       // text typed without a key of its own (an input method's)
        TextControl // an editing command: caret moves, selections, erasing
    };
    enum class Button : std::uint8_t { Left, Middle, Right };
    Kind kind = Kind::MouseMove;
    double x = 0.0; // stage pixels
    double y = 0.0;
    Button button = Button::Left;
    int wheel = 0; // positive away from the person
    mc::KeyStroke key;
    std::string text; // UTF-8, for Text
    mc::StageInput::TextCommand command = mc::StageInput::TextCommand::Move;
    mc::CaretMove move = mc::CaretMove::Back;
    bool extend = false;
};

struct InputScript {
    // The events of each frame in turn: those up to each Wait, then those after the last
    // Wait for the frame after it (delivered only when the movie plays that many frames).
    std::vector<std::vector<InputEvent>> frames;
    // Events left out (an unknown key or type), one line each, for the person to see.
    std::vector<std::string> skipped;
};

// Reads a JSON array of events; nothing when the text is not such an array.
std::optional<InputScript> readInputScript(std::string_view json, std::string& error);
