#include "UrlPolicy.h"

#include <array>
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

bool equalsFolded(std::string_view text, std::string_view lower) {
    return text.size() == lower.size() && startsWithFolded(text, lower);
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    const char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return l >= 'a' && l <= 'f' ? l - 'a' + 10 : -1;
}

// A field name as the mail program reads it: "%61ttach" is "attach".
std::string percentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool hasHost(std::string_view url, std::size_t schemeLength) {
    std::string_view authority = url.substr(schemeLength);
    authority = authority.substr(0, authority.find_first_of("/?#\\"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);
    }
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        return close != std::string_view::npos && close > 1;
    }
    return !authority.empty() && authority.front() != ':';
}

// The mail address with only the fields a person would expect a card to fill in.
std::string withMailFieldsKept(std::string_view url) {
    const std::size_t question = url.find('?');
    std::string kept(url.substr(0, question));
    if (question == std::string_view::npos) {
        return kept;
    }
    std::string_view query = url.substr(question + 1);
    query = query.substr(0, query.find('#'));
    char separator = '?';
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view field = query.substr(0, amp);
        const std::string name = percentDecoded(field.substr(0, field.find('=')));
        static constexpr std::array<std::string_view, 4> kAllowed{"to", "subject", "body", "cc"};
        for (const std::string_view allowed : kAllowed) {
            if (equalsFolded(name, allowed)) {
                kept += separator;
                kept += field;
                separator = '&';
                break;
            }
        }
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    }
    return kept;
}

} // namespace

std::optional<std::string> openableAddress(std::string_view url) {
    if (url.size() > kMaxOpenedAddress || !isOpenableUrl(url)) {
        return std::nullopt;
    }
    if (startsWithFolded(url, "mailto:")) {
        return withMailFieldsKept(url);
    }
    const std::size_t schemeLength = startsWithFolded(url, "https://") ? 8 : 7;
    if (!hasHost(url, schemeLength)) {
        return std::nullopt;
    }
    return std::string(url);
}

std::string fileUrlOfName(std::string_view fileName) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url = "file:///";
    for (const char c : fileName) {
        const auto u = static_cast<unsigned char>(c);
        const bool alphanumeric =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (alphanumeric || c == '-' || c == '.' || c == '_' || c == '~' || c == '(' || c == ')') {
            url += c;
        } else {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        }
    }
    return url;
}

std::string addressForLog(std::string_view url) {
    constexpr std::size_t kShown = 160;
    std::string shown(url.substr(0, kShown));
    // A line break in an address would start a false line in the log.
    for (char& c : shown) {
        if (static_cast<unsigned char>(c) < ' ' || c == 0x7f) {
            c = '?';
        }
    }
    if (url.size() > kShown) {
        shown += "... (" + std::to_string(url.size()) + " bytes)";
    }
    return shown;
}

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
