// Where a display object takes a shader: Graphics.beginShaderFill and lineShaderStyle paint
// with the kernel's output, and DisplayObject.blendShader keeps the kernel that blends the
// object (setting it sets blendMode to "shader").
//
// A kernel's fill has no edge, but the shape it fills is not known yet when the fill begins:
// the kernel runs once over the stage's size in the fill's own space (the space the matrix
// maps to the shape's), and the result paints as a bitmap fill under the same matrix, its
// edge pixels carrying on past it.
#include "avm2/BitmapDataValues.h"
#include "avm2/DisplayHost.h"
#include "avm2/HiddenFields.h"
#include "avm2/NativeArgs.h"
#include "avm2/ShaderValues.h"

#include <algorithm>
#include <cmath>

namespace avm2 {

namespace {

// The largest side the painted kernel takes, whatever the stage's size.
constexpr int kMaxFillSide = 2048;

int fillSide(double stageSide) {
    return std::isfinite(stageSide)
               ? std::clamp(static_cast<int>(std::ceil(stageSide)), 1, kMaxFillSide)
               : 1;
}

Value paintedKernel(Machine& m, const Value& shaderObject) {
    if (shaderObject.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter shader must be non-null.");
    }
    const std::unique_ptr<ShaderRun> run = ShaderRun::prepare(m, shaderObject, nullptr);
    DisplayHost* d = m.host().display();
    const int width = fillSide(d != nullptr ? d->stageWidth() : 0);
    const int height = fillSide(d != nullptr ? d->stageHeight() : 0);
    m.checkMemory(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    pixels::BitmapPixels p(width, height, true, 0);
    const int channels = std::max(run->machine().outputChannels(), 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            p.set(x, y,
                  shaders::argbOf(run->machine().run(static_cast<float>(x) + 0.5F,
                                                     static_cast<float>(y) + 0.5F),
                                  channels));
        }
        m.checkBudget();
    }
    return bitmaps::makeBitmapData(m, std::move(p));
}

constexpr char kBeginBitmapFill[] = "beginBitmapFill";
constexpr char kLineBitmapStyle[] = "lineBitmapStyle";

// beginShaderFill(shader, matrix) and lineShaderStyle(shader, matrix).
template <const char* BitmapMethod> Value shaderFill(Machine& m, const Value& self, Args& a) {
    Args args{paintedKernel(m, arg(a, 0)), arg(a, 1), Value::boolean(false), Value::boolean(false)};
    m.callProperty(self, Name::publicName(BitmapMethod), args);
    return Value();
}

Value blendShader(Machine& m, const Value& self, Args&) {
    return hiddenField(receiverObject(m, self), "blendShader", Value::null());
}

Value setBlendShader(Machine& m, const Value& self, Args& a) {
    Object* o = receiverObject(m, self);
    const Value shaderObject = arg(a, 0);
    // A kernel Flash cannot run is refused here, not when the object is drawn.
    if (!shaderObject.isNullish()) {
        ShaderRun::prepare(m, shaderObject, nullptr);
    }
    setHiddenField(o, "blendShader", shaderObject.isNullish() ? Value::null() : shaderObject);
    m.setProperty(self, Name::publicName("blendMode"), Value::string("shader"));
    return Value();
}

} // namespace

void installShaderFills(Machine& m) {
    if (Class* graphics = m.findClass("flash.display::Graphics")) {
        m.defineMethod(graphics, "beginShaderFill", shaderFill<kBeginBitmapFill>);
        m.defineMethod(graphics, "lineShaderStyle", shaderFill<kLineBitmapStyle>);
    }
    // Classes copy their ancestors' traits when they are made, so every display class made
    // before this one learns the property too.
    Class* displayObject = m.findClass("flash.display::DisplayObject");
    if (displayObject == nullptr) {
        return;
    }
    for (const std::string& name : m.classNames()) {
        Class* c = m.findClass(name);
        if (c != nullptr && (c == displayObject || c->isSubclassOf(displayObject))) {
            m.defineGetter(c, "blendShader", blendShader);
            m.defineSetter(c, "blendShader", setBlendShader);
        }
    }
}

} // namespace avm2
