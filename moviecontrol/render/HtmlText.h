#pragma once

#include <QString>
#include <optional>
#include <vector>

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

// The subset of the players' HTML text that static fields use: <p align>, <br>, <b>, <i>,
// <font face size color kerning>, and the common entities. Unknown tags keep their text.
std::vector<StyledParagraph> parseHtmlText(const QString& html);

} // namespace mc
