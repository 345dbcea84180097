#pragma once
// The action codes, by name, and the action records of DoAction, DoInitAction, clip events
// and buttons. The reader decodes the payloads of the first version's timeline actions, for
// code that looks at a block without running it; every other action keeps its code and
// payload, so that a block can be walked safely. The script machine (avm1/Interpreter.cpp)
// decodes the actions it runs from the bytes and dispatches on these names.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

namespace op {
inline constexpr std::uint8_t End = 0x00;
// Codes from this one on are followed by a 16-bit payload length; codes below it have none.
inline constexpr std::uint8_t FirstWithLength = 0x80;
inline constexpr std::uint8_t NextFrame = 0x04;
inline constexpr std::uint8_t PreviousFrame = 0x05;
inline constexpr std::uint8_t Play = 0x06;
inline constexpr std::uint8_t Stop = 0x07;
inline constexpr std::uint8_t ToggleQuality = 0x08;
inline constexpr std::uint8_t StopSounds = 0x09;
inline constexpr std::uint8_t GotoFrame = 0x81;
inline constexpr std::uint8_t GetUrl = 0x83;
inline constexpr std::uint8_t WaitForFrame = 0x8A;
inline constexpr std::uint8_t SetTarget = 0x8B;
inline constexpr std::uint8_t GotoLabel = 0x8C;
inline constexpr std::uint8_t GotoFrame2 = 0x9F;
// Script actions of versions 4 to 7.
inline constexpr std::uint8_t Add = 0x0A;
inline constexpr std::uint8_t Subtract = 0x0B;
inline constexpr std::uint8_t Multiply = 0x0C;
inline constexpr std::uint8_t Divide = 0x0D;
inline constexpr std::uint8_t Equals = 0x0E;
inline constexpr std::uint8_t Less = 0x0F;
inline constexpr std::uint8_t And = 0x10;
inline constexpr std::uint8_t Or = 0x11;
inline constexpr std::uint8_t Not = 0x12;
inline constexpr std::uint8_t StringEquals = 0x13;
inline constexpr std::uint8_t StringLength = 0x14;
inline constexpr std::uint8_t StringExtract = 0x15;
inline constexpr std::uint8_t Pop = 0x17;
inline constexpr std::uint8_t ToInteger = 0x18;
inline constexpr std::uint8_t GetVariable = 0x1C;
inline constexpr std::uint8_t SetVariable = 0x1D;
inline constexpr std::uint8_t SetTarget2 = 0x20;
inline constexpr std::uint8_t StringAdd = 0x21;
inline constexpr std::uint8_t GetProperty = 0x22;
inline constexpr std::uint8_t SetProperty = 0x23;
inline constexpr std::uint8_t CloneSprite = 0x24;
inline constexpr std::uint8_t RemoveSprite = 0x25;
inline constexpr std::uint8_t Trace = 0x26;
inline constexpr std::uint8_t StartDrag = 0x27;
inline constexpr std::uint8_t EndDrag = 0x28;
inline constexpr std::uint8_t StringLess = 0x29;
inline constexpr std::uint8_t Throw = 0x2A;
inline constexpr std::uint8_t CastOp = 0x2B;
inline constexpr std::uint8_t ImplementsOp = 0x2C;
inline constexpr std::uint8_t RandomNumber = 0x30;
inline constexpr std::uint8_t MBStringLength = 0x31;
inline constexpr std::uint8_t CharToAscii = 0x32;
inline constexpr std::uint8_t AsciiToChar = 0x33;
inline constexpr std::uint8_t GetTime = 0x34;
inline constexpr std::uint8_t MBStringExtract = 0x35;
inline constexpr std::uint8_t MBCharToAscii = 0x36;
inline constexpr std::uint8_t MBAsciiToChar = 0x37;
inline constexpr std::uint8_t Delete = 0x3A;
inline constexpr std::uint8_t Delete2 = 0x3B;
inline constexpr std::uint8_t DefineLocal = 0x3C;
inline constexpr std::uint8_t CallFunction = 0x3D;
inline constexpr std::uint8_t Return = 0x3E;
inline constexpr std::uint8_t Modulo = 0x3F;
inline constexpr std::uint8_t NewObject = 0x40;
inline constexpr std::uint8_t DefineLocal2 = 0x41;
inline constexpr std::uint8_t InitArray = 0x42;
inline constexpr std::uint8_t InitObject = 0x43;
inline constexpr std::uint8_t TypeOf = 0x44;
inline constexpr std::uint8_t TargetPath = 0x45;
inline constexpr std::uint8_t Enumerate = 0x46;
inline constexpr std::uint8_t Add2 = 0x47;
inline constexpr std::uint8_t Less2 = 0x48;
inline constexpr std::uint8_t Equals2 = 0x49;
inline constexpr std::uint8_t ToNumber = 0x4A;
inline constexpr std::uint8_t ToString = 0x4B;
inline constexpr std::uint8_t PushDuplicate = 0x4C;
inline constexpr std::uint8_t StackSwap = 0x4D;
inline constexpr std::uint8_t GetMember = 0x4E;
inline constexpr std::uint8_t SetMember = 0x4F;
inline constexpr std::uint8_t Increment = 0x50;
inline constexpr std::uint8_t Decrement = 0x51;
inline constexpr std::uint8_t CallMethod = 0x52;
inline constexpr std::uint8_t NewMethod = 0x53;
inline constexpr std::uint8_t InstanceOf = 0x54;
inline constexpr std::uint8_t Enumerate2 = 0x55;
inline constexpr std::uint8_t BitAnd = 0x60;
inline constexpr std::uint8_t BitOr = 0x61;
inline constexpr std::uint8_t BitXor = 0x62;
inline constexpr std::uint8_t BitLShift = 0x63;
inline constexpr std::uint8_t BitRShift = 0x64;
inline constexpr std::uint8_t BitURShift = 0x65;
inline constexpr std::uint8_t StrictEquals = 0x66;
inline constexpr std::uint8_t Greater = 0x67;
inline constexpr std::uint8_t StringGreater = 0x68;
inline constexpr std::uint8_t Extends = 0x69;
inline constexpr std::uint8_t StoreRegister = 0x87;
inline constexpr std::uint8_t ConstantPool = 0x88;
inline constexpr std::uint8_t WaitForFrame2 = 0x8D;
inline constexpr std::uint8_t DefineFunction2 = 0x8E;
inline constexpr std::uint8_t Try = 0x8F;
inline constexpr std::uint8_t With = 0x94;
inline constexpr std::uint8_t Push = 0x96;
inline constexpr std::uint8_t Jump = 0x99;
inline constexpr std::uint8_t GetUrl2 = 0x9A;
inline constexpr std::uint8_t DefineFunction = 0x9B;
inline constexpr std::uint8_t If = 0x9D;
inline constexpr std::uint8_t Call = 0x9E;
} // namespace op

struct Action {
    std::uint8_t code = op::End;
    // Byte offset of the action in its block (branch targets are relative to these).
    std::uint32_t offset = 0;
    // Bytes after the length field of codes from FirstWithLength on; empty for one-byte actions.
    std::span<const std::uint8_t> payload;

    std::uint16_t frame = 0;     // GotoFrame, WaitForFrame (0-based frame index).
    std::uint8_t skipCount = 0;  // WaitForFrame.
    std::string text;            // GotoLabel label, SetTarget target, GetUrl url.
    std::string target;          // GetUrl window/target.
    bool play = false;           // GotoFrame2: play after going.
    std::uint16_t sceneBias = 0; // GotoFrame2, when its flag is set.
};

struct ActionBlock {
    std::vector<Action> actions;         // In file order, without the End action.
    std::span<const std::uint8_t> bytes; // The whole block as stored.
    bool truncated = false;              // An action ran past the block.
};

// Walks the actions in `bytes`, stopping at End, at the end of the bytes or after
// `maxActions` actions.
ActionBlock readActionBlock(std::span<const std::uint8_t> bytes, std::size_t maxActions = 65536);

} // namespace swf
