#include "QtKeys.h"

#include <array>
#include <utility>

namespace mc {

std::optional<KeyStroke> keyStrokeOf(int qtKey, const QString& text) {
    std::uint16_t ascii = 0;
    if (text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() != 127) {
        ascii = text[0].unicode();
    }
    using namespace key_code;
    static constexpr std::array<std::pair<int, KeyStroke>, 22> special = {{
        {Qt::Key_Backspace, {Backspace, 8}},
        {Qt::Key_Tab, {Tab, 9}},
        {Qt::Key_Backtab, {Tab, 9}},
        {Qt::Key_Return, {Enter, 13}},
        {Qt::Key_Enter, {Enter, 13}},
        {Qt::Key_Escape, {Escape, 27}},
        {Qt::Key_Delete, {Delete, 127}},
        {Qt::Key_Shift, {Shift, 0}},
        {Qt::Key_Control, {Control, 0}},
        {Qt::Key_Alt, {Alt, 0}},
        {Qt::Key_CapsLock, {CapsLock, 0}},
        {Qt::Key_NumLock, {NumLock, 0}},
        {Qt::Key_PageUp, {PageUp, 0}},
        {Qt::Key_PageDown, {PageDown, 0}},
        {Qt::Key_End, {End, 0}},
        {Qt::Key_Home, {Home, 0}},
        {Qt::Key_Left, {Left, 0}},
        {Qt::Key_Up, {Up, 0}},
        {Qt::Key_Right, {Right, 0}},
        {Qt::Key_Down, {Down, 0}},
        {Qt::Key_Insert, {Insert, 0}},
        {Qt::Key_Pause, {19, 0}},
    }};
    for (const auto& [key, stroke] : special) {
        if (key == qtKey) {
            return stroke;
        }
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) {
        return KeyStroke{static_cast<std::uint8_t>(F1 + (qtKey - Qt::Key_F1)), 0};
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) {
        // Qt names letters by their capital whatever the shift state; the text tells which.
        return KeyStroke{static_cast<std::uint8_t>(qtKey),
                         ascii != 0 ? ascii : static_cast<std::uint16_t>(qtKey + 32)};
    }
    if (ascii != 0) {
        if (auto k = keyOfCharacter(ascii)) {
            return k;
        }
        return KeyStroke{0, ascii}; // a character of another keyboard: it still types
    }
    if (qtKey >= Qt::Key_Space && qtKey < 0x7F) {
        return keyOfCharacter(static_cast<char32_t>(qtKey));
    }
    return std::nullopt;
}

} // namespace mc
