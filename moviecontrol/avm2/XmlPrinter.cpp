// XML to text as Flash prints it: toString's simple content rule, and toXMLString with
// pretty printing, the namespace declarations a node needs where it is printed, and the
// escapes of element text and attribute values.
#include "avm2/XmlNodes.h"

#include <algorithm>

namespace avm2 {

std::string escapeElementValue(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
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

std::string escapeAttributeValue(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\n':
            out += "&#xA;";
            break;
        case '\r':
            out += "&#xD;";
            break;
        case '\t':
            out += "&#x9;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool hasSimpleContent(Object* xml) {
    const XmlNode& n = xmlNode(xml);
    if (n.kind == XmlKind::Comment || n.kind == XmlKind::Instruction) {
        return false;
    }
    return std::none_of(n.children.begin(), n.children.end(),
                        [](Object* c) { return xmlNode(c).kind == XmlKind::Element; });
}

namespace {

bool isPlainSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isPlainSpace(s[b])) {
        ++b;
    }
    while (e > b && isPlainSpace(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

class Printer {
  public:
    // A negative indent is not an indent of none: it turns pretty printing off altogether.
    Printer(Machine& m)
        : m_(m), st_(xmlState(m)), pretty_(st_.prettyPrinting && st_.prettyIndent >= 0) {}

    void print(Object* x, const std::vector<XmlNamespace>& ancestors, std::size_t indent,
               std::size_t depth) {
        if (depth > kXmlMaxDepth) {
            m_.throwError("Error", 1023, "Stack overflow occurred.");
        }
        if ((++count_ & 0xFFF) == 0) {
            m_.checkBudget();
            m_.checkMemory(out.size());
        }
        const XmlNode& n = xmlNode(x);
        if (pretty_) {
            // A script may set any indent: a large one is counted before it is written.
            if (indent > 0xFFFF) {
                m_.checkMemory(out.size() + indent);
            }
            out.append(indent, ' ');
        }
        switch (n.kind) {
        case XmlKind::Text:
            if (n.cdata) {
                out += "<![CDATA[" + n.text + "]]>";
            } else {
                out += escapeElementValue(pretty_ ? trimmed(n.text) : n.text);
            }
            return;
        case XmlKind::Attribute:
            out += escapeAttributeValue(n.text);
            return;
        case XmlKind::Comment:
            out += "<!--" + n.text + "-->";
            return;
        case XmlKind::Instruction:
            out += "<?" + n.local + " " + n.text + "?>";
            return;
        case XmlKind::Element:
            break;
        }

        // The namespaces in scope here that the ancestors printed did not declare; the
        // element's and attributes' namespaces are found among all of them by URI.
        std::vector<XmlNamespace> scope = ancestors;
        const std::size_t inherited = scope.size();
        for (const XmlNamespace& ns : inScopeNamespaces(x)) {
            if (std::none_of(scope.begin(), scope.end(), [&](const XmlNamespace& a) {
                    return a.uri == ns.uri && a.prefix == ns.prefix;
                })) {
                scope.push_back(ns);
            }
        }
        const std::string elementPrefix = prefixFor(n.uri, scope);
        std::vector<std::string> attributePrefixes;
        for (Object* a : n.attributes) {
            attributePrefixes.push_back(prefixFor(xmlNode(a).uri, scope));
        }

        out += '<';
        const std::string tag = elementPrefix.empty() ? n.local : elementPrefix + ":" + n.local;
        out += tag;
        // Flash prints the attributes first, then the declarations.
        for (std::size_t i = 0; i < n.attributes.size(); ++i) {
            const XmlNode& an = xmlNode(n.attributes[i]);
            out += ' ';
            if (!attributePrefixes[i].empty()) {
                out += attributePrefixes[i] + ":";
            }
            out += an.local + "=\"" + escapeAttributeValue(an.text) + "\"";
        }
        for (std::size_t i = inherited; i < scope.size(); ++i) {
            const XmlNamespace& ns = scope[i];
            if (ns.uri.empty()) {
                continue; // no namespace is never declared
            }
            out += ns.prefix.empty() ? " xmlns=\"" : " xmlns:" + ns.prefix + "=\"";
            out += escapeAttributeValue(ns.uri) + "\"";
        }
        // The children see these declarations, and the inherited ones not redeclared here.
        std::vector<XmlNamespace> inner;
        for (std::size_t i = 0; i < scope.size(); ++i) {
            const bool shadowed =
                i < inherited &&
                std::any_of(scope.begin() + static_cast<std::ptrdiff_t>(inherited), scope.end(),
                            [&](const XmlNamespace& ns) { return ns.prefix == scope[i].prefix; });
            if (!shadowed) {
                inner.push_back(scope[i]);
            }
        }
        if (n.children.empty()) {
            out += "/>";
            return;
        }
        out += '>';
        const bool indentChildren =
            n.children.size() > 1 || xmlNode(n.children.front()).kind != XmlKind::Text;
        const bool pretty = pretty_ && indentChildren;
        const std::size_t step = static_cast<std::size_t>(std::max(0, st_.prettyIndent));
        for (Object* c : n.children) {
            if (pretty) {
                out += '\n';
            }
            print(c, inner, pretty ? indent + step : 0, depth + 1);
        }
        if (pretty) {
            out += '\n';
            out.append(indent, ' ');
        }
        out += "</" + tag + ">";
    }

    std::string out;

  private:
    // The prefix a name in `uri` prints with: the first namespace in scope with that URI,
    // else one made up (the default one when free, then "aaa", "aab"...) and added to it.
    static std::string prefixFor(const std::string& uri, std::vector<XmlNamespace>& scope) {
        if (uri.empty()) {
            return {};
        }
        if (uri == kXmlPrefixUri) {
            return "xml"; // bound everywhere, never declared
        }
        for (const XmlNamespace& ns : scope) {
            if (ns.uri == uri) {
                return ns.prefix;
            }
        }
        const auto taken = [&](const std::string& prefix) {
            return std::any_of(scope.begin(), scope.end(),
                               [&](const XmlNamespace& ns) { return ns.prefix == prefix; });
        };
        std::string prefix;
        if (taken(prefix)) {
            prefix = "aaa";
            while (taken(prefix) && prefix != "zzz") {
                for (std::size_t i = prefix.size(); i-- > 0;) {
                    if (prefix[i] != 'z') {
                        ++prefix[i];
                        break;
                    }
                    prefix[i] = 'a';
                }
            }
        }
        scope.push_back(XmlNamespace{prefix, true, uri});
        return prefix;
    }

    Machine& m_;
    const XmlState& st_;
    bool pretty_;
    std::size_t count_ = 0;
};

} // namespace

std::string xmlToXmlString(Machine& m, Object* xml) {
    Printer p(m);
    p.print(xml, {}, 0, 0);
    return std::move(p.out);
}

std::string xmlToString(Machine& m, Object* xml) {
    const XmlNode& n = xmlNode(xml);
    if (n.kind == XmlKind::Text || n.kind == XmlKind::Attribute) {
        return n.text;
    }
    if (n.kind == XmlKind::Element && hasSimpleContent(xml)) {
        std::string s;
        for (Object* c : n.children) {
            const XmlNode& cn = xmlNode(c);
            if (cn.kind == XmlKind::Text) {
                s += cn.text;
            }
        }
        return s;
    }
    return xmlToXmlString(m, xml);
}

std::string listToXmlString(Machine& m, Object* list) {
    std::string s;
    bool first = true;
    for (const Value& v : list->elements) {
        if (!first) {
            s += '\n';
        }
        first = false;
        s += xmlToXmlString(m, v.asObject());
    }
    return s;
}

std::string listToString(Machine& m, Object* list) {
    const auto& items = list->elements;
    // One item is simple by its content; several only when none is an element.
    const bool simple = items.size() == 1
                            ? hasSimpleContent(items.front().asObject())
                            : std::none_of(items.begin(), items.end(), [](const Value& v) {
                                  return xmlNode(v.asObject()).kind == XmlKind::Element;
                              });
    if (!simple) {
        return listToXmlString(m, list);
    }
    std::string s;
    for (const Value& v : items) {
        const XmlKind k = xmlNode(v.asObject()).kind;
        if (k != XmlKind::Comment && k != XmlKind::Instruction) {
            s += xmlToString(m, v.asObject());
        }
    }
    return s;
}

} // namespace avm2
