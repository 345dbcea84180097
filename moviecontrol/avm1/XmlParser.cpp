// A hand-written scanner: tags, attributes, text, CDATA, comments, the declaration and the
// document type, without recursion.

#include "avm1/XmlParser.h"

#include "avm1/Convert.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cstdint>
#include <unordered_set>

namespace avm1::xml {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool onlySpace(std::string_view text) {
    for (char c : text) {
        if (!isSpace(c)) {
            return false;
        }
    }
    return true;
}

// A tag's name runs to white space or '>'; an attribute's also stops at '='.
bool endsTagName(char c) {
    return isSpace(c) || c == '>';
}

bool endsAttributeName(char c) {
    return endsTagName(c) || c == '=';
}

// Markup names compare without ASCII case.
bool equalsFolded(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool startsWithFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsFolded(text.substr(0, prefix.size()), prefix);
}

// The value of a numeric reference body ("#39", "#x27"), or -1.
long numericReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') {
        return -1;
    }
    bool hex = body[1] == 'x' || body[1] == 'X';
    std::size_t i = hex ? 2 : 1;
    if (i >= body.size()) {
        return -1;
    }
    long value = 0;
    for (; i < body.size(); ++i) {
        int digit =
            hex ? hexDigit(body[i]) : (body[i] >= '0' && body[i] <= '9' ? body[i] - '0' : -1);
        if (digit < 0) {
            return -1;
        }
        value = value * (hex ? 16 : 10) + digit;
        if (value > 0x10FFFF) {
            return -1;
        }
    }
    return value;
}

class Scanner {
  public:
    Scanner(std::string_view text, bool ignoreWhite) : text_(text), ignoreWhite_(ignoreWhite) {}

    Document run() {
        while (pos_ < text_.size() && doc_.status == Status::Ok) {
            if (text_[pos_] == '<') {
                markup();
            } else {
                textRun();
            }
        }
        if (doc_.status == Status::Ok && !open_.empty()) {
            doc_.status = Status::MissingEndTag;
        }
        // Whatever was read stays: close what is still open.
        while (!open_.empty()) {
            doc_.events.push_back({Event::Kind::Close, open_.back(), {}});
            open_.pop_back();
        }
        return std::move(doc_);
    }

  private:
    bool startsWith(std::string_view s) const { return text_.substr(pos_).starts_with(s); }
    void fail(Status s) { doc_.status = s; }

    // Moves past `terminator` after the current position; false when it never comes.
    bool skipPast(std::string_view terminator, std::size_t from, std::string_view* body) {
        std::size_t end = text_.find(terminator, from);
        if (end == std::string_view::npos) {
            return false;
        }
        if (body) {
            *body = text_.substr(from, end - from);
        }
        pos_ = end + terminator.size();
        return true;
    }

