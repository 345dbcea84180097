#include "DisplayProperties.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <numbers>

#include "ObjectGeometry.h"
#include "TextFieldState.h"

namespace mc::props {

namespace {

constexpr double kDegrees = 180.0 / std::numbers::pi;

// The scale, rotation and skew the matrix holds, unless a script set them already.
struct Parts {
    double xScale;
    double yScale;
    double rotation; // of the x axis, radians
    double skew;     // rotation of the y axis minus that of the x axis
};

Parts partsOf(const DisplayObject& o) {
    const Transform& m = o.matrix;
    const double rx = std::atan2(m.b, m.a);
    const double ry = std::atan2(-m.c, m.d);
    Parts p{std::hypot(m.a, m.b), std::hypot(m.c, m.d), rx, ry - rx};
    if (o.geometry) {
        p.xScale = o.geometry->xScale / 100.0;
        p.yScale = o.geometry->yScale / 100.0;
        p.rotation = o.geometry->rotation / kDegrees;
        // The skew is measured from the rotation as set, not from the matrix's x axis: a
        // negative x scale turns that axis half a turn (and a zero one loses it), while the
        // y axis still turns with the rotation. A negative y scale turns its own axis back.
        const double yAxis = p.yScale < 0 ? ry - std::numbers::pi : ry;
        p.skew = std::hypot(m.c, m.d) > 0 ? yAxis - p.rotation : 0.0;
    }
    return p;
}

// Sets the matrix from `p`; the geometry scripts read back keeps the values as set
// (`field` of the old geometry replaced by `value`), so that no round trip through radians
// and factors drifts them.
void apply(DisplayObject& o, const Parts& p, double ScriptGeometry::*field, double value) {
    ScriptGeometry g = o.geometry.value_or(
        ScriptGeometry{p.xScale * 100.0, p.yScale * 100.0, p.rotation * kDegrees});
    const double ry = p.rotation + p.skew;
    Transform m = o.matrix;
    m.a = p.xScale * std::cos(p.rotation);
    m.b = p.xScale * std::sin(p.rotation);
    m.c = -p.yScale * std::sin(ry);
    m.d = p.yScale * std::cos(ry);
    // The player's matrix has no NaN: a value it cannot hold is 0.
    for (double* entry : {&m.a, &m.b, &m.c, &m.d}) {
        *entry = std::isfinite(*entry) ? *entry : 0.0;
    }
    g.*field = value;
    o.scriptMove(m, g);
}

// Positions are kept in a 32-bit count of whole twips, as the players keep them: what is
// short of a whole twip is dropped, so that small steps added to _x never add up. A position
// past that range (infinities too) becomes the one value the processor gives for every number
// it cannot convert, the most negative.
double toTwips(double pixels) {
    const double twips = std::trunc(pixels * 20.0);
    constexpr double kMin = -2147483648.0;
    // A whole count of twips has no negative zero.
    return twips >= kMin && twips <= 2147483647.0 ? twips + 0.0 : kMin;
}

} // namespace

double x(const DisplayObject& o) {
    return o.matrix.tx / 20.0;
}

double y(const DisplayObject& o) {
    return o.matrix.ty / 20.0;
}

void setX(DisplayObject& o, double pixels) {
    if (!std::isnan(pixels)) {
        o.scriptMoveTo(toTwips(pixels), o.matrix.ty);
    }
}

void setY(DisplayObject& o, double pixels) {
    if (!std::isnan(pixels)) {
        o.scriptMoveTo(o.matrix.tx, toTwips(pixels));
    }
}

double xScale(const DisplayObject& o) {
    return o.geometry ? o.geometry->xScale : partsOf(o).xScale * 100.0;
}

double yScale(const DisplayObject& o) {
    return o.geometry ? o.geometry->yScale : partsOf(o).yScale * 100.0;
}

double rotation(const DisplayObject& o) {
    if (o.geometry) {
        return o.geometry->rotation;
    }
    double degrees = partsOf(o).rotation * kDegrees;
    if (degrees > 180.0) {
        degrees -= 360.0;
    } else if (degrees <= -180.0) {
        degrees += 360.0;
    }
    return degrees;
}

void setXScale(DisplayObject& o, double percent) {
    if (!std::isfinite(percent)) {
        return;
    }
    Parts p = partsOf(o);
    p.xScale = percent / 100.0;
    apply(o, p, &ScriptGeometry::xScale, percent);
}

void setYScale(DisplayObject& o, double percent) {
    if (!std::isfinite(percent)) {
        return;
    }
    Parts p = partsOf(o);
    p.yScale = percent / 100.0;
    apply(o, p, &ScriptGeometry::yScale, percent);
}

void setRotation(DisplayObject& o, double degrees) {
    if (!std::isfinite(degrees)) {
        return;
    }
    // Kept in (-180, 180]: a half turn either way reads 180.
    degrees = std::fmod(degrees, 360.0);
    if (degrees > 180.0) {
        degrees -= 360.0;
    } else if (degrees <= -180.0) {
        degrees += 360.0;
    }
    setRotationAsGiven(o, degrees);
}

void setRotationAsGiven(DisplayObject& o, double degrees) {
    if (!std::isfinite(degrees)) {
        return;
    }
    Parts p = partsOf(o);
    p.rotation = degrees / kDegrees;
    apply(o, p, &ScriptGeometry::rotation, degrees);
}

namespace {

void keepNaN(DisplayObject& o, double ScriptGeometry::*field, double Transform::*first,
             double Transform::*second) {
    ScriptGeometry g{xScale(o), yScale(o), rotation(o)};
    g.*field = std::nan("");
    Transform m = o.matrix;
    if (first != nullptr && second != nullptr) {
        m.*first = 0.0;
        m.*second = 0.0;
    }
    o.scriptMove(m, g);
}

} // namespace

void setXScaleNaN(DisplayObject& o) {
    keepNaN(o, &ScriptGeometry::xScale, &Transform::a, &Transform::b);
}

void setYScaleNaN(DisplayObject& o) {
    keepNaN(o, &ScriptGeometry::yScale, &Transform::c, &Transform::d);
}

void setRotationNaN(DisplayObject& o) {
    keepNaN(o, &ScriptGeometry::rotation, nullptr, nullptr);
}

double alpha(const DisplayObject& o) {
    return o.colorTransform.mult[3] * 100.0 / 256.0;
}

void setAlpha(DisplayObject& o, double percent) {
    if (!std::isfinite(percent)) {
        return;
    }
    const double mult = std::trunc(percent * 256.0 / 100.0);
    o.colorTransform.mult[3] = static_cast<std::int32_t>(std::clamp(mult, -32768.0, 32767.0));
}

// The box in the parent's space is kept in whole twips, its edges rounded to the nearest,
// so a size reads back as a multiple of a twip whatever the matrix.
double width(const ObjectGeometry& geometry, const DisplayObject& o) {
    const Bounds b = geometry.boundsOf(o, o.matrix);
    return b.empty() ? 0.0 : (std::round(b.xMax) - std::round(b.xMin)) / 20.0;
}

double height(const ObjectGeometry& geometry, const DisplayObject& o) {
    const Bounds b = geometry.boundsOf(o, o.matrix);
    return b.empty() ? 0.0 : (std::round(b.yMax) - std::round(b.yMin)) / 20.0;
}

namespace {

// An edit field takes a new size as a new box, not as a scale.
void resizeField(DisplayObject& o, double pixels, bool horizontal) {
    const double scale =
        horizontal ? std::hypot(o.matrix.a, o.matrix.b) : std::hypot(o.matrix.c, o.matrix.d);
    if (!std::isfinite(pixels) || scale <= 0.0) {
        return;
    }
    TextFieldState& t = *o.text;
    // The box is kept in whole twips, cut toward zero; a negative size measures the same box
    // from its other side.
    const double twips = std::min(std::fabs(std::trunc(pixels * 20.0 / scale)), 1e8);
    if (horizontal) {
        t.bounds.xMax = t.bounds.xMin + twips;
    } else {
        t.bounds.yMax = t.bounds.yMin + twips;
    }
    t.field.bounds = swf::Rect{
        static_cast<std::int32_t>(t.bounds.xMin), static_cast<std::int32_t>(t.bounds.xMax),
        static_cast<std::int32_t>(t.bounds.yMin), static_cast<std::int32_t>(t.bounds.yMax)};
    t.changed();
}

} // namespace

namespace {

// A new width (or height) for an object turned by its rotation: the scale along the axis
// set takes the size over the turned box's extent along it, the other scale moves toward
// the first in proportion to the turn. Unturned, the other scale stays; with no size to
// measure, both scales become 0.
void resize(const ObjectGeometry& geometry, DisplayObject& o, double pixels, bool horizontal) {
    const Bounds local = geometry.boundsOf(o, Transform{});
    if (std::isnan(pixels)) {
        return;
    }
    const double w = local.empty() ? 0.0 : (local.xMax - local.xMin) / 20.0;
    const double h = local.empty() ? 0.0 : (local.yMax - local.yMin) / 20.0;
    const double along = horizontal ? w : h;
    const double across = horizontal ? h : w;
    const double turn = rotation(o) / kDegrees;
    double cs = std::fabs(std::cos(turn));
    double sn = std::fabs(std::sin(turn));
    if (!std::isfinite(turn)) {
        cs = 1.0;
        sn = 0.0;
    }
    // A turn a whole number of half turns leaves no trace of the other axis.
    sn = sn < 1e-12 ? 0.0 : sn;
    const double own = horizontal ? xScale(o) / 100.0 : yScale(o) / 100.0;
    const double other = horizontal ? yScale(o) / 100.0 : xScale(o) / 100.0;
    double scale = along > 0 ? pixels / (along * cs + across * sn) : 0.0;
    double otherScale =
        sn == 0.0 ? other : (along * cs * own + across * sn * other) / (along * cs + across * sn);
    if (along <= 0) {
        otherScale = 0.0;
    }
    scale = std::isfinite(scale) ? scale : 0.0;
    otherScale = std::isfinite(otherScale) ? otherScale : 0.0;
    if (horizontal) {
        setXScale(o, scale * 100.0);
        if (sn != 0.0 || along <= 0) {
            setYScale(o, otherScale * 100.0);
        }
    } else {
        setYScale(o, scale * 100.0);
        if (sn != 0.0 || along <= 0) {
            setXScale(o, otherScale * 100.0);
        }
    }
}

} // namespace

void setWidth(const ObjectGeometry& geometry, DisplayObject& o, double pixels) {
    if (o.text) {
        resizeField(o, pixels, true);
        return;
    }
    resize(geometry, o, pixels, true);
}

void setHeight(const ObjectGeometry& geometry, DisplayObject& o, double pixels) {
    if (o.text) {
        resizeField(o, pixels, false);
        return;
    }
    resize(geometry, o, pixels, false);
}

} // namespace mc::props
