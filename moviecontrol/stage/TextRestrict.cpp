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
    // A hyphen runs a range from the single character before it (the first code unit when
    // none stands just before it: one that ended a range does not count) to the character
    // after it; hyphens in a row are one. A range running backwards holds nothing; a hyphen
    // with nothing after it repeats the character before it. A caret only switches between
    // accepting and refusing. A backslash takes the next character as it is; a backslash at
    // the very end is nothing.
    // Code units, or kNone.
    constexpr int kNone = -1;
    int single = kNone;
    int rangeFirst = kNone;
    while (i < pattern.size()) {
        char16_t c = pattern[i++];
        if (c == u'^') {
            accept = !accept;
            continue;
        }
        if (c == u'-') {
            if (rangeFirst == kNone) {
                rangeFirst = single == kNone ? 0 : single;
            }
            continue;
        }
        if (c == u'\\') {
            if (i == pattern.size()) {
                break;
            }
            c = pattern[i++];
        }
        if (rangeFirst != kNone) {
            if (rangeFirst <= c) {
                spans_.push_back({static_cast<char16_t>(rangeFirst), c, accept});
            }
            rangeFirst = kNone;
            single = kNone;
        } else {
            spans_.push_back({c, c, accept});
            single = c;
        }
    }
    if (rangeFirst != kNone) {
        const auto first = static_cast<char16_t>(rangeFirst);
        spans_.push_back({first, first, accept});
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
