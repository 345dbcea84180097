#include "SurfaceProperties.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "ScrollWindowRules.h"
#include "StageScripts.h"
#include "avm1/Machine.h"
#include "avm1/Packages.h"

namespace mc {

using avm1::Value;

namespace {

std::optional<Rgba> colorOf(avm1::Machine& m, const Value& value) {
    if (value.isNullish()) {
        return std::nullopt;
    }
    const double n = m.toNumber(value);
    if (!std::isfinite(n)) {
        return std::nullopt;
    }
    // Colours wrap like the 32-bit integers they are; the top byte is not alpha here.
    const auto rgb = static_cast<std::uint32_t>(static_cast<std::int64_t>(n));
    return Rgba{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                static_cast<std::uint8_t>(rgb), 255};
}

// A rectangle's x, y, width and height, all finite; none for anything else.
std::optional<std::array<double, 4>> rectangleOf(avm1::Machine& m, const Value& value) {
    avm1::Object* r = value.asObject();
    if (r == nullptr) {
        return std::nullopt;
    }
    const std::array<double, 4> fields{m.toNumber(m.get(r, "x")), m.toNumber(m.get(r, "y")),
                                       m.toNumber(m.get(r, "width")),
                                       m.toNumber(m.get(r, "height"))};
    if (!std::all_of(fields.begin(), fields.end(), [](double v) { return std::isfinite(v); })) {
        return std::nullopt;
    }
    return fields;
}

std::optional<ScrollWindow> windowOf(avm1::Machine& m, const Value& value) {
    const auto r = rectangleOf(m, value);
    return r ? std::optional(scriptWindowAs2((*r)[0], (*r)[1], (*r)[2], (*r)[3])) : std::nullopt;
}

// A nine-slice grid in twips from a rectangle in pixels.
std::optional<Bounds> gridOf(avm1::Machine& m, const Value& value) {
    const auto r = rectangleOf(m, value);
    if (!r) {
        return std::nullopt;
    }
    const auto [x, y, width, height] = *r;
    return Bounds{x * 20.0, y * 20.0, (x + width) * 20.0, (y + height) * 20.0, true};
}

} // namespace

bool readSurfaceProperty(avm1::Machine& m, const DisplayObject& o, std::string_view name,
                         Value& out) {
    if (name == "opaqueBackground") {
        if (const auto& c = o.opaqueBackground) {
            out = Value(static_cast<double>((std::uint32_t{c->r} << 16) |
                                            (std::uint32_t{c->g} << 8) | c->b));
        } else {
            out = Value();
        }
        return true;
    }
    if (name == "scrollRect") {
        if (const auto& w = o.scrollRect) {
            out = Value(avm1::newGeomRectangle(m, w->x, w->y, w->width, w->height));
        } else {
            out = Value();
        }
        return true;
    }
    if (name == "scale9Grid") {
        if (const auto& g = o.scalingGrid) {
            out = Value(avm1::newGeomRectangle(m, g->xMin / 20.0, g->yMin / 20.0,
                                               (g->xMax - g->xMin) / 20.0,
                                               (g->yMax - g->yMin) / 20.0));
        } else {
            out = Value();
        }
        return true;
    }
    return false;
}

bool writeSurfaceProperty(avm1::Machine& m, DisplayObject& o, std::string_view name,
                          const Value& value) {
    if (name == "opaqueBackground") {
        o.opaqueBackground = colorOf(m, value);
        return true;
    }
    if (name == "scrollRect") {
        o.scrollRect = windowOf(m, value);
        return true;
    }
    if (name == "scale9Grid") {
        o.scalingGrid = gridOf(m, value);
        return true;
    }
    return false;
}

std::optional<DisplayObject*> maskArgument(StageScripts& stage, const Value& value) {
    if (value.isNullish()) {
        return nullptr;
    }
    if (avm1::Object* object = value.asObject()) {
        DisplayObject* mask = stage.displayOf(object);
        return mask != nullptr ? std::optional(mask) : std::nullopt;
    }
    // Strings and numbers name a clip by its path, as tellTarget does.
    avm1::Machine& m = stage.machine();
    DisplayObject* mask = stage.displayOf(m.resolveTarget(m.toString(value).view()));
    return mask != nullptr ? std::optional(mask) : std::nullopt;
}

} // namespace mc
