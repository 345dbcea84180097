#pragma once

#include <QString>
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
};

struct StyledParagraph {
    std::optional<swf::TextAlign> align;
    std::vector<StyledRun> runs;
};

// A field's formatted text as the painter takes it: one paragraph per '\r'-ended stretch
// (an empty last one is dropped), runs of one style each.
std::vector<StyledParagraph> paragraphsOf(const TextDocument& document);

} // namespace mc
