// The TextField members that ask the field's layout about its lines and characters: which
// line or character a point falls on, where each line starts in the text, how long it is,
// what it says and how it measures (TextLineMetrics), which line holds a character and where
// that character is drawn.
#include "TextDocument.h"
#include "avm2/DisplayHost.h"
#include "avm2/GeomValues.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"
#include "unicode/Utf16Text.h"

#include <cmath>
#include <cstdint>
#include <optional>

namespace avm2 {

namespace {

// Flash answers for points between one pixel inside the left border and the right gutter,
// and between the top and bottom gutters.
constexpr double kLeftReach = 1.0;
constexpr double kGutter = 2.0;

NodeId nodeOf(const Value& self) {
    return self.isObject() ? self.asObject()->displayNode : 0;
}

DisplayHost::TextLines linesOf(Machine& m, const Value& self) {
    DisplayHost* host = m.host().display();
    return host != nullptr && nodeOf(self) != 0 ? host->textLines(nodeOf(self))
                                                : DisplayHost::TextLines{};
}

// The line a script names, or none (negative or past the last line). The parameter is an int,
// so the number is cut to one first: NaN is line 0, 1.5 line 1.
std::optional<std::size_t> lineArg(Machine& m, const Args& a, const DisplayHost::TextLines& t) {
    const std::int32_t n = toInt32(m.toNumber(arg(a, 0)));
    if (n < 0 || static_cast<std::size_t>(n) >= t.lines.size()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(n);
}

std::size_t checkedLine(Machine& m, const Args& a, const DisplayHost::TextLines& t) {
    const auto line = lineArg(m, a, t);
    if (!line) {
        m.throwError("RangeError", 2006, "The supplied index is out of bounds.");
    }
    return *line;
}

Value integer(std::size_t n) {
    return Value::integer(static_cast<std::int32_t>(std::min<std::size_t>(n, INT32_MAX)));
}

// getLineIndexAtPoint(x, y): -1 outside the text area; else the line whose band (its
// height and the leading below it) holds y, counting from the first line shown; a point
// below every band is on the last line.
Value lineIndexAtPoint(Machine& m, const Value& self, Args& a) {
    const double x = m.toNumber(arg(a, 0));
    const double y = m.toNumber(arg(a, 1));
    const DisplayHost::TextLines t = linesOf(m, self);
    if (t.lines.empty() || !(x >= kLeftReach) || !(x < t.width - kGutter) || !(y >= kGutter) ||
        !(y <= t.height - kGutter)) {
        return Value::integer(-1);
    }
    const std::size_t first = std::min(t.scroll > 0 ? t.scroll - 1 : 0, t.lines.size() - 1);
    const double down = y - kGutter + t.lines[first].top;
    for (std::size_t i = first; i + 1 < t.lines.size(); ++i) {
        if (down < t.lines[i + 1].top) {
            return integer(i);
        }
    }
    return integer(t.lines.size() - 1);
}

template <bool Length> Value lineRange(Machine& m, const Value& self, Args& a) {
    const DisplayHost::TextLines t = linesOf(m, self);
    const DisplayHost::TextLine& line = t.lines[checkedLine(m, a, t)];
    return integer(Length ? line.end - line.begin : line.begin);
}

Value lineText(Machine& m, const Value& self, Args& a) {
    const DisplayHost::TextLines t = linesOf(m, self);
    const DisplayHost::TextLine& line = t.lines[checkedLine(m, a, t)];
    DisplayHost* host = m.host().display();
    const mc::TextDocument* doc = host != nullptr ? host->textDocument(nodeOf(self)) : nullptr;
    if (doc == nullptr || line.begin >= doc->size()) {
        return Value::string("");
    }
    const std::size_t end = std::min(line.end, doc->size());
    return Value::string(
        unicode::fromUtf16(std::u16string_view(doc->text()).substr(line.begin, end - line.begin)));
}

// getLineIndexOfChar(index): the line holding the character; -1 for no character. The index
// is an int, cut from the number given.
Value lineIndexOfChar(Machine& m, const Value& self, Args& a) {
    const std::int32_t n = toInt32(m.toNumber(arg(a, 0)));
    DisplayHost* host = m.host().display();
    const mc::TextDocument* doc = host != nullptr ? host->textDocument(nodeOf(self)) : nullptr;
    if (doc == nullptr || n < 0 || static_cast<std::size_t>(n) >= doc->size()) {
        return Value::integer(-1);
    }
    const auto index = static_cast<std::size_t>(n);
    const DisplayHost::TextLines t = linesOf(m, self);
    for (std::size_t i = 0; i < t.lines.size(); ++i) {
        if (index >= t.lines[i].begin && index < t.lines[i].end) {
            return integer(i);
        }
    }
    return Value::integer(-1);
}

constexpr const char* kMetricNames[] = {"x", "width", "height", "ascent", "descent", "leading"};

Value metricsInit(Machine& m, const Value& self, Args& a) {
    for (std::size_t i = 0; i < std::size(kMetricNames); ++i) {
        m.setProperty(self, Name::publicName(kMetricNames[i]),
                      Value::number(i < a.size() ? m.toNumber(a[i]) : 0.0));
    }
    return Value();
}

// getLineMetrics(line): where the line starts across (its alignment and the left gutter
// counted), how far its characters advance, and its height: ascent, descent and the leading
// below it.
Value lineMetrics(Machine& m, const Value& self, Args& a) {
    const DisplayHost::TextLines t = linesOf(m, self);
    const DisplayHost::TextLine& line = t.lines[checkedLine(m, a, t)];
    Class* cls = m.findClass("flash.text::TextLineMetrics");
    Args values{Value::number(line.x + kGutter),
                Value::number(line.width),
                Value::number(line.ascent + line.descent + line.leading),
                Value::number(line.ascent),
                Value::number(line.descent),
                Value::number(line.leading)};
    return m.construct(Value::object(cls->classObject), values);
}

// getCharBoundaries(index): the character's box in the field as scrolled, or null for a
// paragraph end, a character out of view above, or an index outside the text.
Value charBoundaries(Machine& m, const Value& self, Args& a) {
    const std::int32_t n = toInt32(m.toNumber(arg(a, 0)));
    DisplayHost* host = m.host().display();
    if (host == nullptr || nodeOf(self) == 0 || n < 0) {
        return Value::null();
    }
    const auto box = host->textCharacterBox(nodeOf(self), static_cast<std::size_t>(n));
    if (!box) {
        return Value::null();
    }
    return geom::makeRectangle(m, geom::Box{box->x, box->y, box->width, box->height});
}

// getCharIndexAtPoint(x, y): the character drawn under the point, -1 beside or between them.
Value charIndexAtPoint(Machine& m, const Value& self, Args& a) {
    const double x = m.toNumber(arg(a, 0));
    const double y = m.toNumber(arg(a, 1));
    DisplayHost* host = m.host().display();
    if (host == nullptr || nodeOf(self) == 0) {
        return Value::integer(-1);
    }
    const auto index = host->textCharacterAt(nodeOf(self), x, y);
    return index ? integer(*index) : Value::integer(-1);
}

} // namespace

void installTextFieldLines(Machine& m) {
    Class* metrics = m.defineClass("flash.text", "TextLineMetrics", m.objectClass, metricsInit);
    metrics->init.nativeParams = 6;
    metrics->sealed = true;
    for (const char* name : kMetricNames) {
        addPublicSlot(metrics, name, m.numberClass, Value::number(0));
    }
    Class* field = m.findClass("flash.text::TextField");
    if (field == nullptr) {
        return;
    }
    m.defineMethod(field, "getLineIndexAtPoint", lineIndexAtPoint);
    m.defineMethod(field, "getLineOffset", lineRange<false>);
    m.defineMethod(field, "getLineLength", lineRange<true>);
    m.defineMethod(field, "getLineText", lineText);
    m.defineMethod(field, "getLineIndexOfChar", lineIndexOfChar);
    m.defineMethod(field, "getLineMetrics", lineMetrics);
    m.defineMethod(field, "getCharBoundaries", charBoundaries);
    m.defineMethod(field, "getCharIndexAtPoint", charIndexAtPoint);
}

} // namespace avm2
