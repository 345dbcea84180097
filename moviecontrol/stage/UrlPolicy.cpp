#include "UrlPolicy.h"

#include <cctype>

namespace mc {

namespace {

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isOpenableUrl(std::string_view url) {
    // Leading blanks or control characters would let a scheme hide behind them.
    if (url.empty() || static_cast<unsigned char>(url.front()) <= ' ') {
        return false;
    }
    for (const char c : url) {
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7f) {
            return false;
        }
    }
    return (startsWithFolded(url, "http://") && url.size() > 7) ||
           (startsWithFolded(url, "https://") && url.size() > 8) ||
           (startsWithFolded(url, "mailto:") && url.size() > 7);
}

std::string besideMoviePath(std::string_view url) {
    const std::size_t query = url.find_first_of("?#");
    std::string_view path = url.substr(0, query);
    if (path.empty() || path.size() > 1024 || path.front() == '/' || path.front() == '\\' ||
        path.find(':') != std::string_view::npos) {
        return {};
    }
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = path.find_first_of("/\\", start);
        const std::string_view part = path.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part == "..") {
            return {};
        }
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    for (const char c : path) {
        if (static_cast<unsigned char>(c) < ' ') {
            return {};
        }
    }
    return std::string(path);
}

} // namespace mc
