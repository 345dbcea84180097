#include "shader/PbjMachine.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace shader {

namespace {

bool isInt(std::uint32_t reg) {
    return (reg & 0x8000) != 0;
}
std::size_t index(std::uint32_t reg) {
    return reg & 0x7FFF;
}

// Float to int register: NaN is 0, the rest saturates.
std::int32_t toInt(double v) {
    if (std::isnan(v)) {
        return 0;
    }
    v = std::clamp(v, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                   static_cast<double>(std::numeric_limits<std::int32_t>::max()));
    return static_cast<std::int32_t>(v);
}

// The channels a destination mask names, r first.
int maskedChannels(std::uint8_t mask, std::array<int, 4>& out) {
    int n = 0;
    for (int c = 0; c < 4; ++c) {
        if ((mask & (8 >> c)) != 0) {
            out[static_cast<std::size_t>(n++)] = c;
        }
    }
    return n;
}

double unary(std::uint8_t code, double x) {
    switch (code) {
    case op::Rcp:
        return 1.0 / x;
    case op::Sin:
        return std::sin(x);
    case op::Cos:
        return std::cos(x);
    case op::Tan:
        return std::tan(x);
    case op::Asin:
        return std::asin(x);
    case op::Acos:
        return std::acos(x);
    case op::Atan:
        return std::atan(x);
    case op::Exp:
        return std::exp(x);
    case op::Exp2:
        return std::exp2(x);
    case op::Log:
        return std::log(x);
    case op::Log2:
        return std::log2(x);
    case op::Sqrt:
        return std::sqrt(x);
    case op::RSqrt:
        return 1.0 / std::sqrt(x);
    case op::Abs:
        return std::fabs(x);
    case op::Sign:
        return x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0;
    case op::Floor:
        return std::floor(x);
    case op::Ceil:
        return std::ceil(x);
    case op::Fract:
        return x - std::floor(x);
    case op::FloatToInt:
        return std::isfinite(x) ? std::round(x) : 0.0;
    case op::FloatToBool:
    case op::IntToBool:
        return x != 0 ? 1.0 : 0.0;
    case op::BoolToInt:
        return x != 0 ? 1.0 : 0.0;
    case op::BoolToFloat:
        // Flash turns every bool into 0.0 here; kernels written for it rely on the select
        // or if forms instead.
        return 0.0;
    case op::LogicalNot:
        // Flash negates the bits rather than the truth value.
        return static_cast<double>(~toInt(x));
    default: // Mov, IntToFloat
        return x;
    }
}

// dst = dst (op) src, with int semantics where both are int registers.
double binary(std::uint8_t code, double a, double b, bool ints) {
    switch (code) {
    case op::Add:
        return a + b;
    case op::Sub:
        return a - b;
    case op::Mul:
        return a * b;
    case op::Div:
        if (ints) {
            return b == 0 ? 0.0 : std::trunc(a / b);
        }
        return a / b;
    case op::Atan2:
        return std::atan2(a, b);
    case op::Pow:
        return std::pow(a, b);
    case op::Mod:
        if (ints) {
            return b == 0 ? 0.0 : static_cast<double>(toInt(a) % toInt(b));
        }
        return a - b * std::floor(a / b);
    case op::Min:
        return std::min(a, b);
    case op::Max:
        return std::max(a, b);
    case op::Step:
        return a < b ? 0.0 : 1.0;
    case op::LogicalAnd:
        return (a != 0 && b != 0) ? 1.0 : 0.0;
    case op::LogicalOr:
        return (a != 0 || b != 0) ? 1.0 : 0.0;
    case op::LogicalXor:
        return ((a != 0) != (b != 0)) ? 1.0 : 0.0;
    default:
        return a;
    }
}

bool isBinary(std::uint8_t code) {
    return code == op::Add || code == op::Sub || code == op::Mul || code == op::Div ||
           code == op::Atan2 || code == op::Pow || code == op::Mod || code == op::Min ||
           code == op::Max || code == op::Step || code == op::LogicalAnd || code == op::LogicalOr ||
           code == op::LogicalXor;
}

} // namespace

PbjMachine::PbjMachine(const PbjProgram& program)
    : program_(program),
      floatStart_(static_cast<std::size_t>(std::max(program.floatRegisters, 1)), Floats{}),
      intStart_(static_cast<std::size_t>(std::max(program.intRegisters, 1)), Ints{}) {
    for (const PbjParam& p : program.params) {
        if (p.output) {
            output_ = &p;
        } else if (p.name == "_OutCoord") {
            coord_ = &p;
        }
    }
    std::size_t slots = 0;
    for (const PbjTexture& t : program.textures) {
        slots = std::max<std::size_t>(slots, std::size_t{t.index} + 1);
    }
    images_.assign(slots, nullptr);
}

