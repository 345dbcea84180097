#include "SurfaceProperties.h"

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

std::optional<ScrollWindow> windowOf(avm1::Machine& m, const Value& value) {
    avm1::Object* r = value.asObject();
    if (r == nullptr) {
        return std::nullopt;
    }
    const double x = m.toNumber(m.get(r, "x"));
    const double y = m.toNumber(m.get(r, "y"));
    const double width = m.toNumber(m.get(r, "width"));
    const double height = m.toNumber(m.get(r, "height"));
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(width) || !std::isfinite(height)) {
        return std::nullopt;
    }
    return scriptWindowAs2(x, y, width, height);
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
