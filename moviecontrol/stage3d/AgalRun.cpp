// The AGAL interpreter. Arithmetic follows the AGAL reference: component-wise operations,
// dot products filling every component, matrix opcodes reading consecutive registers of the
// second operand, and the set-on-compare opcodes giving 1 or 0.
#include "stage3d/AgalRun.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace stage3d {

namespace {

constexpr std::size_t kTemporaries = 26;

template <typename F> Vec4 each(const Vec4& a, const Vec4& b, F f) {
    return {f(a[0], b[0]), f(a[1], b[1]), f(a[2], b[2]), f(a[3], b[3])};
}

float dot3(const Vec4& a, const Vec4& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

float dot4(const Vec4& a, const Vec4& b) {
    return dot3(a, b) + a[3] * b[3];
}

Vec4 swizzled(const Vec4& v, std::uint8_t swizzle) {
    return {v[swizzle & 3], v[(swizzle >> 2) & 3], v[(swizzle >> 4) & 3], v[(swizzle >> 6) & 3]};
}

class Registers {
  public:
    Registers(const ShaderInputs& in, ShaderOutputs& out) : in_(in), out_(out) {}

    Vec4 raw(RegisterType type, std::int64_t index) const {
        if (index < 0) {
            return {};
        }
        const auto i = static_cast<std::size_t>(index);
        switch (type) {
        case RegisterType::Attribute:
            return i < in_.attributes.size() ? in_.attributes[i] : Vec4{};
        case RegisterType::Constant:
            return i < in_.constants.size() ? in_.constants[i] : Vec4{};
        case RegisterType::Temporary:
            return i < temps_.size() ? temps_[i] : Vec4{};
        case RegisterType::Varying:
            return i < in_.varyings.size() ? in_.varyings[i] : Vec4{};
        default:
            return {};
        }
    }

    // The register a source names, `row` registers further on (matrix opcodes).
    Vec4 read(const Source& s, int row = 0) const {
        std::int64_t index = s.index;
        if (s.indirect) {
            const float base = raw(s.indexType, s.index)[s.indexSelect];
            if (!std::isfinite(base)) {
                return {};
            }
            const double at = std::floor(static_cast<double>(base)) + s.offset;
            if (at < 0 || at > 65535) {
                return {};
            }
            index = static_cast<std::int64_t>(at);
        }
        return swizzled(raw(s.type, index + row), s.swizzle);
    }

    // How a source changes per pixel: known for a varying read directly, 0 otherwise.
    Derivatives change(const Source& s) const {
        Derivatives d;
        if (s.type == RegisterType::Varying && !s.indirect && s.index < in_.varyingsDx.size() &&
            s.index < in_.varyingsDy.size()) {
            d.dx = swizzled(in_.varyingsDx[s.index], s.swizzle);
            d.dy = swizzled(in_.varyingsDy[s.index], s.swizzle);
        }
        return d;
    }

    void write(const Destination& d, const Vec4& v) {
        Vec4* target = nullptr;
        switch (d.type) {
        case RegisterType::Temporary:
            target = d.index < temps_.size() ? &temps_[d.index] : nullptr;
            break;
        case RegisterType::Output:
            target = d.index < out_.out.size() ? &out_.out[d.index] : nullptr;
            break;
        case RegisterType::Varying:
            target = d.index < out_.varyings.size() ? &out_.varyings[d.index] : nullptr;
            break;
        case RegisterType::Depth:
            out_.depth = v[0];
            out_.depthWritten = true;
            return;
        default:
            break;
        }
        if (target == nullptr) {
            return;
        }
        for (std::size_t c = 0; c < 4; ++c) {
            if ((d.mask & (1u << c)) != 0) {
                (*target)[c] = v[c];
            }
        }
    }

  private:
    const ShaderInputs& in_;
    ShaderOutputs& out_;
    std::array<Vec4, kTemporaries> temps_{};
};

// Conditional blocks (ife ... els ... eif): each level remembers whether the block around it
// runs and whether its condition held.
class Conditions {
  public:
    bool active() const { return stack_.empty() || (stack_.back().outer && stack_.back().taken); }
    void open(bool condition) { stack_.push_back({active(), condition}); }
    void otherwise() {
        if (!stack_.empty()) {
            stack_.back().taken = !stack_.back().taken;
        }
    }
    void close() {
        if (!stack_.empty()) {
            stack_.pop_back();
        }
    }

  private:
    struct Level {
        bool outer;
        bool taken;
    };
    std::vector<Level> stack_;
};

} // namespace

Vec4 applyOpcode(std::uint8_t op, const Vec4& a, const Vec4& b) {
    switch (op) {
    case OpMov:
        return a;
    case OpAdd:
        return each(a, b, [](float x, float y) { return x + y; });
    case OpSub:
        return each(a, b, [](float x, float y) { return x - y; });
    case OpMul:
        return each(a, b, [](float x, float y) { return x * y; });
    case OpDiv:
        return each(a, b, [](float x, float y) { return x / y; });
    case OpRcp:
        return each(a, a, [](float x, float) { return 1.0f / x; });
    case OpMin:
        return each(a, b, [](float x, float y) { return std::min(x, y); });
    case OpMax:
        return each(a, b, [](float x, float y) { return std::max(x, y); });
    case OpFrc:
        return each(a, a, [](float x, float) { return x - std::floor(x); });
    case OpSqt:
        return each(a, a, [](float x, float) { return std::sqrt(x); });
    case OpRsq:
        return each(a, a, [](float x, float) { return 1.0f / std::sqrt(x); });
    case OpPow:
        return each(a, b, [](float x, float y) { return std::pow(x, y); });
    case OpLog:
        return each(a, a, [](float x, float) { return std::log2(x); });
    case OpExp:
        return each(a, a, [](float x, float) { return std::exp2(x); });
    case OpNrm: {
        const float length = std::sqrt(dot3(a, a));
        return {a[0] / length, a[1] / length, a[2] / length, 0.0f};
    }
    case OpSin:
        return each(a, a, [](float x, float) { return std::sin(x); });
    case OpCos:
        return each(a, a, [](float x, float) { return std::cos(x); });
    case OpCrs:
        return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0],
                0.0f};
    case OpDp3: {
        const float d = dot3(a, b);
        return {d, d, d, d};
    }
    case OpDp4: {
        const float d = dot4(a, b);
        return {d, d, d, d};
    }
    case OpAbs:
        return each(a, a, [](float x, float) { return std::fabs(x); });
    case OpNeg:
        return each(a, a, [](float x, float) { return -x; });
    case OpSat:
        return each(a, a, [](float x, float) { return std::clamp(x, 0.0f, 1.0f); });
    case OpSge:
        return each(a, b, [](float x, float y) { return x >= y ? 1.0f : 0.0f; });
    case OpSlt:
        return each(a, b, [](float x, float y) { return x < y ? 1.0f : 0.0f; });
    case OpSeq:
        return each(a, b, [](float x, float y) { return x == y ? 1.0f : 0.0f; });
    case OpSne:
        return each(a, b, [](float x, float y) { return x != y ? 1.0f : 0.0f; });
    case OpSgn:
        return each(a, a, [](float x, float) { return x > 0 ? 1.0f : (x < 0 ? -1.0f : 0.0f); });
    default: // derivatives (which need the neighbouring pixels), and what has no value
        return {};
    }
}

