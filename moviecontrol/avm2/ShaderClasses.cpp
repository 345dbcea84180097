// flash.display.Shader and its family: ShaderData reads a Pixel Bender kernel's bytecode and
// shows its metadata, parameters (ShaderParameter) and image inputs (ShaderInput) as dynamic
// properties named as in the kernel; ShaderParameterType and ShaderPrecision name the
// constants. ShaderJob (ShaderJobClass.cpp) runs the kernel.
#include "avm2/ByteArrayData.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/ShaderValues.h"
#include "shader/PbjProgram.h"

#include <cmath>

namespace avm2 {

namespace {

Value metaValue(Machine& m, const shader::PbjValue& v, bool scalarAsNumber) {
    if (v.type == shader::PbjType::String) {
        return Value::string(v.text);
    }
    // Bools show as the ints they are stored as; a float with no fraction shows as an int,
    // as Flash prints it.
    const auto one = [&](double x) {
        if (!shader::isFloatType(v.type) ||
            (std::isfinite(x) && x == std::trunc(x) && std::fabs(x) < 2147483648.0)) {
            return Value::integer(static_cast<std::int32_t>(x));
        }
        return Value::number(x);
    };
    // The kernel's own int metadata (its version) is a plain number; a parameter's values are
    // always arrays.
    if (scalarAsNumber && v.numbers.size() == 1 && !shader::isFloatType(v.type)) {
        return one(v.numbers[0]);
    }
    std::vector<Value> items;
    items.reserve(v.numbers.size());
    for (const double x : v.numbers) {
        items.push_back(one(x));
    }
    return Value::object(m.newArray(std::move(items)));
}

Object* make(Machine& m, const char* cls) {
    Args none;
    return m.construct(Value::object(m.findClass(cls)->classObject), none).asObject();
}

Value parameterIndex(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), "index", Value::integer(0));
}
Value parameterType(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), "type", Value::string("float"));
}
Value parameterValue(Machine& m, const Value& self, Args&) {
    Value v = hiddenField(receiverObject(m, self), "value", Value::null());
    if (!v.isObject()) {
        return v;
    }
    return Value::object(m.newArray(v.asObject()->elements));
}
Value parameterSetValue(Machine& m, const Value& self, Args& a) {
    const Value v = arg(a, 0);
    setHiddenField(receiverObject(m, self), "value",
                   v.isObject() ? Value::object(m.newArray(v.asObject()->elements))
                                : Value::null());
    return Value();
}

template <const char* Key> Value inputGet(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), Key, Value::integer(0));
}
template <const char* Key> Value inputSet(Machine& m, const Value& self, Args& a) {
    Value v = arg(a, 0);
    if (std::string_view(Key) != "input") {
        const double n = m.toNumber(v);
        v = Value::integer(std::isfinite(n) ? toInt32(n) : 0);
    }
    setHiddenField(receiverObject(m, self), Key, v);
    return Value();
}
constexpr char kChannels[] = "channels";
constexpr char kIndex[] = "index";
constexpr char kWidth[] = "width";
constexpr char kHeight[] = "height";
constexpr char kInput[] = "input";

void throwParseError(Machine& m, shader::PbjError e) {
    if (e == shader::PbjError::EndOfData) {
        m.throwError("flash.errors::EOFError", 2030, "End of file was encountered.");
    }
    m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
}

Value shaderDataInit(Machine& m, const Value& self, Args& a) {
    Object* o = receiverObject(m, self);
    ByteArrayData* bytes = byteArrayData(arg(a, 0));
    if (bytes == nullptr) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    const shader::PbjParse parsed = shader::parsePbj(bytes->data);
    if (parsed.error != shader::PbjError::None) {
        throwParseError(m, parsed.error);
    }
    // The job reads the kernel again from a copy, so that a script changing its bytes later
    // changes nothing.
    Object* copy = newByteArray(m);
    byteArrayData(Value::object(copy))->data = bytes->data;
    setHiddenField(o, "byteCode", Value::object(copy));
    const shader::PbjProgram& p = parsed.program;
    for (const shader::PbjMeta& meta : p.meta) {
        o->setProp(meta.key, metaValue(m, meta.value, true));
    }
    o->setProp("name", Value::string(p.name));
    int index = 0;
    for (const shader::PbjParam& param : p.params) {
        // Neither the output nor the pixel's coordinate is the script's to set.
        if (param.output || param.name == "_OutCoord") {
            continue;
        }
        Object* po = make(m, "flash.display::ShaderParameter");
        setHiddenField(po, "index", Value::integer(index++));
        setHiddenField(po, "type", Value::string(shader::typeName(param.type)));
        for (const shader::PbjMeta& meta : param.meta) {
            const Value v = metaValue(m, meta.value, false);
            po->setProp(meta.key, v);
            if (meta.key == "defaultValue" && v.isObject()) {
                setHiddenField(po, "value", Value::object(m.newArray(v.asObject()->elements)));
            }
        }
        po->setProp("name", Value::string(param.name));
        o->setProp(param.name, Value::object(po));
    }
    int input = 0;
    for (const shader::PbjTexture& t : p.textures) {
        Object* io = make(m, "flash.display::ShaderInput");
        setHiddenField(io, "index", Value::integer(input++));
        setHiddenField(io, "channels", Value::integer(t.channels));
        setHiddenField(io, "input", Value::null());
        io->setProp("name", Value::string(t.name));
        o->setProp(t.name, Value::object(io));
    }
    return Value();
}

