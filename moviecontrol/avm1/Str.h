#pragma once
// Immutable shared strings. A string pushed, stored in a property or used as a property name
// is shared, never copied; names from a constant pool are made once per pool.

#include "scriptbudget/ScriptMemory.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace avm1 {

class Str {
  public:
    Str();
    explicit Str(std::string text);
    explicit Str(std::string_view text) : Str(std::string(text)) {}
    explicit Str(const char* text) : Str(std::string(text)) {}

    // The empty string holds no data, so that copying values that are no strings costs
    // no reference counting.
    const std::string& str() const { return data_ ? data_->text : emptyText(); }
    std::string_view view() const { return str(); }
    std::size_t size() const { return str().size(); }
    bool empty() const { return str().empty(); }
    const char* c_str() const { return str().c_str(); }

    // Hash of the text, and of its folded form (for names compared without case).
    std::size_t hash() const;
    std::size_t foldedHash() const;
    bool sameAs(const Str& other) const { return data_ == other.data_; }
    // True when the text holds a path separator (':', '.' or '/'); worked out once, as
    // every variable lookup asks.
    bool hasPathSeparator() const { return data_ && data_->pathLike; }

    friend bool operator==(const Str& a, const Str& b) {
        return a.data_ == b.data_ || a.str() == b.str();
    }
    friend bool operator==(const Str& a, std::string_view b) { return a.view() == b; }

  private:
    static const std::string& emptyText();
    struct Data {
        std::string text;
        mutable std::size_t hash = 0;
        mutable std::size_t folded = 0;
        mutable bool hashed = false;
        bool pathLike = false;
        // The text and this block, against the scripts' memory budget.
        scriptbudget::CountedBytes counted;
    };
    std::shared_ptr<const Data> data_;
};

// Equality without case (Latin, Greek and Cyrillic letters), as names compare in movies up
// to version 6.
bool equalsFolded(std::string_view a, std::string_view b);

} // namespace avm1
