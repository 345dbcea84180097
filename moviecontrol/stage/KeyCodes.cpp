#include "KeyCodes.h"

#include <array>
#include <utility>

namespace mc {

std::optional<KeyStroke> keyOfCharacter(char32_t c) {
    const auto ascii = static_cast<std::uint16_t>(c);
    if (c >= 'a' && c <= 'z') {
        return KeyStroke{static_cast<std::uint8_t>(c - 32), ascii};
    }
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
        return KeyStroke{static_cast<std::uint8_t>(c), ascii};
    }
    static constexpr std::array<std::pair<char, std::uint8_t>, 21> punctuation = {{
        {' ', 32},  {';', 186}, {':', 186}, {'=', 187},  {'+', 187}, {',', 188},  {'<', 188},
        {'-', 189}, {'_', 189}, {'.', 190}, {'>', 190},  {'/', 191}, {'?', 191},  {'`', 192},
        {'~', 192}, {'[', 219}, {'{', 219}, {'\\', 220}, {']', 221}, {'\'', 222}, {'"', 222},
    }};
    for (const auto& [ch, code] : punctuation) {
        if (c == static_cast<char32_t>(ch)) {
            return KeyStroke{code, ascii};
        }
    }
    static constexpr std::array<std::uint8_t, 10> shiftedDigits = {48, 49, 50, 51, 52,
                                                                   53, 54, 55, 56, 57};
    static constexpr std::string_view shifted = ")!@#$%^&*(";
    if (const auto at = shifted.find(static_cast<char>(c)); c < 128 && at != shifted.npos) {
        return KeyStroke{shiftedDigits[at], ascii};
    }
    if (c == '|') {
        return KeyStroke{220, ascii};
    }
    return std::nullopt;
}

std::optional<KeyStroke> keyOfNumPad(char32_t c) {
    // The keypad has key codes of its own (96 to 111), whatever the character they type.
    const auto ascii = static_cast<std::uint16_t>(c);
    if (c >= '0' && c <= '9') {
        return KeyStroke{static_cast<std::uint8_t>(96 + (c - '0')), ascii, KeyLocation::NumPad};
    }
    static constexpr std::array<std::pair<char, std::uint8_t>, 5> operators = {{
        {'*', 106},
        {'+', 107},
        {'-', 109},
        {'.', 110},
        {'/', 111},
    }};
    for (const auto& [ch, code] : operators) {
        if (c == static_cast<char32_t>(ch)) {
            return KeyStroke{code, ascii, KeyLocation::NumPad};
        }
    }
    return std::nullopt;
}

std::optional<KeyStroke> keyOfName(std::string_view name) {
    using namespace key_code;
    constexpr KeyLocation left = KeyLocation::Left;
    constexpr KeyLocation right = KeyLocation::Right;
    constexpr KeyLocation pad = KeyLocation::NumPad;
    // The keypad's keys with NumLock off move and edit as the keys they stand for.
    static constexpr std::array<std::pair<std::string_view, KeyStroke>, 35> named = {{
        {"Enter", {Enter, 13}},
        {"Space", {Space, 32}},
        {"Backspace", {Backspace, 8}},
        {"Tab", {Tab, 9}},
        {"Escape", {Escape, 27}},
        {"Delete", {Delete, 127}},
        {"Insert", {Insert, 0}},
        {"Home", {Home, 0}},
        {"End", {End, 0}},
        {"PageUp", {PageUp, 0}},
        {"PageDown", {PageDown, 0}},
        {"ArrowLeft", {Left, 0}},
        {"ArrowUp", {Up, 0}},
        {"ArrowRight", {Right, 0}},
        {"ArrowDown", {Down, 0}},
        {"LeftShift", {Shift, 0, left}},
        {"RightShift", {Shift, 0, right}},
        {"LeftControl", {Control, 0, left}},
        {"RightControl", {Control, 0, right}},
        {"LeftAlt", {Alt, 0, left}},
        {"RightAlt", {Alt, 0, right}},
        {"NumpadEnter", {Enter, 13, pad}},
        {"NumpadHome", {Home, 0, pad}},
        {"NumpadEnd", {End, 0, pad}},
        {"NumpadPageUp", {PageUp, 0, pad}},
        {"NumpadPageDown", {PageDown, 0, pad}},
        {"NumpadLeft", {Left, 0, pad}},
        {"NumpadUp", {Up, 0, pad}},
        {"NumpadRight", {Right, 0, pad}},
        {"NumpadDown", {Down, 0, pad}},
        {"NumpadInsert", {Insert, 0, pad}},
        {"NumpadDelete", {Delete, 127, pad}},
        {"CapsLock", {CapsLock, 0}},
        {"NumLock", {NumLock, 0}},
        {"Pause", {19, 0}},
    }};
    for (const auto& [n, key] : named) {
        if (n == name) {
            return key;
        }
    }
    // F1 to F12.
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'F') {
        int n = 0;
        for (const char c : name.substr(1)) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) {
            return KeyStroke{static_cast<std::uint8_t>(F1 + n - 1), 0};
        }
    }
    return std::nullopt;
}

std::uint8_t buttonKeyOf(const KeyStroke& key) {
    using namespace key_code;
    switch (key.code) {
    case Left:
        return 1;
    case Right:
        return 2;
    case Home:
        return 3;
    case End:
        return 4;
    case Insert:
        return 5;
    case Delete:
        return 6;
    case Backspace:
        return 8;
    case Enter:
        return 13;
    case Up:
        return 14;
    case Down:
        return 15;
    case PageUp:
        return 16;
    case PageDown:
        return 17;
    case Tab:
        return 18;
    case Escape:
        return 19;
    default:
        break;
    }
    return key.ascii >= 32 && key.ascii < 128 ? static_cast<std::uint8_t>(key.ascii) : 0;
}

} // namespace mc
