// A drawing read back: fills, strokes and the end of fills as the objects drawGraphicsData
// takes, the edges between them gathered into paths (MOVE_TO, LINE_TO, CURVE_TO and
// CUBIC_CURVE_TO with their coordinates). Coordinates are the stage's: each drawing is
// placed by its object's matrix and every container's above it. With `recurse`, the drawings
// of the object's children follow its own, depth first.
#include "avm2/GraphicsRecord.h"

#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"

#include <array>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace avm2 {

namespace {

using Record = std::vector<GraphicsOp>;
using Affine = std::array<double, 6>; // a, b, c, d, tx, ty

std::shared_ptr<Record> recordOf(const Value& graphics) {
    if (!graphics.isObject()) {
        return nullptr;
    }
    return std::static_pointer_cast<Record>(graphics.asObject()->nativeData);
}

Value field(Machine& m, const Value& o, const char* name) {
    return m.getProperty(o, Name::publicName(name));
}

// The object's matrix followed by each container's, up to the stage.
Affine stageMatrix(Machine& m, const Value& display) {
    const Value matrix = field(m, field(m, display, "transform"), "concatenatedMatrix");
    Affine out{1, 0, 0, 1, 0, 0};
    if (!matrix.isObject()) {
        return out;
    }
    const char* names[] = {"a", "b", "c", "d", "tx", "ty"};
    for (std::size_t i = 0; i < 6; ++i) {
        const double v = m.toNumber(field(m, matrix, names[i]));
        out[i] = std::isfinite(v) ? v : out[i];
    }
    return out;
}

Affine multiply(const Affine& x, const Affine& y) {
    return {x[0] * y[0] + x[1] * y[2],        x[0] * y[1] + x[1] * y[3],
            x[2] * y[0] + x[3] * y[2],        x[2] * y[1] + x[3] * y[3],
            x[4] * y[0] + x[5] * y[2] + y[4], x[4] * y[1] + x[5] * y[3] + y[5]};
}

Value construct(Machine& m, const char* cls, Args args) {
    Class* c = m.findClass(std::string("flash.display::") + cls);
    if (c == nullptr) {
        return Value::null();
    }
    return m.construct(Value::object(c->classObject), args);
}

Value typedVector(Machine& m, Class* element) {
    const Value cls = m.applyType(Value::object(m.vectorClass->classObject),
                                  {Value::object(element->classObject)});
    Args none;
    return m.construct(cls, none);
}

Value matrixValue(Machine& m, const Affine& x) {
    Class* c = m.findClass("flash.geom::Matrix");
    if (c == nullptr) {
        return Value::null();
    }
    Args args;
    for (double v : x) {
        args.push_back(Value::number(v));
    }
    return m.construct(Value::object(c->classObject), args);
}

Value numbers(Machine& m, const auto& values, bool asUint) {
    Object* a = m.newArray();
    for (const auto v : values) {
        a->elements.push_back(asUint ? Value::unsignedInt(static_cast<std::uint32_t>(v))
                                     : Value::number(static_cast<double>(v)));
    }
    return Value::object(a);
}

Value gradientFill(Machine& m, const GraphicsGradient& g, const Affine& place) {
    const Affine own{g.matrix[0], g.matrix[1], g.matrix[2], g.matrix[3], g.matrix[4], g.matrix[5]};
    return construct(m, "GraphicsGradientFill",
                     {Value::string(g.radial ? "radial" : "linear"), numbers(m, g.colors, true),
                      numbers(m, g.alphas, false), numbers(m, g.ratios, false),
                      matrixValue(m, multiply(own, place)), Value::string(g.spread),
                      Value::string(g.interpolation), Value::number(g.focalPoint)});
}

// Gathers consecutive edges into one GraphicsPath and appends it when something else comes.
class PathBuilder {
  public:
    PathBuilder(Machine& m, Value out, const Affine& place)
        : m_(m), out_(std::move(out)), place_(place) {}

    void edge(const GraphicsOp& op) {
        using K = GraphicsOp::Kind;
        if (!commands_.isObject()) {
            commands_ = typedVector(m_, m_.intClass);
            data_ = typedVector(m_, m_.numberClass);
        }
        const int command = op.kind == K::MoveTo    ? 1
                            : op.kind == K::LineTo  ? 2
                            : op.kind == K::CurveTo ? 3
                                                    : 6;
        const std::size_t points = command == 3 ? 2 : command == 6 ? 3 : 1;
        const double coordinates[] = {op.a, op.b, op.c, op.d, op.e, op.f};
        m_.checkMemory(sizeof(Value) * (1 + 2 * points));
        commands_.asObject()->elements.push_back(Value::integer(command));
        for (std::size_t i = 0; i < points; ++i) {
            const double x = coordinates[2 * i];
            const double y = coordinates[2 * i + 1];
            data_.asObject()->elements.push_back(
                Value::number(place_[0] * x + place_[2] * y + place_[4]));
            data_.asObject()->elements.push_back(
                Value::number(place_[1] * x + place_[3] * y + place_[5]));
        }
    }

