#include <cctype>

#include "TextFieldState.h"

namespace mc {

namespace {

bool tagIs(std::string_view tag, std::string_view name) {
    if (tag.size() < name.size()) {
        return false;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(tag[i])) != name[i]) {
            return false;
        }
    }
    return tag.size() == name.size() || !std::isalnum(static_cast<unsigned char>(tag[name.size()]));
}

} // namespace

std::string plainTextOf(std::string_view html) {
    std::string out;
    out.reserve(html.size());
    bool paragraphOpen = false;
    for (std::size_t i = 0; i < html.size();) {
        const char c = html[i];
        if (c == '<') {
            const std::size_t end = html.find('>', i);
            if (end == std::string_view::npos) {
                break;
            }
            const std::string_view tag = html.substr(i + 1, end - i - 1);
            if (tagIs(tag, "br")) {
                out += '\r';
            } else if (tagIs(tag, "p") || tagIs(tag, "li")) {
                if (paragraphOpen) {
                    out += '\r';
                }
                paragraphOpen = true;
            } else if (tagIs(tag, "/p") || tagIs(tag, "/li")) {
                paragraphOpen = true;
            }
            i = end + 1;
            continue;
        }
        if (c == '&') {
            const std::size_t end = html.find(';', i);
            if (end != std::string_view::npos && end - i <= 8) {
                const std::string_view entity = html.substr(i + 1, end - i - 1);
                const char* decoded = entity == "lt"     ? "<"
                                      : entity == "gt"   ? ">"
                                      : entity == "amp"  ? "&"
                                      : entity == "quot" ? "\""
                                      : entity == "apos" ? "'"
                                      : entity == "nbsp" ? "\xc2\xa0"
                                                         : nullptr;
                if (decoded != nullptr) {
                    out += decoded;
                    i = end + 1;
                    continue;
                }
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace mc
