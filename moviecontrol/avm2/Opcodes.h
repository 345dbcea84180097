#pragma once
// The AVM2 instruction set: opcode numbers and how each one's operands are stored.

#include <cstdint>

namespace avm2::op {

inline constexpr std::uint8_t Bkpt = 0x01, Nop = 0x02, Throw = 0x03, GetSuper = 0x04,
                              SetSuper = 0x05, Dxns = 0x06, DxnsLate = 0x07, Kill = 0x08,
                              Label = 0x09, IfNlt = 0x0C, IfNle = 0x0D, IfNgt = 0x0E, IfNge = 0x0F,
                              Jump = 0x10, IfTrue = 0x11, IfFalse = 0x12, IfEq = 0x13, IfNe = 0x14,
                              IfLt = 0x15, IfLe = 0x16, IfGt = 0x17, IfGe = 0x18, IfStrictEq = 0x19,
                              IfStrictNe = 0x1A, LookupSwitch = 0x1B, PushWith = 0x1C,
                              PopScope = 0x1D, NextName = 0x1E, HasNext = 0x1F, PushNull = 0x20,
                              PushUndefined = 0x21, NextValue = 0x23, PushByte = 0x24,
                              PushShort = 0x25, PushTrue = 0x26, PushFalse = 0x27, PushNaN = 0x28,
                              Pop = 0x29, Dup = 0x2A, Swap = 0x2B, PushString = 0x2C,
                              PushInt = 0x2D, PushUint = 0x2E, PushDouble = 0x2F, PushScope = 0x30,
                              PushNamespace = 0x31, HasNext2 = 0x32, Li8 = 0x35, Sf64 = 0x3E,
                              NewFunction = 0x40, Call = 0x41, Construct = 0x42, CallMethod = 0x43,
                              CallStatic = 0x44, CallSuper = 0x45, CallProperty = 0x46,
                              ReturnVoid = 0x47, ReturnValue = 0x48, ConstructSuper = 0x49,
                              ConstructProp = 0x4A, CallPropLex = 0x4C, CallSuperVoid = 0x4E,
                              CallPropVoid = 0x4F, Sxi1 = 0x50, Sxi8 = 0x51, Sxi16 = 0x52,
                              ApplyType = 0x53, NewObject = 0x55, NewArray = 0x56,
                              NewActivation = 0x57, NewClass = 0x58, GetDescendants = 0x59,
                              NewCatch = 0x5A, FindPropStrict = 0x5D, FindProperty = 0x5E,
                              FindDef = 0x5F, GetLex = 0x60, SetProperty = 0x61, GetLocal = 0x62,
                              SetLocal = 0x63, GetGlobalScope = 0x64, GetScopeObject = 0x65,
                              GetProperty = 0x66, GetOuterScope = 0x67, InitProperty = 0x68,
                              DeleteProperty = 0x6A, GetSlot = 0x6C, SetSlot = 0x6D,
                              GetGlobalSlot = 0x6E, SetGlobalSlot = 0x6F, ConvertS = 0x70,
                              EscXElem = 0x71, EscXAttr = 0x72, ConvertI = 0x73, ConvertU = 0x74,
                              ConvertD = 0x75, ConvertB = 0x76, ConvertO = 0x77, CheckFilter = 0x78,
                              Coerce = 0x80, CoerceB = 0x81, CoerceA = 0x82, CoerceI = 0x83,
                              CoerceD = 0x84, CoerceS = 0x85, AsType = 0x86, AsTypeLate = 0x87,
                              CoerceU = 0x88, CoerceO = 0x89, Negate = 0x90, Increment = 0x91,
                              IncLocal = 0x92, Decrement = 0x93, DecLocal = 0x94, TypeOf = 0x95,
                              Not = 0x96, BitNot = 0x97, Add = 0xA0, Subtract = 0xA1,
                              Multiply = 0xA2, Divide = 0xA3, Modulo = 0xA4, LShift = 0xA5,
                              RShift = 0xA6, URShift = 0xA7, BitAnd = 0xA8, BitOr = 0xA9,
                              BitXor = 0xAA, Equals = 0xAB, StrictEquals = 0xAC, LessThan = 0xAD,
                              LessEquals = 0xAE, GreaterThan = 0xAF, GreaterEquals = 0xB0,
                              InstanceOf = 0xB1, IsType = 0xB2, IsTypeLate = 0xB3, In = 0xB4,
                              IncrementI = 0xC0, DecrementI = 0xC1, IncLocalI = 0xC2,
                              DecLocalI = 0xC3, NegateI = 0xC4, AddI = 0xC5, SubtractI = 0xC6,
                              MultiplyI = 0xC7, GetLocal0 = 0xD0, GetLocal3 = 0xD3,
                              SetLocal0 = 0xD4, SetLocal3 = 0xD7, Debug = 0xEF, DebugLine = 0xF0,
                              DebugFile = 0xF1, BkptLine = 0xF2, Timestamp = 0xF3;

// How an opcode's operands are stored after it.
enum class Operands : std::uint8_t {
    Illegal,
    None,
    U8,        // pushbyte, getscopeobject
    U30,       // one index or count
    U30U30,    // an index and an argument count
    S24,       // a branch offset
    Switch,    // lookupswitch: default offset, case count, case offsets
    DebugInfo, // debug: u8, u30, u8, u30
};

Operands operandsOf(std::uint8_t opcode);

// Whether running the opcode may raise an error (a conversion calling valueOf, a failed
// look-up, a call): an exception handler is only entered from such instructions, so one
// guarding nothing else is never reached and its code is not checked.
bool canThrow(std::uint8_t opcode);

} // namespace avm2::op
