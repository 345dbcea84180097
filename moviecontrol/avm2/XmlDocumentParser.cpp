// A hand-written scanner over the document's text: one pass, an explicit stack of open
// elements, every search bounded by the text's end.
#include "avm2/XmlDocumentParser.h"

#include "unicode/Utf16Text.h"

namespace avm2::xmldoc {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool onlySpace(std::string_view s) {
    for (char c : s) {
        if (!isSpace(c)) {
            return false;
        }
    }
    return true;
}

bool endsName(char c) {
    return isSpace(c) || c == '/' || c == '>' || c == '=';
}

// The code point of a numeric reference's body ("#39", "#x27"); 0 when it is not one.
std::uint32_t numericReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') {
        return 0;
    }
    const bool hex = body[1] == 'x' || body[1] == 'X';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) {
        return 0;
    }
    std::uint32_t cp = 0;
    for (char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9') {
            d = c - '0';
        } else if (hex && c >= 'a' && c <= 'f') {
            d = c - 'a' + 10;
        } else if (hex && c >= 'A' && c <= 'F') {
            d = c - 'A' + 10;
        }
        if (d < 0) {
            return 0;
        }
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
    }
    return cp <= 0x10FFFF ? cp : 0;
}

// The predefined and numeric references replaced; any other stays as written.
std::string decode(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const std::size_t semi = s[i] == '&' ? s.find(';', i) : std::string_view::npos;
        if (semi == std::string_view::npos || semi - i > 12) {
            out += s[i];
            continue;
        }
        const std::string_view body = s.substr(i + 1, semi - i - 1);
        static constexpr std::pair<std::string_view, char> kNamed[] = {
            {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
        bool done = false;
        for (const auto& [name, c] : kNamed) {
            if (body == name) {
                out += c;
                done = true;
            }
        }
        if (!done) {
            if (const std::uint32_t cp = numericReference(body); cp != 0) {
                out += unicode::codePointToUtf8(cp);
                done = true;
            }
        }
        if (done) {
            i = semi;
        } else {
            out += s[i];
        }
    }
    return out;
}

class Scanner {
  public:
    Scanner(std::string_view text, bool ignoreWhite) : s_(text), ignoreWhite_(ignoreWhite) {}

    Parsed run() {
        while (pos_ < s_.size() && out_.error == 0) {
            if (s_[pos_] != '<') {
                text();
            } else if (starts("<!--")) {
                skipPast("-->", 1094);
            } else if (starts("<![CDATA[")) {
                cdata();
            } else if (starts("<!")) {
                doctype();
            } else if (starts("<?")) {
                instruction();
            } else if (starts("</")) {
                endTag();
            } else {
                startTag();
            }
        }
        if (out_.error == 0 && !open_.empty()) {
            fail(1085);
            out_.unclosed = open_.back();
        }
        return std::move(out_);
    }

  private:
    bool starts(std::string_view p) const { return s_.substr(pos_, p.size()) == p; }

    void fail(int code) { out_.error = code; }

    void addText(std::string value) {
        Item item;
        item.kind = Item::Kind::Text;
        item.text = std::move(value);
        out_.items.push_back(std::move(item));
    }

    void text() {
        std::size_t end = s_.find('<', pos_);
        if (end == std::string_view::npos) {
            end = s_.size();
        }
        const std::string_view raw = s_.substr(pos_, end - pos_);
        pos_ = end;
        if (!(ignoreWhite_ && onlySpace(raw))) {
            addText(decode(raw));
        }
    }

    // Moves past the next `close`; without one the document ends in error `code`. Returns
    // where `close` starts.
    std::size_t skipPast(std::string_view close, int code) {
        const std::size_t end = s_.find(close, pos_);
        if (end == std::string_view::npos) {
            fail(code);
            pos_ = s_.size();
            return end;
        }
        pos_ = end + close.size();
        return end;
    }

    void cdata() {
        const std::size_t start = pos_ + 9;
        const std::size_t end = skipPast("]]>", 1091);
        if (end != std::string_view::npos) {
            addText(std::string(s_.substr(start, end - start)));
        }
    }

    // <!DOCTYPE ...>, an internal subset in brackets included.
    void doctype() {
        const std::size_t start = pos_;
        const std::size_t bracket = s_.find('[', pos_);
        const std::size_t close = s_.find('>', pos_);
        if (bracket != std::string_view::npos &&
            (close == std::string_view::npos || bracket < close)) {
            pos_ = bracket;
            if (skipPast("]", 1093) == std::string_view::npos) {
                return;
            }
        }
        if (skipPast(">", 1093) == std::string_view::npos) {
            return;
        }
        if (!out_.hasDoctype) {
            out_.hasDoctype = true;
            out_.doctype = std::string(s_.substr(start, pos_ - start));
        }
    }

    void instruction() {
        const std::size_t start = pos_;
        const bool declaration = starts("<?xml") && pos_ + 5 < s_.size() &&
                                 (isSpace(s_[pos_ + 5]) || s_[pos_ + 5] == '?');
        if (skipPast("?>", declaration ? 1092 : 1097) == std::string_view::npos) {
            return;
        }
        if (declaration && !out_.hasDeclaration) {
            out_.hasDeclaration = true;
            out_.declaration = std::string(s_.substr(start, pos_ - start));
        }
    }

    std::string name() {
        const std::size_t start = pos_;
        while (pos_ < s_.size() && !endsName(s_[pos_])) {
            ++pos_;
        }
        return std::string(s_.substr(start, pos_ - start));
    }

    void skipSpace() {
        while (pos_ < s_.size() && isSpace(s_[pos_])) {
            ++pos_;
        }
    }

    void endTag() {
        pos_ += 2;
        std::string closing = name();
        skipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '>') {
            fail(1096);
            return;
        }
        ++pos_;
        if (open_.empty()) {
            fail(1088);
            return;
        }
        if (open_.back() != closing) {
            fail(1085);
            out_.unclosed = open_.back();
            return;
        }
        open_.pop_back();
        Item item;
        item.kind = Item::Kind::Close;
        item.text = std::move(closing);
        out_.items.push_back(std::move(item));
    }

    void startTag() {
        ++pos_;
        Item item;
        item.kind = Item::Kind::Open;
        item.text = name();
        if (item.text.empty()) {
            fail(1090);
            return;
        }
        while (true) {
            skipSpace();
            if (pos_ >= s_.size()) {
                fail(1096);
                return;
            }
            if (s_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (s_[pos_] == '/') {
                if (pos_ + 1 >= s_.size() || s_[pos_ + 1] != '>') {
                    fail(1090);
                    return;
                }
                pos_ += 2;
                item.empty = true;
                break;
            }
            Attribute attribute;
            attribute.name = name();
            skipSpace();
            if (attribute.name.empty() || pos_ >= s_.size() || s_[pos_] != '=') {
                fail(1090);
                return;
            }
            ++pos_;
            skipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) {
                fail(1090);
                return;
            }
            const char quote = s_[pos_++];
            const std::size_t end = s_.find(quote, pos_);
            if (end == std::string_view::npos) {
                fail(1095);
                return;
            }
            attribute.value = decode(s_.substr(pos_, end - pos_));
            pos_ = end + 1;
            item.attributes.push_back(std::move(attribute));
        }
        if (!item.empty) {
            if (open_.size() >= kMaxDepth) {
                fail(1090);
                return;
            }
            open_.push_back(item.text);
        }
        out_.items.push_back(std::move(item));
    }

    std::string_view s_;
    bool ignoreWhite_;
    std::size_t pos_ = 0;
    std::vector<std::string> open_;
    Parsed out_;
};

} // namespace

Parsed parse(std::string_view text, bool ignoreWhite) {
    return Scanner(text, ignoreWhite).run();
}

std::string escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace avm2::xmldoc
