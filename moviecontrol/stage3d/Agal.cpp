// Decoding and checking AGAL programs. The checks and their order follow what Flash reports:
// the header first, then each token's opcode, destination and sources, then samplers used
// twice with different settings.
#include "stage3d/Agal.h"

#include <map>

namespace stage3d {

namespace {

constexpr std::size_t kHeaderSize = 7;
constexpr std::size_t kTokenSize = 24;

std::uint32_t word(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 |
           static_cast<std::uint32_t>(b[at + 3]) << 24;
}

const char* kindName(ProgramKind kind) {
    return kind == ProgramKind::Vertex ? "vertex" : "fragment";
}

bool definedOpcode(std::uint32_t op) {
    return op <= OpEif || (op >= OpKil && op <= OpSne);
}

// Opcodes AGAL 1 does not have.
bool laterOpcode(std::uint32_t op) {
    return op == OpDdx || op == OpDdy || (op >= OpIfe && op <= OpEif);
}

bool fragmentOnly(std::uint32_t op) {
    return op == OpKil || op == OpDdx || op == OpDdy;
}

const char* mnemonic(std::uint32_t op) {
    static constexpr std::array<const char*, 0x2e> kNames = {
        "mov", "add", "sub", "mul", "div", "rcp", "min", "max", "frc", "sqt", "rsq", "pow",
        "log", "exp", "nrm", "sin", "cos", "crs", "dp3", "dp4", "abs", "neg", "sat", "m33",
        "m44", "m34", "ddx", "ddy", "ife", "ine", "ifg", "ifl", "els", "eif", "",    "",
        "",    "",    "",    "kil", "tex", "sge", "slt", "sgn", "seq", "sne"};
    return op < kNames.size() ? kNames[op] : "";
}

class Checker {
  public:
    Checker(ProgramKind kind, std::uint32_t version)
        : kind_(kind), limits_(limitsFor(kind, version)) {}

    // Empty when the token is acceptable.
    std::optional<AgalError> check(const Instruction& in, std::size_t token) {
        token_ = token;
        if (writesDestination(in.opcode)) {
            if (auto e = checkDestination(in.dest)) {
                return e;
            }
        }
        const int sources = sourceCount(in.opcode);
        if (sources >= 1) {
            if (auto e = checkSource(in.a, 1)) {
                return e;
            }
        }
        if (sources >= 2 && in.opcode != OpTex) {
            if (auto e = checkSource(in.b, 2)) {
                return e;
            }
        }
        return std::nullopt;
    }

    AgalError fail(int code, const std::string& what, const std::string& operand) const {
        return AgalError{false, code,
                         "AGAL validation failed: " + what + " for " + operand + " at token " +
                             std::to_string(token_) + " of " + kindName(kind_) + " program."};
    }

  private:
    std::optional<AgalError> checkDestination(const Destination& d) const {
        const std::string operand = "destination operand";
        switch (d.type) {
        case RegisterType::Attribute:
            return fail(3651, "Attribute registers can not be written to", operand);
        case RegisterType::Constant:
            return fail(3652, "Constant registers can not be written to", operand);
        case RegisterType::Sampler:
            return fail(3649, "Sampler registers can not be written to", operand);
        case RegisterType::Depth:
            if (d.index >= limits_.depths) {
                return fail(3749, "Depth output register index out of bounds", operand);
            }
            break;
        case RegisterType::Output:
            if (d.index >= limits_.outputs) {
                return fail(3660, "Output register index out of bounds", operand);
            }
            break;
        case RegisterType::Temporary:
            if (d.index >= limits_.temporaries) {
                return fail(3661, "Temporary register index out of bounds", operand);
            }
            break;
        case RegisterType::Varying:
            if (kind_ == ProgramKind::Fragment) {
                return fail(3650, "Varying registers can only be written in vertex programs",
                            operand);
            }
            if (d.index >= limits_.varyings) {
                return fail(3657, "Varying register index out of bounds", operand);
            }
            break;
        default:
            return fail(3655, "Unknown register type", operand);
        }
        return std::nullopt;
    }

