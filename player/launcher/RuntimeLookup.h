#pragma once

// Where a card's launcher looks for the player runtime and for a way to tell the user that
// it is missing. Plain C calls only: the launcher links nothing but the C library.

#include <stddef.h>

namespace launcher {

// The libraries to try, in order. A library named by the development variable is the only
// one tried: a wrong name then fails loudly instead of quietly playing the installed one.
// Otherwise the installed library, then the bare library name, which the system looks up
// on its library path. Never the card's own folder: a card travels through folders where
// anyone may put a file of that name.
struct RuntimeCandidates {
    const char* paths[2];
    int count;
};
RuntimeCandidates runtimeCandidates(const char* variable, const char* installedPath,
                                    const char* libraryName);

// The program `name` in one of the absolute folders of `pathList` (a PATH value), as a full
// path in `out`. Empty and relative entries are skipped: a card started from a download
// folder must not start a program lying beside it. False when not found or `out` is short.
bool findOnPath(const char* name, const char* pathList, char* out, size_t outSize);

// A desktop message tool and its arguments for one error message.
struct MessageCommand {
    char program[4096];
    const char* argv[8];
    char plainText[1024]; // the text as xmessage is given it
};

// What xmessage can draw of `text`: its core fonts have no Chinese, and it never wraps. The
// lines of plain ASCII only, each wrapped at `width` columns between words; the whole text
// when no line is plain. Always ends with a zero byte inside `out`.
void plainWrappedText(const char* text, size_t width, char* out, size_t outSize);
// The first of zenity, kdialog, xmessage and notify-send found on `pathList`; false when
// none is there. `out` holds what its arguments point to.
bool messageCommand(const char* pathList, const char* title, const char* text, MessageCommand& out);

} // namespace launcher
