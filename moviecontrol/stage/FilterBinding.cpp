// Filter records and script filter objects differ in units: records keep angles in radians,
// colours with their alpha byte and the quality as a pass count; scripts see degrees,
// colours as numbers with a separate alpha from 0 to 1, and the quality.

#include "FilterBinding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "avm1/BitmapData.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

using avm1::FilterFields;
using avm1::FilterKind;

constexpr double kDegrees = 180.0 / std::numbers::pi;

// Scripts may leave NaN in a filter's numbers (a blur, a distance, a divisor); the record
// gets nothing there instead.
double drawable(double v) {
    return std::isnan(v) ? 0.0 : v;
}

double drawable(const FilterFields& f, std::string_view name) {
    return drawable(f.number(name));
}

// A single float for the record: NaN is nothing, what lies past the float's range its end.
float drawableFloat(double v) {
    constexpr double Max = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(drawable(v), -Max, Max));
}

// A displacement channel a script set out of range picks no channel.
std::uint8_t channel(const FilterFields& f, std::string_view name) {
    const double v = f.number(name);
    return v >= 0 && v <= 8 ? static_cast<std::uint8_t>(v) : 0;
}

swf::Rgba colorOf(const FilterFields& f, std::string_view color, std::string_view alpha) {
    const auto rgb = static_cast<std::uint32_t>(f.number(color));
    const double a = std::clamp(f.number(alpha), 0.0, 1.0);
    return swf::Rgba{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                     static_cast<std::uint8_t>(rgb),
                     static_cast<std::uint8_t>(std::lround(a * 255))};
}

void putColor(FilterFields& f, std::string_view color, std::string_view alpha, swf::Rgba c) {
    f.find(color)->number = static_cast<double>((c.r << 16) | (c.g << 8) | c.b);
    f.find(alpha)->number = c.a / 255.0;
}

std::uint8_t passes(const FilterFields& f) {
    return static_cast<std::uint8_t>(std::clamp(f.number("quality"), 0.0, 15.0));
}

// The common blur, offset and strength fields.
template <class R> void readShadow(const FilterFields& f, R& r) {
    r.blurX = drawable(f, "blurX");
    r.blurY = drawable(f, "blurY");
    r.angle = drawable(f, "angle") / kDegrees;
    r.distance = drawable(f, "distance");
    r.strength = drawable(f, "strength");
    r.knockout = f.flag("knockout");
    r.passes = passes(f);
}

template <class R> void writeShadow(FilterFields& f, const R& r) {
    f.find("blurX")->number = r.blurX;
    f.find("blurY")->number = r.blurY;
    f.find("angle")->number = r.angle * kDegrees;
    f.find("distance")->number = r.distance;
    f.find("strength")->number = r.strength;
    f.find("knockout")->flag = r.knockout;
    f.find("quality")->number = r.passes;
}

// Bevel types: an inner bevel, an outer one, or both sides ("full", drawn on top).
void readBevelType(const FilterFields& f, bool& inner, bool& onTop) {
    const std::string& type = f.at("type").text;
    inner = type == "inner";
    onTop = type == "full";
}

std::string bevelType(bool inner, bool onTop) {
    return onTop ? "full" : (inner ? "inner" : "outer");
}

swf::GradientFilterParams gradientRecord(const FilterFields& f) {
    swf::GradientFilterParams r;
    readShadow(f, r);
    readBevelType(f, r.inner, r.onTop);
    const auto& colors = f.at("colors").list;
    const auto& alphas = f.at("alphas").list;
    const auto& ratios = f.at("ratios").list;
    const std::size_t n = std::min({colors.size(), alphas.size(), ratios.size(), std::size_t{15}});
    for (std::size_t i = 0; i < n; ++i) {
        const auto rgb = static_cast<std::uint32_t>(std::clamp(colors[i], 0.0, 16777215.0));
        const double a = std::clamp(alphas[i], 0.0, 1.0);
        r.stops.push_back(
            {swf::Rgba{static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                       static_cast<std::uint8_t>(rgb),
                       static_cast<std::uint8_t>(std::lround(a * 255))},
             static_cast<std::uint8_t>(std::clamp(ratios[i], 0.0, 255.0))});
    }
    return r;
}

void writeGradient(FilterFields& f, const swf::GradientFilterParams& r) {
    writeShadow(f, r);
    f.find("type")->text = bevelType(r.inner, r.onTop);
    for (const auto& stop : r.stops) {
        f.find("colors")->list.push_back((stop.color.r << 16) | (stop.color.g << 8) | stop.color.b);
        f.find("alphas")->list.push_back(stop.color.a / 255.0);
        f.find("ratios")->list.push_back(stop.ratio);
    }
}

constexpr std::array<std::pair<std::string_view, swf::DisplacementMode>, 4> kDisplacementModes{
    {{"wrap", swf::DisplacementMode::Wrap},
     {"clamp", swf::DisplacementMode::Clamp},
     {"ignore", swf::DisplacementMode::Ignore},
     {"color", swf::DisplacementMode::Color}}};

