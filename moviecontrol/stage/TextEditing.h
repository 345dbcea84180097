#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "InputState.h"

namespace mc {

// Editing a field's text as a person types, at the caret: positions count characters
// (code points), the text is UTF-8. Every call first brings the selection inside the text.

std::size_t characterCount(std::string_view utf8);

// setSelection: both ends clamped to the text, put in order; the caret stays at the end the
// selection was drawn to (the second).
InputState::Selection selectionWithin(std::string_view utf8, double begin, double end);

// The selection (or nothing, at the caret) gives way to `typed`; the caret follows it.
// False, changing nothing, when the result would pass `maxBytes`.
bool typeAtCaret(std::string& text, InputState::Selection& selection, std::string_view typed,
                 std::size_t maxBytes);

// Backspace: the selection goes, or the character before the caret. False when nothing
// changed.
bool eraseBeforeCaret(std::string& text, InputState::Selection& selection);

// Delete: the selection goes, or the character after the caret. False when nothing
// changed.
bool eraseAfterCaret(std::string& text, InputState::Selection& selection);

// Where the arrow, Home and End keys take the caret: a character back or on, to the start
// or end of its line, or of the whole text. Alone a key drops the selection (an arrow then stops at
// the selection's edge on its side); with Shift the selection stretches from where it was started
// to the caret.
enum class CaretMove : std::uint8_t { Back, On, LineStart, LineEnd, TextStart, TextEnd };
void moveCaret(std::string_view text, InputState::Selection& selection, CaretMove move,
               bool extend);

// The text as a field's maxChars allows it; the selection kept inside.
void limitCharacters(std::string& text, InputState::Selection& selection, std::size_t most);

} // namespace mc
