#include "avm1/Str.h"

#include "unicode/Utf16Text.h"

#include <functional>

namespace avm1 {

namespace {
char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Lower case of the capital letters of the Latin, Greek and Cyrillic blocks.
char16_t foldUnit(char16_t c) {
    if (c < 0x80) {
        return static_cast<char16_t>(fold(static_cast<char>(c)));
    }
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F)) {
        return static_cast<char16_t>(c + 0x20);
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<char16_t>(c + 0x50);
    }
    // The digraphs DŽ, LJ, NJ and DZ come as capital, title and small letter.
    if (c >= 0x1C4 && c <= 0x1CC) {
        return static_cast<char16_t>(0x1C6 + (c - 0x1C4) / 3 * 3);
    }
    if (c >= 0x1F1 && c <= 0x1F3) {
        return 0x1F3;
    }
    if (((c >= 0x100 && c <= 0x17F) || (c >= 0x460 && c <= 0x4FF)) && (c % 2) == 0) {
        return static_cast<char16_t>(c + 1);
    }
    return c;
}

bool ascii(std::string_view s) {
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// The folded form of text, as names compare without case.
std::string foldText(std::string_view text) {
    if (ascii(text)) {
        std::string out(text);
        for (char& c : out) {
            c = fold(c);
        }
        return out;
    }
    std::u16string units = unicode::toUtf16(text);
    for (char16_t& c : units) {
        c = foldUnit(c);
    }
    return unicode::fromUtf16(units);
}
} // namespace

Str::Str() = default;

Str::Str(std::string text) {
    if (!text.empty()) {
        bool pathLike = text.find_first_of(":./") != std::string::npos;
        // A text longer than the string's own buffer has a block of its own.
        const std::size_t bytes =
            sizeof(Data) + 16 + (text.capacity() > 15 ? text.capacity() + 1 : 0);
        data_ = std::make_shared<const Data>(
            Data{std::move(text), 0, 0, false, pathLike, scriptbudget::CountedBytes(bytes)});
    }
}

const std::string& Str::emptyText() {
    static const std::string empty;
    return empty;
}

std::size_t Str::hash() const {
    if (!data_) {
        return std::hash<std::string_view>{}(std::string_view());
    }
    if (!data_->hashed) {
        data_->hash = std::hash<std::string_view>{}(data_->text);
        data_->folded = std::hash<std::string_view>{}(foldText(data_->text));
        data_->hashed = true;
    }
    return data_->hash;
}

std::size_t Str::foldedHash() const {
    if (!data_) {
        return hash();
    }
    hash();
    return data_->folded;
}

bool equalsFolded(std::string_view a, std::string_view b) {
    if (!ascii(a) || !ascii(b)) {
        return foldText(a) == foldText(b);
    }
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

} // namespace avm1