    void nonZero() {
        flush();
        winding_ = "nonZero";
    }

    void flush() {
        if (!commands_.isObject()) {
            return;
        }
        push(construct(m_, "GraphicsPath", {commands_, data_, Value::string(winding_)}));
        commands_ = Value();
        data_ = Value();
    }

    void push(const Value& item) {
        Args args{item};
        m_.callProperty(out_, Name::publicName("push"), args);
    }

  private:
    Machine& m_;
    Value out_;
    Affine place_;
    Value commands_;
    Value data_;
    const char* winding_ = "evenOdd";
};

void readRecord(Machine& m, const Record& record, const Affine& place, const Value& out) {
    using K = GraphicsOp::Kind;
    PathBuilder paths(m, out, place);
    for (const GraphicsOp& op : record) {
        m.checkBudget();
        switch (op.kind) {
        case K::MoveTo:
        case K::LineTo:
        case K::CurveTo:
        case K::CubicTo:
            paths.edge(op);
            continue;
        case K::NonZeroWinding:
            paths.nonZero();
            continue;
        default:
            break;
        }
        paths.flush();
        switch (op.kind) {
        case K::BeginFill:
            paths.push(construct(m, "GraphicsSolidFill",
                                 {Value::unsignedInt(op.color), Value::number(op.alpha)}));
            break;
        case K::GradientFill:
            paths.push(gradientFill(m, op.gradient, place));
            break;
        case K::EndFill:
            paths.push(construct(m, "GraphicsEndFill", {}));
            break;
        case K::LineStyle:
        case K::LineGradient:
        case K::NoLine: {
            const bool none = op.kind == K::NoLine;
            const Value fill =
                op.kind == K::LineStyle
                    ? construct(m, "GraphicsSolidFill",
                                {Value::unsignedInt(op.color), Value::number(op.alpha)})
                : op.kind == K::LineGradient ? gradientFill(m, op.gradient, place)
                                             : Value::null();
            paths.push(
                construct(m, "GraphicsStroke",
                          {Value::number(none ? std::numeric_limits<double>::quiet_NaN() : op.a),
                           Value::boolean(op.pixelHinting),
                           Value::string(op.scaleMode.empty() ? "normal" : op.scaleMode),
                           Value::string(op.caps.empty() ? "none" : op.caps),
                           Value::string(op.joints.empty() ? "round" : op.joints),
                           Value::number(op.miterLimit), fill}));
            break;
        }
        default:
            // Bitmap fills and triangles are not read back.
            break;
        }
    }
    paths.flush();
}

} // namespace

void recordGraphics(Machine& m, const Value& graphics, const GraphicsOp& op) {
    if (!graphics.isObject()) {
        return;
    }
    Object* g = graphics.asObject();
    if (op.kind == GraphicsOp::Kind::Clear) {
        g->nativeData.reset();
        return;
    }
    auto record = recordOf(graphics);
    if (record == nullptr) {
        record = std::make_shared<Record>();
        g->nativeData = record;
    }
    m.checkMemory(sizeof(GraphicsOp) + op.gradient.colors.size() * 24);
    record->push_back(op);
}

void copyGraphicsRecord(const Value& from, const Value& to) {
    if (!to.isObject()) {
        return;
    }
    const auto record = recordOf(from);
    to.asObject()->nativeData = record != nullptr ? std::make_shared<Record>(*record) : nullptr;
}

Value readGraphicsData(Machine& m, const Value& self, Args& a) {
    Class* data = m.findClass("flash.display::IGraphicsData");
    Value out = typedVector(m, data);
    DisplayHost* host = m.host().display();
    const NodeId node = self.isObject() ? self.asObject()->displayNode : 0;
    if (host == nullptr || node == 0) {
        return out;
    }
    const bool recurse = a.empty() || Machine::toBoolean(a[0]);
    // The objects to read, parents before their children, without recursion.
    std::vector<NodeId> pending{node};
    std::size_t visited = 0;
    while (!pending.empty()) {
        m.checkBudget();
        const NodeId at = pending.back();
        pending.pop_back();
        Object* display = host->scriptObject(at);
        if (display == nullptr) {
            continue;
        }
        // Only objects that were drawn into have a Graphics object to read.
        const Value graphics = at == node ? self : hiddenField(display, "graphics");
        if (const auto record = recordOf(graphics)) {
            readRecord(m, *record, stageMatrix(m, Value::object(display)), out);
        }
        if (!recurse || ++visited > 100000) {
            continue;
        }
        const std::vector<NodeId> kids = host->children(at);
        pending.insert(pending.end(), kids.rbegin(), kids.rend());
    }
    return out;
}

} // namespace avm2
