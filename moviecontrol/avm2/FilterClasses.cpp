// flash.filters: the filters scripts put on DisplayObject.filters and pass to BitmapData.
// Each is a value object whose constructor arguments are its properties, in order, with the
// defaults of the Language Reference; scalars are typed variables, the arrays (a colour
// matrix, gradient colours) are copied in and out so that no script shares them with the
// filter.
#include "avm2/FilterValues.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/ShaderValues.h"

#include <span>

namespace avm2 {

namespace {

struct Field {
    const char* name = nullptr;
    enum class Type : std::uint8_t {
        Number,
        Uint,
        Int,
        Boolean,
        String,
        Array,
        Object
    } type = Type::Number;
    double number = 0;
    // A string's default; an object's class, whose coercion a store goes through.
    const char* text = nullptr;
};

using T = Field::Type;

constexpr Field kBlur[] = {
    {"blurX", T::Number, 4}, {"blurY", T::Number, 4}, {"quality", T::Int, 1}};
constexpr Field kGlow[] = {{"color", T::Uint, 0xFF0000}, {"alpha", T::Number, 1},
                           {"blurX", T::Number, 6},      {"blurY", T::Number, 6},
                           {"strength", T::Number, 2},   {"quality", T::Int, 1},
                           {"inner", T::Boolean, 0},     {"knockout", T::Boolean, 0}};
constexpr Field kDropShadow[] = {
    {"distance", T::Number, 4},  {"angle", T::Number, 45},     {"color", T::Uint, 0},
    {"alpha", T::Number, 1},     {"blurX", T::Number, 4},      {"blurY", T::Number, 4},
    {"strength", T::Number, 1},  {"quality", T::Int, 1},       {"inner", T::Boolean, 0},
    {"knockout", T::Boolean, 0}, {"hideObject", T::Boolean, 0}};
constexpr Field kBevel[] = {{"distance", T::Number, 4},
                            {"angle", T::Number, 45},
                            {"highlightColor", T::Uint, 0xFFFFFF},
                            {"highlightAlpha", T::Number, 1},
                            {"shadowColor", T::Uint, 0},
                            {"shadowAlpha", T::Number, 1},
                            {"blurX", T::Number, 4},
                            {"blurY", T::Number, 4},
                            {"strength", T::Number, 1},
                            {"quality", T::Int, 1},
                            {"type", T::String, 0, "inner"},
                            {"knockout", T::Boolean, 0}};
constexpr Field kGradient[] = {{"distance", T::Number, 4}, {"angle", T::Number, 45},
                               {"colors", T::Array},       {"alphas", T::Array},
                               {"ratios", T::Array},       {"blurX", T::Number, 4},
                               {"blurY", T::Number, 4},    {"strength", T::Number, 1},
                               {"quality", T::Int, 1},     {"type", T::String, 0, "inner"},
                               {"knockout", T::Boolean, 0}};
constexpr Field kColorMatrix[] = {{"matrix", T::Array}};
constexpr Field kConvolution[] = {
    {"matrixX", T::Number, 0}, {"matrixY", T::Number, 0}, {"matrix", T::Array},
    {"divisor", T::Number, 1}, {"bias", T::Number, 0},    {"preserveAlpha", T::Boolean, 1},
    {"clamp", T::Boolean, 1},  {"color", T::Uint, 0},     {"alpha", T::Number, 0}};
constexpr Field kDisplacement[] = {{"mapBitmap", T::Object, 0, "flash.display::BitmapData"},
                                   {"mapPoint", T::Object, 0, "flash.geom::Point"},
                                   {"componentX", T::Uint, 0},
                                   {"componentY", T::Uint, 0},
                                   {"scaleX", T::Number, 0},
                                   {"scaleY", T::Number, 0},
                                   {"mode", T::String, 0, "wrap"},
                                   {"color", T::Uint, 0},
                                   {"alpha", T::Number, 0}};

// The kernel runs where the filter is applied; the extensions grow the area it covers.
constexpr Field kShader[] = {{"shader", T::Object, 0, "flash.display::Shader"},
                             {"bottomExtension", T::Int, 0},
                             {"leftExtension", T::Int, 0},
                             {"rightExtension", T::Int, 0},
                             {"topExtension", T::Int, 0}};

struct FilterLayout {
    const char* name;
    std::span<const Field> fields;
};

constexpr FilterLayout kFilters[] = {
    {"BlurFilter", kBlur},
    {"GlowFilter", kGlow},
    {"DropShadowFilter", kDropShadow},
    {"BevelFilter", kBevel},
    {"GradientGlowFilter", kGradient},
    {"GradientBevelFilter", kGradient},
    {"ColorMatrixFilter", kColorMatrix},
    {"ConvolutionFilter", kConvolution},
    {"DisplacementMapFilter", kDisplacement},
    {"ShaderFilter", kShader},
};

// The filter a class is (or extends), null for BitmapFilter itself.
const FilterLayout* layoutOf(const Class* cls) {
    for (; cls != nullptr; cls = cls->super) {
        if (cls->ns.uri != "flash.filters") {
            continue;
        }
        for (const FilterLayout& s : kFilters) {
            if (cls->name == s.name) {
                return &s;
            }
        }
    }
    return nullptr;
}

// A colour matrix holds 20 numbers: a shorter array is filled with zeros.
constexpr std::size_t kColorMatrixSize = 20;

Value copiedArray(Machine& m, const Value& v, std::size_t size) {
    if (!v.isObject()) {
        return Value::null();
    }
    std::vector<Value> elements;
    if (v.asObject()->kind == Object::Kind::Array) {
        elements = v.asObject()->elements;
    }
    if (size != 0) {
        elements.resize(size, Value::number(0));
    }
    for (Value& e : elements) {
        e = Value::number(m.toNumber(e));
    }
    return Value::object(m.newArray(std::move(elements)));
}

template <const char* Name> Value arrayGet(Machine& m, const Value& self, Args&) {
    if (!self.isObject()) {
        return Value::null();
    }
    return copiedArray(m, hiddenField(self, Name, Value::null()), 0);
}

template <const char* Name> Value arraySet(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    const FilterLayout* layout = layoutOf(self.asObject()->cls);
    const bool colorMatrix =
        layout != nullptr && std::string_view(layout->name) == "ColorMatrixFilter";
    // The setter's parameter is an Array: anything else is a coercion error.
    const Value given = m.coerce(a.empty() ? Value::null() : a[0], m.arrayClass);
    setHiddenField(self, Name, copiedArray(m, given, colorMatrix ? kColorMatrixSize : 0));
    return Value();
}

constexpr char kMatrix[] = "matrix";
constexpr char kColors[] = "colors";
constexpr char kAlphas[] = "alphas";
constexpr char kRatios[] = "ratios";

Value initialValue(Machine& m, const FilterLayout& layout, const Field& f) {
    switch (f.type) {
    case T::Number:
        return Value::number(f.number);
    case T::Uint:
        return Value::unsignedInt(static_cast<std::uint32_t>(f.number));
    case T::Int:
        return Value::integer(static_cast<std::int32_t>(f.number));
    case T::Boolean:
        return Value::boolean(f.number != 0);
    case T::String:
        return Value::string(f.text);
    case T::Object:
        return Value::null();
    case T::Array:
        break;
    }
    // The colour matrix left out is the identity.
    if (std::string_view(layout.name) == "ColorMatrixFilter") {
        std::vector<Value> identity(kColorMatrixSize, Value::number(0));
        for (std::size_t i = 0; i < kColorMatrixSize; i += 6) {
            identity[i] = Value::number(1);
        }
        return Value::object(m.newArray(std::move(identity)));
    }
    return Value::null();
}

Value filterInit(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value();
    }
    const FilterLayout* layout = layoutOf(self.asObject()->cls);
    if (layout == nullptr) {
        return Value();
    }
    for (std::size_t i = 0; i < layout->fields.size(); ++i) {
        const Field& f = layout->fields[i];
        const bool given = i < a.size() && !(f.type == T::Array && a[i].isNullish());
        Value v = given ? a[i] : initialValue(m, *layout, f);
        m.setProperty(self, Name::publicName(f.name), v);
    }
    return Value();
}

// A new filter of the same class with the same properties.
Value filterClone(Machine& m, const Value& self, Args&) {
    if (!self.isObject() || self.asObject()->cls == nullptr) {
        return Value::null();
    }
    const FilterLayout* layout = layoutOf(self.asObject()->cls);
    Args args;
    if (layout != nullptr) {
        for (const Field& f : layout->fields) {
            args.push_back(m.getProperty(self, Name::publicName(f.name)));
        }
    }
    return m.construct(Value::object(self.asObject()->cls->classObject), args);
}

void addSlot(Machine& m, Class* cls, const Field& f) {
    Binding b;
    b.ns = Namespace::publicNs();
    b.kind = Binding::Kind::Slot;
    b.slot = static_cast<std::uint32_t>(cls->instance.slots.size());
    SlotInit si;
    switch (f.type) {
    case T::Number:
        si.type = m.numberClass;
        si.value = Value::number(0);
        break;
    case T::Uint:
        si.type = m.uintClass;
        si.value = Value::unsignedInt(0);
        break;
    case T::Int:
        si.type = m.intClass;
        si.value = Value::integer(0);
        break;
    case T::Boolean:
        si.type = m.booleanClass;
        si.value = Value::boolean(false);
        break;
    case T::String:
        si.type = m.stringClass;
        si.value = Value::null();
        break;
    case T::Object:
        si.type = m.findClass(f.text);
        si.value = Value::null();
        break;
    case T::Array:
        si.value = Value::null();
        break;
    }
    cls->instance.slots.push_back(si);
    cls->instance.add(f.name, b);
}

void addArray(Machine& m, Class* cls, const char* name) {
    const std::string_view n = name;
    if (n == kMatrix) {
        m.defineGetter(cls, name, arrayGet<kMatrix>);
        m.defineSetter(cls, name, arraySet<kMatrix>);
    } else if (n == kColors) {
        m.defineGetter(cls, name, arrayGet<kColors>);
        m.defineSetter(cls, name, arraySet<kColors>);
    } else if (n == kAlphas) {
        m.defineGetter(cls, name, arrayGet<kAlphas>);
        m.defineSetter(cls, name, arraySet<kAlphas>);
    } else if (n == kRatios) {
        m.defineGetter(cls, name, arrayGet<kRatios>);
        m.defineSetter(cls, name, arraySet<kRatios>);
    }
}

void constant(Class* cls, const char* name, Value v) {
    cls->classObject->setProp(name, std::move(v));
    cls->classObject->dontEnum.back() = true;
}

} // namespace

