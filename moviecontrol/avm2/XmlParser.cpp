// Markup to XML nodes, as `new XML(text)` and `new XMLList(text)` read it. The text comes
// from the movie, so the reader walks it once without recursion, refuses nesting deeper than
// kXmlMaxDepth and expands only the predefined and numeric character references: there
// are no entity definitions to expand, however a document type declares them.
#include "avm2/XmlNodes.h"
#include "unicode/Utf16Text.h"

#include <cstdint>
#include <string_view>

namespace avm2 {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isNameEnd(char c) {
    return isSpace(c) || c == '/' || c == '>' || c == '=' || c == '<' || c == '?';
}

std::string trimmed(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isSpace(s[b])) {
        ++b;
    }
    while (e > b && isSpace(s[e - 1])) {
        --e;
    }
    return std::string(s.substr(b, e - b));
}

// A numeric reference's code point, or 0 when it names none.
std::uint32_t charReference(std::string_view body) {
    if (body.size() < 2 || body[0] != '#') {
        return 0;
    }
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 8) {
        return 0;
    }
    std::uint32_t v = 0;
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
        v = v * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
    }
    return v <= 0x10FFFF && (v < 0xD800 || v > 0xDFFF) ? v : 0;
}

// Character data with its references replaced; an unknown reference stays as written.
std::string decodeReferences(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const std::size_t semi = s.find(';', i + 1);
        if (semi == std::string_view::npos || semi - i > 12) {
            out += s[i];
            continue;
        }
        const std::string_view body = s.substr(i + 1, semi - i - 1);
        if (body == "lt") {
            out += '<';
        } else if (body == "gt") {
            out += '>';
        } else if (body == "amp") {
            out += '&';
        } else if (body == "quot") {
            out += '"';
        } else if (body == "apos") {
            out += '\'';
        } else if (const std::uint32_t cp = charReference(body); cp != 0) {
            out += unicode::codePointToUtf8(cp);
        } else {
            out += s[i];
            continue;
        }
        i = semi;
    }
    return out;
}

struct RawAttribute {
    std::string name;
    std::string value;
};

class Parser {
  public:
    Parser(Machine& m, const std::string& text) : m_(m), s_(text), settings_(xmlState(m)) {}

    Object* run() {
        m_.checkMemory(s_.size() * 8);
        Object* root = newXmlNode(m_, XmlKind::Element);
        open_.push_back(root);
        while (pos_ < s_.size()) {
            if (s_[pos_] == '<') {
                markup();
            } else {
                const std::size_t end = s_.find('<', pos_);
                const std::size_t stop = end == std::string_view::npos ? s_.size() : end;
                addText(decodeReferences(s_.substr(pos_, stop - pos_)), false);
                pos_ = stop;
            }
        }
        if (open_.size() > 1) {
            const XmlNode& n = xmlNode(open_.back());
            const std::string name = n.hasPrefix ? n.prefix + ":" + n.local : n.local;
            m_.throwError("TypeError", 1085,
                          "The element type \"" + name +
                              "\" must be terminated by the matching end-tag \"</" + name + ">\".");
        }
        return root;
    }

  private:
    [[noreturn]] void fail(int code, const std::string& message) {
        m_.throwError("TypeError", code, message);
    }

    bool startsWith(std::string_view p) const { return s_.substr(pos_, p.size()) == p; }

    void add(Object* node) {
        Object* parent = open_.back();
        xmlNode(node).parent = parent;
        xmlNode(parent).children.push_back(node);
        if ((++count_ & 0xFF) == 0) {
            m_.checkBudget();
        }
    }

    void addText(std::string text, bool cdata) {
        if (settings_.ignoreWhitespace && !cdata) {
            text = trimmed(text);
            if (text.empty()) {
                return;
            }
        }
        Object* t = newXmlNode(m_, XmlKind::Text);
        xmlNode(t).text = std::move(text);
        xmlNode(t).cdata = cdata;
        add(t);
    }

