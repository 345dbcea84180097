#include "avm2/RegExpEngine.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

namespace avm2 {

namespace {
// Backtracking steps one match may take (a few seconds of the worst pattern), and the
// memory its backtracking may hold.
constexpr std::uint32_t kMatchLimit = 20'000'000;
constexpr std::size_t kHeapLimitKb = 64 * 1024;
} // namespace

struct RegExpEngine::Code {
    pcre2_code* code = nullptr;
    pcre2_match_context* context = nullptr;
    ~Code() {
        pcre2_match_context_free(context);
        pcre2_code_free(code);
    }
};

RegExpFlags RegExpFlags::parse(std::u16string_view letters) {
    RegExpFlags f;
    for (char16_t c : letters) {
        switch (c) {
        case u'g':
            f.global = true;
            break;
        case u'i':
            f.ignoreCase = true;
            break;
        case u'm':
            f.multiline = true;
            break;
        case u's':
            f.dotall = true;
            break;
        case u'x':
            f.extended = true;
            break;
        default:
            break;
        }
    }
    return f;
}

std::string RegExpFlags::letters() const {
    std::string s;
    s += global ? "g" : "";
    s += ignoreCase ? "i" : "";
    s += multiline ? "m" : "";
    s += dotall ? "s" : "";
    s += extended ? "x" : "";
    return s;
}

RegExpEngine::RegExpEngine(std::u16string_view source, RegExpFlags flags) {
    // ECMAScript's readings: \u and \x escapes, an unset group's backreference matches
    // empty, [] and [^] are classes, $ ends only at the end unless multiline.
    std::uint32_t options = PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF | PCRE2_ALLOW_EMPTY_CLASS;
    options |= flags.ignoreCase ? PCRE2_CASELESS : 0;
    options |= flags.multiline ? PCRE2_MULTILINE : PCRE2_DOLLAR_ENDONLY;
    options |= flags.dotall ? PCRE2_DOTALL : 0;
    options |= flags.extended ? PCRE2_EXTENDED : 0;
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(source.data()), source.size(),
                                     options, &error, &offset, nullptr);
    if (code == nullptr) {
        return;
    }
    code_ = std::make_unique<Code>();
    code_->code = code;
    code_->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(code_->context, kMatchLimit);
    pcre2_set_heap_limit(code_->context, kHeapLimitKb);
    std::uint32_t count = 0;
    pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &count);
    groups_ = count;
    names_.assign(groups_ + 1, std::string());
    std::uint32_t nameCount = 0;
    std::uint32_t entrySize = 0;
    PCRE2_SPTR table = nullptr;
    pcre2_pattern_info(code, PCRE2_INFO_NAMECOUNT, &nameCount);
    pcre2_pattern_info(code, PCRE2_INFO_NAMEENTRYSIZE, &entrySize);
    pcre2_pattern_info(code, PCRE2_INFO_NAMETABLE, &table);
    for (std::uint32_t i = 0; i < nameCount && table != nullptr; ++i) {
        // Each entry: the group number, then the name's code units, zero-ended.
        const PCRE2_SPTR entry = table + static_cast<std::size_t>(i) * entrySize;
        const std::size_t group = entry[0];
        std::string name;
        for (std::size_t k = 1; k < entrySize && entry[k] != 0; ++k) {
            name += static_cast<char>(entry[k] < 0x80 ? entry[k] : '?');
        }
        if (group < names_.size()) {
            names_[group] = name;
        }
    }
}

RegExpEngine::~RegExpEngine() = default;

RegExpEngine::Outcome RegExpEngine::exec(std::u16string_view subject, std::size_t start,
                                         std::vector<Span>& spans) const {
    if (code_ == nullptr || start > subject.size()) {
        return Outcome::NoMatch;
    }
    std::unique_ptr<pcre2_match_data, void (*)(pcre2_match_data*)> data(
        pcre2_match_data_create_from_pattern(code_->code, nullptr), pcre2_match_data_free);
    if (!data) {
        return Outcome::NoMatch;
    }
    const int rc = pcre2_match(code_->code, reinterpret_cast<PCRE2_SPTR>(subject.data()),
                               subject.size(), start, 0, data.get(), code_->context);
    if (rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_HEAPLIMIT ||
        rc == PCRE2_ERROR_DEPTHLIMIT || rc == PCRE2_ERROR_NOMEMORY) {
        return Outcome::Exceeded;
    }
    if (rc < 0) {
        return Outcome::NoMatch;
    }
    const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
    spans.assign(groups_ + 1, std::nullopt);
    const std::size_t set = rc == 0 ? groups_ + 1 : static_cast<std::size_t>(rc);
    for (std::size_t g = 0; g < set && g <= groups_; ++g) {
        if (ov[2 * g] != PCRE2_UNSET) {
            spans[g] = std::make_pair(static_cast<std::size_t>(ov[2 * g]),
                                      static_cast<std::size_t>(ov[2 * g + 1]));
        }
    }
    return Outcome::Matched;
}

} // namespace avm2