// The filter draws from a copy of its map, so that a script drawing into the bitmap later
// changes nothing until it assigns the filter again, as with every other field.
std::optional<swf::Filter> displacementRecord(const FilterFields& f) {
    const std::shared_ptr<pixels::BitmapPixels> pixels =
        avm1::bitmapDataPixels(avm1::Value(f.at("mapBitmap").object));
    if (!pixels) {
        return std::nullopt;
    }
    auto map = std::make_shared<swf::DisplacementMap>();
    map->width = pixels->width();
    map->height = pixels->height();
    map->argb.reserve(static_cast<std::size_t>(map->width) * map->height);
    for (int y = 0; y < map->height; ++y) {
        for (int x = 0; x < map->width; ++x) {
            map->argb.push_back(pixels->at(x, y));
        }
    }
    swf::DisplacementMapFilter r;
    r.map = std::move(map);
    const std::vector<double>& point = f.at("mapPoint").list;
    if (point.size() == 2) {
        r.mapX = point[0];
        r.mapY = point[1];
    }
    r.componentX = channel(f, "componentX");
    r.componentY = channel(f, "componentY");
    r.scaleX = drawable(f, "scaleX");
    r.scaleY = drawable(f, "scaleY");
    for (const auto& [name, mode] : kDisplacementModes) {
        if (f.at("mode").text == name) {
            r.mode = mode;
        }
    }
    r.color = colorOf(f, "color", "alpha");
    return r;
}

void writeDisplacement(FilterFields& f, const swf::DisplacementMapFilter& r) {
    f.find("mapPoint")->list = {r.mapX, r.mapY};
    f.find("componentX")->number = r.componentX;
    f.find("componentY")->number = r.componentY;
    f.find("scaleX")->number = r.scaleX;
    f.find("scaleY")->number = r.scaleY;
    for (const auto& [name, mode] : kDisplacementModes) {
        if (r.mode == mode) {
            f.find("mode")->text = std::string(name);
        }
    }
    putColor(f, "color", "alpha", r.color);
}

// A new BitmapData holding a displacement filter's copy of its map.
avm1::Object* mapBitmapObject(avm1::Machine& m, const swf::DisplacementMap& map) {
    const avm1::Value ctor = m.get(avm1::packageObject(m, "flash.display"), "BitmapData");
    const std::array<avm1::Value, 4> args{avm1::Value(map.width), avm1::Value(map.height),
                                          avm1::Value(true), avm1::Value(0.0)};
    avm1::Object* bitmap = m.construct(ctor, args);
    const std::shared_ptr<pixels::BitmapPixels> pixels =
        avm1::bitmapDataPixels(avm1::Value(bitmap));
    if (!pixels || pixels->width() != map.width || pixels->height() != map.height) {
        return nullptr;
    }
    for (int y = 0; y < map.height; ++y) {
        for (int x = 0; x < map.width; ++x) {
            pixels->set(x, y, map.argb[static_cast<std::size_t>(y) * map.width + x]);
        }
    }
    return bitmap;
}

} // namespace

std::optional<swf::Filter> filterRecord(const FilterFields& f) {
    switch (f.kind) {
    case FilterKind::Blur:
        return swf::BlurFilter{drawable(f, "blurX"), drawable(f, "blurY"), passes(f)};
    case FilterKind::Glow: {
        swf::GlowFilter r;
        r.color = colorOf(f, "color", "alpha");
        r.blurX = drawable(f, "blurX");
        r.blurY = drawable(f, "blurY");
        r.strength = drawable(f, "strength");
        r.inner = f.flag("inner");
        r.knockout = f.flag("knockout");
        r.passes = passes(f);
        return r;
    }
    case FilterKind::DropShadow: {
        swf::DropShadowFilter r;
        readShadow(f, r);
        r.color = colorOf(f, "color", "alpha");
        r.inner = f.flag("inner");
        r.compositeSource = !f.flag("hideObject");
        return r;
    }
    case FilterKind::Bevel: {
        swf::BevelFilter r;
        readShadow(f, r);
        r.highlightColor = colorOf(f, "highlightColor", "highlightAlpha");
        r.shadowColor = colorOf(f, "shadowColor", "shadowAlpha");
        readBevelType(f, r.inner, r.onTop);
        return r;
    }
    case FilterKind::GradientGlow:
        return swf::GradientGlowFilter{gradientRecord(f)};
    case FilterKind::GradientBevel:
        return swf::GradientBevelFilter{gradientRecord(f)};
    case FilterKind::ColorMatrix: {
        swf::ColorMatrixFilter r;
        const auto& values = f.at("matrix").list;
        for (std::size_t i = 0; i < r.matrix.size() && i < values.size(); ++i) {
            r.matrix[i] = drawableFloat(values[i]);
        }
        return r;
    }
    case FilterKind::Convolution: {
        swf::ConvolutionFilter r;
        r.columns = static_cast<std::uint8_t>(f.number("matrixX"));
        r.rows = static_cast<std::uint8_t>(f.number("matrixY"));
        const auto& values = f.at("matrix").list;
        r.matrix.assign(static_cast<std::size_t>(r.columns) * r.rows, 0.0f);
        for (std::size_t i = 0; i < r.matrix.size() && i < values.size(); ++i) {
            r.matrix[i] = drawableFloat(values[i]);
        }
        r.divisor = drawableFloat(f.number("divisor"));
        r.bias = drawableFloat(f.number("bias"));
        r.defaultColor = colorOf(f, "color", "alpha");
        r.clamp = f.flag("clamp");
        r.preserveAlpha = f.flag("preserveAlpha");
        return r;
    }
    case FilterKind::DisplacementMap:
        return displacementRecord(f);
    }
    return std::nullopt;
}

