#pragma once
// The E4X operators: what property access, `in`, `delete`, `..`, `==`, `+` and the filter
// do when an operand is XML or an XMLList. The machine hands these values over here.

#include "avm2/Machine.h"
#include "avm2/XmlNodes.h"

#include <optional>

namespace avm2 {

bool isXmlValue(const Value& v); // XML or XMLList

Value xmlGetProperty(Machine& m, const Value& target, const Name& name);
void xmlSetProperty(Machine& m, const Value& target, const Name& name, const Value& value);
bool xmlDeleteProperty(Machine& m, const Value& target, const Name& name);
bool xmlHasProperty(Machine& m, const Value& target, const Name& name);
Value xmlCallProperty(Machine& m, const Value& target, const Name& name, Args& args);
// x..name: throws for a value that is neither XML nor XMLList.
Value xmlDescendants(Machine& m, const Value& target, const Name& name);
Value xmlDescendantsByQuery(Machine& m, const Value& target, const XmlQuery& q);
// Whether XML (or a list's element) has a child or attribute by that name; methods aside.
bool xmlHasOwnProperty(Machine& m, const Value& target, const Name& name);
// The comparison of E4X when either side is XML or an XMLList; nothing otherwise.
std::optional<bool> xmlLooseEquals(Machine& m, const Value& a, const Value& b);
// Two XML values joined into a new XMLList; nothing when either is something else.
std::optional<Value> xmlConcat(Machine& m, const Value& a, const Value& b);
std::string xmlPrimitiveString(Machine& m, const Value& v);
void xmlCheckFilter(Machine& m, const Value& v);
Value xmlEscapeElement(Machine& m, const Value& v);
Value xmlEscapeAttribute(Machine& m, const Value& v);
// `default xml namespace = ns` for the method running; the previous one to restore.
std::string xmlSetDefaultNamespace(Machine& m, const Value& ns);
void xmlRestoreDefaultNamespace(Machine& m, std::string previous);

} // namespace avm2
