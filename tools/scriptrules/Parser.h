#pragma once

#include "Ast.h"

#include <stdexcept>
#include <string_view>
#include <vector>

namespace scriptrules {

// A script the parser or the compiler cannot take: the table line is reported and left out.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Parses the ActionScript 1 subset the rule tables are written in: literals, names, member
// access, calls, `new`, object/array/function literals, the unary, binary, logical,
// conditional and assignment operators, and var/if/else/for/while/return/blocks.
// Throws ScriptError on anything else.
std::vector<Node> parseScript(std::string_view source);

} // namespace scriptrules
