// The drawing API as data (flash.display's IGraphicsData family): fills, strokes and paths
// kept as objects, and Graphics.drawGraphicsData, which plays a list of them as the calls
// they stand for. Their fields are typed public variables, so that a store coerces as a
// script class's would (a path's commands must be a Vector.<int>, not an Array).
#include "avm2/GraphicsRecord.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"

#include <cmath>
#include <limits>
#include <span>
#include <string_view>
#include <tuple>

namespace avm2 {

namespace {

constexpr char kPackage[] = "flash.display";

Value field(Machine& m, const Value& o, const char* name) {
    return m.getProperty(o, Name::publicName(name));
}

// Fills each field from the constructor's arguments in order; a field the call leaves out
// takes its default (an argument given as undefined is converted like any other). As for any
// constructor with typed parameters, every argument is converted before the first is stored.
void initFields(Machine& m, const Value& self, const Args& a,
                std::initializer_list<std::pair<const char*, Value>> fields) {
    Class* cls = self.isObject() ? self.asObject()->cls : nullptr;
    std::size_t i = 0;
    for (const auto& [name, fallback] : fields) {
        const Binding* b =
            cls != nullptr ? cls->instance.findExact(name, Namespace::publicNs()) : nullptr;
        if (i < a.size() && b != nullptr && b->kind == Binding::Kind::Slot &&
            b->slot < cls->instance.slots.size() && cls->instance.slots[b->slot].type != nullptr) {
            m.coerce(a[i], cls->instance.slots[b->slot].type);
        }
        ++i;
    }
    i = 0;
    for (const auto& [name, fallback] : fields) {
        m.setProperty(self, Name::publicName(name), i < a.size() ? a[i] : fallback);
        ++i;
    }
}

Value endFillInit(Machine&, const Value&, Args&) {
    return Value();
}

Value solidFillInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a, {{"color", Value::unsignedInt(0)}, {"alpha", Value::number(1)}});
    return Value();
}

Value gradientFillInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a,
               {{"type", Value::string("linear")},
                {"colors", Value::null()},
                {"alphas", Value::null()},
                {"ratios", Value::null()},
                {"matrix", Value::null()},
                {"spreadMethod", Value::string("pad")},
                {"interpolationMethod", Value::string("rgb")},
                {"focalPointRatio", Value::number(0)}});
    return Value();
}

Value bitmapFillInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a,
               {{"bitmapData", Value::null()},
                {"matrix", Value::null()},
                {"repeat", Value::boolean(true)},
                {"smooth", Value::boolean(false)}});
    return Value();
}

Value shaderFillInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a, {{"shader", Value::null()}, {"matrix", Value::null()}});
    return Value();
}

Value strokeInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a,
               {{"thickness", Value::number(std::numeric_limits<double>::quiet_NaN())},
                {"pixelHinting", Value::boolean(false)},
                {"scaleMode", Value::string("normal")},
                {"caps", Value::string("none")},
                {"joints", Value::string("round")},
                {"miterLimit", Value::number(3)},
                {"fill", Value::null()}});
    return Value();
}

Value pathInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a,
               {{"commands", Value::null()},
                {"data", Value::null()},
                {"winding", Value::string("evenOdd")}});
    return Value();
}

Value trianglePathInit(Machine& m, const Value& self, Args& a) {
    initFields(m, self, a,
               {{"vertices", Value::null()},
                {"indices", Value::null()},
                {"uvtData", Value::null()},
                {"culling", Value::string("none")}});
    return Value();
}

Class* vectorOf(Machine& m, Class* element) {
    if (m.vectorClass == nullptr || element == nullptr) {
        return nullptr;
    }
    const Value made = m.applyType(Value::object(m.vectorClass->classObject),
                                   {Value::object(element->classObject)});
    return made.isObject() ? made.asObject()->builds : nullptr;
}

// The text fields a stroke and a path are drawn by accept only the names Flash knows (the
// fills' names are checked when they are drawn): anything else, null included, is refused.
constexpr char kScaleMode[] = "scaleMode";
constexpr char kCaps[] = "caps";
constexpr char kJoints[] = "joints";
constexpr char kWinding[] = "winding";

