#pragma once

#include <QPainterPath>
#include <QRectF>
#include <QTransform>

namespace mc {

// The background and border of a bordered edit field, in device pixels.
struct FieldFrame {
    QPainterPath background;
    QPainterPath border;
};

// Players draw a field's frame on whole device pixels whatever the field's position: each
// edge moves to the nearest pixel boundary (halves go up-left), the background fills the
// pixels inside, and the one-pixel border runs along the top and left edges and just
// outside the right and bottom ones, leaving the bottom-right corner pixel out. A rotated or
// skewed field has no pixel grid to follow: its outline is stroked one pixel wide.
FieldFrame fieldFrame(const QRectF& boundsTwips, const QTransform& toDevice);

} // namespace mc
