#pragma once
// The properties of edit fields: on each field for movies before version 6, as getter and
// setter pairs on TextField.prototype from version 6 on.

#include <string_view>

#include "avm1/Value.h"

namespace avm1 {
class Machine;
}

namespace mc {

class StageScripts;
class StageObject;
struct DisplayObject;

// Reads or writes a field property by name; false when `name` is none.
bool readFieldProperty(StageScripts& stage, StageObject& object, DisplayObject& field,
                       std::string_view name, avm1::Value& out);
bool writeFieldProperty(StageScripts& stage, StageObject& object, DisplayObject& field,
                        std::string_view name, const avm1::Value& value);
// Puts the accessors on TextField.prototype.
void defineFieldAccessors(StageScripts& stage, avm1::Object* prototype);
// A field's script object starts as its own only listener, so that what the field
// broadcasts reaches its own handlers as well as those added with addListener.
void listenToItself(avm1::Machine& machine, StageObject& field);
// Tells the field's listeners that its text changed (onChanged, with the field).
void broadcastFieldChanged(avm1::Machine& machine, StageObject& field);

} // namespace mc