void PbjMachine::setParameter(const PbjParam& p, const std::vector<double>& values) {
    // Int and bool parameters are 16-bit in the bytecode, and values held to that range.
    const auto value = [&](std::size_t i) {
        const double v = i < values.size() ? values[i] : 0.0;
        if (isFloatType(p.type)) {
            return v;
        }
        return std::isnan(v) ? 0.0 : std::trunc(std::clamp(v, -32768.0, 32767.0));
    };
    if (isMatrixType(p.type)) {
        const int n = p.type == PbjType::Float2x2 ? 2 : p.type == PbjType::Float3x3 ? 3 : 4;
        std::array<float, 16> m{};
        for (std::size_t i = 0; i < static_cast<std::size_t>(n * n); ++i) {
            m[i] = static_cast<float>(value(i));
        }
        floats_ = floatStart_;
        writeMatrix(p.reg, n, m);
        floatStart_ = floats_;
        return;
    }
    std::array<int, 4> channels{};
    const int n = maskedChannels(p.mask, channels);
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<std::size_t>(channels[static_cast<std::size_t>(i)]);
        const double v = value(static_cast<std::size_t>(i));
        if (isInt(p.reg)) {
            intStart_[index(p.reg)][c] = toInt(v);
        } else {
            floatStart_[index(p.reg)][c] = static_cast<float>(v);
        }
    }
}

void PbjMachine::setImage(int slot, const PbjImage* image) {
    if (slot >= 0 && static_cast<std::size_t>(slot) < images_.size()) {
        images_[static_cast<std::size_t>(slot)] = image;
    }
}

int PbjMachine::outputChannels() const {
    if (output_ == nullptr) {
        return 0;
    }
    std::array<int, 4> channels{};
    return maskedChannels(output_->mask, channels);
}

std::array<float, 4> PbjMachine::run(float x, float y) {
    floats_ = floatStart_;
    ints_ = intStart_;
    if (coord_ != nullptr) {
        write(coord_->reg, coord_->mask, {x, y, 0, 0}, 2);
    }
    const std::vector<PbjOp>& ops = program_.ops;
    std::size_t pc = 0;
    while (pc < ops.size()) {
        const PbjOp& o = ops[pc];
        if (o.code == op::If) {
            pc = condition(o.src) ? pc + 1 : o.jump;
            continue;
        }
        if (o.code == op::Else) {
            pc = o.jump;
            continue;
        }
        step(o);
        ++pc;
    }
    std::array<float, 4> out{};
    if (output_ != nullptr) {
        const std::array<double, 4> v = readMasked(output_->reg, output_->mask);
        for (std::size_t i = 0; i < 4; ++i) {
            out[i] = static_cast<float>(v[i]);
        }
    }
    return out;
}

std::array<double, 4> PbjMachine::read(std::uint32_t src, int size) const {
    std::array<double, 4> v{};
    const std::uint32_t swizzle = src >> 16;
    for (int i = 0; i < size; ++i) {
        const auto c = static_cast<std::size_t>((swizzle >> (6 - i * 2)) & 3);
        v[static_cast<std::size_t>(i)] = isInt(src) ? ints_[index(src)][c] : floats_[index(src)][c];
    }
    return v;
}

std::array<double, 4> PbjMachine::readMasked(std::uint16_t dst, std::uint8_t mask) const {
    std::array<int, 4> channels{};
    const int n = maskedChannels(mask, channels);
    std::array<double, 4> v{};
    for (int i = 0; i < n; ++i) {
        const auto c = static_cast<std::size_t>(channels[static_cast<std::size_t>(i)]);
        v[static_cast<std::size_t>(i)] = isInt(dst) ? ints_[index(dst)][c] : floats_[index(dst)][c];
    }
    return v;
}

void PbjMachine::write(std::uint16_t dst, std::uint8_t mask, const std::array<double, 4>& v,
                       int n) {
    std::array<int, 4> channels{};
    const int count = std::min(maskedChannels(mask, channels), n);
    for (int i = 0; i < count; ++i) {
        const auto c = static_cast<std::size_t>(channels[static_cast<std::size_t>(i)]);
        const double x = v[static_cast<std::size_t>(i)];
        if (isInt(dst)) {
            ints_[index(dst)][c] = toInt(x);
        } else {
            floats_[index(dst)][c] = static_cast<float>(x);
        }
    }
}