std::optional<FilterValue> filterValueOf(Machine& m, const Value& filter) {
    if (!filter.isObject()) {
        return std::nullopt;
    }
    const FilterLayout* layout = layoutOf(filter.asObject()->cls);
    if (layout == nullptr) {
        return std::nullopt;
    }
    FilterValue out;
    out.kind = layout->name;
    for (const Field& f : layout->fields) {
        FilterValue::Field field;
        field.name = f.name;
        const Value v = m.getProperty(filter, Name::publicName(f.name));
        switch (f.type) {
        case T::String:
            field.text = v.isNullish() ? std::string() : m.toString(v);
            break;
        case T::Array:
            if (v.isObject()) {
                for (const Value& e : v.asObject()->elements) {
                    field.list.push_back(m.toNumber(e));
                }
            }
            break;
        case T::Object:
            // A displacement map's bitmap and point stay with the script; a shader's
            // kernel goes with its values of the moment.
            if (std::string_view(f.name) == "shader" && v.isObject()) {
                out.kernel = shaderKernelOf(m, v);
            }
            break;
        case T::Boolean:
            field.number = Machine::toBoolean(v) ? 1 : 0;
            break;
        default:
            field.number = m.toNumber(v);
            break;
        }
        out.fields.push_back(std::move(field));
    }
    return out;
}

