#pragma once
// What a built-in class keeps on its objects beyond their script-visible properties (a
// Timer's count, a button's states, a transform's target...): values under string keys in
// the object's `entries`, where no script name can reach them.
//
// Values are handed out by copy. A pointer into `entries` would dangle as soon as another
// field is added, and a native method often adds one while it still uses the first.
#include "avm2/Runtime.h"

#include <optional>
#include <string_view>

namespace avm2 {

std::optional<Value> findHiddenField(const Object* o, std::string_view key);

// The field's value, or `fallback` when the object has none (or is not an object).
Value hiddenField(const Object* o, std::string_view key, Value fallback = Value());
Value hiddenField(const Value& self, std::string_view key, Value fallback = Value());

// Stores the value, adding the field when it is new; a value that is not an object keeps no
// fields.
void setHiddenField(Object* o, std::string_view key, Value value);
void setHiddenField(const Value& self, std::string_view key, Value value);

} // namespace avm2
