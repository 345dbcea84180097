#include "CommandHelp.h"

namespace cardtool {
namespace {

constexpr std::string_view TraceHelp = R"(usage: cardtool trace MOVIE [--frames N] [--input FILE]

Plays N frames of MOVIE (default 1) without a window and prints every trace() of its
scripts, one line each, as it happens.

--input FILE gives the person's input: a JSON array of events, delivered in order. Each
event is an object with a "type":
  {"type": "MouseMove", "pos": [X, Y]}
  {"type": "MouseDown", "pos": [X, Y], "btn": "Left"}    btn: Left (default), Middle, Right
  {"type": "MouseUp",   "pos": [X, Y], "btn": "Left"}
  {"type": "MouseWheel", "lines": L}                     or "pixels": P (40 pixels a line)
  {"type": "KeyDown", "key": "Enter"}                    a named key, or {"Char": "a"}
  {"type": "KeyUp",   "key": {"Char": "a"}}
  {"type": "TextInput", "codepoint": "é"}               text for the focused field, no key
  {"type": "TextControl", "code": "Backspace"}           or Delete, Enter, SelectAll, and
                                   Move or Select + Left or Right (+ Line or Document)
  {"type": "Wait"}                                       the following events come a frame later
X and Y are stage pixels from the stage's top-left corner. Named keys: Enter, Space,
Backspace, Tab, Escape, Delete, Insert, Home, End, PageUp, PageDown, ArrowLeft, ArrowUp,
ArrowRight, ArrowDown, LeftShift, RightShift, LeftControl, RightControl, LeftAlt, RightAlt,
CapsLock, NumLock, Pause, F1 to F12. Events before the first Wait arrive after the first
frame is shown; only the left button reaches the movie. A key that types a character types
it once: the TextInput of the same character after it is not typed again. An event that is not understood is
left out with a line on standard error; the rest still play.

Example, a click at (100, 50) in the second frame:
  [{"type": "Wait"}, {"type": "MouseDown", "pos": [100, 50]},
   {"type": "MouseUp", "pos": [100, 50]}]
)";

constexpr std::string_view ExtractHelp = R"(usage: cardtool extract CARD [--out FILE] [--yes]

Copies the movie out of CARD and prints the path written. Without --out the movie goes
beside the card as NAME.swf (the card's name without its extension). An existing file is
replaced only with --yes.
)";

constexpr std::string_view MakeHelp =
    R"(usage: cardtool make MOVIE CARD [--blessing TEXT | --blessing-file FILE] [--password P]
                    [--template FILE] [--yes]

Makes a card as the builder does: the note is written into MOVIE (an uncompressed movie),
then CARD is the player template followed by the movie. An existing CARD is replaced only
with --yes; --yes also answers the question before a read-only MOVIE is rewritten.
)";

constexpr std::string_view LogHelp = R"(usage: cardtool log [--program Velmora|Quenfold]

Prints a program's error log, one record a line: its date, the function that failed, the
failure's number and description.
)";

} // namespace

std::string_view commandHelp(std::string_view command) {
    if (command == "trace") {
        return TraceHelp;
    }
    if (command == "extract") {
        return ExtractHelp;
    }
    if (command == "make") {
        return MakeHelp;
    }
    if (command == "log") {
        return LogHelp;
    }
    return {};
}

} // namespace cardtool
