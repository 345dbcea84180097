#pragma once
// Variables as loadVariables and LoadVars exchange them: "name=value&name2=value2", with
// %XX escapes and '+' for a space.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace avm1 {

using FormPair = std::pair<std::string, std::string>;

// The pairs of a form text, in order; pieces without a name are skipped. Names and values
// come out as UTF-8 (bytes that are no UTF-8 read as Latin-1).
std::vector<FormPair> decodeForm(std::string_view text);
// "a=1&b=x%20y": every byte but letters and digits escaped.
std::string encodeForm(const std::vector<FormPair>& pairs);

} // namespace avm1
