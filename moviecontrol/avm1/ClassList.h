#pragma once
// The language's script classes and global objects, in the order the machine installs
// them: a class that takes another's prototype (Function's from Object, Number's methods
// from Object's...) stands below it, so keep new ones at the end unless they need to be
// earlier. Each entry `X(Name)` is a file `avm1/classes/Name.cpp` defining
// `void installName(Machine& m)` in namespace avm1; State.h declares them from this list
// and the Machine's constructor calls them in this order.

#define AVM1_CLASS_LIST(X)                                                                         \
    X(Object)                                                                                      \
    X(Boolean)                                                                                     \
    X(Error)                                                                                       \
    X(AsBroadcaster)                                                                               \
    X(Function)                                                                                    \
    X(Array)                                                                                       \
    X(String)                                                                                      \
    X(Number)                                                                                      \
    X(Math)                                                                                        \
    X(Date)                                                                                        \
    X(GlobalFunctions)                                                                             \
    X(XMLNode)                                                                                     \
    X(XML)                                                                                         \
    X(ExternalInterface)                                                                           \
    X(NetConnection)                                                                               \
    X(Point)                                                                                       \
    X(Rectangle)                                                                                   \
    X(Matrix)                                                                                      \
    X(ColorTransform)                                                                              \
    X(BitmapData)                                                                                  \
    X(Filters)                                                                                     \
    X(FileReference)                                                                               \
    X(NativeTables)                                                                                \
    X(ContextMenuItem)                                                                             \
    X(ContextMenu)
