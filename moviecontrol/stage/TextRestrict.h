#pragma once
// The characters a person may type into a field, as its restrict property names them.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mc {

// A restrict pattern read left to right: characters and ranges ("a-z") are accepted, or,
// after a caret, refused; a pattern starting with a caret accepts everything else. A hyphen
// with no single character just before it starts its range at the first code unit ("-z",
// "a-c-z"); one with nothing after it stands for the character before it. A backslash takes
// the next character as it is ("\-", "\^", "\\"). Later parts win over earlier ones.
class TextRestrict {
  public:
    explicit TextRestrict(std::u16string_view pattern);

    bool allows(char16_t c) const;
    // What typing `c` puts in the field: `c` when accepted, else its other case when that
    // is accepted (players turn a letter round rather than refuse it), else nothing.
    std::optional<char16_t> admit(char16_t c) const;

  private:
    struct Span {
        char16_t first = 0;
        char16_t last = 0;
        bool accept = true;
    };
    bool acceptsRest_ = false;
    std::vector<Span> spans_;
};

// The part of `typed` (UTF-8) a field restricted by `pattern` takes, letters turned round
// where that is what it accepts. Control characters (a new line) pass.
std::string restrictTyped(std::string_view pattern, std::string_view typed);

} // namespace mc