void runAgal(const AgalProgram& program, const ShaderInputs& in, ShaderOutputs& out) {
    Registers r(in, out);
    Conditions conditions;
    for (const Instruction& i : program.code) {
        switch (i.opcode) {
        case OpIfe:
        case OpIne:
        case OpIfg:
        case OpIfl: {
            const float x = r.read(i.a)[0];
            const float y = r.read(i.b)[0];
            const bool holds = i.opcode == OpIfe   ? x == y
                               : i.opcode == OpIne ? x != y
                               : i.opcode == OpIfg ? x > y
                                                   : x < y;
            conditions.open(holds);
            continue;
        }
        case OpEls:
            conditions.otherwise();
            continue;
        case OpEif:
            conditions.close();
            continue;
        default:
            break;
        }
        if (!conditions.active()) {
            continue;
        }
        switch (i.opcode) {
        case OpKil:
            if (r.read(i.a)[0] < 0) {
                out.killed = true;
                return;
            }
            break;
        case OpTex: {
            const Derivatives change = r.change(i.a);
            r.write(i.dest, in.textures != nullptr
                                ? in.textures->sample(i.sampler, r.read(i.a), &change)
                                : Vec4{});
            break;
        }
        case OpDdx:
            r.write(i.dest, r.change(i.a).dx);
            break;
        case OpDdy:
            r.write(i.dest, r.change(i.a).dy);
            break;
        case OpM33:
        case OpM44:
        case OpM34: {
            const Vec4 a = r.read(i.a);
            const int rows = i.opcode == OpM44 ? 4 : 3;
            Vec4 v{};
            for (int row = 0; row < rows; ++row) {
                const Vec4 m = r.read(i.b, row);
                v[static_cast<std::size_t>(row)] = i.opcode == OpM33 ? dot3(a, m) : dot4(a, m);
            }
            Destination d = i.dest;
            if (rows == 3) {
                d.mask &= 0x7;
            }
            r.write(d, v);
            break;
        }
        case OpNrm:
        case OpCrs: {
            Destination d = i.dest;
            d.mask &= 0x7;
            r.write(d, applyOpcode(i.opcode, r.read(i.a), r.read(i.b)));
            break;
        }
        default:
            r.write(i.dest, applyOpcode(i.opcode, r.read(i.a),
                                        sourceCount(i.opcode) >= 2 ? r.read(i.b) : Vec4{}));
            break;
        }
    }
}

} // namespace stage3d
