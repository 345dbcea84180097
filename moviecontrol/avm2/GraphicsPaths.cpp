// Graphics' path methods beyond single edges: drawPath, which reads its edges from a list of
// commands and a list of coordinates, cubicCurveTo (the drawing turns it into the quadratic
// curves shapes are made of), drawRoundRectComplex and copyFrom; with the constants that name
// the commands and the winding rules.
#include "avm2/DisplayHost.h"
#include "avm2/GraphicsRecord.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace avm2 {

namespace {

NodeId nodeOf(const Value& v) {
    return v.isObject() ? v.asObject()->displayNode : 0;
}

void draw(Machine& m, const Value& self, const GraphicsOp& op) {
    if (DisplayHost* h = m.host().display(); h != nullptr && nodeOf(self) != 0) {
        recordGraphics(m, self, op);
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
    const std::string winding = a.size() > 2 ? m.toString(a[2]) : "evenOdd";
    if (winding != "evenOdd" && winding != "nonZero") {
        m.throwError("ArgumentError", 2008,
                     "Parameter winding must be one of the accepted values.");
    }
    if (!commands.isObject() || !data.isObject() || !self.isObject()) {
        return Value();
    }
    if (winding == "nonZero") {
        draw(m, self, GraphicsOp{GraphicsOp::Kind::NonZeroWinding});
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

// drawTriangles(vertices, indices, uvtData, culling): the vertices in pairs; each three
// indices (or, without them, each three vertices in turn) make a triangle. Numbers that do
// not make whole triangles are refused (#2004); an index that names no vertex draws none of
// them. uvtData with two numbers a vertex (u, v), or three (u, v, t,
// whose t only corrects perspective), places a bitmap fill on each triangle. Culling leaves
// out the triangles facing one way: corners clockwise on the screen face away ("positive"),
// counter-clockwise toward the viewer ("negative").
Value drawTriangles(Machine& m, const Value& self, Args& a) {
    const Value vertices = a.size() > 0 ? a[0] : Value();
    if (vertices.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter vertices must be non-null.");
    }
    const std::string culling = a.size() > 3 && !a[3].isUndefined() ? m.toString(a[3]) : "none";
    if (culling != "none" && culling != "positive" && culling != "negative") {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    if (!vertices.isObject() || !self.isObject()) {
        return Value();
    }
    // Copied first: converting the values may run scripts that change the vectors.
    const std::vector<Value> points = vertices.asObject()->elements;
    const Value indexList = a.size() > 1 ? a[1] : Value();
    const Value uvList = a.size() > 2 ? a[2] : Value();
    const bool indexed = indexList.isObject();
    const std::vector<Value> indices =
        indexed ? indexList.asObject()->elements : std::vector<Value>{};
    const std::vector<Value> uvt =
        uvList.isObject() ? uvList.asObject()->elements : std::vector<Value>{};
    const std::size_t count = points.size() / 2;
    if (points.size() % 2 != 0 || (indexed ? indices.size() : count) % 3 != 0) {
        m.throwError("ArgumentError", 2004, "One of the parameters is invalid.");
    }
    std::vector<std::size_t> order;
    order.reserve(indices.size());
    for (const Value& index : indices) {
        const double n = m.toNumber(index);
        if (!(n >= 0 && n < static_cast<double>(count))) {
            return Value();
        }
        order.push_back(static_cast<std::size_t>(n));
    }
    const std::size_t stride = count == 0                ? 0
                               : uvt.size() == count * 2 ? 2
                               : uvt.size() == count * 3 ? 3
                                                         : 0;
    const std::size_t corners = indexed ? order.size() : count;
    for (std::size_t i = 0; i < corners; i += 3) {
        m.checkBudget();
        GraphicsOp op{GraphicsOp::Kind::Triangle};
        double* xy[] = {&op.a, &op.b, &op.c, &op.d, &op.e, &op.f};
        for (std::size_t k = 0; k < 3; ++k) {
            const std::size_t vertex = indexed ? order[i + k] : i + k;
            *xy[2 * k] = number(m, points[2 * vertex]);
            *xy[2 * k + 1] = number(m, points[2 * vertex + 1]);
            if (stride != 0) {
                op.uv[2 * k] = number(m, uvt[stride * vertex]);
                op.uv[2 * k + 1] = number(m, uvt[stride * vertex + 1]);
            }
        }
        const double turn = (op.c - op.a) * (op.f - op.b) - (op.d - op.b) * (op.e - op.a);
        if ((culling == "positive" && turn > 0) || (culling == "negative" && turn < 0)) {
            continue;
        }
        op.mapped = stride != 0;
        draw(m, self, op);
    }
    return Value();
}

// drawRoundRectComplex(x, y, width, height, topLeft, topRight, bottomLeft, bottomRight): each
// corner rounded by its own radius, none past half the shorter side (a negative radius
// bulges out instead); a corner without one stays square.
Value drawRoundRectComplex(Machine& m, const Value& self, Args& a) {
    std::array<double, 8> v{};
    for (std::size_t i = 0; i < v.size(); ++i) {
        v[i] = i < a.size() ? number(m, a[i]) : 0.0;
    }
    const auto [x, y, w, h] = std::array<double, 4>{v[0], v[1], v[2], v[3]};
    const double most = std::min(std::fabs(w), std::fabs(h)) / 2;
    const auto radius = [most](double r) { return std::min(r, most); };
    const double tl = radius(v[4]), tr = radius(v[5]), bl = radius(v[6]), br = radius(v[7]);
    // The signs carry a negative width or height through, as drawRect draws them.
    const double sx = w < 0 ? -1.0 : 1.0;
    const double sy = h < 0 ? -1.0 : 1.0;
    const auto to = [&m, &self](GraphicsOp::Kind kind, std::initializer_list<double> p) {
        edge(m, self, kind, std::data(p), p.size());
    };
    using K = GraphicsOp::Kind;
    to(K::MoveTo, {x + w, y + h - sy * br});
    to(K::CurveTo, {x + w, y + h, x + w - sx * br, y + h});
    to(K::LineTo, {x + sx * bl, y + h});
    to(K::CurveTo, {x, y + h, x, y + h - sy * bl});
    to(K::LineTo, {x, y + sy * tl});
    to(K::CurveTo, {x, y, x + sx * tl, y});
    to(K::LineTo, {x + w - sx * tr, y});
    to(K::CurveTo, {x + w, y, x + w, y + sy * tr});
    to(K::LineTo, {x + w, y + h - sy * br});
    return Value();
}

// copyFrom(sourceGraphics): this drawing becomes a copy of the source's, which later drawing
// into either leaves apart.
Value copyFrom(Machine& m, const Value& self, Args& a) {
    const Value source = a.empty() ? Value() : a[0];
    if (source.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter sourceGraphics must be non-null.");
    }
    if (Class* graphics = m.findClass("flash.display::Graphics")) {
        m.coerce(source, graphics);
    }
    DisplayHost* h = m.host().display();
    if (h != nullptr && nodeOf(self) != 0 && nodeOf(source) != 0) {
        h->copyGraphics(nodeOf(source), nodeOf(self));
        copyGraphicsRecord(source, self);
    }
    return Value();
}

} // namespace

void installGraphicsPaths(Machine& m) {
    if (Class* graphics = m.findClass("flash.display::Graphics")) {
        m.defineMethod(graphics, "drawPath", drawPath);
        m.defineMethod(graphics, "drawTriangles", drawTriangles);
        m.defineMethod(graphics, "cubicCurveTo", cubicCurveTo);
        m.defineMethod(graphics, "drawRoundRectComplex", drawRoundRectComplex);
        m.declareParams(graphics, "drawRoundRectComplex", 8, 8);
        m.defineMethod(graphics, "copyFrom", copyFrom);
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
