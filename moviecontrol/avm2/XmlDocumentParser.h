#pragma once
// The markup reader behind flash.xml.XMLDocument: elements, text (CDATA as text), the XML
// declaration and the document type, as a flat list of what it met in order. Comments and
// processing instructions are passed over. No machine; the text comes from the movie, so the
// reader walks it once without recursion and refuses nesting deeper than kMaxDepth.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace avm2::xmldoc {

inline constexpr std::size_t kMaxDepth = 1024;

struct Attribute {
    std::string name;
    std::string value; // references already replaced
};

struct Item {
    enum class Kind : std::uint8_t { Open, Close, Text };
    Kind kind = Kind::Text;
    std::string text; // the element's name, or the text
    std::vector<Attribute> attributes;
    bool empty = false; // an Open written as <name/>: no Close follows
};

struct Parsed {
    std::vector<Item> items;
    bool hasDeclaration = false;
    std::string declaration; // "<?xml ...?>" as written
    bool hasDoctype = false;
    std::string doctype; // "<!DOCTYPE ...>" as written
    // 0, or the number of the error Flash reports (1085, 1090...), with the element left
    // open for 1085.
    int error = 0;
    std::string unclosed;
};

// `ignoreWhite` drops text that is only white space.
Parsed parse(std::string_view text, bool ignoreWhite);

// Text and attribute values as markup: & < > " ' as references.
std::string escape(std::string_view text);

} // namespace avm2::xmldoc
