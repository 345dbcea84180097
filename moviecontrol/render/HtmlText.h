#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <vector>

#include "TextDocument.h"
#include "swf/BasicTypes.h"
#include "swf/Characters.h"

namespace mc {

// A stretch of an edit field's text in one style.
struct StyledRun {
    QString text;
    bool bold = false;
    bool italic = false;
    std::optional<double> sizePx;
    std::optional<swf::Rgba> color;
    std::optional<QString> face;
    // <font kerning="1">: the font's kerning pairs apply.
    bool kerning = false;
    bool underline = false;
    double letterSpacing = 0.0; // pixels
    // Where the run's first character stands in the document, in UTF-16 units.
    std::size_t begin = 0;
};

// The paragraph's own format; lengths in pixels, as scripts and markup give them.
struct StyledParagraph {
    std::optional<swf::TextAlign> align;
    double leftMargin = 0.0;
    double rightMargin = 0.0;
    double indent = 0.0;
    double blockIndent = 0.0;
    double leading = 0.0;
    // A list item: indented, with a bullet drawn in `mark`'s style (its first character's)
    // left of the text.
    bool bullet = false;
    StyledRun mark;
    std::vector<StyledRun> runs;
};

// A field's formatted text as the painter takes it: one paragraph per '\r'-ended stretch
// (an empty last one is dropped unless it is a list item), runs of one style each.
std::vector<StyledParagraph> paragraphsOf(const TextDocument& document);

} // namespace mc
