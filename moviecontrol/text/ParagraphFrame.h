#pragma once
// Where a paragraph's lines lie across an edit field: its margins, indents and a list item's
// bullet column, in twips. The painter and the script metrics (textWidth, autoSize) both
// place lines with it, so what scripts measure is what is drawn.

#include <cstddef>

namespace mc {

// Two pixels between a field's box and its text on every side.
inline constexpr double kFieldGutter = 40.0;
// A list item's text starts this far right of its margins, its bullet halfway.
inline constexpr double kBulletIndent = 720.0;

// A paragraph's lengths as scripts and markup give them, in pixels.
struct ParagraphLengths {
    double leftMargin = 0.0;
    double rightMargin = 0.0;
    double indent = 0.0;
    double blockIndent = 0.0;
    bool bullet = false;
};

struct ParagraphFrame {
    double margin = 0.0; // where a list item's bullet column starts
    double left = 0.0;   // where lines start (the first adds `indent`)
    double right = 0.0;  // where lines end
    double indent = 0.0;

    double lineLeft(std::size_t line) const { return left + (line == 0 ? indent : 0.0); }
    double bulletLeft() const { return margin + kBulletIndent / 2.0; }
    double firstWidth() const { return right - left - indent; }
    double width() const { return right - left; }
};

// A length from scripts (pixels) in twips, kept finite and within reach.
double lengthTwips(double pixels);

// The frame of a paragraph whose text may run from `textLeft` to `textRight` (the field's
// box less its gutters).
ParagraphFrame paragraphFrame(double textLeft, double textRight, const ParagraphLengths& lengths);

} // namespace mc
