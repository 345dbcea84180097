#include "Css.h"

#include "avm1/Convert.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace mc {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// "font-size" -> "fontSize": a dash goes and the character after it is upper case.
std::string camelCase(std::string_view name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '-' && i + 1 < name.size()) {
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(name[++i])));
        } else {
            out += name[i];
        }
    }
    return out;
}

class CssReader {
  public:
    explicit CssReader(std::string_view css) : s_(css) {}

    std::optional<std::vector<CssRule>> read() {
        std::vector<CssRule> rules;
        while (true) {
            skipSpace();
            if (at_ >= s_.size()) {
                return rules;
            }
            std::vector<std::string> selectors;
            while (true) {
                skipSpace();
                const std::size_t start = at_;
                while (at_ < s_.size() && !isSpace(s_[at_]) && s_[at_] != ',' && s_[at_] != '{') {
                    ++at_;
                }
                if (at_ == start) {
                    return std::nullopt;
                }
                selectors.emplace_back(s_.substr(start, at_ - start));
                skipSpace();
                if (at_ < s_.size() && s_[at_] == ',') {
                    ++at_;
                    continue;
                }
                break;
            }
            if (at_ >= s_.size() || s_[at_] != '{') {
                return std::nullopt;
            }
            ++at_;
            std::vector<std::pair<std::string, std::string>> properties;
            if (!readBlock(properties)) {
                return std::nullopt;
            }
            for (const std::string& selector : selectors) {
                rules.push_back({selector, properties});
            }
        }
    }

  private:
    // White space and comments between selectors, rules and declarations; a comment left
    // open runs to the end of the text.
    void skipSpace() {
        while (at_ < s_.size()) {
            if (isSpace(s_[at_])) {
                ++at_;
            } else if (s_.substr(at_, 2) == "/*") {
                const std::size_t end = s_.find("*/", at_ + 2);
                at_ = end == std::string_view::npos ? s_.size() : end + 2;
            } else {
                return;
            }
        }
    }

    // After '{': "name: value;" pairs up to '}' or the end of the text.
    bool readBlock(std::vector<std::pair<std::string, std::string>>& properties) {
        while (true) {
            skipSpace();
            if (at_ >= s_.size()) {
                return true;
            }
            if (s_[at_] == '}') {
                ++at_;
                return true;
            }
            // The name runs to the colon; white space may only come right before it.
            const std::size_t start = at_;
            while (at_ < s_.size() && s_[at_] != ':' && !isSpace(s_[at_])) {
                ++at_;
            }
            while (at_ < s_.size() && isSpace(s_[at_])) {
                ++at_;
            }
            if (at_ >= s_.size() || s_[at_] != ':') {
                return false;
            }
            std::string name(s_.substr(start, at_ - start));
            ++at_;
            skipSpace();
            // The value keeps its blanks but not what follows a line end.
            const std::size_t valueStart = at_;
            std::size_t valueEnd = std::string_view::npos;
            while (at_ < s_.size() && s_[at_] != ';' && s_[at_] != '}') {
                if (isLineEnd(s_[at_]) && valueEnd == std::string_view::npos) {
                    valueEnd = at_;
                }
                ++at_;
            }
            if (at_ >= s_.size()) {
                return false;
            }
            if (valueEnd == std::string_view::npos) {
                valueEnd = at_;
            }
            std::string value(s_.substr(valueStart, valueEnd - valueStart));
            if (s_[at_] == ';') {
                ++at_;
            }
            if (!name.empty()) {
                properties.emplace_back(camelCase(name), std::move(value));
            }
        }
    }

    std::string_view s_;
    std::size_t at_ = 0;
};

// White space as the number readers skip it.
std::size_t skipBlanks(std::string_view s, std::size_t i = 0) {
    while (i < s.size() && (isSpace(s[i]) || s[i] == '\f' || s[i] == '\v')) {
        ++i;
    }
    return i;
}

using avm1::hexDigit;

std::string_view trimmedFront(std::string_view s) {
    return s.substr(skipBlanks(s));
}

} // namespace

std::optional<std::vector<CssRule>> parseCss(std::string_view css) {
    return CssReader(css).read();
}

double cssInteger(std::string_view text) {
    std::size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    int radix = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        radix = 16;
        i += 2;
    }
    double v = 0;
    bool any = false;
    for (; i < text.size(); ++i) {
        const int d = hexDigit(text[i]);
        if (d < 0 || d >= radix) {
            break;
        }
        v = v * radix + d;
        any = true;
    }
    if (!any) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return negative ? -v : v;
}

double cssFloat(std::string_view text) {
    const std::string_view s = trimmedFront(text);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        ++i;
    }
    if (s.substr(i, 8) == "Infinity") {
        return s[0] == '-' ? -std::numeric_limits<double>::infinity()
                           : std::numeric_limits<double>::infinity();
    }
    // The longest prefix of the form digits[.digits][e[sign]digits].
    const auto digits = [&](std::size_t& at) {
        const std::size_t from = at;
        while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at]))) {
            ++at;
        }
        return at > from;
    };
    bool any = digits(i);
    if (i < s.size() && s[i] == '.') {
        std::size_t after = i + 1;
        if (digits(after) || any) {
            any = true;
            i = after;
        }
    }
    if (!any) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t exp = i + 1;
        if (exp < s.size() && (s[exp] == '-' || s[exp] == '+')) {
            ++exp;
        }
        if (digits(exp)) {
            i = exp;
        }
    }
    const std::string number(s.substr(0, i));
    return std::strtod(number.c_str(), nullptr);
}

