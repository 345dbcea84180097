#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "Bounds.h"
#include "Generation.h"
#include "swf/Characters.h"

namespace mc {

// The live state of an edit field: its definition as scripts changed it (text, colour,
// html, variable...) and the box it takes, in twips of its own space.
struct TextFieldState {
    swf::EditText field;
    Bounds bounds;
    // What the field shows; with html set, the markup as given.
    std::string text;
    // Grows with every change, so that a renderer can keep its layout until then.
    std::uint64_t generation = freshGeneration();
    // autoSize as scripts set it: "none", "left", "center" or "right".
    std::string autoSize = "none";
    bool background = false;
    swf::Rgba backgroundColor{255, 255, 255, 255};
    swf::Rgba borderColor{0, 0, 0, 255};

    void changed() { generation = freshGeneration(); }
};

// The text an html field shows: tags dropped, entities decoded, paragraphs and line breaks
// as carriage returns (as players give a field's text).
std::string plainTextOf(std::string_view html);
// Plain text made safe to stand as html markup.
std::string escapeHtml(std::string_view text);

} // namespace mc