Value filterObjectOf(Machine& m, const FilterValue& value) {
    Class* cls = m.findClass("flash.filters::" + value.kind);
    const FilterLayout* layout = cls != nullptr ? layoutOf(cls) : nullptr;
    if (layout == nullptr) {
        return Value::null();
    }
    Args args;
    for (const Field& f : layout->fields) {
        const FilterValue::Field* given = nullptr;
        for (const FilterValue::Field& v : value.fields) {
            if (v.name == f.name) {
                given = &v;
            }
        }
        if (given == nullptr || f.type == T::Object) {
            args.push_back(initialValue(m, *layout, f));
            continue;
        }
        switch (f.type) {
        case T::Boolean:
            args.push_back(Value::boolean(given->number != 0));
            break;
        case T::String:
            args.push_back(Value::string(given->text));
            break;
        case T::Array: {
            std::vector<Value> list;
            for (double d : given->list) {
                list.push_back(Value::number(d));
            }
            args.push_back(Value::object(m.newArray(std::move(list))));
            break;
        }
        default:
            args.push_back(Value::number(given->number));
            break;
        }
    }
    return m.construct(Value::object(cls->classObject), args);
}

void installFilters(Machine& m) {
    Class* base = m.defineClass("flash.filters", "BitmapFilter", m.objectClass);
    base->sealed = true;
    m.defineMethod(base, "clone", filterClone);
    for (const FilterLayout& layout : kFilters) {
        Class* cls = m.defineClass("flash.filters", layout.name, base, filterInit);
        cls->sealed = true;
        cls->isFinal = true;
        for (const Field& f : layout.fields) {
            if (f.type == T::Array) {
                addArray(m, cls, f.name);
            } else {
                addSlot(m, cls, f);
            }
        }
    }
    Class* quality = m.defineClass("flash.filters", "BitmapFilterQuality", m.objectClass);
    constant(quality, "LOW", Value::integer(1));
    constant(quality, "MEDIUM", Value::integer(2));
    constant(quality, "HIGH", Value::integer(3));
    Class* type = m.defineClass("flash.filters", "BitmapFilterType", m.objectClass);
    constant(type, "INNER", Value::string("inner"));
    constant(type, "OUTER", Value::string("outer"));
    constant(type, "FULL", Value::string("full"));
    Class* mode = m.defineClass("flash.filters", "DisplacementMapFilterMode", m.objectClass);
    constant(mode, "WRAP", Value::string("wrap"));
    constant(mode, "CLAMP", Value::string("clamp"));
    constant(mode, "IGNORE", Value::string("ignore"));
    constant(mode, "COLOR", Value::string("color"));
}

} // namespace avm2
