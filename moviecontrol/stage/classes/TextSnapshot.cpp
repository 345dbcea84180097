// TextSnapshot, the static text of a clip as scripts search and select it, and
// MovieClip.getTextSnapshot, which builds one with whatever _global.TextSnapshot is now.
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DisplayObject.h"
#include "SnapshotText.h"
#include "StageScripts.h"
#include "avm1/Convert.h"
#include "avm1/Function.h"
#include "unicode/Utf16Text.h"

namespace mc {

using avm1::CallArgs;
using avm1::Value;

namespace {

// More characters than any clip's static text holds; a snapshot keeps no more.
constexpr std::size_t kMaxSnapshotCharacters = 1u << 20;

// The characters of a clip's static texts when the snapshot was taken, and which of them
// scripts selected.
struct SnapshotState : avm1::NativeState {
    std::vector<SnapshotCharacter> characters;
    std::vector<bool> selected;
    double selectColor = 0xFFFF00;
};

SnapshotState* stateOf(const CallArgs& c) {
    avm1::Object* self = c.thisObject();
    return self != nullptr ? dynamic_cast<SnapshotState*>(self->nativeState()) : nullptr;
}

// A character index from a script, as a 32-bit whole number (what is not a number is 0),
// no less than `least` and no more than `count`.
std::size_t indexArg(avm1::Machine& m, const Value& v, std::int64_t least, std::size_t count) {
    const std::int64_t n = std::max<std::int64_t>(avm1::toInt32(m.toNumber(v)), least);
    return static_cast<std::size_t>(std::min<std::int64_t>(n, static_cast<std::int64_t>(count)));
}

// The characters of [start, end) for which `take` holds, with a newline between two that
// lie on different lines when asked.
template <typename Take>
std::u16string textOf(const SnapshotState& s, std::size_t start, std::size_t end, bool lineEndings,
                      Take take) {
    std::u16string out;
    std::optional<std::size_t> lastLine;
    for (std::size_t i = start; i < end && i < s.characters.size(); ++i) {
        if (!take(i)) {
            continue;
        }
        const SnapshotCharacter& c = s.characters[i];
        if (lineEndings && lastLine && c.line != *lastLine) {
            out.push_back(u'\n');
        }
        lastLine = c.line;
        out.push_back(c.code);
    }
    return out;
}

char16_t folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

double pixels(double twips) {
    return twips / 20.0;
}

// What getTextRunInfo tells of one character: its place in the snapshot, whether it is
// selected, its font, colour and size, the matrix it is drawn with (its translation the pen
// position on the baseline) and the corners of its box, bottom left round to top left, all
// in the clip's pixels.
avm1::Object* runInfo(avm1::Machine& m, const SnapshotState& s, std::size_t i) {
    const SnapshotCharacter& c = s.characters[i];
    avm1::Object* o = m.newObject();
    const Transform& t = c.matrix;
    m.set(o, "indexInRun", Value(static_cast<double>(i)));
    m.set(o, "selected", Value(static_cast<bool>(s.selected[i])));
    m.set(o, "font", Value(m.str(c.font != nullptr ? c.font->name : std::string())));
    m.set(o, "color", Value(static_cast<double>(c.argb)));
    m.set(o, "height", Value(pixels(c.height)));
    m.set(o, "matrix_a", Value(t.a));
    m.set(o, "matrix_b", Value(t.b));
    m.set(o, "matrix_c", Value(t.c));
    m.set(o, "matrix_d", Value(t.d));
    m.set(o, "matrix_tx", Value(pixels(t.mapX(c.x, c.y))));
    m.set(o, "matrix_ty", Value(pixels(t.mapY(c.x, c.y))));
    const double top = c.y - c.ascent.value_or(0);
    const double bottom = c.y + c.descent.value_or(0);
    const double right = c.x + c.advance;
    const double corners[4][2] = {{c.x, bottom}, {right, bottom}, {right, top}, {c.x, top}};
    for (int k = 0; k < 4; ++k) {
        const std::string name = "corner" + std::to_string(k);
        m.set(o, name + "x", Value(pixels(t.mapX(corners[k][0], corners[k][1]))));
        m.set(o, name + "y", Value(pixels(t.mapY(corners[k][0], corners[k][1]))));
    }
    return o;
}

} // namespace

// A snapshot made without a clip holds nothing, and its methods answer undefined. Methods
// given too few or too many arguments answer undefined too.
void installTextSnapshot(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    StageScripts* s = &stage;
    avm1::FunctionObject* ctor = m.newClass([s](CallArgs& c) {
        avm1::Object* self = c.thisObject();
        const DisplayObject* clip = c.count() == 1 ? s->displayOf(c.arg(0)) : nullptr;
        if (self != nullptr && clip != nullptr && clip->clip) {
            auto state = std::make_unique<SnapshotState>();
            state->characters = snapshotCharacters(s->movie(), *clip, kMaxSnapshotCharacters);
            state->selected.assign(state->characters.size(), false);
            self->setNativeState(std::move(state));
        }
        return Value();
    });
    avm1::Object* proto = m.get(ctor, "prototype").asObject();
    // Scripts enumerate these methods; the most recently defined is listed first.
    m.defineMethod(
        proto, "getCount",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            return t != nullptr && c.count() == 0 ? Value(static_cast<double>(t->characters.size()))
                                                  : Value();
        },
        0);
    m.defineMethod(
        proto, "setSelected",
        [](CallArgs& c) {
            SnapshotState* t = stateOf(c);
            if (t != nullptr && c.count() >= 2 && c.count() <= 3) {
                const std::size_t n = t->characters.size();
                const std::size_t start = indexArg(c.machine, c.arg(0), 0, n);
                const std::size_t end =
                    indexArg(c.machine, c.arg(1), static_cast<std::int64_t>(start), n);
                const bool select = c.count() < 3 || c.machine.toBoolean(c.arg(2));
                std::fill(t->selected.begin() + static_cast<std::ptrdiff_t>(start),
                          t->selected.begin() + static_cast<std::ptrdiff_t>(end), select);
            }
            return Value();
        },
        0);
    m.defineMethod(
        proto, "getSelected",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() != 2) {
                return Value();
            }
            const std::size_t n = t->characters.size();
            const std::size_t start = indexArg(c.machine, c.arg(0), 0, n);
            const std::size_t end =
                indexArg(c.machine, c.arg(1), static_cast<std::int64_t>(start) + 1, n);
            return Value(std::any_of(t->selected.begin() + static_cast<std::ptrdiff_t>(start),
                                     t->selected.begin() + static_cast<std::ptrdiff_t>(end),
                                     [](bool b) { return b; }));
        },
        0);
    m.defineMethod(
        proto, "getText",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() < 2 || c.count() > 3) {
                return Value();
            }
            // The start is kept on a character, the end at least one past it.
            const std::size_t n = t->characters.size();
            const std::size_t start = indexArg(c.machine, c.arg(0), 0, n > 0 ? n - 1 : 0);
            const std::size_t end =
                indexArg(c.machine, c.arg(1), static_cast<std::int64_t>(start) + 1, n);
            const bool lines = c.machine.toBoolean(c.arg(2));
            return Value(c.machine.str(unicode::fromUtf16(
                textOf(*t, start, end, lines, [](std::size_t) { return true; }))));
        },
        0);
    m.defineMethod(
        proto, "getSelectedText",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() > 1) {
                return Value();
            }
            const bool lines = c.machine.toBoolean(c.arg(0));
            return Value(c.machine.str(
                unicode::fromUtf16(textOf(*t, 0, t->characters.size(), lines,
                                          [t](std::size_t i) { return t->selected[i]; }))));
        },
        0);
    // The character at or near a point of the clip, in pixels: -1 when none is.
    m.defineMethod(
        proto, "hitTestTextNearPos",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr) {
                return Value();
            }
            const double x = c.machine.toNumber(c.arg(0)) * 20.0;
            const double y = c.machine.toNumber(c.arg(1)) * 20.0;
            const double reach = c.count() > 2 ? c.machine.toNumber(c.arg(2)) * 20.0 : 0.0;
            if (!std::isfinite(x) || !std::isfinite(y) || std::isnan(reach)) {
                return Value(-1.0);
            }
            const std::optional<std::size_t> at = characterNear(t->characters, x, y, reach);
            return Value(at ? static_cast<double>(*at) : -1.0);
        },
        0);
    // The first place from `start` the text occurs, by case unless the third argument is
    // true; -1 when it does not.
    m.defineMethod(
        proto, "findText",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() != 3) {
                return Value();
            }
            const std::int32_t from = avm1::toInt32(c.machine.toNumber(c.arg(0)));
            const std::u16string wanted = unicode::toUtf16(c.machine.toString(c.arg(1)).str());
            const bool exact = c.machine.toBoolean(c.arg(2));
            const std::vector<SnapshotCharacter>& text = t->characters;
            if (from < 0 || wanted.empty() || static_cast<std::size_t>(from) > text.size()) {
                return Value(-1.0);
            }
            const auto same = [exact](const SnapshotCharacter& a, char16_t b) {
                return exact ? a.code == b : folded(a.code) == folded(b);
            };
            const auto at =
                std::search(text.begin() + from, text.end(), wanted.begin(), wanted.end(), same);
            return at == text.end() ? Value(-1.0) : Value(static_cast<double>(at - text.begin()));
        },
        0);
    m.defineMethod(
        proto, "setSelectColor",
        [](CallArgs& c) {
            if (SnapshotState* t = stateOf(c); t != nullptr && c.count() > 0) {
                t->selectColor = c.machine.toNumber(c.arg(0));
            }
            return Value();
        },
        0);
    // One object for each character from the first index to the last, both included.
    m.defineMethod(
        proto, "getTextRunInfo",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() != 2) {
                return Value();
            }
            const std::size_t n = t->characters.size();
            const std::size_t start = indexArg(c.machine, c.arg(0), 0, n);
            const std::size_t last =
                indexArg(c.machine, c.arg(1), static_cast<std::int64_t>(start) + 1, n);
            std::vector<Value> runs;
            for (std::size_t i = start; i <= last && i < n; ++i) {
                runs.emplace_back(runInfo(c.machine, *t, i));
            }
            return Value(c.machine.newArray(runs));
        },
        0);
    m.define(m.global(), "TextSnapshot", Value(static_cast<avm1::Object*>(ctor)));

    if (avm1::Object* clipProto = m.prototypeOf("MovieClip")) {
        m.defineMethod(
            clipProto, "getTextSnapshot",
            [](CallArgs& c) {
                avm1::Machine& m = c.machine;
                const Value self = c.thisValue;
                avm1::Object* made = m.construct(m.get(m.global(), "TextSnapshot"),
                                                 std::span<const Value>(&self, 1));
                return made != nullptr ? Value(made) : Value();
            },
            // Flash Player 7 brought it, for movies of version 6 on.
            avm1::attr::DontEnum | avm1::attr::Only6);
    }
}

} // namespace mc
