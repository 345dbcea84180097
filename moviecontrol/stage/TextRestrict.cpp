#include "TextRestrict.h"

#include "unicode/Utf16Text.h"

namespace mc {

namespace {

char16_t otherCase(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - u'a' + u'A');
    }
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c - u'A' + u'a');
    }
    return c;
}

} // namespace

TextRestrict::TextRestrict(std::u16string_view pattern) {
    std::size_t i = 0;
    bool accept = true;
    if (!pattern.empty() && pattern[0] == u'^') {
        acceptsRest_ = true;
        accept = false;
        i = 1;
    }
    // One character of the pattern at `at`, a backslash taking the next as it is.
    const auto character = [&](std::size_t& at) {
        if (pattern[at] == u'\\' && at + 1 < pattern.size()) {
            ++at;
        }
        return pattern[at++];
    };
    while (i < pattern.size()) {
        if (pattern[i] == u'^') {
            accept = !accept;
            ++i;
            continue;
        }
        const char16_t first = character(i);
        char16_t last = first;
        if (i + 1 < pattern.size() && pattern[i] == u'-') {
            ++i;
            last = character(i);
        }
        spans_.push_back({first, last, accept});
    }
}

bool TextRestrict::allows(char16_t c) const {
    bool accepted = acceptsRest_;
    for (const Span& s : spans_) {
        if (c >= s.first && c <= s.last) {
            accepted = s.accept;
        }
    }
    return accepted;
}

std::optional<char16_t> TextRestrict::admit(char16_t c) const {
    if (allows(c)) {
        return c;
    }
    const char16_t other = otherCase(c);
    if (other != c && allows(other)) {
        return other;
    }
    return std::nullopt;
}

std::string restrictTyped(std::string_view pattern, std::string_view typed) {
    const TextRestrict rule(unicode::toUtf16(pattern));
    std::u16string out;
    for (const char16_t c : unicode::toUtf16(typed)) {
        if (c < 32) {
            out.push_back(c);
        } else if (const std::optional<char16_t> admitted = rule.admit(c)) {
            out.push_back(*admitted);
        }
    }
    return unicode::fromUtf16(out);
}

} // namespace mc
