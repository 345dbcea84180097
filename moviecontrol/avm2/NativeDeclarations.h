// What the player's own classes declare where their code is native rather than compiled: the
// types of their accessors and the parameters of their constructors, as their class sources
// give them. describeType reads these where no compiled method says.
#pragma once

#include <cstdint>
#include <string_view>

namespace avm2 {

// The declared type of a native accessor of `owner` (a qualified class name), or "" when the
// declarations do not name it.
std::string_view nativeAccessorType(std::string_view owner, std::string_view accessor);

struct NativeConstructor {
    std::uint8_t count = 0;      // parameters, each with a default
    std::string_view type = "*"; // the one type they all declare
};

// The parameters a native constructor declares; false when the declarations do not name it.
bool nativeConstructor(std::string_view owner, NativeConstructor& out);

} // namespace avm2
