#pragma once

#include <QPainterPath>
#include <QRawFont>
#include <QString>

#include <optional>

namespace makesample {

// A CJK font that has every character of `text`: the given file when one is named, else the
// installed Noto CJK faces for simplified Chinese (serif bold first).
std::optional<QRawFont> findGreetingFont(const QString& text, const QString& fontFile = {});

// The text's glyph outlines laid out on one line, `pixelSize` high, with `spacing` extra
// pixels between glyphs; centred on the origin by the outline's bounding box.
QPainterPath greetingPath(const QRawFont& font, const QString& text, double pixelSize,
                          double spacing);

} // namespace makesample
