#pragma once
// The stage's script classes (display objects and the player's own globals), in the order
// StageScripts installs them, after the language's classes: a class that uses another's
// prototype (TextField's menu of MovieClip's...) stands below it, so keep new ones at the
// end unless they need to be earlier. Each entry `X(Name)` is a file
// `stage/classes/Name.cpp` defining `void installName(StageScripts& stage)` in namespace mc;
// StageScripts.h declares them from this list and StageScripts calls them in this order.

#define MC_STAGE_CLASS_LIST(X)                                                                     \
    X(MovieClip)                                                                                   \
    X(TextField)                                                                                   \
    X(TextFormat)                                                                                  \
    X(Stage)                                                                                       \
    X(Key)                                                                                         \
    X(Mouse)                                                                                       \
    X(Selection)                                                                                   \
    X(System)                                                                                      \
    X(Color)                                                                                       \
    X(Sound)                                                                                       \
    X(Security)                                                                                    \
    X(TextSnapshot)                                                                                \
    X(LoadVars)                                                                                    \
    X(Transform)                                                                                   \
    X(BitmapAttachment)                                                                            \
    X(MovieClipLoader)                                                                             \
    X(Video)                                                                                       \
    X(SharedObject)                                                                                \
    X(Microphone)                                                                                  \
    X(LocalConnection)                                                                             \
    X(XMLSocket)                                                                                   \
    X(Camera)                                                                                      \
    X(NetStream)                                                                                   \
    X(PrintJob)                                                                                    \
    X(Accessibility)
