#pragma once
// TextField.StyleSheet: CSS text kept as plain objects per selector (_css) and turned into
// TextFormat objects (_styles) by its transform method, which subclasses may replace.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "StyleSheet.h"
#include "avm1/Machine.h"

namespace mc {

class StageScripts;

struct CssRule {
    std::string selector;
    std::vector<std::pair<std::string, std::string>> properties;
};

// Reads CSS the way players do (property names lose their dashes to camel case); nothing
// when the text is malformed.
std::optional<std::vector<CssRule>> parseCss(std::string_view css);

// The formats of a style sheet object's _styles, keyed as the html reader looks them up.
StyleSheet styleSheetOf(avm1::Machine& m, avm1::Object* sheet);

void installStyleSheetClass(StageScripts& stage, avm1::Object* textField);

} // namespace mc
