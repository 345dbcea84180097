#pragma once
// Action records of DoAction, DoInitAction, clip events and buttons. The timeline controls
// are decoded; every other action keeps its opcode and payload so that an interpreter can be
// added later and so that a block can be walked safely.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace swf {

namespace op {
inline constexpr std::uint8_t End = 0x00;
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
} // namespace op

struct Action {
    std::uint8_t code = op::End;
    /// Byte offset of the action in its block (branch targets are relative to these).
    std::uint32_t offset = 0;
    /// Bytes after the length field of codes >= 0x80; empty for one-byte actions.
    std::span<const std::uint8_t> payload;

    std::uint16_t frame = 0;     ///< GotoFrame, WaitForFrame (0-based frame index).
    std::uint8_t skipCount = 0;  ///< WaitForFrame.
    std::string text;            ///< GotoLabel label, SetTarget target, GetUrl url.
    std::string target;          ///< GetUrl window/target.
    bool play = false;           ///< GotoFrame2: play after going.
    std::uint16_t sceneBias = 0; ///< GotoFrame2, when its flag is set.
};

struct ActionBlock {
    std::vector<Action> actions;         ///< In file order, without the End action.
    std::span<const std::uint8_t> bytes; ///< The whole block as stored.
    bool truncated = false;              ///< An action ran past the block.
};

/// Walks the actions in `bytes`, stopping at End, at the end of the bytes or after
/// `maxActions` actions.
ActionBlock readActionBlock(std::span<const std::uint8_t> bytes, std::size_t maxActions = 65536);

} // namespace swf
