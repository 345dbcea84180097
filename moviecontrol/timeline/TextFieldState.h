#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Bounds.h"
#include "Generation.h"
#include "TextDocument.h"
#include "swf/Characters.h"

namespace mc {

// The live state of an edit field: its definition as scripts changed it (text, colour,
// html, variable...) and the box it takes, in twips of its own space.
struct TextFieldState {
    swf::EditText field;
    Bounds bounds;
    // What the field shows, with the format of every character.
    TextDocument document;
    // The format that text set by scripts or typed in takes.
    TextFormat newFormat;
    bool condenseWhite = false;
    // The version of the movie the field belongs to (0: unknown, read as the newest).
    int movieVersion = 0;
    // The bound variable's value the text was last taken from.
    std::string boundValue;
    // Grows with every change, so that a renderer can keep its layout until then.
    std::uint64_t generation = freshGeneration();
    // autoSize as scripts set it: "none", "left", "center" or "right".
    std::string autoSize = "none";
    // The first line shown (from 1) and how many pixels the lines are moved left.
    std::size_t scroll = 1;
    double hscroll = 0;
    // The characters [begin, end) shown selected: the selection of the field that has the
    // focus; none when begin == end.
    struct ShownSelection {
        std::size_t begin = 0;
        std::size_t end = 0;
        bool operator==(const ShownSelection&) const = default;
    };
    ShownSelection shownSelection;
    // Settings only scripts read back (the painter has no use for them).
    bool mouseWheelEnabled = true;
    std::optional<std::string> restrict;
    std::optional<double> tabIndex;
    // maxChars as a script gave it (0 for none); negative numbers are kept but limit nothing.
    std::optional<std::int32_t> maxChars;
    double sharpness = 0;
    double thickness = 0;
    std::string antiAliasType = "normal";
    std::string gridFitType = "pixel";
    bool background = false;
    swf::Rgba backgroundColor{255, 255, 255, 255};
    swf::Rgba borderColor{0, 0, 0, 255};

    void changed() { generation = freshGeneration(); }

    // Takes a definition's settings, format and initial text; `fontName` is the name of the
    // embedded font it refers to, if any.
    void define(const swf::EditText& definition, std::string_view fontName);
    // The text as scripts read it (UTF-8, paragraphs ending in '\r').
    std::string plainText() const;
    // Replaces all text by `utf8` in the new text format.
    void setPlainText(std::string_view utf8);
    std::string htmlText() const;
    void setHtmlText(std::string_view utf8, const StyleSheet* styles = nullptr);
    // What text and html assignments do, as the field's html setting says.
    void assign(std::string_view utf8) {
        if (field.html) {
            setHtmlText(utf8);
        } else {
            setPlainText(utf8);
        }
    }
};

// The format a definition gives its text.
TextFormat formatOfDefinition(const swf::EditText& definition, std::string_view fontName);

} // namespace mc
