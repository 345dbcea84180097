// Form text: the variables of loadVariables and LoadVars.

#include "avm1/FormEncoding.h"

#include "avm1/Convert.h"
#include "unicode/Utf16Text.h"

namespace avm1 {

namespace {

std::string unescapeForm(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0 &&
                   hexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return unicode::decodeText(out);
}

void escapeInto(std::string& out, std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
}

} // namespace

std::vector<FormPair> decodeForm(std::string_view text) {
    std::vector<FormPair> pairs;
    while (!text.empty()) {
        std::size_t amp = text.find('&');
        std::string_view piece = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        std::size_t eq = piece.find('=');
        std::string_view name = piece.substr(0, eq);
        if (name.empty()) {
            continue;
        }
        std::string_view value =
            eq == std::string_view::npos ? std::string_view() : piece.substr(eq + 1);
        pairs.emplace_back(unescapeForm(name), unescapeForm(value));
    }
    return pairs;
}

std::string encodeForm(const std::vector<FormPair>& pairs) {
    std::string out;
    for (const auto& [name, value] : pairs) {
        if (!out.empty()) {
            out += '&';
        }
        escapeInto(out, name);
        out += '=';
        escapeInto(out, value);
    }
    return out;
}

} // namespace avm1
