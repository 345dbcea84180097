#pragma once
// What the AMF0 and AMF3 coders share: byte access on the stream with its bounds checked,
// and the class side (aliases, the members a class instance is written with).

#include "avm2/ByteArrayData.h"
#include "avm2/Runtime.h"

#include <string>
#include <vector>

namespace avm2 {

// Nesting beyond this is refused rather than followed, in writing and in reading.
constexpr int kAmfMaxDepth = 200;

void amfPut(Machine& m, ByteArrayData& out, const std::uint8_t* bytes, std::size_t n);
void amfPutDouble(Machine& m, ByteArrayData& out, double d);
void amfNeed(Machine& m, const ByteArrayData& in, std::size_t n);
void amfGet(Machine& m, ByteArrayData& in, std::uint8_t* bytes, std::size_t n);
double amfGetDouble(Machine& m, ByteArrayData& in);
[[noreturn]] void amfCorrupt(Machine& m);

// Values a property holding them is left out for (functions).
bool amfSkips(const Value& v);
// The alias a class was registered under, or "".
std::string amfClassName(Machine& m, const Class* cls);
// The class an alias names, or null.
Class* amfAliasedClass(Machine& m, const std::string& alias);
// An alias, or failing that a qualified class name ("flash.geom::Point" or "flash.geom.Point").
Class* amfClassByName(Machine& m, const std::string& name);
bool amfExternalizable(Machine& m, const Class* cls);
// The public variables, then the public read-write accessors, of a class's instances.
std::vector<std::string> amfSealedMembers(const Class* cls);
// Sets a member read back; an error the object throws is reported and reading goes on.
void amfSetMember(Machine& m, const Value& target, const std::string& name, const Value& v);

void amf3Write(Machine& m, const Value& stream, const Value& value);
Value amf3Read(Machine& m, const Value& stream);
void amf0Write(Machine& m, const Value& stream, const Value& value);
Value amf0Read(Machine& m, const Value& stream);

} // namespace avm2
