#pragma once
// AGAL, the bytecode of Stage3D programs: a 7-byte header (0xa0, a little-endian version,
// 0xa1, the program kind) and then 24-byte tokens (opcode, destination, two sources or a
// source and a sampler). readAgal checks a program the way Flash does before it accepts it
// and keeps it decoded for the interpreter.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace stage3d {

enum class ProgramKind : std::uint8_t { Vertex = 0, Fragment = 1 };

enum class RegisterType : std::uint8_t {
    Attribute = 0,
    Constant = 1,
    Temporary = 2,
    Output = 3,
    Varying = 4,
    Sampler = 5,
    Depth = 6,
};

enum Opcode : std::uint8_t {
    OpMov = 0x00,
    OpAdd = 0x01,
    OpSub = 0x02,
    OpMul = 0x03,
    OpDiv = 0x04,
    OpRcp = 0x05,
    OpMin = 0x06,
    OpMax = 0x07,
    OpFrc = 0x08,
    OpSqt = 0x09,
    OpRsq = 0x0a,
    OpPow = 0x0b,
    OpLog = 0x0c,
    OpExp = 0x0d,
    OpNrm = 0x0e,
    OpSin = 0x0f,
    OpCos = 0x10,
    OpCrs = 0x11,
    OpDp3 = 0x12,
    OpDp4 = 0x13,
    OpAbs = 0x14,
    OpNeg = 0x15,
    OpSat = 0x16,
    OpM33 = 0x17,
    OpM44 = 0x18,
    OpM34 = 0x19,
    OpDdx = 0x1a,
    OpDdy = 0x1b,
    OpIfe = 0x1c,
    OpIne = 0x1d,
    OpIfg = 0x1e,
    OpIfl = 0x1f,
    OpEls = 0x20,
    OpEif = 0x21,
    OpKil = 0x27,
    OpTex = 0x28,
    OpSge = 0x29,
    OpSlt = 0x2a,
    OpSgn = 0x2b,
    OpSeq = 0x2c,
    OpSne = 0x2d,
};

struct Destination {
    RegisterType type = RegisterType::Temporary;
    std::uint16_t index = 0;
    std::uint8_t mask = 0xF; // bit 0 x ... bit 3 w
};

struct Source {
    RegisterType type = RegisterType::Temporary;
    std::uint16_t index = 0;
    // Output component i reads input component (swizzle >> 2i) & 3.
    std::uint8_t swizzle = 0xE4;
    bool indirect = false;
    std::uint8_t offset = 0; // indirect: added to the index register's component
    RegisterType indexType = RegisterType::Attribute;
    std::uint8_t indexSelect = 0;
};

// How a tex instruction samples: the bits of its second operand.
struct SamplerFlags {
    std::uint16_t index = 0;
    std::int8_t lodBias = 0;    // eighths of a level
    std::uint8_t dimension = 0; // 0 2D, 1 cube, 2 3D
    std::uint8_t special = 0;   // centroid, single, ignore sampler
    std::uint8_t wrap = 0;      // 0 clamp, 1 repeat, 2 clamp_u_repeat_v, 3 repeat_u_clamp_v
    std::uint8_t mipmap = 0;    // 0 none, 1 nearest, 2 linear
    std::uint8_t filter = 0;    // 0 nearest, 1 linear, larger anisotropic
    std::uint8_t format = 0;    // 0 rgba, 1 dxt1, 2 dxt5, 3 video
    bool operator==(const SamplerFlags&) const = default;
};

struct Instruction {
    std::uint8_t opcode = 0;
    Destination dest;
    Source a;
    Source b;
    SamplerFlags sampler; // tex
};

struct AgalProgram {
    ProgramKind kind = ProgramKind::Vertex;
    std::uint32_t version = 1;
    std::vector<Instruction> code;
};

// How many registers of each type a program may use, by AGAL version.
struct RegisterLimits {
    std::uint16_t attributes, constants, temporaries, outputs, varyings, samplers, depths;
    std::size_t tokens;
};
RegisterLimits limitsFor(ProgramKind kind, std::uint32_t version);

// Why Flash refuses a program: the error class, number and message it throws.
struct AgalError {
    bool argumentError = false;
    int code = 0;
    std::string message;
};

// The program, or why it is refused. `kind` is the role it is uploaded for.
struct AgalResult {
    std::optional<AgalProgram> program;
    AgalError error;
};
AgalResult readAgal(std::span<const std::uint8_t> bytes, ProgramKind kind);

// How many source operands an opcode reads, and whether it writes its destination.
int sourceCount(std::uint8_t opcode);
bool writesDestination(std::uint8_t opcode);

} // namespace stage3d
