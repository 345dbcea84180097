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
#include "StageScripts.h"
#include "avm1/Function.h"
#include "swf/Movie.h"
#include "unicode/Utf16Text.h"

namespace mc {

using avm1::CallArgs;
using avm1::Value;

namespace {

// More characters than any clip's static text holds; a snapshot keeps no more.
constexpr std::size_t kMaxSnapshotCharacters = 1u << 20;

// The characters of a clip's static texts when the snapshot was taken, in depth order, with
// the places a new line starts and which characters scripts selected.
struct SnapshotState : avm1::NativeState {
    std::u16string text;
    std::vector<std::size_t> lineStarts;
    std::vector<bool> selected;
    double selectColor = 0xFFFF00;
};

void collectStaticText(const swf::Movie& movie, const DisplayObject& clip, SnapshotState& out) {
    if (!clip.clip) {
        return;
    }
    for (const auto& [depth, child] : clip.clip->displayList) {
        // Only the first movie's characters are found by its dictionary.
        if (!child || child->kind != CharacterKind::StaticText || child->library != 0) {
            continue;
        }
        const auto* text = movie.findAs<swf::StaticText>(child->characterId);
        if (text == nullptr) {
            continue;
        }
        const swf::Font* font = nullptr;
        std::optional<std::int16_t> lineY;
        bool first = true;
        for (const swf::TextRecord& r : text->records) {
            if (r.fontId) {
                font = movie.findAs<swf::Font>(*r.fontId);
            }
            // Each text starts a line; within it, a record moved down or up starts one too.
            const bool newLine = first || (r.yOffset && lineY && *r.yOffset != *lineY);
            if (newLine && !out.text.empty() &&
                (out.lineStarts.empty() || out.lineStarts.back() != out.text.size())) {
                out.lineStarts.push_back(out.text.size());
            }
            first = false;
            if (r.yOffset) {
                lineY = r.yOffset;
            }
            for (const swf::GlyphEntry& g : r.glyphs) {
                if (out.text.size() >= kMaxSnapshotCharacters) {
                    return;
                }
                const bool known = font != nullptr && g.index < font->glyphs.size();
                out.text.push_back(known ? static_cast<char16_t>(font->glyphs[g.index].code)
                                         : u'?');
            }
        }
    }
}

SnapshotState* stateOf(const CallArgs& c) {
    avm1::Object* self = c.thisObject();
    return self != nullptr ? dynamic_cast<SnapshotState*>(self->nativeState()) : nullptr;
}

// A character index from a script: whole, within [0, count].
std::size_t indexArg(avm1::Machine& m, const Value& v, std::size_t count) {
    const double n = m.toNumber(v);
    if (std::isnan(n) || n <= 0) {
        return 0;
    }
    return n >= static_cast<double>(count) ? count : static_cast<std::size_t>(n);
}

// [start, end) as getText and the selection methods read it: an end at or before the start
// still takes the character at the start.
std::pair<std::size_t, std::size_t> rangeArgs(avm1::Machine& m, const CallArgs& c,
                                              std::size_t count) {
    const std::size_t start = indexArg(m, c.arg(0), count);
    const std::size_t end = std::max(indexArg(m, c.arg(1), count), std::min(start + 1, count));
    return {start, end};
}

// The characters of [start, end) for which `take` holds, with a newline between two that
// lie on different lines when asked.
template <typename Take>
std::u16string textOf(const SnapshotState& s, std::size_t start, std::size_t end, bool lineEndings,
                      Take take) {
    std::u16string out;
    std::ptrdiff_t lastLine = -1;
    for (std::size_t i = start; i < end; ++i) {
        if (!take(i)) {
            continue;
        }
        const std::ptrdiff_t line =
            std::upper_bound(s.lineStarts.begin(), s.lineStarts.end(), i) - s.lineStarts.begin();
        if (lineEndings && lastLine >= 0 && line != lastLine) {
            out.push_back(u'\n');
        }
        lastLine = line;
        out.push_back(s.text[i]);
    }
    return out;
}

char16_t folded(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

} // namespace

void installTextSnapshot(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    StageScripts* s = &stage;
    avm1::FunctionObject* ctor = m.newClass([s](CallArgs& c) {
        avm1::Object* self = c.thisObject();
        const DisplayObject* clip = s->displayOf(c.arg(0));
        if (self != nullptr && clip != nullptr) {
            auto state = std::make_unique<SnapshotState>();
            collectStaticText(s->movie(), *clip, *state);
            state->selected.assign(state->text.size(), false);
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
            return Value(t != nullptr ? static_cast<double>(t->text.size()) : 0.0);
        },
        0);
    m.defineMethod(
        proto, "setSelected",
        [](CallArgs& c) {
            SnapshotState* t = stateOf(c);
            if (t != nullptr && c.count() >= 3) {
                const auto [start, end] = rangeArgs(c.machine, c, t->text.size());
                const bool select = c.machine.toBoolean(c.arg(2));
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
            if (t == nullptr || c.count() < 2) {
                return Value(false);
            }
            const auto [start, end] = rangeArgs(c.machine, c, t->text.size());
            return Value(std::any_of(t->selected.begin() + static_cast<std::ptrdiff_t>(start),
                                     t->selected.begin() + static_cast<std::ptrdiff_t>(end),
                                     [](bool b) { return b; }));
        },
        0);
    m.defineMethod(
        proto, "getText",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() < 2) {
                return Value(c.machine.str(""));
            }
            const auto [start, end] = rangeArgs(c.machine, c, t->text.size());
            const bool lines = c.machine.toBoolean(c.arg(2));
            return Value(c.machine.str(unicode::fromUtf16(
                textOf(*t, start, end, lines, [](std::size_t) { return true; }))));
        },
        0);
    m.defineMethod(
        proto, "getSelectedText",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr) {
                return Value(c.machine.str(""));
            }
            const bool lines = c.machine.toBoolean(c.arg(0));
            return Value(c.machine.str(unicode::fromUtf16(textOf(
                *t, 0, t->text.size(), lines, [t](std::size_t i) { return t->selected[i]; }))));
        },
        0);
    m.defineMethod(
        proto, "hitTestTextNearPos", [](CallArgs&) { return Value(-1.0); }, 0);
    m.defineMethod(
        proto, "findText",
        [](CallArgs& c) {
            const SnapshotState* t = stateOf(c);
            if (t == nullptr || c.count() < 3) {
                return Value(-1.0);
            }
            const std::size_t from = indexArg(c.machine, c.arg(0), t->text.size());
            const std::u16string wanted = unicode::toUtf16(c.machine.toString(c.arg(1)).str());
            const bool exact = c.machine.toBoolean(c.arg(2));
            const auto same = [exact](char16_t a, char16_t b) {
                return exact ? a == b : folded(a) == folded(b);
            };
            const auto at = std::search(t->text.begin() + static_cast<std::ptrdiff_t>(from),
                                        t->text.end(), wanted.begin(), wanted.end(), same);
            return at == t->text.end() || wanted.empty()
                       ? Value(-1.0)
                       : Value(static_cast<double>(at - t->text.begin()));
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
    m.defineMethod(
        proto, "getTextRunInfo", [](CallArgs& c) { return Value(c.machine.newArray()); }, 0);
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
            avm1::attr::DontEnum | avm1::attr::Only7);
    }
}

} // namespace mc
