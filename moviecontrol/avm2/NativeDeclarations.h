// What the player's own classes declare where their code is native rather than compiled: the
// types of their accessors, the parameters of their constructors and the signatures of their
// methods, as their class sources give them. describeType reads these where no compiled method
// says.
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

// A native method's declared signature: its return type, and its parameters' types in order,
// separated by commas, each ending in "=" when it has a default ("String,Boolean=").
struct NativeMethod {
    std::string_view returns;
    std::string_view parameters;
};

// The declared signature of a native method of `owner`; false when the declarations do not
// name it.
bool nativeMethod(std::string_view owner, std::string_view method, NativeMethod& out);

} // namespace avm2
