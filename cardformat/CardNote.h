#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace cardformat {

// The texts a card carries behind its movie (UTF-8 in memory).
struct CardNote {
    std::string Author;
    std::string Password; // NoPasswordMarker: the card has no viewing password
    std::string Title;
    std::string Blessing; // in a read note also the reader's error messages
    std::string Version;
    friend bool operator==(const CardNote&, const CardNote&) = default;
};

// The Password value that means "no viewing password".
inline constexpr std::string_view NoPasswordMarker = "云杉小径";
// What a read note holds for a missing Author or Password.
inline constexpr std::string_view UnknownText = "未知";

// Asked before a read-only movie is rewritten: true to go on. It gets the question's title
// and text; the builder shows a message box, cardtool asks on the terminal.
using ReadOnlyQuestion = std::function<bool(std::string_view title, std::string_view text)>;

} // namespace cardformat