    std::optional<AgalError> checkSource(const Source& s, int which) const {
        const std::string operand = "source operand " + std::to_string(which);
        switch (s.type) {
        case RegisterType::Output:
            return fail(3646, "Can not read from output register", operand);
        case RegisterType::Sampler:
            return fail(3638,
                        "Sampler register only allowed as second operand in texture instructions",
                        operand);
        case RegisterType::Depth:
            if (s.index >= limits_.depths) {
                return fail(3749, "Depth output register index out of bounds", operand);
            }
            return fail(3646, "Can not read from output register", operand);
        case RegisterType::Attribute:
        case RegisterType::Constant:
        case RegisterType::Temporary:
        case RegisterType::Varying:
            break;
        default:
            return fail(3637, "Unknown register type", operand);
        }
        if (s.indirect) {
            if (kind_ == ProgramKind::Fragment) {
                return fail(3639, "Indirect addressing only allowed in vertex programs", operand);
            }
            if (s.type != RegisterType::Constant) {
                return fail(3640, "Indirect addressing only allowed into constant registers",
                            operand);
            }
            if (s.indexType != RegisterType::Attribute && s.indexType != RegisterType::Constant &&
                s.indexType != RegisterType::Temporary) {
                return fail(
                    3641, "Indirect source type must be attribute, constant or temporary register",
                    operand);
            }
            return std::nullopt;
        }
        if (s.type == RegisterType::Attribute && kind_ == ProgramKind::Fragment) {
            return fail(3644, "Attribute registers can only be read in vertex programs", operand);
        }
        if (s.type == RegisterType::Varying && kind_ == ProgramKind::Vertex) {
            return fail(3643, "Varying registers can only be read in fragment programs", operand);
        }
        struct Bound {
            RegisterType type;
            std::uint16_t count;
            int code;
            const char* what;
        };
        const std::array<Bound, 4> bounds = {Bound{RegisterType::Attribute, limits_.attributes,
                                                   3658, "Attribute register index out of bounds"},
                                             Bound{RegisterType::Constant, limits_.constants, 3659,
                                                   "Constant register index out of bounds"},
                                             Bound{RegisterType::Temporary, limits_.temporaries,
                                                   3661, "Temporary register index out of bounds"},
                                             Bound{RegisterType::Varying, limits_.varyings, 3657,
                                                   "Varying register index out of bounds"}};
        for (const Bound& b : bounds) {
            if (s.type == b.type && s.index >= b.count) {
                return fail(b.code, b.what, operand);
            }
        }
        return std::nullopt;
    }

