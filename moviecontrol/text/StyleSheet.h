#pragma once

#include <map>
#include <string>

#include "TextDocument.h"

namespace mc {

// The formats a style sheet gives html tags ("p"), classes (".name") and the rest of its
// selectors, as they stood when the markup was read.
struct StyleSheet {
    std::map<std::string, PartialFormat> styles;
    // How a tag of the sheet's own making shows its text, by selector: "block" (a paragraph
    // of its own), "inline" or "none" (not at all). A selector not listed is inline.
    std::map<std::string, std::string> displays;

    const std::string* display(const std::string& selector) const {
        const auto it = displays.find(selector);
        return it != displays.end() ? &it->second : nullptr;
    }

    const PartialFormat* find(const std::string& selector) const {
        const auto it = styles.find(selector);
        return it != styles.end() ? &it->second : nullptr;
    }
};

} // namespace mc
