#pragma once
// A Pixel Bender kernel as Flash reads it from its bytecode: the kernel's name and metadata,
// its parameters and image inputs (each with its own metadata), and its instructions. The
// reader checks every length, register and block, so that the machine can run the program
// without checking again.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace shader {

// The value types of parameters and metadata, with the bytecode's numbers.
enum class PbjType : std::uint8_t {
    Float = 1,
    Float2,
    Float3,
    Float4,
    Float2x2,
    Float3x3,
    Float4x4,
    Int,
    Int2,
    Int3,
    Int4,
    String,
    Bool,
    Bool2,
    Bool3,
    Bool4,
};

// The name ShaderParameter.type gives the type ("float2", "matrix3x3", "bool"...).
const char* typeName(PbjType t);
// How many numbers a value of the type holds (0 for a string).
int componentCount(PbjType t);
bool isFloatType(PbjType t);
bool isBoolType(PbjType t);
bool isMatrixType(PbjType t);

struct PbjValue {
    PbjType type = PbjType::Float;
    std::vector<double> numbers; // floats, ints or bools (0/1), by type
    std::string text;            // a string's characters
};

struct PbjMeta {
    std::string key;
    PbjValue value;
};

struct PbjParam {
    bool output = false;
    PbjType type = PbjType::Float;
    std::uint16_t reg = 0; // the register, with 0x8000 set for an int register
    std::uint8_t mask = 0; // the channels written (r = 8 ... a = 1), or the matrix size
    std::string name;
    std::vector<PbjMeta> meta;
};

struct PbjTexture {
    std::uint8_t index = 0;
    std::uint8_t channels = 0;
    std::string name;
};

// One instruction, decoded. Registers keep the bytecode's numbering: bit 15 set for an int
// register, the swizzle of a source in bits 16-23.
struct PbjOp {
    std::uint8_t code = 0;
    std::uint16_t dst = 0;
    std::uint8_t dstMask = 0; // r = 8, g = 4, b = 2, a = 1
    std::uint8_t size = 1;    // source components
    std::uint8_t matrix = 0;  // 0, or 1..3 for 2x2..4x4 operands
    std::uint32_t src = 0;
    std::uint32_t src2 = 0; // select's second source
    std::uint32_t src3 = 0; // select's third source
    std::uint8_t texture = 0;
    float floatValue = 0;
    std::int32_t intValue = 0;
    std::uint32_t jump = 0; // if: the else or endif; else: the endif
};

namespace op {
inline constexpr std::uint8_t Nop = 0x00, Add = 0x01, Sub = 0x02, Mul = 0x03, Rcp = 0x04,
                              Div = 0x05, Atan2 = 0x06, Pow = 0x07, Mod = 0x08, Min = 0x09,
                              Max = 0x0A, Step = 0x0B, Sin = 0x0C, Cos = 0x0D, Tan = 0x0E,
                              Asin = 0x0F, Acos = 0x10, Atan = 0x11, Exp = 0x12, Exp2 = 0x13,
                              Log = 0x14, Log2 = 0x15, Sqrt = 0x16, RSqrt = 0x17, Abs = 0x18,
                              Sign = 0x19, Floor = 0x1A, Ceil = 0x1B, Fract = 0x1C, Mov = 0x1D,
                              FloatToInt = 0x1E, IntToFloat = 0x1F, MatMatMul = 0x20,
                              VecMatMul = 0x21, MatVecMul = 0x22, Normalize = 0x23, Length = 0x24,
                              Distance = 0x25, Dot = 0x26, Cross = 0x27, Equal = 0x28,
                              NotEqual = 0x29, LessThan = 0x2A, LessThanEqual = 0x2B,
                              LogicalNot = 0x2C, LogicalAnd = 0x2D, LogicalOr = 0x2E,
                              LogicalXor = 0x2F, SampleNearest = 0x30, SampleLinear = 0x31,
                              LoadConstant = 0x32, Select = 0x33, If = 0x34, Else = 0x35,
                              EndIf = 0x36, FloatToBool = 0x37, BoolToFloat = 0x38,
                              IntToBool = 0x39, BoolToInt = 0x3A, VectorEqual = 0x3B,
                              VectorNotEqual = 0x3C, Any = 0x3D, All = 0x3E, KernelMeta = 0xA0,
                              Parameter = 0xA1, ParameterMeta = 0xA2, Texture = 0xA3, Name = 0xA4,
                              Version = 0xA5;
} // namespace op

struct PbjProgram {
    std::string name;
    std::int32_t version = 0;
    std::vector<PbjMeta> meta;
    std::vector<PbjParam> params;
    std::vector<PbjTexture> textures;
    std::vector<PbjOp> ops;
    int floatRegisters = 0; // registers the program names, so the machine sizes its files once
    int intRegisters = 0;

    // The output parameter, or null.
    const PbjParam* output() const;
};

// Why bytecode was refused: no bytes at all, bytes that end inside an instruction, or an
// instruction Flash does not know (or blocks that do not nest).
enum class PbjError { None, Empty, EndOfData, Invalid };

struct PbjParse {
    PbjProgram program;
    PbjError error = PbjError::None;
};

PbjParse parsePbj(std::span<const std::uint8_t> bytes);

} // namespace shader
