#pragma once
// Action Message Format: the object serialisation ByteArray.writeObject/readObject speak,
// AMF3 (or AMF0, by the array's objectEncoding), with their reference tables, the class
// aliases of flash.net.registerClassAlias and flash.utils.IExternalizable.

#include "avm2/Runtime.h"

namespace avm2 {

class Machine;

// Writes `value` at the position of `stream` (a ByteArray).
void amfWriteObject(Machine& m, const Value& stream, const Value& value);
// Reads one value at the position of `stream`; damaged or cut data throws as Flash does.
Value amfReadObject(Machine& m, const Value& stream);

// flash.net's registerClassAlias and getClassByAlias, and the ObjectEncoding constants.
void installAmf(Machine& m);

} // namespace avm2
