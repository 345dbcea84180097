// BitmapData's methods whose pixels the renderer paints: draw (a display object or another
// bitmap, under a matrix, colour transform and blend mode) and the filters (applyFilter,
// generateFilterRect). The display host does the painting; without one the bitmap stays as
// it is and generateFilterRect answers the rectangle unchanged.
#include "avm2/BitmapDataValues.h"
#include "avm2/FilterValues.h"
#include "avm2/ShaderValues.h"

#include <cmath>
#include <optional>

namespace avm2::bitmaps {

using pixels::BitmapPixels;

namespace {

constexpr char kBitmapData[] = "flash.display::BitmapData";

DisplayHost* hostOf(Machine& m) {
    return m.host().display();
}

// The filter argument: its class and properties, or the coercion error for anything else.
FilterValue filterArg(Machine& m, const Args& a, std::size_t i) {
    const Value v = geom::argument(a, i);
    if (v.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter filter must be non-null.");
    }
    std::optional<FilterValue> filter = filterValueOf(m, v);
    if (!filter) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(v) +
                         " to flash.filters.BitmapFilter.");
    }
    return *filter;
}

Value draw(Machine& m, const Value& self, Args& a) {
    BitmapPixels& target = pixelsOf(m, self);
    const Value source = geom::argument(a, 0);
    if (source.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter source must be non-null.");
    }
    DisplayHost::BitmapDraw d;
    Class* bitmapData = m.findClass(kBitmapData);
    if (bitmapData != nullptr && m.isType(source, bitmapData)) {
        std::shared_ptr<BitmapPixels> pixels = sharedPixels(m, source);
        // A bitmap drawn into itself reads the picture as it was before the call.
        if (pixels.get() == &target) {
            pixels = std::make_shared<BitmapPixels>(target);
        }
        d.bitmap = std::move(pixels);
    } else if (source.isObject() && source.asObject()->displayNode != 0) {
        d.node = source.asObject()->displayNode;
    } else if (Class* display = m.findClass("flash.display::DisplayObject");
               display == nullptr || !m.isType(source, display)) {
        m.throwError("TypeError", 1034,
                     "Type Coercion failed: cannot convert " + m.errorText(source) +
                         " to flash.display.IBitmapDrawable.");
    } else {
        return Value(); // a display object no tree holds shows nothing
    }
    if (const Value matrix = geom::argument(a, 1); !matrix.isNullish()) {
        d.matrix =
            geom::affineOf(m, Value::object(geom::required(m, matrix, "flash.geom::Matrix")));
    }
    if (const Value colors = geom::argument(a, 2); !colors.isNullish()) {
        const geom::Channels c = geom::channelsOf(
            m, Value::object(geom::required(m, colors, "flash.geom::ColorTransform")));
        for (std::size_t i = 0; i < 4; ++i) {
            d.colors.mult[i] = c[i];
            d.colors.add[i] = c[4 + i];
        }
    }
    if (const Value mode = geom::argument(a, 3); !mode.isNullish()) {
        d.blendMode = m.toString(mode);
    }
    if (const Value clip = geom::argument(a, 4); !clip.isNullish()) {
        d.clipRect = pixelRect(
            geom::boxOf(m, Value::object(geom::required(m, clip, "flash.geom::Rectangle"))));
    }
    d.smoothing = a.size() > 5 && Machine::toBoolean(a[5]);
    // A matrix the renderer cannot map with (not finite) draws nothing.
    for (double v : d.matrix) {
        if (!std::isfinite(v)) {
            return Value();
        }
    }
    if (DisplayHost* h = hostOf(m)) {
        h->drawIntoBitmap(target, d);
    }
    return Value();
}

Value applyFilter(Machine& m, const Value& self, Args& a) {
    BitmapPixels& target = pixelsOf(m, self);
    Transfer t = transferArgs(m, a);
    const bool shaderFilter = isShaderFilter(m, geom::argument(a, 3));
    const FilterValue filter = filterArg(m, a, 3);
    // The source is read as it was before the call, also when it is the target.
    if (t.source.get() == &target) {
        t.source = std::make_shared<BitmapPixels>(target);
    }
    if (shaderFilter) {
        applyShaderFilter(m, target, *t.source, t.at, geom::argument(a, 3));
        return Value();
    }
    if (DisplayHost* h = hostOf(m)) {
        h->filterIntoBitmap(target, *t.source, t.at, filter);
    }
    return Value();
}

Value generateFilterRect(Machine& m, const Value& self, Args& a) {
    pixelsOf(m, self);
    requireArg(m, a, 0, "flash.geom::Rectangle", "sourceRect");
    const geom::Box box = geom::boxOf(m, geom::argument(a, 0));
    const FilterValue filter = filterArg(m, a, 1);
    const pixels::PixelRect rect = pixelRect(box);
    if (isShaderFilter(m, geom::argument(a, 1))) {
        const pixels::PixelRect grown = shaderFilterRect(m, rect, geom::argument(a, 1));
        return geom::makeRectangle(
            m, {double(grown.x), double(grown.y), double(grown.width), double(grown.height)});
    }
    if (DisplayHost* h = hostOf(m)) {
        if (const std::optional<pixels::PixelRect> grown = h->filteredRect(rect, filter)) {
            return geom::makeRectangle(m, {double(grown->x), double(grown->y), double(grown->width),
                                           double(grown->height)});
        }
    }
    return geom::makeRectangle(m, box);
}

} // namespace

void installBitmapDataDrawing(Machine& m, Class* bitmapData) {
    m.defineMethod(bitmapData, "draw", draw);
    m.defineMethod(bitmapData, "drawWithQuality", draw);
    m.defineMethod(bitmapData, "applyFilter", applyFilter);
    m.defineMethod(bitmapData, "generateFilterRect", generateFilterRect);
}

} // namespace avm2::bitmaps
