// DisplayObject.filters of ActionScript 3 movies: the script filters, as the machine hands
// them over, turned into filter records through the same fields and ranges the
// ActionScript 1/2 filter objects use, so that both kinds of movie draw a filter alike.
#include "As3DisplayTree.h"
#include "FilterBinding.h"
#include "StageScripts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <utility>

namespace mc {

namespace {

constexpr std::array<std::pair<std::string_view, avm1::FilterKind>, 9> kKinds = {{
    {"BevelFilter", avm1::FilterKind::Bevel},
    {"BlurFilter", avm1::FilterKind::Blur},
    {"ColorMatrixFilter", avm1::FilterKind::ColorMatrix},
    {"ConvolutionFilter", avm1::FilterKind::Convolution},
    {"DisplacementMapFilter", avm1::FilterKind::DisplacementMap},
    {"DropShadowFilter", avm1::FilterKind::DropShadow},
    {"GlowFilter", avm1::FilterKind::Glow},
    {"GradientBevelFilter", avm1::FilterKind::GradientBevel},
    {"GradientGlowFilter", avm1::FilterKind::GradientGlow},
}};

// Flash's ranges for the fields scripts set (its property setters hold values to them);
// whatever else a script gives only needs to be a finite number.
constexpr std::array<std::pair<std::string_view, std::pair<double, double>>, 8> kRanges = {{
    {"blurX", {0, 255}},
    {"blurY", {0, 255}},
    {"strength", {0, 255}},
    {"quality", {0, 15}},
    {"alpha", {0, 1}},
    {"highlightAlpha", {0, 1}},
    {"shadowAlpha", {0, 1}},
    {"matrixX", {0, 15}},
}};
// Longer lists than any filter reads (a gradient's 16 colours, a 15 by 15 matrix).
constexpr std::size_t kMaxList = 256;

double held(std::string_view name, double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    for (const auto& [field, range] : kRanges) {
        if (field == name || (field == "matrixX" && name == "matrixY")) {
            return std::clamp(v, range.first, range.second);
        }
    }
    return v;
}

// A ShaderFilter: the kernel the script side copied, grown by its extensions.
constexpr std::pair<const char*, int swf::ShaderFilter::*> kExtensions[] = {
    {"leftExtension", &swf::ShaderFilter::left},
    {"rightExtension", &swf::ShaderFilter::right},
    {"topExtension", &swf::ShaderFilter::top},
    {"bottomExtension", &swf::ShaderFilter::bottom}};

std::optional<swf::Filter> shaderRecordOf(const avm2::FilterValue& value) {
    if (value.kernel == nullptr) {
        return std::nullopt;
    }
    swf::ShaderFilter f;
    f.kernel = value.kernel;
    for (const avm2::FilterValue::Field& given : value.fields) {
        for (const auto& [name, side] : kExtensions) {
            if (given.name == name && std::isfinite(given.number)) {
                f.*side = static_cast<int>(std::clamp(given.number, 0.0, 4096.0));
            }
        }
    }
    return f;
}

std::optional<swf::Filter> recordOf(const avm2::FilterValue& value) {
    if (value.kind == "ShaderFilter") {
        return shaderRecordOf(value);
    }
    for (const auto& [name, kind] : kKinds) {
        if (name != value.kind) {
            continue;
        }
        avm1::FilterFields fields = avm1::defaultFilter(kind);
        for (const avm2::FilterValue::Field& given : value.fields) {
            if (avm1::FilterField* f = fields.find(given.name)) {
                f->number = held(given.name, given.number);
                f->flag = f->number != 0;
                f->text = given.text;
                f->list.clear();
                for (std::size_t i = 0; i < given.list.size() && i < kMaxList; ++i) {
                    f->list.push_back(std::isfinite(given.list[i]) ? given.list[i] : 0);
                }
            }
        }
        return filterRecord(fields);
    }
    return std::nullopt;
}

} // namespace

void As3DisplayTree::setFilters(avm2::NodeId node, const std::vector<avm2::FilterValue>& filters) {
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return;
    }
    std::vector<swf::Filter> records;
    for (const avm2::FilterValue& f : filters) {
        if (auto record = recordOf(f)) {
            records.push_back(std::move(*record));
        }
    }
    o->filters = std::move(records);
}

std::vector<avm2::FilterValue> As3DisplayTree::filtersOf(avm2::NodeId node) {
    std::vector<avm2::FilterValue> out;
    DisplayObject* o = find(node);
    if (o == nullptr) {
        return out;
    }
    for (const swf::Filter& record : o->filters) {
        if (const auto* shader = std::get_if<swf::ShaderFilter>(&record)) {
            avm2::FilterValue value;
            value.kind = "ShaderFilter";
            value.kernel = shader->kernel;
            value.fields.reserve(std::size(kExtensions));
            for (const auto& [name, side] : kExtensions) {
                avm2::FilterValue::Field field;
                field.name = name;
                field.number = (*shader).*side;
                value.fields.push_back(std::move(field));
            }
            out.push_back(std::move(value));
            continue;
        }
        const avm1::FilterFields fields = filterFields(record);
        avm2::FilterValue value;
        for (const auto& [name, kind] : kKinds) {
            if (kind == fields.kind) {
                value.kind = std::string(name);
            }
        }
        for (const auto& [name, f] : fields.fields) {
            avm2::FilterValue::Field field;
            field.name = std::string(name);
            field.number = f.flag ? 1.0 : f.number;
            field.text = f.text;
            field.list = f.list;
            value.fields.push_back(std::move(field));
        }
        out.push_back(std::move(value));
    }
    return out;
}

bool As3DisplayTree::filterIntoBitmap(pixels::BitmapPixels& target,
                                      const pixels::BitmapPixels& source, pixels::Placement at,
                                      const avm2::FilterValue& filter) {
    const std::optional<swf::Filter> record = recordOf(filter);
    return record && painting_ != nullptr && painting_->filterIntoBitmap &&
           painting_->filterIntoBitmap(target, source, at, *record);
}

std::optional<pixels::PixelRect> As3DisplayTree::filteredRect(pixels::PixelRect rect,
                                                              const avm2::FilterValue& filter) {
    const std::optional<swf::Filter> record = recordOf(filter);
    if (!record || painting_ == nullptr || !painting_->filteredRect) {
        return std::nullopt;
    }
    return painting_->filteredRect(rect, *record);
}

} // namespace mc
