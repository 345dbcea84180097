// Upper and lower case of single UTF-16 code units: ASCII, Latin-1, Latin Extended-A,
// Greek and Cyrillic, the letters movies' texts use. Letters whose case changes length
// (German sharp s) stay as they are, as Flash leaves them.
#include "avm2/StringPositions.h"

namespace avm2 {

namespace {

// Latin Extended-A pairs its letters upper then lower, with a shift where a letter has no
// partner: 0x138 and 0x149 stand alone, and 0x178 (upper Y diaeresis) pairs with 0xFF.
bool extendedAUpper(char16_t c) {
    if (c >= 0x100 && c <= 0x137) {
        return c % 2 == 0;
    }
    if (c >= 0x139 && c <= 0x148) {
        return c % 2 == 1;
    }
    if (c >= 0x14A && c <= 0x177) {
        return c % 2 == 0;
    }
    if (c >= 0x179 && c <= 0x17E) {
        return c % 2 == 1;
    }
    return false;
}

bool extendedALower(char16_t c) {
    return c >= 0x101 && c <= 0x17E && c != 0x138 && c != 0x149 && c != 0x178 && !extendedAUpper(c);
}

} // namespace

char16_t upperUnit(char16_t c) {
    if (c >= u'a' && c <= u'z') {
        return static_cast<char16_t>(c - 32);
    }
    if (c < 0x80) {
        return c;
    }
    if ((c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB && c != 0x3C2) ||
        (c >= 0x430 && c <= 0x44F)) {
        return static_cast<char16_t>(c - 32);
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if (c == 0x131) { // dotless i: its capital is plain I
        return u'I';
    }
    if (c == 0x3C2) { // final sigma
        return 0x3A3;
    }
    if (c >= 0x450 && c <= 0x45F) {
        return static_cast<char16_t>(c - 80);
    }
    if (extendedALower(c)) {
        return static_cast<char16_t>(c - 1);
    }
    return c;
}

char16_t lowerUnit(char16_t c) {
    if (c >= u'A' && c <= u'Z') {
        return static_cast<char16_t>(c + 32);
    }
    if (c < 0x80) {
        return c;
    }
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F)) {
        return static_cast<char16_t>(c + 32);
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (c == 0x130) { // capital I with dot: its small letter is plain i
        return u'i';
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<char16_t>(c + 80);
    }
    if (extendedAUpper(c)) {
        return static_cast<char16_t>(c + 1);
    }
    return c;
}

} // namespace avm2
