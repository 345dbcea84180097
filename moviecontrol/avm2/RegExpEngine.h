#pragma once
// Regular expressions as Flash reads them, matched over UTF-16 code units: the ECMAScript
// syntax with Flash's flags (i m s x) and named groups (?P<name>...). PCRE2's 16-bit library
// does the matching; Flash's own engine is PCRE, so its syntax and its answers for the edge
// cases (backreferences to groups not yet set, [^], \u escapes) are the same. Matching is
// bounded: a pattern that backtracks past the bound stops with `Exceeded`.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace avm2 {

struct RegExpFlags {
    bool global = false;
    bool ignoreCase = false;
    bool multiline = false;
    bool dotall = false;
    bool extended = false;
    // Reads "gimsx" in any order; other letters are passed over.
    static RegExpFlags parse(std::u16string_view letters);
    // The letters in Flash's order: g i m s x.
    std::string letters() const;
};

class RegExpEngine {
  public:
    // One match: for the whole match and each group, its [start, end) in code units, or
    // nothing when the group took no part.
    using Span = std::optional<std::pair<std::size_t, std::size_t>>;
    enum class Outcome { Matched, NoMatch, Exceeded };

    RegExpEngine(std::u16string_view source, RegExpFlags flags);
    ~RegExpEngine();
    RegExpEngine(const RegExpEngine&) = delete;
    RegExpEngine& operator=(const RegExpEngine&) = delete;

    // A pattern that does not compile matches nothing.
    bool valid() const { return code_ != nullptr; }
    std::size_t groupCount() const { return groups_; }
    // Group names by number (empty for unnamed groups); index 0 is the whole match.
    const std::vector<std::string>& groupNames() const { return names_; }

    // Searches `subject` from `start`; fills `spans` (whole match first) when it matches.
    Outcome exec(std::u16string_view subject, std::size_t start, std::vector<Span>& spans) const;

  private:
    struct Code;
    std::unique_ptr<Code> code_;
    std::size_t groups_ = 0;
    std::vector<std::string> names_;
};

} // namespace avm2