std::uint32_t cssColor(std::string_view text) {
    if (text.empty() || text[0] != '#') {
        return 0;
    }
    std::uint32_t c = 0;
    std::size_t i = 1;
    for (; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
        c = (c << 4) | static_cast<std::uint32_t>(hexDigit(text[i]));
        if (i > 6) {
            return 0;
        }
    }
    if (skipBlanks(text, i) != text.size()) {
        return 0;
    }
    return c;
}

std::string cssFontFamily(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            comma = text.size();
        }
        std::string_view name = trimmedFront(text.substr(start, comma - start));
        if (name == "mono") {
            name = "_typewriter";
        } else if (name == "sans-serif") {
            name = "_sans";
        } else if (name == "serif") {
            name = "_serif";
        }
        if (!name.empty()) {
            if (!out.empty()) {
                out += ',';
            }
            out += name;
        }
        start = comma + 1;
    }
    return out;
}

std::vector<CssSetting> cssSettings(const CssProperty& property) {
    using Kind = CssSetting::Kind;
    std::vector<CssSetting> out;
    // Only values that are not empty count, as a script's `if (value)` reads them.
    const auto given = [&](const char* name) -> std::optional<std::string> {
        auto v = property(name);
        return v && !v->empty() ? v : std::nullopt;
    };
    const auto word = [&](const char* to, std::string w) {
        out.push_back({to, Kind::Text, std::move(w), 0, false});
    };
    const auto number = [&](const char* to, double n) {
        out.push_back({to, Kind::Number, {}, n, false});
    };
    const auto flag = [&](const char* to, bool b) { out.push_back({to, Kind::Flag, {}, 0, b}); };
    if (auto v = given("textAlign")) {
        word("align", *v);
    }
    if (auto v = given("fontSize")) {
        // Sizes must be positive; anything else leaves the size alone.
        if (const double n = cssInteger(*v); n > 0) {
            number("size", n);
        }
    }
    if (auto v = property("textDecoration")) {
        if (*v == "none" || *v == "underline") {
            flag("underline", *v == "underline");
        }
    }
    for (const auto& [css, to] :
         {std::pair{"marginLeft", "leftMargin"}, std::pair{"marginRight", "rightMargin"},
          std::pair{"textIndent", "indent"}, std::pair{"leading", "leading"}}) {
        if (auto v = given(css)) {
            number(to, cssInteger(*v));
        }
    }
    if (auto v = property("fontWeight")) {
        if (*v == "bold" || *v == "normal") {
            flag("bold", *v == "bold");
        }
    }
    if (auto v = property("fontStyle")) {
        if (*v == "italic" || *v == "normal") {
            flag("italic", *v == "italic");
        }
    }
    // Kerning is always set: "true", "false" or a number that is not zero.
    {
        const auto v = property("kerning");
        const std::string k = v.value_or(std::string());
        const double n = cssInteger(k);
        flag("kerning", k == "true" || (k != "false" && !std::isnan(n) && n != 0));
    }
    if (auto v = given("letterSpacing")) {
        number("letterSpacing", cssFloat(*v));
    }
    if (auto v = given("fontFamily")) {
        word("font", cssFontFamily(*v));
    }
    if (auto v = given("color")) {
        number("color", cssColor(*v));
    }
    if (auto v = given("display")) {
        word("display", *v);
    }
    return out;
}

PartialFormat partialFormatOf(const std::vector<CssSetting>& settings) {
    PartialFormat f;
    for (const CssSetting& s : settings) {
        const std::string_view name = s.property;
        const bool finite = std::isfinite(s.number);
        if (name == "align") {
            if (s.text == "left" || s.text == "right" || s.text == "center" ||
                s.text == "justify") {
                f.align = s.text;
            }
        } else if (name == "font") {
            f.font = s.text;
        } else if (name == "size" && finite) {
            f.size = s.number;
        } else if (name == "color") {
            f.color = static_cast<std::uint32_t>(s.number);
        } else if (name == "underline") {
            f.underline = s.flag;
        } else if (name == "bold") {
            f.bold = s.flag;
        } else if (name == "italic") {
            f.italic = s.flag;
        } else if (name == "kerning") {
            f.kerning = s.flag;
        } else if (name == "leftMargin" && finite) {
            f.leftMargin = s.number;
        } else if (name == "rightMargin" && finite) {
            f.rightMargin = s.number;
        } else if (name == "indent" && finite) {
            f.indent = s.number;
        } else if (name == "leading" && finite) {
            f.leading = s.number;
        } else if (name == "letterSpacing" && finite) {
            f.letterSpacing = s.number;
        }
    }
    return f;
}

} // namespace mc
