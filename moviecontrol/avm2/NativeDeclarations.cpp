// The declarations of the player's native accessors and constructors (their class sources:
// `function get length():uint`, `function Date(year = void 0, ... ms = void 0)`...). Only what a
// description shows is kept: a type, a count of parameters that all have defaults.
#include "avm2/NativeDeclarations.h"

#include <algorithm>
#include <iterator>

namespace avm2 {

namespace {

struct AccessorType {
    std::string_view owner;
    std::string_view accessor; // "" for every accessor of the owner
    std::string_view type;
};

constexpr AccessorType kAccessors[] = {
    {"String", "length", "int"},
    {"Array", "length", "uint"},
    {"Function", "length", "int"},
    {"Error", "errorID", "int"},
    {"Date", "", "Number"},
    {"Namespace", "uri", "String"},
    {"QName", "localName", "String"},
    {"RegExp", "source", "String"},
    {"RegExp", "global", "Boolean"},
    {"RegExp", "ignoreCase", "Boolean"},
    {"RegExp", "multiline", "Boolean"},
    {"RegExp", "dotall", "Boolean"},
    {"RegExp", "extended", "Boolean"},
    {"RegExp", "lastIndex", "int"},
    {"flash.utils::ByteArray", "length", "uint"},
    {"flash.utils::ByteArray", "position", "uint"},
    {"flash.utils::ByteArray", "bytesAvailable", "uint"},
    {"flash.utils::ByteArray", "objectEncoding", "uint"},
    {"flash.utils::ByteArray", "endian", "String"},
    {"flash.geom::Point", "length", "Number"},
};

struct ConstructorDeclaration {
    std::string_view owner;
    NativeConstructor declared;
};

constexpr ConstructorDeclaration kConstructors[] = {
    {"int", {1, "*"}},
    {"uint", {1, "*"}},
    {"Number", {1, "*"}},
    {"String", {1, "*"}},
    {"Boolean", {1, "*"}},
    {"Date", {7, "*"}},
    {"Error", {2, "*"}},
    {"Namespace", {2, "*"}},
    {"QName", {2, "*"}},
    {"RegExp", {2, "*"}},
    {"XML", {1, "*"}},
    {"XMLList", {1, "*"}},
    {"flash.utils::Dictionary", {1, "Boolean"}},
    {"flash.geom::Point", {2, "Number"}},
    {"flash.geom::Rectangle", {4, "Number"}},
    {"flash.geom::Matrix", {6, "Number"}},
    {"flash.geom::ColorTransform", {8, "Number"}},
};

} // namespace

std::string_view nativeAccessorType(std::string_view owner, std::string_view accessor) {
    const auto* found =
        std::find_if(std::begin(kAccessors), std::end(kAccessors), [&](const AccessorType& a) {
            return a.owner == owner && (a.accessor.empty() || a.accessor == accessor);
        });
    return found != std::end(kAccessors) ? found->type : std::string_view();
}

bool nativeConstructor(std::string_view owner, NativeConstructor& out) {
    const auto* found =
        std::find_if(std::begin(kConstructors), std::end(kConstructors),
                     [&](const ConstructorDeclaration& c) { return c.owner == owner; });
    if (found == std::end(kConstructors)) {
        return false;
    }
    out = found->declared;
    return true;
}

} // namespace avm2