    void markup() {
        if (startsWith("<!--")) {
            const std::size_t end = s_.find("-->", pos_ + 4);
            if (end == std::string_view::npos) {
                fail(1094, "XML parser failure: Unterminated comment.");
            }
            if (!settings_.ignoreComments) {
                Object* c = newXmlNode(m_, XmlKind::Comment);
                xmlNode(c).text = std::string(s_.substr(pos_ + 4, end - pos_ - 4));
                add(c);
            }
            pos_ = end + 3;
        } else if (startsWith("<![CDATA[")) {
            const std::size_t end = s_.find("]]>", pos_ + 9);
            if (end == std::string_view::npos) {
                fail(1091, "XML parser failure: Unterminated CDATA section.");
            }
            addText(std::string(s_.substr(pos_ + 9, end - pos_ - 9)), true);
            pos_ = end + 3;
        } else if (startsWith("<!")) {
            skipDeclaration();
        } else if (startsWith("<?")) {
            instruction();
        } else if (startsWith("</")) {
            endTag();
        } else {
            startTag();
        }
    }

    // <!DOCTYPE ...> with its internal subset: read past, nothing kept.
    void skipDeclaration() {
        int brackets = 0;
        for (std::size_t i = pos_ + 2; i < s_.size(); ++i) {
            if (s_[i] == '[') {
                ++brackets;
            } else if (s_[i] == ']') {
                --brackets;
            } else if (s_[i] == '>' && brackets <= 0) {
                pos_ = i + 1;
                return;
            }
        }
        fail(1093, "XML parser failure: Unterminated DOCTYPE declaration.");
    }

    void instruction() {
        const std::size_t end = s_.find("?>", pos_ + 2);
        if (end == std::string_view::npos) {
            fail(1097, "XML parser failure: Unterminated processing instruction.");
        }
        const std::string_view body = s_.substr(pos_ + 2, end - pos_ - 2);
        pos_ = end + 2;
        std::size_t n = 0;
        while (n < body.size() && !isSpace(body[n])) {
            ++n;
        }
        const std::string name(body.substr(0, n));
        if (name.empty()) {
            fail(1090, "XML parser failure: element is malformed.");
        }
        // The XML declaration is no instruction.
        const bool declaration = name.size() == 3 && (name[0] | 0x20) == 'x' &&
                                 (name[1] | 0x20) == 'm' && (name[2] | 0x20) == 'l';
        if (declaration || settings_.ignoreProcessingInstructions) {
            return;
        }
        Object* pi = newXmlNode(m_, XmlKind::Instruction);
        XmlNode& node = xmlNode(pi);
        node.local = name;
        std::size_t b = n;
        while (b < body.size() && isSpace(body[b])) {
            ++b;
        }
        node.text = std::string(body.substr(b));
        add(pi);
    }

    std::string readName() {
        const std::size_t from = pos_;
        while (pos_ < s_.size() && !isNameEnd(s_[pos_])) {
            ++pos_;
        }
        return std::string(s_.substr(from, pos_ - from));
    }

    void skipSpace() {
        while (pos_ < s_.size() && isSpace(s_[pos_])) {
            ++pos_;
        }
    }

    void endTag() {
        pos_ += 2;
        const std::string name = readName();
        skipSpace();
        if (pos_ >= s_.size() || s_[pos_] != '>') {
            fail(1096, "XML parser failure: Unterminated element.");
        }
        ++pos_;
        if (open_.size() <= 1) {
            fail(1088, "The markup in the document following the root element must be "
                       "well-formed.");
        }
        const XmlNode& n = xmlNode(open_.back());
        const std::string expected = n.hasPrefix ? n.prefix + ":" + n.local : n.local;
        if (name != expected) {
            fail(1085, "The element type \"" + expected +
                           "\" must be terminated by the matching end-tag \"</" + expected +
                           ">\".");
        }
        open_.pop_back();
    }