std::span<const char* const> namesOf(std::string_view field) {
    static constexpr const char* kScaleModes[] = {"normal", "none", "horizontal", "vertical"};
    static constexpr const char* kCapNames[] = {"none", "round", "square"};
    static constexpr const char* kJointNames[] = {"round", "bevel", "miter"};
    static constexpr const char* kWindings[] = {"evenOdd", "nonZero"};
    return field == kScaleMode ? std::span<const char* const>(kScaleModes)
           : field == kCaps    ? std::span<const char* const>(kCapNames)
           : field == kJoints  ? std::span<const char* const>(kJointNames)
                               : std::span<const char* const>(kWindings);
}

template <const char* Field> Value wordGet(Machine&, const Value& self, Args&) {
    return hiddenField(self, Field, Value::null());
}

template <const char* Field> Value wordSet(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    const std::string word = v.isNullish() ? std::string() : m.toString(v);
    for (const char* name : namesOf(Field)) {
        if (!v.isNullish() && word == name) {
            setHiddenField(self, Field, Value::string(word));
            return Value();
        }
    }
    m.throwError("ArgumentError", 2008,
                 std::string("Parameter ") + Field + " must be one of the accepted values.");
    return Value();
}

template <const char* Field> void wordField(Machine& m, Class* cls) {
    m.defineGetter(cls, Field, wordGet<Field>);
    m.defineSetter(cls, Field, wordSet<Field>);
}

// A path's list, made empty when it has none yet.
Value pathList(Machine& m, const Value& self, const char* name, Class* element) {
    Value list = field(m, self, name);
    if (list.isNullish()) {
        if (Class* type = vectorOf(m, element)) {
            list = Value::object(m.instantiate(type));
            m.setProperty(self, Name::publicName(name), list);
        }
    }
    return list;
}

// The path methods add one command and its numbers, through the vectors' own push, so that
// a fixed vector refuses them as it refuses any push. The wide commands carry two numbers
// more, which drawing skips, so that every command but the cubic takes four.
template <int Command, std::size_t Count, bool Wide>
Value pathCommand(Machine& m, const Value& self, Args& a) {
    receiverObject(m, self);
    Args numbers;
    if (Wide) {
        numbers = {Value::number(0), Value::number(0)};
    }
    for (std::size_t i = 0; i < Count; ++i) {
        numbers.push_back(Value::number(m.toNumber(arg(a, i))));
    }
    const Value commands = pathList(m, self, "commands", m.intClass);
    const Value data = pathList(m, self, "data", m.numberClass);
    Args command{Value::integer(Command)};
    m.callProperty(commands, Name::publicName("push"), command);
    m.callProperty(data, Name::publicName("push"), numbers);
    return Value();
}

bool is(const Value& v, const Class* cls) {
    return cls != nullptr && v.isObject() && v.asObject()->cls != nullptr &&
           v.asObject()->cls->isSubclassOf(cls);
}

void callGraphics(Machine& m, const Value& graphics, const char* method, Args args) {
    m.callProperty(graphics, Name::publicName(method), args);
}

Args fields(Machine& m, const Value& o, std::initializer_list<const char*> names) {
    Args out;
    for (const char* name : names) {
        out.push_back(field(m, o, name));
    }
    return out;
}

struct DataClasses {
    Class* solid = nullptr;
    Class* gradient = nullptr;
    Class* bitmap = nullptr;
    Class* shader = nullptr;
    Class* endFill = nullptr;
    Class* stroke = nullptr;
    Class* path = nullptr;
    Class* triangles = nullptr;
};

DataClasses dataClasses(Machine& m) {
    const auto find = [&m](const char* name) {
        return m.findClass(std::string(kPackage) + "::" + name);
    };
    return {find("GraphicsSolidFill"),  find("GraphicsGradientFill"), find("GraphicsBitmapFill"),
            find("GraphicsShaderFill"), find("GraphicsEndFill"),      find("GraphicsStroke"),
            find("GraphicsPath"),       find("GraphicsTrianglePath")};
}

