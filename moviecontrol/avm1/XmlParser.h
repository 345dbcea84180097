#pragma once
// The XML text parser behind the XML class: a lenient, non-validating reader of the subset
// movies send and receive, with the status codes scripts test. No machine; untrusted input.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace avm1::xml {

// XML.status after a parse.
enum class Status : int {
    Ok = 0,
    CdataUnterminated = -2,
    DeclarationUnterminated = -3,
    DoctypeUnterminated = -4,
    CommentUnterminated = -5,
    Malformed = -6,
    OutOfMemory = -7,
    AttributeUnterminated = -8,
    MissingEndTag = -9,
    MissingStartTag = -10,
};

struct Attribute {
    std::string name;
    std::string value; // entities already replaced
};

// What the parser met, in document order. An empty element gives Open then Close.
struct Event {
    enum class Kind { Open, Close, Text } kind;
    std::string text; // element name, or the text (entities replaced, CDATA as it is)
    std::vector<Attribute> attributes;
};

struct Document {
    Status status = Status::Ok;
    // Everything read before an error stays; Close events balance every Open.
    std::vector<Event> events;
    bool hasDeclaration = false;
    std::string declaration; // "<?xml ...?>" as written
    bool hasDoctype = false;
    std::string doctype; // "<!DOCTYPE ...>" as written
};

// Elements nest no deeper than this; deeper input is malformed.
inline constexpr std::size_t MaxDepth = 1024;

// Parses `text`; `ignoreWhite` drops text that is only white space.
Document parse(std::string_view text, bool ignoreWhite);

// Replaces &lt; &gt; &amp; &quot; &apos; &nbsp; and numeric references; anything else
// stays as written, ampersand and all.
std::string unescape(std::string_view text);
// The five markup characters as entities, for text and attribute values.
std::string escape(std::string_view text);

} // namespace avm1::xml
