#include "unicode/CaseTables.h"

#include <algorithm>

namespace unicode {

namespace {
char16_t lookUp(std::span<const CasePair> pairs, char16_t c) {
    auto it = std::lower_bound(pairs.begin(), pairs.end(), c,
                               [](const CasePair& p, char16_t v) { return p.from < v; });
    return it != pairs.end() && it->from == c ? it->to : c;
}
} // namespace

char16_t toUpperUnit(char16_t c) {
    if (c < 0x80) {
        return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
    }
    return lookUp(upperCasePairs(), c);
}

char16_t toLowerUnit(char16_t c) {
    if (c < 0x80) {
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
    }
    return lookUp(lowerCasePairs(), c);
}

} // namespace unicode