    // The URI a prefix stands for in the open elements (and the element being read).
    bool resolve(const std::string& prefix, const std::vector<XmlNamespace>& own,
                 std::string& uri) const {
        if (prefix == "xml") {
            uri = kXmlPrefixUri;
            return true;
        }
        for (const XmlNamespace& ns : own) {
            if (ns.prefix == prefix) {
                uri = ns.uri;
                return true;
            }
        }
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            for (const XmlNamespace& ns : xmlNode(*it).namespaces) {
                if (ns.prefix == prefix) {
                    uri = ns.uri;
                    return true;
                }
            }
        }
        // An unprefixed name nothing declares is in the default xml namespace.
        uri = prefix.empty() ? settings_.defaultNamespace : std::string();
        return prefix.empty();
    }

    void startTag() {
        ++pos_;
        const std::string qname = readName();
        if (qname.empty()) {
            fail(1090, "XML parser failure: element is malformed.");
        }
        std::vector<RawAttribute> raw;
        bool empty = false;
        for (;;) {
            skipSpace();
            if (pos_ >= s_.size()) {
                fail(1096, "XML parser failure: Unterminated element.");
            }
            if (s_[pos_] == '>') {
                ++pos_;
                break;
            }
            if (startsWith("/>")) {
                pos_ += 2;
                empty = true;
                break;
            }
            std::string name = readName();
            skipSpace();
            if (name.empty() || pos_ >= s_.size() || s_[pos_] != '=') {
                fail(1090, "XML parser failure: element is malformed.");
            }
            ++pos_;
            skipSpace();
            if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\'')) {
                fail(1090, "XML parser failure: element is malformed.");
            }
            const char quote = s_[pos_];
            const std::size_t end = s_.find(quote, pos_ + 1);
            if (end == std::string_view::npos) {
                fail(1095, "XML parser failure: Unterminated attribute.");
            }
            for (const RawAttribute& a : raw) {
                if (a.name == name) {
                    std::string message = "Attribute \"";
                    message.append(name)
                        .append("\" was already specified for element \"")
                        .append(qname)
                        .append("\".");
                    fail(1104, message);
                }
            }
            raw.push_back({std::move(name), decodeReferences(s_.substr(pos_ + 1, end - pos_ - 1))});
            pos_ = end + 1;
        }
        if (open_.size() > kXmlMaxDepth) {
            m_.throwError("Error", 1023, "Stack overflow occurred.");
        }

        Object* element = newXmlNode(m_, XmlKind::Element);
        XmlNode& node = xmlNode(element);
        for (const RawAttribute& a : raw) {
            if (a.name == "xmlns") {
                node.namespaces.push_back(XmlNamespace{"", true, a.value});
            } else if (a.name.rfind("xmlns:", 0) == 0) {
                node.namespaces.push_back(XmlNamespace{a.name.substr(6), true, a.value});
            }
        }
        splitName(qname, node, true);
        for (const RawAttribute& a : raw) {
            if (a.name == "xmlns" || a.name.rfind("xmlns:", 0) == 0) {
                continue;
            }
            Object* attr = newXmlNode(m_, XmlKind::Attribute);
            XmlNode& an = xmlNode(attr);
            splitName(a.name, an, false, &node.namespaces);
            an.text = a.value;
            an.parent = element;
            node.attributes.push_back(attr);
        }
        add(element);
        if (!empty) {
            open_.push_back(element);
        }
    }

    void splitName(const std::string& qname, XmlNode& node, bool element,
                   const std::vector<XmlNamespace>* own = nullptr) {
        const std::vector<XmlNamespace>& declared = own != nullptr ? *own : node.namespaces;
        const std::size_t colon = qname.find(':');
        if (colon == std::string::npos) {
            node.local = qname;
            // An unprefixed attribute is in no namespace; an element is in the default one.
            if (element) {
                resolve("", declared, node.uri);
            }
            return;
        }
        node.prefix = qname.substr(0, colon);
        node.hasPrefix = true;
        node.local = qname.substr(colon + 1);
        if (!resolve(node.prefix, declared, node.uri)) {
            fail(1083, "The prefix \"" + node.prefix + "\" for " +
                           (element ? "element" : "attribute") + " \"" + node.local +
                           "\" is not bound.");
        }
    }

    Machine& m_;
    std::string_view s_;
    const XmlState& settings_;
    std::size_t pos_ = 0;
    std::size_t count_ = 0;
    std::vector<Object*> open_;
};

} // namespace

Object* parseXmlFragment(Machine& m, const std::string& text) {
    return Parser(m, text).run();
}

Object* parseXmlValue(Machine& m, const std::string& text) {
    Object* root = parseXmlFragment(m, text);
    std::vector<Object*>& kids = xmlNode(root).children;
    if (kids.empty()) {
        Object* t = newXmlNode(m, XmlKind::Text);
        return t;
    }
    // One element wins over whatever text, comments and instructions surround it; without
    // an element, the one node there is.
    Object* only = nullptr;
    std::size_t elements = 0;
    for (Object* k : kids) {
        if (xmlNode(k).kind == XmlKind::Element) {
            only = k;
            ++elements;
        }
    }
    if (elements == 0 && kids.size() == 1) {
        only = kids.front();
        elements = 1;
    }
    if (elements != 1) {
        m.throwError("TypeError", 1088,
                     "The markup in the document following the root element must be "
                     "well-formed.");
    }
    xmlNode(only).parent = nullptr;
    return only;
}

} // namespace avm2