// A stroke is lineStyle with its width and manners, then its fill as the line's paint: a
// solid fill gives the line its colour, the others call the matching line method, and a
// stroke without a fill is black. Without a width (NaN) the line stops.
void drawStroke(Machine& m, const Value& graphics, const Value& stroke, const DataClasses& c) {
    const Value fill = field(m, stroke, "fill");
    const double thickness = m.toNumber(field(m, stroke, "thickness"));
    if (std::isnan(thickness)) {
        callGraphics(m, graphics, "lineStyle", {});
        return;
    }
    const bool solid = is(fill, c.solid);
    callGraphics(m, graphics, "lineStyle",
                 {Value::number(thickness), solid ? field(m, fill, "color") : Value::integer(0),
                  solid ? field(m, fill, "alpha") : Value::number(1),
                  field(m, stroke, "pixelHinting"), field(m, stroke, "scaleMode"),
                  field(m, stroke, "caps"), field(m, stroke, "joints"),
                  field(m, stroke, "miterLimit")});
    if (is(fill, c.gradient)) {
        callGraphics(m, graphics, "lineGradientStyle",
                     fields(m, fill,
                            {"type", "colors", "alphas", "ratios", "matrix", "spreadMethod",
                             "interpolationMethod", "focalPointRatio"}));
    } else if (is(fill, c.bitmap)) {
        callGraphics(m, graphics, "lineBitmapStyle",
                     fields(m, fill, {"bitmapData", "matrix", "repeat", "smooth"}));
    } else if (is(fill, c.shader)) {
        callGraphics(m, graphics, "lineShaderStyle", fields(m, fill, {"shader", "matrix"}));
    }
}

// drawGraphicsData(graphicsData): each entry as the call it stands for, in order; entries of
// other kinds (and nulls) draw nothing.
Value drawGraphicsData(Machine& m, const Value& self, Args& a) {
    const Value list = arg(a, 0);
    if (list.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter graphicsData must be non-null.");
    }
    if (Class* type = vectorOf(m, m.findClass("flash.display::IGraphicsData"))) {
        m.coerce(list, type);
    }
    if (!list.isObject()) {
        return Value();
    }
    const DataClasses c = dataClasses(m);
    // Copied first: the calls may run scripts (a vector's valueOf) that change the list.
    const std::vector<Value> entries = list.asObject()->elements;
    for (const Value& item : entries) {
        m.checkBudget();
        if (is(item, c.solid)) {
            callGraphics(m, self, "beginFill", fields(m, item, {"color", "alpha"}));
        } else if (is(item, c.gradient)) {
            callGraphics(m, self, "beginGradientFill",
                         fields(m, item,
                                {"type", "colors", "alphas", "ratios", "matrix", "spreadMethod",
                                 "interpolationMethod", "focalPointRatio"}));
        } else if (is(item, c.bitmap)) {
            callGraphics(m, self, "beginBitmapFill",
                         fields(m, item, {"bitmapData", "matrix", "repeat", "smooth"}));
        } else if (is(item, c.shader)) {
            callGraphics(m, self, "beginShaderFill", fields(m, item, {"shader", "matrix"}));
        } else if (is(item, c.endFill)) {
            callGraphics(m, self, "endFill", {});
        } else if (is(item, c.stroke)) {
            drawStroke(m, self, item, c);
        } else if (is(item, c.path)) {
            callGraphics(m, self, "drawPath", fields(m, item, {"commands", "data", "winding"}));
        } else if (is(item, c.triangles)) {
            callGraphics(m, self, "drawTriangles",
                         fields(m, item, {"vertices", "indices", "uvtData", "culling"}));
        }
    }
    return Value();
}

Class* dataClass(Machine& m, const char* name, NativeFn init, std::uint8_t params,
                 std::initializer_list<Class*> interfaces) {
    Class* cls = m.defineClass(kPackage, name, m.objectClass, init);
    cls->sealed = true;
    cls->isFinal = true;
    cls->init.nativeParams = params; // every parameter has a default
    cls->interfaces.insert(cls->interfaces.end(), interfaces.begin(), interfaces.end());
    return cls;
}

Class* interfaceClass(Machine& m, const char* name) {
    Class* iface = m.defineClass(kPackage, name, m.objectClass);
    iface->isInterface = true;
    return iface;
}

} // namespace

