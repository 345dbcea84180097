#include "Arguments.h"

namespace cardtool {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& options,
                     const std::set<std::string>& flags) {
    bool onlyPositionals = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (onlyPositionals || word.size() < 3 || word.rfind("--", 0) != 0) {
            if (word == "--") {
                onlyPositionals = true;
                continue;
            }
            positionals_.push_back(word);
            continue;
        }
        std::string name = word.substr(2);
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        if (flags.count(name) != 0 && !inlineValue) {
            flags_.insert(name);
        } else if (options.count(name) != 0) {
            if (!inlineValue && i + 1 >= words.size()) {
                throw UsageError("--" + name + " needs a value");
            }
            options_[name] = inlineValue ? *inlineValue : words[++i];
        } else {
            throw UsageError("unknown option --" + name);
        }
    }
}

const std::string& Arguments::positional(std::size_t index, const char* what) const {
    if (index >= positionals_.size()) {
        throw UsageError(std::string("missing ") + what);
    }
    return positionals_[index];
}

void Arguments::expectPositionals(std::size_t count) const {
    if (positionals_.size() > count) {
        throw UsageError("unexpected argument " + positionals_[count]);
    }
}

std::optional<std::string> Arguments::option(const std::string& name) const {
    const auto it = options_.find(name);
    if (it == options_.end()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace cardtool
