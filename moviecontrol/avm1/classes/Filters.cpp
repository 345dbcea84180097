// flash.filters: the bitmap filter classes. Each filter keeps its fields natively and shows
// them through accessors on its class's prototype, so that a field always reads back in its
// range and type; an object a script class made and then passed through super() becomes a
// filter of that kind once, as the first constructor call binds its state.
//
// A field reads back what the player's filter record can hold: alphas are a byte, strengths
// fixed 8.8, angles radians turned back into degrees (within a turn), divisors and scales
// single floats. Blurs are clamped to their range, which leaves NaN as it is; the stage turns
// what cannot be drawn into nothing when it builds the record.

#include "avm1/Convert.h"
#include "avm1/FilterObjects.h"
#include "avm1/Packages.h"
#include "avm1/State.h"

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace avm1 {

namespace {

constexpr std::string_view FilterPackage = "flash.filters";

enum class FieldType {
    Number,
    Integer,
    Color,
    Flag,
    Text,
    List,
    Object,
    // Degrees kept as radians, reduced to one turn.
    Angle,
    // A fraction kept as a byte (truncated).
    Alpha,
    // Kept in fixed 8.8 from 0 to 255.
    Strength,
    // Kept as a single float.
    Float,
    // An integer without a range.
    Whole,
};

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
    return {name, FieldType::Alpha, initial, 0, 1};
}
FieldRule quality() {
    return {"quality", FieldType::Integer, 1, 0, 15};
}
FieldRule strength(double initial) {
    return {"strength", FieldType::Strength, initial, 0, 255};
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
// The player's default angle: 45 degrees as it keeps them, in radians to nine places.
constexpr double DefaultAngle = 0.785398163 * 180.0 / std::numbers::pi;

FieldRule angle() {
    return {"angle", FieldType::Angle, DefaultAngle};
}
FieldRule single(std::string_view name, double initial) {
    return {name, FieldType::Float, initial};
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
                                           angle(),
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
             {number("distance", 4), angle(), color("color", 0), unit("alpha", 1), blur("blurX", 4),
              blur("blurY", 4), strength(1), quality(), flag("inner", false),
              flag("knockout", false), flag("hideObject", false)}},
            {FilterKind::Bevel,
             "BevelFilter",
             {number("distance", 4), angle(), color("highlightColor", 0xFFFFFF),
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
              single("divisor", 1),
              single("bias", 0),
              flag("preserveAlpha", true),
              flag("clamp", true),
              color("color", 0),
              unit("alpha", 0)}},
            {FilterKind::DisplacementMap,
             "DisplacementMapFilter",
             {{"mapBitmap", FieldType::Object},
              {"mapPoint", FieldType::Object},
              {"componentX", FieldType::Whole},
              {"componentY", FieldType::Whole},
              single("scaleX", 0),
              single("scaleY", 0),
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

// A number as a single float keeps it; past the float's range it is an infinity.
double asFloat(double v) {
    constexpr double Max = std::numeric_limits<float>::max();
    if (v > Max) {
        return Inf;
    }
    if (v < -Max) {
        return -Inf;
    }
    return static_cast<double>(static_cast<float>(v));
}

// A fraction as the byte that keeps it: truncated, NaN is none. A value that already is a
// byte's fraction stays that byte, whatever the rounding of its product.
double alphaByte(double v) {
    if (std::isnan(v)) {
        return 0.0;
    }
    const double scaled = v * 255.0;
    const double nearest = std::round(scaled);
    return std::clamp(std::abs(scaled - nearest) < 1e-7 ? nearest : std::trunc(scaled), 0.0, 255.0);
}

// A gradient's alphas are rounded to their byte; NaN is opaque.
double gradientAlpha(double v) {
    return std::isnan(v) ? 1.0 : std::round(std::clamp(v, 0.0, 1.0) * 255.0) / 255.0;
}

bool isListOf(FilterKind kind, const FieldRule& rule, FilterKind which, std::string_view name) {
    return kind == which && rule.name == name;
}

bool isGradient(FilterKind kind) {
    return kind == FilterKind::GradientGlow || kind == FilterKind::GradientBevel;
}

void normaliseList(const FieldRule& rule, FilterField& f, FilterKind kind) {
    if (isListOf(kind, rule, FilterKind::ColorMatrix, "matrix")) {
        // Twenty entries, read by index: what is missing is NaN.
        f.list.resize(20, std::numeric_limits<double>::quiet_NaN());
        return;
    }
    for (double& v : f.list) {
        if (!isGradient(kind)) {
            v = std::isnan(v) ? 0.0 : v;
        } else if (rule.name == "colors") {
            v = static_cast<double>(toUint32(v) & 0xFFFFFFu);
        } else if (rule.name == "alphas") {
            v = gradientAlpha(v);
        } else if (rule.name == "ratios") {
            v = std::isnan(v) ? 0.0 : std::clamp(std::trunc(v), 0.0, 255.0);
        }
    }
}

// Brings a field into the range and shape its setter allows.
void normalise(const FieldRule& rule, FilterField& f, FilterKind kind) {
    switch (rule.type) {
    case FieldType::Number:
        // A clamp leaves NaN as it is.
        f.number = std::isnan(f.number) ? f.number : std::clamp(f.number, rule.min, rule.max);
        break;
    case FieldType::Integer:
        f.number = std::clamp(static_cast<double>(toInt32(f.number)), rule.min, rule.max);
        break;
    case FieldType::Whole:
        f.number = static_cast<double>(toInt32(f.number));
        break;
    case FieldType::Color:
        f.number = static_cast<double>(toUint32(f.number) & 0xFFFFFFu);
        break;
    case FieldType::Angle:
        f.number =
            std::fmod(f.number, 360.0) * (std::numbers::pi / 180.0) * (180.0 / std::numbers::pi);
        break;
    case FieldType::Alpha:
        f.number = alphaByte(f.number) / 255.0;
        break;
    case FieldType::Strength:
        f.number = std::isnan(f.number)
                       ? 0.0
                       : std::clamp(std::trunc(f.number * 256.0), 0.0, 65280.0) / 256.0;
        break;
    case FieldType::Float:
        f.number = asFloat(f.number);
        break;
    case FieldType::List:
        normaliseList(rule, f, kind);
        break;
    default:
        break;
    }
}

// A convolution's matrix has at least a cell for each of its rows and columns: the missing
// ones are zero.
void fitMatrix(FilterFields& fields) {
    if (fields.kind != FilterKind::Convolution) {
        return;
    }
    const double cells = fields.number("matrixX") * fields.number("matrixY");
    if (FilterField* matrix = fields.find("matrix");
        matrix && cells > static_cast<double>(matrix->list.size())) {
        matrix->list.resize(static_cast<std::size_t>(cells), 0.0);
    }
}

// A gradient made by its constructor has as many stops as the shortest of its lists.
void fitStops(FilterFields& fields) {
    if (!isGradient(fields.kind)) {
        return;
    }
    std::size_t stops = std::numeric_limits<std::size_t>::max();
    for (std::string_view name : {"colors", "alphas", "ratios"}) {
        stops = std::min(stops, fields.at(name).list.size());
    }
    for (std::string_view name : {"colors", "alphas", "ratios"}) {
        if (FilterField* f = fields.find(name)) {
            f->list.resize(stops);
        }
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
    if (rule.name == "mapPoint") {
        f.list = {0.0, 0.0};
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
    case FieldType::Angle:
    case FieldType::Alpha:
    case FieldType::Strength:
    case FieldType::Float:
    case FieldType::Whole:
        f.number = m.toNumber(value);
        break;
    case FieldType::Flag:
        f.flag = m.toBoolean(value);
        break;
    case FieldType::Text: {
        Str text = m.toString(value);
        if (accepted(rule.text, text.view())) {
            f.text = text.str();
        } else if (rule.name == "type") {
            // A bevel of no known type is drawn on both sides.
            f.text = "full";
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
        return f.object ? Value(f.object) : Value();
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
                // A colour matrix given as nothing stays the identity.
                if (kind == FilterKind::ColorMatrix && c.arg(i).isNullish()) {
                    continue;
                }
                assign(m, kind, s.fields[i], fields.fields[i].second, c.arg(i));
            }
            fitMatrix(fields);
            fitStops(fields);
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
                    fitMatrix(*f);
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
