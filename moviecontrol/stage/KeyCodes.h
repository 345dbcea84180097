#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace mc {

// Where on the keyboard a key sits, as KeyboardEvent.keyLocation numbers it: keys found
// twice (Shift, Control, Alt) on the left or right, the numeric keypad's keys apart.
enum class KeyLocation : std::uint8_t { Standard = 0, Left = 1, Right = 2, NumPad = 3 };

// A key as scripts see it: Key.getCode's virtual key code and Key.getAscii's character
// code (0 for keys that type nothing).
struct KeyStroke {
    std::uint8_t code = 0;
    std::uint16_t ascii = 0;
    KeyLocation location = KeyLocation::Standard;
    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

namespace key_code {
inline constexpr std::uint8_t Backspace = 8;
inline constexpr std::uint8_t Tab = 9;
inline constexpr std::uint8_t Enter = 13;
inline constexpr std::uint8_t Shift = 16;
inline constexpr std::uint8_t Control = 17;
inline constexpr std::uint8_t Alt = 18;
inline constexpr std::uint8_t CapsLock = 20;
inline constexpr std::uint8_t Escape = 27;
inline constexpr std::uint8_t Space = 32;
inline constexpr std::uint8_t PageUp = 33;
inline constexpr std::uint8_t PageDown = 34;
inline constexpr std::uint8_t End = 35;
inline constexpr std::uint8_t Home = 36;
inline constexpr std::uint8_t Left = 37;
inline constexpr std::uint8_t Up = 38;
inline constexpr std::uint8_t Right = 39;
inline constexpr std::uint8_t Down = 40;
inline constexpr std::uint8_t Insert = 45;
inline constexpr std::uint8_t Delete = 46;
inline constexpr std::uint8_t NumLock = 144;
inline constexpr std::uint8_t F1 = 112;
} // namespace key_code

// The key a typed character comes from: letters by their capital, digits as themselves,
// punctuation by the keys of a US keyboard. Nothing for characters no key types directly.
std::optional<KeyStroke> keyOfCharacter(char32_t character);
// A key of the numeric keypad typing `character` (a digit, '.', '+', '-', '*' or '/');
// nothing for any other character.
std::optional<KeyStroke> keyOfNumPad(char32_t character);
// A named key of the input files ("Enter", "ArrowLeft", "LeftShift", "F5"...).
std::optional<KeyStroke> keyOfName(std::string_view name);
// The key number of a button's key-press condition and of onClipEvent(keyPress): the
// character for typing keys, small numbers for the keys that move and edit; 0 for none.
std::uint8_t buttonKeyOf(const KeyStroke& key);

} // namespace mc
