#pragma once

#include "Ast.h"
#include "moviemaker/ActionWriter.h"

#include <cstdint>
#include <string_view>

namespace scriptrules {

// Compiles the script subset (see parseScript) to the actions Flash's own compiler emits for
// the given SWF version: `+` is Add2 from version 5 and Add in 4, `==` Equals2 or Equals,
// `>` Greater from 6 (a swapped Less2 in 5), functions DefineFunction2 from 7, numbers
// pushed as text in 4; Flash 4's string operators (add, eq, lt...) and functions (int,
// length, substring, chr, ord and their multibyte twins, eval) as their own actions. Throws
// ScriptError on what the version lacks (objects before 5, `===` and `instanceof` before
// 6...).
moviemaker::Actions compileScript(std::string_view source, uint8_t swfVersion);

// The same for parsed statements.
moviemaker::Actions compileStatements(const std::vector<Node>& statements, uint8_t swfVersion);

} // namespace scriptrules