void PbjMachine::writeInt0(bool v) {
    ints_[0][0] = v ? 1 : 0;
}

bool PbjMachine::condition(std::uint32_t src) const {
    return read(src, 1)[0] != 0;
}

void PbjMachine::step(const PbjOp& o) {
    if (o.matrix != 0) {
        matrixOp(o);
        return;
    }
    const int n = o.size;
    switch (o.code) {
    case op::Nop:
    case op::EndIf:
        return;
    case op::LoadConstant:
        write(o.dst, o.dstMask,
              isInt(o.dst)
                  ? std::array<double, 4>{static_cast<double>(o.intValue),
                                          static_cast<double>(o.intValue),
                                          static_cast<double>(o.intValue),
                                          static_cast<double>(o.intValue)}
                  : std::array<double, 4>{o.floatValue, o.floatValue, o.floatValue, o.floatValue},
              4);
        return;
    case op::SampleNearest:
    case op::SampleLinear:
        sample(o);
        return;
    case op::Select:
        select(o);
        return;
    default:
        break;
    }
    const std::array<double, 4> s = read(o.src, n);
    const std::array<double, 4> d = readMasked(o.dst, o.dstMask);
    std::array<double, 4> r{};
    switch (o.code) {
    case op::Equal:
    case op::NotEqual:
    case op::LessThan:
    case op::LessThanEqual: {
        const double a = d[0], b = s[0];
        const bool t = o.code == op::Equal      ? a == b
                       : o.code == op::NotEqual ? a != b
                       : o.code == op::LessThan ? a < b
                                                : a <= b;
        writeInt0(t);
        return;
    }
    case op::VectorEqual:
    case op::VectorNotEqual: {
        bool same = true;
        for (int i = 0; i < n; ++i) {
            same = same && d[static_cast<std::size_t>(i)] == s[static_cast<std::size_t>(i)];
        }
        writeInt0(o.code == op::VectorEqual ? same : !same);
        return;
    }
    case op::Any:
    case op::All: {
        bool any = false, all = true;
        for (int i = 0; i < n; ++i) {
            any = any || s[static_cast<std::size_t>(i)] != 0;
            all = all && s[static_cast<std::size_t>(i)] != 0;
        }
        writeInt0(o.code == op::Any ? any : all);
        return;
    }
    case op::Length:
    case op::Distance:
    case op::Dot: {
        double sum = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
            const double diff = o.code == op::Distance ? d[i] - s[i] : s[i];
            sum += o.code == op::Dot ? d[i] * s[i] : diff * diff;
        }
        const double v = o.code == op::Dot ? sum : std::sqrt(sum);
        r = {v, v, v, v};
        break;
    }
    case op::Normalize: {
        double sum = 0;
        for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
            sum += s[i] * s[i];
        }
        const double len = std::sqrt(sum);
        for (std::size_t i = 0; i < 4; ++i) {
            r[i] = s[i] / len;
        }
        break;
    }
    case op::Cross:
        r = {d[1] * s[2] - d[2] * s[1], d[2] * s[0] - d[0] * s[2], d[0] * s[1] - d[1] * s[0], 0};
        break;
    default: {
        const bool ints = isInt(o.dst) && isInt(o.src);
        for (std::size_t i = 0; i < 4; ++i) {
            r[i] = isBinary(o.code) ? binary(o.code, d[i], s[i], ints) : unary(o.code, s[i]);
        }
        break;
    }
    }
    write(o.dst, o.dstMask, r, 4);
}

bool PbjMachine::matrixFits(std::size_t base, int n) const {
    const std::size_t span = n == 2 ? 1 : static_cast<std::size_t>(n);
    return base + span <= floats_.size();
}

std::array<float, 16> PbjMachine::readMatrix(std::uint16_t reg, int n) const {
    std::array<float, 16> m{};
    const std::size_t base = index(reg);
    if ((reg & 0x8000) != 0 || !matrixFits(base, n)) {
        return m; // matrices live in float registers; one elsewhere reads as zeros
    }
    for (int c = 0; c < n; ++c) {
        for (int row = 0; row < n; ++row) {
            const std::size_t at = static_cast<std::size_t>(c * n + row);
            m[at] =
                n == 2 ? floats_[base][at]
                       : floats_[base + static_cast<std::size_t>(c)][static_cast<std::size_t>(row)];
        }
    }
    return m;
}

