#pragma once

#include <map>
#include <string>

#include "TextDocument.h"

namespace mc {

// The formats a style sheet gives html tags ("p"), classes (".name") and the rest of its
// selectors, as they stood when the markup was read.
struct StyleSheet {
    std::map<std::string, PartialFormat> styles;

    const PartialFormat* find(const std::string& selector) const {
        const auto it = styles.find(selector);
        return it != styles.end() ? &it->second : nullptr;
    }
};

} // namespace mc