    void textRun() {
        std::size_t end = text_.find('<', pos_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        std::string_view raw = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (ignoreWhite_ && onlySpace(raw)) {
            return;
        }
        doc_.events.push_back({Event::Kind::Text, unescape(raw), {}});
    }

    // Only the markup Flash knows by its opening (in any case) is more than a tag: "<!--",
    // "<![CDATA[", "<!DOCTYPE" and "<?xml". Any other "<!" or "<?" opens an element so
    // named.
    void markup() {
        std::size_t start = pos_;
        std::string_view rest = text_.substr(pos_);
        if (rest.starts_with("<!--")) {
            if (!skipPast("-->", pos_ + 4, nullptr)) {
                fail(Status::CommentUnterminated);
            }
        } else if (startsWithFolded(rest, "<![CDATA[")) {
            std::string_view body;
            if (!skipPast("]]>", pos_ + 9, &body)) {
                return fail(Status::CdataUnterminated);
            }
            doc_.events.push_back({Event::Kind::Text, std::string(body), {}});
        } else if (startsWithFolded(rest, "<!DOCTYPE")) {
            // A document type may hold declarations in brackets: it ends at the '>'
            // that balances every '<' inside it.
            std::size_t depth = 1, at = pos_ + 2;
            for (; at < text_.size() && depth > 0; ++at) {
                depth += text_[at] == '<' ? 1 : 0;
                depth -= text_[at] == '>' ? 1 : 0;
            }
            if (depth > 0) {
                return fail(Status::DoctypeUnterminated);
            }
            pos_ = at;
            doc_.hasDoctype = true;
            doc_.doctype = std::string(text_.substr(start, pos_ - start));
        } else if (startsWithFolded(rest, "<?xml")) {
            if (!skipPast("?>", pos_ + 2, nullptr)) {
                return fail(Status::DeclarationUnterminated);
            }
            doc_.hasDeclaration = true;
            // Several declarations run together.
            doc_.declaration += text_.substr(start, pos_ - start);
        } else if (rest.starts_with("</")) {
            endTag();
        } else {
            startTag();
        }
    }

    std::string_view name(bool (*ends)(char)) {
        std::size_t from = pos_;
        while (pos_ < text_.size() && !ends(text_[pos_])) {
            ++pos_;
        }
        return text_.substr(from, pos_ - from);
    }

    // A tag's name, without the '/' of a "/>" that ends it.
    std::string_view tagName() {
        std::string_view n = name(endsTagName);
        if (n.ends_with('/') && pos_ < text_.size() && text_[pos_] == '>') {
            --pos_;
            n.remove_suffix(1);
        }
        return n;
    }

    void skipSpace() {
        while (pos_ < text_.size() && isSpace(text_[pos_])) {
            ++pos_;
        }
    }

    // An end tag closes the open element of its name, in any case; whatever follows the
    // name up to the '>' is skipped. Naming an element open further out leaves that one's
    // child unclosed; naming none is an end tag without a start.
    void endTag() {
        pos_ += 2;
        std::string_view n = tagName();
        std::size_t end = text_.find('>', pos_);
        if (n.empty() || end == std::string_view::npos) {
            return fail(Status::Malformed);
        }
        pos_ = end + 1;
        auto same = [n](const std::string& open) { return equalsFolded(open, n); };
        if (open_.empty() || !same(open_.back())) {
            return fail(std::any_of(open_.begin(), open_.end(), same) ? Status::MissingEndTag
                                                                      : Status::MissingStartTag);
        }
        doc_.events.push_back({Event::Kind::Close, open_.back(), {}});
        open_.pop_back();
    }

    void startTag() {
        ++pos_;
        std::string_view n = tagName();
        if (n.empty()) {
            return fail(Status::Malformed);
        }
        Event open{Event::Kind::Open, std::string(n), {}};
        std::unordered_set<std::string_view> places;
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size()) {
                return fail(Status::Malformed);
            }
            char c = text_[pos_];
            if (c == '>' || (c == '/' && startsWith("/>"))) {
                bool empty = c == '/';
                pos_ += empty ? 2 : 1;
                if (!empty && open_.size() >= MaxDepth) {
                    return fail(Status::Malformed);
                }
                doc_.events.push_back(std::move(open));
                if (empty) {
                    doc_.events.push_back({Event::Kind::Close, std::string(n), {}});
                } else {
                    open_.emplace_back(n);
                }
                return;
            }
            std::string_view attribute = name(endsAttributeName);
            if (attribute.empty()) {
                return fail(Status::Malformed);
            }
            skipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '=') {
                return fail(Status::Malformed);
            }
            ++pos_;
            skipSpace();
            if (pos_ >= text_.size() || (text_[pos_] != '"' && text_[pos_] != '\'')) {
                return fail(Status::Malformed);
            }
            // A quote after a backslash does not end the value.
            char quote = text_[pos_];
            std::size_t end = text_.find(quote, pos_ + 1);
            while (end != std::string_view::npos && text_[end - 1] == '\\') {
                end = text_.find(quote, end + 1);
            }
            if (end == std::string_view::npos) {
                return fail(Status::AttributeUnterminated);
            }
            std::string value = unescape(text_.substr(pos_ + 1, end - pos_ - 1));
            pos_ = end + 1;
            // A repeated attribute keeps its first value.
            if (places.insert(attribute).second) {
                open.attributes.push_back({std::string(attribute), std::move(value)});
            }
        }
    }

    std::string_view text_;
    bool ignoreWhite_;
    std::size_t pos_ = 0;
    Document doc_;
    std::vector<std::string> open_;
};

} // namespace

Document parse(std::string_view text, bool ignoreWhite) {
    return Scanner(text, ignoreWhite).run();
}

std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out.push_back(text[i]);
            continue;
        }
        // References are short ("&#x10FFFF;" is the longest): look no further, so that text
        // full of ampersands stays linear. No ampersand or space may come before the ';'.
        std::string_view window = text.substr(i + 1, 12);
        std::size_t semi = window.find(';');
        if (semi == std::string_view::npos ||
            window.substr(0, semi).find_first_of("& \t\r\n<") != std::string_view::npos) {
            out.push_back('&');
            continue;
        }
        semi += i + 1;
        std::string_view body = text.substr(i + 1, semi - i - 1);
        const char* named = nullptr;
        if (body == "lt") {
            named = "<";
        } else if (body == "gt") {
            named = ">";
        } else if (body == "amp") {
            named = "&";
        } else if (body == "quot") {
            named = "\"";
        } else if (body == "apos") {
            named = "'";
        } else if (body == "nbsp") {
            named = "\xC2\xA0"; // U+00A0 in UTF-8
        }
        if (named) {
            out += named;
        } else if (long code = numericReference(body); code > 0) {
            out += unicode::codePointToUtf8(static_cast<std::uint32_t>(code));
        } else {
            out.push_back('&');
            continue;
        }
        i = semi;
    }
    return out;
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
            out.push_back(c);
        }
    }
    return out;
}

} // namespace avm1::xml
