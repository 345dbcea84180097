// How many arguments the player's own methods take, as the language reference declares
// them: the parameters without a default are required, and none beyond the declared ones
// may follow (no rest list). A call outside that range is Flash's argument count error
// (#1063), raised before the method runs.
#include "avm2/Machine.h"

#include <cstdint>

namespace avm2 {

namespace {

struct DeclaredParameters {
    const char* owner;
    const char* method;
    std::uint8_t required;
    std::uint8_t declared;
};

constexpr DeclaredParameters kDeclared[] = {
    {"flash.display::Graphics", "beginFill", 1, 2},
    {"flash.display::Graphics", "beginGradientFill", 4, 8},
    {"flash.display::Graphics", "beginBitmapFill", 1, 4},
    {"flash.display::Graphics", "beginShaderFill", 1, 2},
    {"flash.display::Graphics", "lineStyle", 0, 8},
    {"flash.display::Graphics", "lineGradientStyle", 4, 8},
    {"flash.display::Graphics", "lineBitmapStyle", 1, 4},
    {"flash.display::Graphics", "lineShaderStyle", 1, 2},
    {"flash.display::Graphics", "moveTo", 2, 2},
    {"flash.display::Graphics", "lineTo", 2, 2},
    {"flash.display::Graphics", "curveTo", 4, 4},
    {"flash.display::Graphics", "cubicCurveTo", 6, 6},
    {"flash.display::Graphics", "endFill", 0, 0},
    {"flash.display::Graphics", "clear", 0, 0},
    {"flash.display::Graphics", "drawRect", 4, 4},
    {"flash.display::Graphics", "drawCircle", 3, 3},
    {"flash.display::Graphics", "drawEllipse", 4, 4},
    {"flash.display::Graphics", "drawRoundRect", 5, 6},
    {"flash.display::Graphics", "drawRoundRectComplex", 8, 8},
    {"flash.display::Graphics", "drawPath", 2, 3},
    {"flash.display::Graphics", "drawTriangles", 1, 4},
    {"flash.display::Graphics", "drawGraphicsData", 1, 1},
    {"flash.display::Graphics", "copyFrom", 1, 1},
    {"flash.display::Graphics", "readGraphicsData", 0, 1},
};

} // namespace

void Machine::declarePlayerParameters() {
    for (const DeclaredParameters& d : kDeclared) {
        if (Class* c = findClass(d.owner)) {
            declareParams(c, d.method, d.required, d.declared);
        }
    }
}

} // namespace avm2
