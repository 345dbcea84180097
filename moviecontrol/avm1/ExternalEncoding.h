#pragma once
// The XML and JavaScript texts that flash.external.ExternalInterface passes values to its
// host page in, and the way back from that XML (as parsed by the XML class) to values.
// The player's own class library does this in ActionScript; scripts may call its helpers
// (_toXML, _toAS...) directly, so they follow its rules to the letter.

#include "avm1/Machine.h"

#include <string>
#include <string_view>

namespace avm1 {

// & < > ' " as entities, and back (no other entity is read).
std::string escapeXml(std::string_view text);
std::string unescapeXml(std::string_view text);

// <undefined/>, <null/>, <true/>, <false/>, <number>n</number>, <string>text</string>,
// <date>ms</date>, <array>/<object> of <property id="..."> elements.
std::string valueToXml(Machine& m, const Value& value);
std::string objectToXml(Machine& m, const Value& object);
std::string arrayToXml(Machine& m, const Value& array);
// <arguments> holding the elements from index 1 on: element 0 names the function called.
std::string argumentsToXml(Machine& m, const Value& list);

// The value a parsed element (an XMLNode, or anything with nodeName, firstChild and
// childNodes) stands for.
Value xmlToValue(Machine& m, const Value& node);
Value xmlToObject(Machine& m, const Value& node);
Value xmlToArray(Machine& m, const Value& node);
Value xmlToArguments(Machine& m, const Value& node);

// The value as a JavaScript expression.
std::string valueToJs(Machine& m, const Value& value);
std::string arrayToJs(Machine& m, const Value& array);
std::string objectToJs(Machine& m, const Value& object);

} // namespace avm1