    ProgramKind kind_;
    RegisterLimits limits_;
    std::size_t token_ = 0;
};

Source readSource(std::span<const std::uint8_t> b, std::size_t at) {
    Source s;
    s.index = static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
    s.offset = b[at + 2];
    s.swizzle = b[at + 3];
    s.type = static_cast<RegisterType>(b[at + 4] & 0x0F);
    s.indexType = static_cast<RegisterType>(b[at + 5] & 0x0F);
    s.indexSelect = b[at + 6] & 0x03;
    s.indirect = (b[at + 7] & 0x80) != 0;
    return s;
}

SamplerFlags readSampler(std::span<const std::uint8_t> b, std::size_t at) {
    SamplerFlags f;
    f.index = static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
    f.lodBias = static_cast<std::int8_t>(b[at + 2]);
    const std::uint32_t bits = word(b, at + 4);
    f.format = (bits >> 8) & 0xF;
    f.dimension = (bits >> 12) & 0xF;
    f.special = (bits >> 16) & 0xF;
    f.wrap = (bits >> 20) & 0xF;
    f.mipmap = (bits >> 24) & 0xF;
    f.filter = (bits >> 28) & 0xF;
    return f;
}

} // namespace

RegisterLimits limitsFor(ProgramKind kind, std::uint32_t version) {
    const bool vertex = kind == ProgramKind::Vertex;
    if (version <= 1) {
        return vertex ? RegisterLimits{8, 128, 8, 1, 8, 0, 0, 200}
                      : RegisterLimits{0, 28, 8, 1, 8, 8, 0, 200};
    }
    const std::size_t tokens = version == 2 ? 1024 : 2048;
    const std::uint16_t attributes = version == 2 ? 8 : 16;
    return vertex ? RegisterLimits{attributes, 250, 26, 1, 10, 4, 0, tokens}
                  : RegisterLimits{0, 64, 26, 4, 10, 16, 1, tokens};
}

int sourceCount(std::uint8_t op) {
    switch (op) {
    case OpMov:
    case OpRcp:
    case OpFrc:
    case OpSqt:
    case OpRsq:
    case OpLog:
    case OpExp:
    case OpNrm:
    case OpSin:
    case OpCos:
    case OpAbs:
    case OpNeg:
    case OpSat:
    case OpDdx:
    case OpDdy:
    case OpKil:
    case OpSgn:
        return 1;
    case OpEls:
    case OpEif:
        return 0;
    default:
        return 2;
    }
}

bool writesDestination(std::uint8_t op) {
    return op != OpKil && !(op >= OpIfe && op <= OpEif);
}

AgalResult readAgal(std::span<const std::uint8_t> bytes, ProgramKind kind) {
    AgalResult result;
    const std::string role = kindName(kind);
    if (bytes.empty()) {
        result.error = {true, 3615,
                        "AGAL validation failed: Program size below minimum length for  program."};
        return result;
    }
    if (bytes.size() < kHeaderSize || bytes[0] != 0xa0) {
        result.error = {true, 3612, "Programs must be in little endian format."};
        return result;
    }
    if (bytes.size() < kHeaderSize + kTokenSize) {
        result.error = {false, 3615,
                        "AGAL validation failed: Program size below minimum length for " + role +
                            " program."};
        return result;
    }
    const std::uint32_t version = word(bytes, 1);
    if (version < 1 || version > 3) {
        result.error = {false, 3617,
                        "AGAL validation failed: Bad AGAL version for " + role +
                            " program. Current version is " + std::to_string(version) + "."};
        return result;
    }
    if (bytes[5] != 0xa1) {
        result.error = {false, 3618,
                        "AGAL validation failed: Bad AGAL program type identifier for " + role +
                            " program."};
        return result;
    }
    if (bytes[6] > 1) {
        result.error = {false, 3619,
                        "AGAL validation failed: Shader type must be either fragment or vertex "
                        "for " +
                            role + " program."};
        return result;
    }
    if (static_cast<ProgramKind>(bytes[6]) != kind) {
        result.error = {false, kind == ProgramKind::Fragment ? 3671 : 3672,
                        kind == ProgramKind::Fragment
                            ? "AGAL validation failed: Fragment shader type is not fragment."
                            : "AGAL validation failed: Vertex shader type is not vertex."};
        return result;
    }
    const std::size_t tokens = (bytes.size() - kHeaderSize) / kTokenSize;
    const RegisterLimits limits = limitsFor(kind, version);
    if (tokens > limits.tokens) {
        result.error = {false, 3626,
                        "AGAL validation failed: Too many tokens (" + std::to_string(tokens) +
                            ") for " + role + " program."};
        return result;
    }
    AgalProgram program;
    program.kind = kind;
    program.version = version;
    program.code.reserve(tokens);
    Checker checker(kind, version);
    std::map<std::uint16_t, SamplerFlags> samplers;
    for (std::size_t t = 0; t < tokens; ++t) {
        const std::size_t at = kHeaderSize + t * kTokenSize;
        const std::uint32_t op = word(bytes, at);
        const std::string where =
            " at token " + std::to_string(t + 1) + " of " + role + " program.";
        if (!definedOpcode(op)) {
            result.error = {false, 3620,
                            "AGAL validation failed: Invalid opcode, value out of range: " +
                                std::to_string(op) + where};
            return result;
        }
        if (version <= 1 && laterOpcode(op)) {
            result.error = {false, 3621,
                            std::string("AGAL validation failed: Invalid opcode, ") + mnemonic(op) +
                                " is not implemented in this version" + where};
            return result;
        }
        if (kind == ProgramKind::Vertex && (fragmentOnly(op) || (version <= 1 && op == OpTex))) {
            result.error = {false, 3622,
                            std::string("AGAL validation failed: Opcode ") + mnemonic(op) +
                                " only allowed in fragment programs" + where};
            return result;
        }
        Instruction in;
        in.opcode = static_cast<std::uint8_t>(op);
        in.dest.index = static_cast<std::uint16_t>(bytes[at + 4] | bytes[at + 5] << 8);
        in.dest.mask = bytes[at + 6] & 0x0F;
        in.dest.type = static_cast<RegisterType>(bytes[at + 7] & 0x0F);
        in.a = readSource(bytes, at + 8);
        in.b = readSource(bytes, at + 16);
        if (auto e = checker.check(in, t + 1)) {
            result.error = *e;
            return result;
        }
        if (op == OpTex) {
            in.sampler = readSampler(bytes, at + 16);
            if (in.b.type != RegisterType::Sampler) {
                result.error = checker.fail(3636, "Texture instructions need a sampler register",
                                            "source operand 2");
                return result;
            }
            if (in.sampler.index >= limits.samplers) {
                result.error =
                    checker.fail(3656, "Sampler register index out of bounds", "source operand 2");
                return result;
            }
            const auto [it, first] = samplers.emplace(in.sampler.index, in.sampler);
            if (!first && !(it->second == in.sampler)) {
                result.error = {false, 3696,
                                "AGAL validation failed: Second use of sampler register needs to "
                                "specify the exact same properties. At token " +
                                    std::to_string(t + 1) + " of " + role + " program."};
                return result;
            }
        }
        program.code.push_back(in);
    }
    result.program = std::move(program);
    return result;
}

} // namespace stage3d
