#include "Utf8Text.h"

namespace player {
namespace {

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

} // namespace

std::size_t endOfCharacter(std::string_view text, std::size_t at) {
    // At most four bytes belong to one character.
    std::size_t end = at + 1;
    while (end < text.size() && end - at < 4 && isContinuation(text[end]) &&
           !isContinuation(text[at])) {
        ++end;
    }
    return end;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at = endOfCharacter(text, at)) {
        ++count;
    }
    return count;
}

std::string withoutFirstAndLastCharacter(std::string_view text) {
    if (characterCount(text) < 2) {
        return {};
    }
    const std::size_t begin = endOfCharacter(text, 0);
    std::size_t lastStart = begin;
    for (std::size_t at = begin; at < text.size(); at = endOfCharacter(text, at)) {
        lastStart = at;
    }
    return std::string(text.substr(begin, lastStart - begin));
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

} // namespace player
