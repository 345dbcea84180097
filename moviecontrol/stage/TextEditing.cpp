#include "TextEditing.h"

#include <algorithm>
#include <cmath>

namespace mc {

namespace {

bool continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The byte where character `index` starts; the text's length past its end.
std::size_t byteOf(std::string_view utf8, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t seen = 0; at < utf8.size(); ++at) {
        if (!continuation(utf8[at])) {
            if (seen == index) {
                return at;
            }
            ++seen;
        }
    }
    return utf8.size();
}

void clamp(std::string_view text, InputState::Selection& s) {
    const std::size_t n = characterCount(text);
    s.begin = std::min(s.begin, n);
    s.end = std::min(std::max(s.end, s.begin), n);
    s.caret = std::clamp(s.caret, s.begin, s.end);
}

void replace(std::string& text, InputState::Selection& s, std::string_view with) {
    const std::size_t from = byteOf(text, s.begin);
    const std::size_t to = byteOf(text, s.end);
    text.replace(from, to - from, with);
    s.begin += characterCount(with);
    s.end = s.begin;
    s.caret = s.begin;
}

} // namespace

std::size_t characterCount(std::string_view utf8) {
    return static_cast<std::size_t>(
        std::count_if(utf8.begin(), utf8.end(), [](char c) { return !continuation(c); }));
}

InputState::Selection selectionWithin(std::string_view utf8, double begin, double end) {
    const double n = static_cast<double>(characterCount(utf8));
    const auto place = [n](double v) {
        return std::isnan(v) ? 0.0 : std::clamp(std::trunc(v), 0.0, n);
    };
    double b = place(begin);
    double e = place(end);
    // The caret stays where the selection was drawn to, whichever way it was drawn.
    const double caret = e;
    if (b > e) {
        std::swap(b, e);
    }
    InputState::Selection s;
    s.begin = static_cast<std::size_t>(b);
    s.end = static_cast<std::size_t>(e);
    s.caret = static_cast<std::size_t>(caret);
    return s;
}

bool typeAtCaret(std::string& text, InputState::Selection& selection, std::string_view typed,
                 std::size_t maxBytes) {
    clamp(text, selection);
    const std::size_t removed = byteOf(text, selection.end) - byteOf(text, selection.begin);
    if (text.size() - removed + typed.size() > maxBytes) {
        return false;
    }
    replace(text, selection, typed);
    return true;
}

bool eraseBeforeCaret(std::string& text, InputState::Selection& selection) {
    clamp(text, selection);
    if (selection.begin == selection.end) {
        if (selection.begin == 0) {
            return false;
        }
        --selection.begin;
    }
    replace(text, selection, {});
    return true;
}

bool eraseAfterCaret(std::string& text, InputState::Selection& selection) {
    clamp(text, selection);
    if (selection.begin == selection.end) {
        if (selection.end >= characterCount(text)) {
            return false;
        }
        ++selection.end;
    }
    replace(text, selection, {});
    return true;
}

void moveCaret(std::string_view text, InputState::Selection& selection, CaretMove move,
               bool extend) {
    clamp(text, selection);
    const std::size_t n = characterCount(text);
    const bool collapsed = selection.begin == selection.end;
    // The end the selection was started from stays put while Shift stretches it.
    const std::size_t anchor = selection.caret == selection.begin ? selection.end : selection.begin;
    std::size_t caret = selection.caret;
    switch (move) {
    case CaretMove::Back:
        caret = !extend && !collapsed ? selection.begin : (caret > 0 ? caret - 1 : 0);
        break;
    case CaretMove::On:
        caret = !extend && !collapsed ? selection.end : std::min(caret + 1, n);
        break;
    case CaretMove::LineStart: {
        const std::size_t at = byteOf(text, caret);
        const std::size_t cut = at == 0 ? std::string_view::npos : text.rfind('\r', at - 1);
        caret = cut == std::string_view::npos ? 0 : characterCount(text.substr(0, cut + 1));
        break;
    }
    case CaretMove::TextStart:
        caret = 0;
        break;
    case CaretMove::TextEnd:
        caret = n;
        break;
    case CaretMove::LineEnd: {
        const std::size_t cut = text.find('\r', byteOf(text, caret));
        caret = cut == std::string_view::npos ? n : characterCount(text.substr(0, cut));
        break;
    }
    }
    const std::size_t from = extend ? anchor : caret;
    selection.begin = std::min(from, caret);
    selection.end = std::max(from, caret);
    selection.caret = caret;
}

void limitCharacters(std::string& text, InputState::Selection& selection, std::size_t most) {
    if (characterCount(text) > most) {
        text.erase(byteOf(text, most));
    }
    clamp(text, selection);
}

} // namespace mc
