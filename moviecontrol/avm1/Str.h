#pragma once
// Immutable shared strings. A string pushed, stored in a property or used as a property name
// is shared, never copied; names from a constant pool are made once per pool.

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

    const std::string& str() const { return data_->text; }
    std::string_view view() const { return data_->text; }
    std::size_t size() const { return data_->text.size(); }
    bool empty() const { return data_->text.empty(); }
    const char* c_str() const { return data_->text.c_str(); }

    /// Hash of the text, and of its ASCII lower-case form (for names compared without case).
    std::size_t hash() const;
    std::size_t foldedHash() const;
    bool sameAs(const Str& other) const { return data_ == other.data_; }

    friend bool operator==(const Str& a, const Str& b) {
        return a.data_ == b.data_ || a.data_->text == b.data_->text;
    }
    friend bool operator==(const Str& a, std::string_view b) { return a.view() == b; }

  private:
    struct Data {
        std::string text;
        mutable std::size_t hash = 0;
        mutable std::size_t folded = 0;
        mutable bool hashed = false;
    };
    std::shared_ptr<const Data> data_;
};

/// ASCII case-insensitive equality, as names compare in movies up to version 6.
bool equalsFolded(std::string_view a, std::string_view b);

} // namespace avm1
