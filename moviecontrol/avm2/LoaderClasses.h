#pragma once
// flash.display.Loader and LoaderInfo (LoaderClasses.cpp), installed with the display
// classes.

#include "avm2/Runtime.h"

namespace avm2 {

class Machine;
struct Class;

// The hidden fields the display classes share with the loader's: a Loader's info knows its
// loader; the stage's info answers as the stage's.
inline constexpr char kInfoLoader[] = "loader";
inline constexpr char kInfoOfStage[] = "ofStage";
inline constexpr char kContentInfo[] = "contentLoaderInfo";

// Announces an error no script caught as an uncaughtError event on the uncaughtErrorEvents of
// the info of the movie whose code let it escape, and on those of the Loaders above that
// movie and of the movies holding them, when a script asked for them; true when a listener
// prevented the default, so that the player does not report the error itself.
bool announceUncaught(Machine& m, const Value& error);

// `displayInit` makes a display object's node: a Loader is a container as any other.
void installLoaderClasses(Machine& m, Class* dispatcher, Class* container, Class* display,
                          NativeFn displayInit);

} // namespace avm2
