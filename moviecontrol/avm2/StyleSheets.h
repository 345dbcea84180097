#pragma once
// flash.text.StyleSheet, and how a text field reads its markup with one.

#include "StyleSheet.h"
#include "avm2/Value.h"

#include <optional>
#include <string>

namespace avm2 {

class Machine;

// The formats the sheet gives its selectors (keys in lower case, as the html reader looks
// them up), each style passed through the sheet's transform method, which subclasses may
// replace. Empty for anything that is no style sheet.
mc::StyleSheet styleSheetOf(Machine& m, const Value& sheet);

// The style sheet a text field object is styled with; null when none.
Value fieldStyleSheet(const Value& field);
// The markup the field was last given while it had a sheet, which htmlText reads back.
std::optional<std::string> fieldStyledMarkup(const Value& field);

// text or htmlText set while the field has a sheet: the value is read as markup with it.
void assignStyledText(Machine& m, const Value& field, const std::string& markup);

} // namespace avm2
