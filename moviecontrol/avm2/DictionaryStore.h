#pragma once
// flash.utils.Dictionary's entries. An object key is its own identity (two objects that
// print alike stay two keys, and the key's toString is never asked); every other key is
// known by its string, so 13 and "13", null and "null" meet. The entries stay in the
// order they were made; a deleted one leaves a gap until the next new key, so a for-in
// running over the dictionary while it deletes neither skips nor repeats an entry.

#include "avm2/Runtime.h"

#include <cstdint>
#include <string>

namespace avm2 {

// The value stored under `name` (its key object when it carries one), or null.
Value* dictionaryFind(Object* dictionary, const Name& name);
void dictionarySet(Object* dictionary, const Name& name, const Value& value);
bool dictionaryErase(Object* dictionary, const Name& name);
// A name for a dictionary lookup with `key` as a script gave it.
Name dictionaryName(const std::string& keyText, const Value& key);

// What for-in hands out for a dynamic property's name: a name that is an array index
// reads back as a number, every other one as the string.
Value enumeratedName(const std::string& name);

} // namespace avm2
