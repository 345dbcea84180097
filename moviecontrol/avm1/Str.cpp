#include "avm1/Str.h"

#include <functional>

namespace avm1 {

namespace {
char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

} // namespace

Str::Str() = default;

Str::Str(std::string text) {
    if (!text.empty())
        data_ = std::make_shared<const Data>(Data{std::move(text)});
}

const std::string& Str::emptyText() {
    static const std::string empty;
    return empty;
}

std::size_t Str::hash() const {
    if (!data_)
        return std::hash<std::string_view>{}(std::string_view());
    if (!data_->hashed) {
        data_->hash = std::hash<std::string_view>{}(data_->text);
        std::string folded(data_->text);
        for (char& c : folded)
            c = fold(c);
        data_->folded = std::hash<std::string_view>{}(folded);
        data_->hashed = true;
    }
    return data_->hash;
}

std::size_t Str::foldedHash() const {
    if (!data_)
        return hash();
    hash();
    return data_->folded;
}

bool equalsFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i]))
            return false;
    return true;
}

} // namespace avm1
