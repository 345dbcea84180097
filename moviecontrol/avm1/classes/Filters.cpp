// flash.filters: the bitmap filter classes. Each filter keeps its fields natively and shows
// them through accessors on its class's prototype, so that a field always reads back in its
// range and type; an object a script class made and then passed through super() becomes a
// filter of that kind once, as the first constructor call binds its state.

#include "avm1/Convert.h"
#include "avm1/FilterObjects.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <limits>

namespace avm1 {

namespace {

constexpr std::string_view FilterPackage = "flash.filters";

enum class FieldType { Number, Integer, Color, Flag, Text, List, Object };

struct FieldRule {
    std::string_view name;
    FieldType type;
    double initial = 0.0;
    double min = -std::numeric_limits<double>::infinity();
    double max = std::numeric_limits<double>::infinity();
    // Text fields: the default and the values the field accepts ("a|b|c").
    std::string_view text = {};
};

struct ClassRule {
    FilterKind kind;
    std::string_view name;
    std::vector<FieldRule> fields;
};

constexpr double Inf = std::numeric_limits<double>::infinity();

FieldRule blur(std::string_view name, double initial) {
    return {name, FieldType::Number, initial, 0, 255};
}
FieldRule unit(std::string_view name, double initial) {
    return {name, FieldType::Number, initial, 0, 1};
}
FieldRule quality() {
    return {"quality", FieldType::Integer, 1, 0, 15};
}
FieldRule strength(double initial) {
    return {"strength", FieldType::Number, initial, 0, 255};
}
FieldRule flag(std::string_view name, bool initial) {
    return {name, FieldType::Flag, initial ? 1.0 : 0.0};
}
FieldRule color(std::string_view name, double initial) {
    return {name, FieldType::Color, initial};
}
FieldRule number(std::string_view name, double initial) {
    return {name, FieldType::Number, initial, -Inf, Inf};
}
FieldRule list(std::string_view name) {
    return {name, FieldType::List};
}
FieldRule bevelType() {
    return {"type", FieldType::Text, 0, 0, 0, "inner|outer|full"};
}

const std::vector<ClassRule>& classRules() {
    static const std::vector<ClassRule> rules = [] {
        std::vector<FieldRule> gradient = {number("distance", 4),
                                           number("angle", 45),
                                           list("colors"),
                                           list("alphas"),
                                           list("ratios"),
                                           blur("blurX", 4),
                                           blur("blurY", 4),
                                           strength(1),
                                           quality(),
                                           bevelType(),
                                           flag("knockout", false)};
        return std::vector<ClassRule>{
            {FilterKind::Blur, "BlurFilter", {blur("blurX", 4), blur("blurY", 4), quality()}},
            {FilterKind::Glow,
             "GlowFilter",
             {color("color", 0xFF0000), unit("alpha", 1), blur("blurX", 6), blur("blurY", 6),
              strength(2), quality(), flag("inner", false), flag("knockout", false)}},
            {FilterKind::DropShadow,
             "DropShadowFilter",
             {number("distance", 4), number("angle", 45), color("color", 0), unit("alpha", 1),
              blur("blurX", 4), blur("blurY", 4), strength(1), quality(), flag("inner", false),
              flag("knockout", false), flag("hideObject", false)}},
            {FilterKind::Bevel,
             "BevelFilter",
             {number("distance", 4), number("angle", 45), color("highlightColor", 0xFFFFFF),
              unit("highlightAlpha", 1), color("shadowColor", 0), unit("shadowAlpha", 1),
              blur("blurX", 4), blur("blurY", 4), strength(1), quality(), bevelType(),
              flag("knockout", false)}},
            {FilterKind::GradientGlow, "GradientGlowFilter", gradient},
            {FilterKind::GradientBevel, "GradientBevelFilter", gradient},
            {FilterKind::ColorMatrix, "ColorMatrixFilter", {list("matrix")}},
            {FilterKind::Convolution,
             "ConvolutionFilter",
             {{"matrixX", FieldType::Integer, 0, 0, 15},
              {"matrixY", FieldType::Integer, 0, 0, 15},
              list("matrix"),
              number("divisor", 1),
              number("bias", 0),
              flag("preserveAlpha", true),
              flag("clamp", true),
              color("color", 0),
              unit("alpha", 0)}},
            {FilterKind::DisplacementMap,
             "DisplacementMapFilter",
             {{"mapBitmap", FieldType::Object},
              {"mapPoint", FieldType::Object},
              {"componentX", FieldType::Integer, 0, 0, 8},
              {"componentY", FieldType::Integer, 0, 0, 8},
              number("scaleX", 0),
              number("scaleY", 0),
              {"mode", FieldType::Text, 0, 0, 0, "wrap|clamp|ignore|color"},
              color("color", 0),
              unit("alpha", 0)}},
        };
    }();
    return rules;
}

const ClassRule& rulesOf(FilterKind kind) {
    for (const ClassRule& s : classRules()) {
        if (s.kind == kind) {
            return s;
        }
    }
    return classRules().front();
}

const FieldRule* fieldRule(FilterKind kind, std::string_view name) {
    for (const FieldRule& f : rulesOf(kind).fields) {
        if (f.name == name) {
            return &f;
        }
    }
    return nullptr;
}

// The first of a text field's accepted values.
std::string_view firstChoice(std::string_view choices) {
    return choices.substr(0, choices.find('|'));
}

bool accepted(std::string_view choices, std::string_view text) {
    while (!choices.empty()) {
        std::size_t bar = choices.find('|');
        if (choices.substr(0, bar) == text) {
            return true;
        }
        choices = bar == std::string_view::npos ? std::string_view() : choices.substr(bar + 1);
    }
    return false;
}

constexpr std::array<double, 20> IdentityMatrix = {1, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                                                   0, 0, 1, 0, 0, 0, 0, 0, 1, 0};

// Brings a field into the range and shape its setter allows.
void normalise(const FieldRule& rule, FilterField& f, FilterKind kind) {
    switch (rule.type) {
    case FieldType::Number:
        f.number = std::isnan(f.number) ? 0.0 : std::clamp(f.number, rule.min, rule.max);
        break;
    case FieldType::Integer:
        f.number = std::clamp(static_cast<double>(toInt32(f.number)), rule.min, rule.max);
        break;
    case FieldType::Color:
        f.number = static_cast<double>(toUint32(f.number) & 0xFFFFFFu);
        break;
    case FieldType::List:
        if (kind == FilterKind::ColorMatrix && rule.name == "matrix") {
            f.list.resize(20, 0.0);
        }
        for (double& v : f.list) {
            v = std::isnan(v) ? 0.0 : v;
        }
        break;
    default:
        break;
    }
}

FilterField initialField(const FieldRule& rule, FilterKind kind) {
    FilterField f;
    f.number = rule.initial;
    f.flag = rule.initial != 0.0;
    if (rule.type == FieldType::Text) {
        f.text = std::string(firstChoice(rule.text));
    }
    if (kind == FilterKind::ColorMatrix && rule.name == "matrix") {
        f.list.assign(IdentityMatrix.begin(), IdentityMatrix.end());
    }
    return f;
}

Object* classPrototype(Machine& m, std::string_view name) {
    Object* ctor = m.get(packageObject(m, FilterPackage), name).asObject();
    Object* proto = ctor ? m.get(ctor, "prototype").asObject() : nullptr;
    return proto ? proto : m.objectPrototype();
}

FilterFields* fieldsOf(const Value& v) {
    Object* o = v.asObject();
    return o ? dynamic_cast<FilterFields*>(o->nativeState()) : nullptr;
}

std::vector<double> numbersOf(Machine& m, const Value& v) {
    std::vector<double> out;
    Object* array = v.asObject();
    if (!array) {
        return out;
    }
    double length = m.toNumber(m.get(array, "length"));
    if (!(length > 0)) {
        return out;
    }
    // A script's array may claim any length; the filters never use more than a few
    // hundred entries.
    auto count = static_cast<std::size_t>(std::min(length, 1024.0));
    for (std::size_t i = 0; i < count; ++i) {
        out.push_back(m.toNumber(m.get(array, Machine::numberToString(static_cast<double>(i)))));
    }
    return out;
}

// Sets one field from a script value.
void assign(Machine& m, FilterKind kind, const FieldRule& rule, FilterField& f,
            const Value& value) {
    switch (rule.type) {
    case FieldType::Number:
    case FieldType::Integer:
    case FieldType::Color:
        f.number = m.toNumber(value);
        break;
    case FieldType::Flag:
        f.flag = m.toBoolean(value);
        break;
    case FieldType::Text: {
        Str text = m.toString(value);
        if (accepted(rule.text, text.view())) {
            f.text = text.str();
        }
        break;
    }
    case FieldType::List:
        f.list = numbersOf(m, value);
        break;
    case FieldType::Object:
        f.object = value.asObject();
        // The filter keeps the point's coordinates, not the point, as it hands out copies.
        if (rule.name == "mapPoint") {
            f.list.clear();
            if (f.object) {
                f.list = {m.toNumber(m.get(f.object, "x")), m.toNumber(m.get(f.object, "y"))};
            }
        }
        break;
    }
    normalise(rule, f, kind);
}

Value read(Machine& m, const FieldRule& rule, const FilterField& f) {
    switch (rule.type) {
    case FieldType::Flag:
        return Value(f.flag);
    case FieldType::Text:
        return Value(m.str(f.text));
    case FieldType::List: {
        std::vector<Value> values(f.list.begin(), f.list.end());
        return Value(m.newArray(values));
    }
    case FieldType::Object:
        if (rule.name == "mapPoint" && f.list.size() == 2) {
            return Value(newGeomPoint(m, f.list[0], f.list[1]));
        }
        return Value(f.object);
    default:
        return Value(f.number);
    }
}

Object* makeFilter(Machine& m, FilterFields fields) {
    Object* object = m.make<Object>(classPrototype(m, rulesOf(fields.kind).name));
    object->setNativeState(std::make_unique<FilterFields>(std::move(fields)));
    return object;
}

void installClass(Machine& m, const ClassRule& rule, Object* baseProto) {
    FilterKind kind = rule.kind;
    FunctionObject* ctor = m.newClass(
        [kind](CallArgs& c) -> Value {
            Machine& m = c.machine;
            FilterFields fields = defaultFilter(kind);
            const ClassRule& s = rulesOf(kind);
            for (std::size_t i = 0; i < s.fields.size() && i < c.count(); ++i) {
                assign(m, kind, s.fields[i], fields.fields[i].second, c.arg(i));
            }
            Object* self = c.thisObject();
            if (self && !self->nativeState()) {
                self->setNativeState(std::make_unique<FilterFields>(std::move(fields)));
            }
            return {};
        },
        baseProto);
    Object* proto = constructorPrototype(m, ctor);
    for (const FieldRule& field : rule.fields) {
        std::string_view name = field.name;
        defineAccessor(
            m, proto, name,
            [kind, name](CallArgs& c) -> Value {
                FilterFields* f = fieldsOf(c.thisValue);
                if (!f || f->kind != kind) {
                    return {};
                }
                return read(c.machine, *fieldRule(kind, name), f->at(name));
            },
            [kind, name](CallArgs& c) -> Value {
                FilterFields* f = fieldsOf(c.thisValue);
                if (f && f->kind == kind) {
                    assign(c.machine, kind, *fieldRule(kind, name), *f->find(name), c.arg(0));
                }
                return {};
            });
    }
    definePackaged(m, FilterPackage, rule.name, ctor);
}

} // namespace

const FilterField& FilterFields::at(std::string_view name) const {
    static const FilterField none;
    for (const auto& [n, f] : fields) {
        if (n == name) {
            return f;
        }
    }
    return none;
}

FilterField* FilterFields::find(std::string_view name) {
    for (auto& [n, f] : fields) {
        if (n == name) {
            return &f;
        }
    }
    return nullptr;
}

void FilterFields::trace(Tracer& tracer) {
    for (const auto& entry : fields) {
        tracer.mark(entry.second.object);
    }
}

const FilterFields* filterFieldsOf(const Value& value) {
    return fieldsOf(value);
}

FilterFields defaultFilter(FilterKind kind) {
    FilterFields out;
    out.kind = kind;
    for (const FieldRule& rule : rulesOf(kind).fields) {
        out.fields.emplace_back(rule.name, initialField(rule, kind));
    }
    return out;
}

Object* newFilterObject(Machine& m, const FilterFields& fields) {
    FilterFields copy = defaultFilter(fields.kind);
    for (auto& [name, f] : copy.fields) {
        f = fields.at(name);
        normalise(*fieldRule(fields.kind, name), f, fields.kind);
    }
    return makeFilter(m, std::move(copy));
}

void installFilters(Machine& m) {
    FunctionObject* base = m.newClass([](CallArgs&) -> Value { return {}; });
    Object* baseProto = constructorPrototype(m, base);
    m.defineMethod(baseProto, "clone", [](CallArgs& c) -> Value {
        FilterFields* f = fieldsOf(c.thisValue);
        if (!f) {
            return {};
        }
        return Value(makeFilter(c.machine, *f));
    });
    definePackaged(m, FilterPackage, "BitmapFilter", base);
    for (const ClassRule& rule : classRules()) {
        installClass(m, rule, baseProto);
    }
}

} // namespace avm1
