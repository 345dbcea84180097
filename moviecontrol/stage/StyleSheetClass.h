#pragma once
// TextField.StyleSheet: CSS text kept as plain objects per selector (_css) and turned into
// TextFormat objects (_styles) by its transform method, which subclasses may replace.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Css.h"
#include "StyleSheet.h"
#include "avm1/Machine.h"

namespace mc {

class StageScripts;

// The formats of a style sheet object's _styles, keyed as the html reader looks them up.
StyleSheet styleSheetOf(avm1::Machine& m, avm1::Object* sheet);

void installStyleSheetClass(StageScripts& stage, avm1::Object* textField);

} // namespace mc