void PbjMachine::writeMatrix(std::uint16_t reg, int n, const std::array<float, 16>& m) {
    const std::size_t base = index(reg);
    if ((reg & 0x8000) != 0 || !matrixFits(base, n)) {
        return;
    }
    for (int c = 0; c < n; ++c) {
        for (int row = 0; row < n; ++row) {
            const std::size_t at = static_cast<std::size_t>(c * n + row);
            if (n == 2) {
                floats_[base][at] = m[at];
            } else {
                floats_[base + static_cast<std::size_t>(c)][static_cast<std::size_t>(row)] = m[at];
            }
        }
    }
}

// Matrices are column by column: a 2x2 in one register, larger ones one column a register.
void PbjMachine::matrixOp(const PbjOp& o) {
    if (isInt(o.src) || isInt(o.dst)) {
        return;
    }
    const int n = o.matrix + 1;
    const std::array<float, 16> s = readMatrix(static_cast<std::uint16_t>(o.src), n);
    const auto at = [n](const std::array<float, 16>& m, int row, int col) {
        return static_cast<double>(m[static_cast<std::size_t>(col * n + row)]);
    };
    if (o.dstMask == 0) {
        const std::array<float, 16> d = readMatrix(o.dst, n);
        std::array<float, 16> r{};
        for (int row = 0; row < n; ++row) {
            for (int col = 0; col < n; ++col) {
                double v = 0;
                switch (o.code) {
                case op::MatMatMul:
                    for (int k = 0; k < n; ++k) {
                        v += at(d, row, k) * at(s, k, col);
                    }
                    break;
                case op::Add:
                case op::Sub:
                case op::Mul:
                case op::Div:
                    v = binary(o.code, at(d, row, col), at(s, row, col), false);
                    break;
                default:
                    v = at(s, row, col);
                    break;
                }
                r[static_cast<std::size_t>(col * n + row)] = static_cast<float>(v);
            }
        }
        writeMatrix(o.dst, n, r);
        return;
    }
    const std::array<double, 4> v = readMasked(o.dst, o.dstMask);
    std::array<double, 4> r{};
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int k = 0; k < n; ++k) {
            sum += o.code == op::VecMatMul ? v[static_cast<std::size_t>(k)] * at(s, k, i)
                                           : at(s, i, k) * v[static_cast<std::size_t>(k)];
        }
        r[static_cast<std::size_t>(i)] = sum;
    }
    write(o.dst, o.dstMask, r, n);
}

void PbjMachine::sample(const PbjOp& o) {
    const std::array<double, 4> coord = read(o.src, 2);
    const PbjImage* image = o.texture < images_.size() ? images_[o.texture] : nullptr;
    std::array<double, 4> r{};
    if (image != nullptr && image->width > 0 && image->height > 0 && image->channels > 0) {
        const int ch = std::min(image->channels, 4);
        const auto texel = [&](int x, int y, std::array<double, 4>& into, double weight) {
            x = std::clamp(x, 0, image->width - 1);
            y = std::clamp(y, 0, image->height - 1);
            const std::size_t base =
                (static_cast<std::size_t>(y) * static_cast<std::size_t>(image->width) +
                 static_cast<std::size_t>(x)) *
                static_cast<std::size_t>(image->channels);
            for (int c = 0; c < ch; ++c) {
                const std::size_t i = base + static_cast<std::size_t>(c);
                if (i < image->values.size()) {
                    into[static_cast<std::size_t>(c)] += weight * image->values[i];
                }
            }
        };
        const double x = coord[0], y = coord[1];
        const bool inside = x >= 0 && y >= 0 && x <= image->width && y <= image->height;
        if (inside && o.code == op::SampleNearest) {
            texel(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), r, 1.0);
        } else if (inside) {
            const double fx = x - 0.5, fy = y - 0.5;
            const double x0 = std::floor(fx), y0 = std::floor(fy);
            const double tx = fx - x0, ty = fy - y0;
            const int ix = static_cast<int>(x0), iy = static_cast<int>(y0);
            texel(ix, iy, r, (1 - tx) * (1 - ty));
            texel(ix + 1, iy, r, tx * (1 - ty));
            texel(ix, iy + 1, r, (1 - tx) * ty);
            texel(ix + 1, iy + 1, r, tx * ty);
        }
    }
    write(o.dst, o.dstMask, r, 4);
}

void PbjMachine::select(const PbjOp& o) {
    const bool yes = condition(o.src);
    write(o.dst, o.dstMask, read(yes ? o.src2 : o.src3, 4), 4);
}

} // namespace shader