FilterFields filterFields(const swf::Filter& filter) {
    return std::visit(
        [](const auto& r) {
            using R = std::decay_t<decltype(r)>;
            FilterFields f;
            if constexpr (std::is_same_v<R, swf::BlurFilter>) {
                f = avm1::defaultFilter(FilterKind::Blur);
                f.find("blurX")->number = r.blurX;
                f.find("blurY")->number = r.blurY;
                f.find("quality")->number = r.passes;
            } else if constexpr (std::is_same_v<R, swf::GlowFilter>) {
                f = avm1::defaultFilter(FilterKind::Glow);
                putColor(f, "color", "alpha", r.color);
                f.find("blurX")->number = r.blurX;
                f.find("blurY")->number = r.blurY;
                f.find("strength")->number = r.strength;
                f.find("inner")->flag = r.inner;
                f.find("knockout")->flag = r.knockout;
                f.find("quality")->number = r.passes;
            } else if constexpr (std::is_same_v<R, swf::DropShadowFilter>) {
                f = avm1::defaultFilter(FilterKind::DropShadow);
                writeShadow(f, r);
                putColor(f, "color", "alpha", r.color);
                f.find("inner")->flag = r.inner;
                f.find("hideObject")->flag = !r.compositeSource;
            } else if constexpr (std::is_same_v<R, swf::BevelFilter>) {
                f = avm1::defaultFilter(FilterKind::Bevel);
                writeShadow(f, r);
                putColor(f, "highlightColor", "highlightAlpha", r.highlightColor);
                putColor(f, "shadowColor", "shadowAlpha", r.shadowColor);
                f.find("type")->text = bevelType(r.inner, r.onTop);
            } else if constexpr (std::is_same_v<R, swf::GradientGlowFilter>) {
                f = avm1::defaultFilter(FilterKind::GradientGlow);
                writeGradient(f, r);
            } else if constexpr (std::is_same_v<R, swf::GradientBevelFilter>) {
                f = avm1::defaultFilter(FilterKind::GradientBevel);
                writeGradient(f, r);
            } else if constexpr (std::is_same_v<R, swf::ColorMatrixFilter>) {
                f = avm1::defaultFilter(FilterKind::ColorMatrix);
                f.find("matrix")->list.assign(r.matrix.begin(), r.matrix.end());
            } else if constexpr (std::is_same_v<R, swf::DisplacementMapFilter>) {
                f = avm1::defaultFilter(FilterKind::DisplacementMap);
                writeDisplacement(f, r);
            } else if constexpr (std::is_same_v<R, swf::ShaderFilter>) {
                // ActionScript 1 and 2 have no shader filter; it reads back as one that
                // changes nothing.
                f = avm1::defaultFilter(FilterKind::ColorMatrix);
            } else {
                f = avm1::defaultFilter(FilterKind::Convolution);
                f.find("matrixX")->number = r.columns;
                f.find("matrixY")->number = r.rows;
                f.find("matrix")->list.assign(r.matrix.begin(), r.matrix.end());
                f.find("divisor")->number = r.divisor;
                f.find("bias")->number = r.bias;
                putColor(f, "color", "alpha", r.defaultColor);
                f.find("clamp")->flag = r.clamp;
                f.find("preserveAlpha")->flag = r.preserveAlpha;
            }
            return f;
        },
        filter);
}

avm1::Value filtersValue(avm1::Machine& m, const DisplayObject& o) {
    std::vector<avm1::Value> objects;
    for (const swf::Filter& filter : o.filters) {
        avm1::FilterFields fields = filterFields(filter);
        if (const auto* d = std::get_if<swf::DisplacementMapFilter>(&filter); d && d->map) {
            fields.find("mapBitmap")->object = mapBitmapObject(m, *d->map);
        }
        objects.emplace_back(avm1::newFilterObject(m, fields));
    }
    return avm1::Value(m.newArray(objects));
}

void setFilters(avm1::Machine& m, DisplayObject& o, const avm1::Value& value) {
    std::vector<swf::Filter> records;
    if (avm1::Object* array = value.asObject()) {
        const double length = m.toNumber(m.get(array, "length"));
        // More filters than players draw on one object are never read.
        const auto count = length > 0 ? static_cast<std::size_t>(std::min(length, 64.0)) : 0;
        for (std::size_t i = 0; i < count; ++i) {
            const avm1::Value entry = m.get(array, std::to_string(i));
            if (const FilterFields* f = avm1::filterFieldsOf(entry)) {
                if (auto record = filterRecord(*f)) {
                    records.push_back(std::move(*record));
                }
            }
        }
    }
    o.filters = std::move(records);
}

} // namespace mc
