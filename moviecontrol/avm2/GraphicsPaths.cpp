// Graphics' path methods beyond single edges: drawPath, which reads its edges from a list of
// commands and a list of coordinates, and cubicCurveTo (the drawing turns it into the
// quadratic curves shapes are made of); with the constants that name the commands and the
// winding rules.
#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"

#include <array>
#include <cmath>

namespace avm2 {

namespace {

NodeId nodeOf(const Value& v) {
    return v.isObject() ? v.asObject()->displayNode : 0;
}

void draw(Machine& m, const Value& self, const GraphicsOp& op) {
    if (DisplayHost* h = m.host().display(); h != nullptr && nodeOf(self) != 0) {
        h->graphics(nodeOf(self), op);
    }
}

void edge(Machine& m, const Value& self, GraphicsOp::Kind kind, const double* v, std::size_t n) {
    GraphicsOp op{kind};
    double* coordinates[] = {&op.a, &op.b, &op.c, &op.d, &op.e, &op.f};
    for (std::size_t i = 0; i < n && i < 6; ++i) {
        *coordinates[i] = v[i];
    }
    draw(m, self, op);
}

double number(Machine& m, const Value& v) {
    const double n = m.toNumber(v);
    return std::isfinite(n) ? n : 0.0;
}

Value cubicCurveTo(Machine& m, const Value& self, Args& a) {
    GraphicsOp op{GraphicsOp::Kind::CubicTo};
    double* coordinates[] = {&op.a, &op.b, &op.c, &op.d, &op.e, &op.f};
    for (std::size_t i = 0; i < 6; ++i) {
        *coordinates[i] = i < a.size() ? number(m, a[i]) : 0.0;
    }
    draw(m, self, op);
    return Value();
}

// drawPath(commands, data, winding): each command takes its coordinates from the data in
// turn; a command the data runs out for ends the path, an unknown one is skipped.
Value drawPath(Machine& m, const Value& self, Args& a) {
    const Value commands = a.size() > 0 ? a[0] : Value();
    const Value data = a.size() > 1 ? a[1] : Value();
    if (commands.isNullish() || data.isNullish()) {
        m.throwError("TypeError", 2007,
                     std::string("Parameter ") + (commands.isNullish() ? "commands" : "data") +
                         " must be non-null.");
    }
    if (!commands.isObject() || !data.isObject() || !self.isObject()) {
        return Value();
    }
    // Copied first: converting the values may run scripts that change the vectors.
    const std::vector<Value> list = commands.asObject()->elements;
    const std::vector<Value> values = data.asObject()->elements;
    std::size_t next = 0;
    std::array<double, 6> v{};
    const auto take = [&](std::size_t count) {
        if (next > values.size() || values.size() - next < count) {
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            v[i] = number(m, values[next + i]);
        }
        next += count;
        return true;
    };
    for (const Value& command : list) {
        m.checkBudget();
        switch (toInt32(m.toNumber(command))) {
        case 1: // MOVE_TO
        case 4: // WIDE_MOVE_TO: two numbers, then the point
            if ((toInt32(m.toNumber(command)) == 4 && !take(2)) || !take(2)) {
                return Value();
            }
            edge(m, self, GraphicsOp::Kind::MoveTo, v.data(), 2);
            break;
        case 2: // LINE_TO
        case 5: // WIDE_LINE_TO
            if ((toInt32(m.toNumber(command)) == 5 && !take(2)) || !take(2)) {
                return Value();
            }
            edge(m, self, GraphicsOp::Kind::LineTo, v.data(), 2);
            break;
        case 3: // CURVE_TO
            if (!take(4)) {
                return Value();
            }
            edge(m, self, GraphicsOp::Kind::CurveTo, v.data(), 4);
            break;
        case 6: // CUBIC_CURVE_TO
            if (!take(6)) {
                return Value();
            }
            edge(m, self, GraphicsOp::Kind::CubicTo, v.data(), 6);
            break;
        default:
            break;
        }
    }
    return Value();
}

} // namespace

void installGraphicsPaths(Machine& m) {
    if (Class* graphics = m.findClass("flash.display::Graphics")) {
        m.defineMethod(graphics, "drawPath", drawPath);
        m.defineMethod(graphics, "cubicCurveTo", cubicCurveTo);
    }
    Class* commands = m.defineClass("flash.display", "GraphicsPathCommand", m.objectClass);
    const std::pair<const char*, int> names[] = {
        {"NO_OP", 0},        {"MOVE_TO", 1},      {"LINE_TO", 2},       {"CURVE_TO", 3},
        {"WIDE_MOVE_TO", 4}, {"WIDE_LINE_TO", 5}, {"CUBIC_CURVE_TO", 6}};
    for (const auto& [name, value] : names) {
        commands->classObject->setProp(name, Value::integer(value));
        commands->classObject->dontEnum.back() = true;
    }
    Class* winding = m.defineClass("flash.display", "GraphicsPathWinding", m.objectClass);
    for (const auto& [name, value] :
         {std::pair{"EVEN_ODD", "evenOdd"}, std::pair{"NON_ZERO", "nonZero"}}) {
        winding->classObject->setProp(name, Value::string(value));
        winding->classObject->dontEnum.back() = true;
    }
}

} // namespace avm2
