#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include "swf/BasicTypes.h"

namespace swf {
struct EditText;
}

namespace mc {

struct TextFieldState;

// The background and border of an edit field, in device pixels.
struct FieldFrame {
    QPainterPath background;
    QPainterPath border;
};

// Players draw a field's frame on whole device pixels whatever the field's position: each
// edge moves to the nearest pixel boundary (halves go up-left), the background fills the
// pixels inside, and the one-pixel border runs along the top and left edges and just
// outside the right and bottom ones, leaving the bottom-right corner pixel out. A rotated or
// skewed field has no pixel grid to follow: its outline is stroked one pixel wide. A skew
// that moves no corner by half a pixel is no skew on screen and keeps the grid.
FieldFrame fieldFrame(const QRectF& boundsTwips, const QTransform& toDevice);

// Which parts of a field's frame show, and their colours.
struct FieldFrameStyle {
    bool background = false;
    bool border = false;
    swf::Rgba backgroundColor{255, 255, 255, 255};
    swf::Rgba borderColor{0, 0, 0, 255};

    bool shows() const { return background || border; }
};

// A definition's border flag brings a white background and a black border; scripts set the
// two and their colours apart.
FieldFrameStyle frameStyleOf(const swf::EditText& definition);
FieldFrameStyle frameStyleOf(const TextFieldState& state);

} // namespace mc