void installGraphicsData(Machine& m) {
    Class* data = interfaceClass(m, "IGraphicsData");
    Class* fill = interfaceClass(m, "IGraphicsFill");
    Class* path = interfaceClass(m, "IGraphicsPath");
    Class* stroke = interfaceClass(m, "IGraphicsStroke");
    Class* matrix = m.findClass("flash.geom::Matrix");
    Class* ints = vectorOf(m, m.intClass);
    Class* numbers = vectorOf(m, m.numberClass);

    Class* solid = dataClass(m, "GraphicsSolidFill", solidFillInit, 2, {fill, data});
    addPublicSlot(solid, "color", m.uintClass, Value::unsignedInt(0));
    addPublicSlot(solid, "alpha", m.numberClass, Value::number(1));

    Class* gradient = dataClass(m, "GraphicsGradientFill", gradientFillInit, 8, {fill, data});
    addPublicSlot(gradient, "type", m.stringClass, Value::string("linear"));
    addPublicSlot(gradient, "colors", m.arrayClass, Value::null());
    addPublicSlot(gradient, "alphas", m.arrayClass, Value::null());
    addPublicSlot(gradient, "ratios", m.arrayClass, Value::null());
    addPublicSlot(gradient, "matrix", matrix, Value::null());
    addPublicSlot(gradient, "spreadMethod", m.stringClass, Value::string("pad"));
    addPublicSlot(gradient, "interpolationMethod", m.stringClass, Value::string("rgb"));
    addPublicSlot(gradient, "focalPointRatio", m.numberClass, Value::number(0));

    Class* bitmap = dataClass(m, "GraphicsBitmapFill", bitmapFillInit, 4, {fill, data});
    addPublicSlot(bitmap, "bitmapData", m.findClass("flash.display::BitmapData"), Value::null());
    addPublicSlot(bitmap, "matrix", matrix, Value::null());
    addPublicSlot(bitmap, "repeat", m.booleanClass, Value::boolean(true));
    addPublicSlot(bitmap, "smooth", m.booleanClass, Value::boolean(false));

    Class* shader = dataClass(m, "GraphicsShaderFill", shaderFillInit, 2, {fill, data});
    addPublicSlot(shader, "shader", m.findClass("flash.display::Shader"), Value::null());
    addPublicSlot(shader, "matrix", matrix, Value::null());

    dataClass(m, "GraphicsEndFill", endFillInit, 0, {fill, data});

    Class* line = dataClass(m, "GraphicsStroke", strokeInit, 7, {stroke, data});
    addPublicSlot(line, "thickness", m.numberClass,
                  Value::number(std::numeric_limits<double>::quiet_NaN()));
    addPublicSlot(line, "pixelHinting", m.booleanClass, Value::boolean(false));
    wordField<kScaleMode>(m, line);
    wordField<kCaps>(m, line);
    wordField<kJoints>(m, line);
    addPublicSlot(line, "miterLimit", m.numberClass, Value::number(3));
    addPublicSlot(line, "fill", fill, Value::null());

    Class* edges = dataClass(m, "GraphicsPath", pathInit, 3, {path, data});
    addPublicSlot(edges, "commands", ints, Value::null());
    addPublicSlot(edges, "data", numbers, Value::null());
    wordField<kWinding>(m, edges);
    const std::tuple<const char*, NativeFn, std::uint8_t> pathMethods[] = {
        {"moveTo", pathCommand<1, 2, false>, 2},    {"lineTo", pathCommand<2, 2, false>, 2},
        {"curveTo", pathCommand<3, 4, false>, 4},   {"wideMoveTo", pathCommand<4, 2, true>, 2},
        {"wideLineTo", pathCommand<5, 2, true>, 2}, {"cubicCurveTo", pathCommand<6, 6, false>, 6}};
    for (const auto& [name, fn, params] : pathMethods) {
        m.defineMethod(edges, name, fn);
        m.declareParams(edges, name, params, params);
    }

    Class* triangles = dataClass(m, "GraphicsTrianglePath", trianglePathInit, 4, {path, data});
    addPublicSlot(triangles, "vertices", numbers, Value::null());
    addPublicSlot(triangles, "indices", ints, Value::null());
    addPublicSlot(triangles, "uvtData", numbers, Value::null());
    addPublicSlot(triangles, "culling", m.stringClass, Value::string("none"));

    if (Class* graphics = m.findClass("flash.display::Graphics")) {
        m.defineMethod(graphics, "drawGraphicsData", drawGraphicsData);
        m.defineMethod(graphics, "readGraphicsData", readGraphicsData);
        m.declareParams(graphics, "readGraphicsData", 0, 1);
    }
}

} // namespace avm2
