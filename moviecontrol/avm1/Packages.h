#pragma once
// The "flash.geom"-style package objects that later classes live in, and the helpers of
// native classes that scripts see as written in ActionScript.

#include "avm1/Machine.h"

#include <string_view>
#include <vector>

namespace avm1 {

// The package object at a dotted path below _global ("flash.geom"), made as needed.
Object* packageObject(Machine& m, std::string_view dottedPath);

// Defines `ctor` as `name` in the package at `dottedPath`.
void definePackaged(Machine& m, std::string_view dottedPath, std::string_view name, Object* ctor);

// A getter/setter property (as addProperty makes) backed by native functions; a null
// setter makes it read-only.
void defineAccessor(Machine& m, Object* object, std::string_view name, NativeFn getter,
                    NativeFn setter, std::uint32_t attributes = attr::DontEnum);

// Calls object[method](args...) once the scripts now running have ended (with the timers
// after the frame), as answers from outside the movie arrive.
void callAfterScripts(Machine& m, Object* object, std::string_view method, std::vector<Value> args);

// Calls `function` with `args` (and no `this`) once the scripts now running have ended.
void callAfterScripts(Machine& m, const Value& function, std::vector<Value> args);

// A flash.geom.Point or flash.geom.Rectangle as its constructor makes them.
Object* newGeomPoint(Machine& m, double x, double y);
Object* newGeomRectangle(Machine& m, double x, double y, double width, double height);

} // namespace avm1