Value newShaderData(Machine& m, const Value& bytes) {
    Args args{bytes};
    return m.construct(Value::object(m.findClass("flash.display::ShaderData")->classObject), args);
}

Value shaderInit(Machine& m, const Value& self, Args& a) {
    Object* o = receiverObject(m, self);
    setHiddenField(o, "precisionHint", Value::string("full"));
    if (arg(a, 0).isObject()) {
        setHiddenField(o, "data", newShaderData(m, a[0]));
    }
    return Value();
}
Value shaderSetByteCode(Machine& m, const Value& self, Args& a) {
    setHiddenField(receiverObject(m, self), "data", newShaderData(m, arg(a, 0)));
    return Value();
}
Value shaderData(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), "data", Value::null());
}
Value shaderSetData(Machine& m, const Value& self, Args& a) {
    setHiddenField(receiverObject(m, self), "data", arg(a, 0));
    return Value();
}
Value shaderPrecision(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), "precisionHint", Value::string("full"));
}
Value shaderSetPrecision(Machine& m, const Value& self, Args& a) {
    const std::string hint = m.toString(arg(a, 0));
    if (hint != "full" && hint != "fast") {
        m.throwError("ArgumentError", 2008,
                     "Parameter precisionHint must be one of the accepted values.");
    }
    setHiddenField(receiverObject(m, self), "precisionHint", Value::string(hint));
    return Value();
}

void constants(Machine& m, Class* cls,
               std::initializer_list<std::pair<const char*, const char*>> list) {
    for (const auto& [name, text] : list) {
        m.defineStaticConst(cls, name, Value::string(text));
    }
}

} // namespace

std::optional<shader::PbjProgram> shaderProgram(Machine& m, const Value& shaderObject) {
    if (!shaderObject.isObject()) {
        return std::nullopt;
    }
    const Value data = hiddenField(shaderObject.asObject(), "data", Value::null());
    if (!data.isObject()) {
        return std::nullopt;
    }
    ByteArrayData* bytes = byteArrayData(hiddenField(data.asObject(), "byteCode"));
    if (bytes == nullptr) {
        return std::nullopt;
    }
    (void)m;
    shader::PbjParse parsed = shader::parsePbj(bytes->data);
    if (parsed.error != shader::PbjError::None) {
        return std::nullopt;
    }
    return std::move(parsed.program);
}

void installShaders(Machine& m) {
    Class* object = m.objectClass;
    Class* data = m.defineClass("flash.display", "ShaderData", object, shaderDataInit);
    data->sealed = false;
    Class* parameter = m.defineClass("flash.display", "ShaderParameter", object);
    parameter->sealed = false;
    parameter->isFinal = true;
    m.defineGetter(parameter, "index", parameterIndex);
    m.defineGetter(parameter, "type", parameterType);
    m.defineGetter(parameter, "value", parameterValue);
    m.defineSetter(parameter, "value", parameterSetValue);
    Class* input = m.defineClass("flash.display", "ShaderInput", object);
    input->sealed = false;
    input->isFinal = true;
    m.defineGetter(input, "channels", inputGet<kChannels>);
    m.defineGetter(input, "index", inputGet<kIndex>);
    m.defineGetter(input, "width", inputGet<kWidth>);
    m.defineSetter(input, "width", inputSet<kWidth>);
    m.defineGetter(input, "height", inputGet<kHeight>);
    m.defineSetter(input, "height", inputSet<kHeight>);
    m.defineGetter(input, "input", inputGet<kInput>);
    m.defineSetter(input, "input", inputSet<kInput>);
    Class* shaderClass = m.defineClass("flash.display", "Shader", object, shaderInit);
    m.defineSetter(shaderClass, "byteCode", shaderSetByteCode);
    m.defineGetter(shaderClass, "data", shaderData);
    m.defineSetter(shaderClass, "data", shaderSetData);
    m.defineGetter(shaderClass, "precisionHint", shaderPrecision);
    m.defineSetter(shaderClass, "precisionHint", shaderSetPrecision);
    Class* types = m.defineClass("flash.display", "ShaderParameterType", object);
    types->isFinal = true;
    constants(m, types,
              {{"FLOAT", "float"},
               {"FLOAT2", "float2"},
               {"FLOAT3", "float3"},
               {"FLOAT4", "float4"},
               {"INT", "int"},
               {"INT2", "int2"},
               {"INT3", "int3"},
               {"INT4", "int4"},
               {"BOOL", "bool"},
               {"BOOL2", "bool2"},
               {"BOOL3", "bool3"},
               {"BOOL4", "bool4"},
               {"MATRIX2X2", "matrix2x2"},
               {"MATRIX3X3", "matrix3x3"},
               {"MATRIX4X4", "matrix4x4"}});
    Class* precision = m.defineClass("flash.display", "ShaderPrecision", object);
    precision->isFinal = true;
    constants(m, precision, {{"FULL", "full"}, {"FAST", "fast"}});
    installShaderJob(m);
    installShaderFills(m);
}

} // namespace avm2
