// The selection every TextField keeps, focused or not: selectionBeginIndex and
// selectionEndIndex (begin <= end), caretIndex at the end it was drawn to, setSelection and
// replaceSelectedText. Indices count UTF-16 units and stay within the text.
#include "avm2/TextFieldSelection.h"
#include "TextDocument.h"
#include "avm2/DisplayHost.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/StageFocus.h"
#include "avm2/StyleSheets.h"
#include "unicode/Utf16Text.h"

#include <algorithm>
#include <cmath>

namespace avm2 {

namespace {

constexpr char kSelection[] = "textField.selection";

struct Selection {
    std::size_t begin = 0;
    std::size_t end = 0;
    std::size_t caret = 0;
};

NodeId nodeOf(const Value& self) {
    return self.isObject() ? self.asObject()->displayNode : 0;
}

std::size_t textLength(Machine& m, const Value& self) {
    DisplayHost* host = m.host().display();
    const mc::TextDocument* doc = host != nullptr ? host->textDocument(nodeOf(self)) : nullptr;
    return doc != nullptr ? doc->size() : 0;
}

// Kept as "begin,end,caret" beside the object's other built-in values.
Selection storedSelection(const Value& self) {
    Selection s;
    if (!self.isObject()) {
        return s;
    }
    for (const auto& [k, v] : self.asObject()->entries) {
        if (k.isString() && k.asString() == kSelection && v.isObject()) {
            const auto& e = v.asObject()->elements;
            if (e.size() == 3) {
                s.begin = static_cast<std::size_t>(e[0].asNumber());
                s.end = static_cast<std::size_t>(e[1].asNumber());
                s.caret = static_cast<std::size_t>(e[2].asNumber());
            }
        }
    }
    return s;
}

void storeSelection(Machine& m, const Value& self, const Selection& s) {
    if (!self.isObject()) {
        return;
    }
    const auto whole = [](std::size_t n) { return Value::number(static_cast<double>(n)); };
    const Value held = Value::object(m.newArray({whole(s.begin), whole(s.end), whole(s.caret)}));
    auto& entries = self.asObject()->entries;
    for (auto& [k, v] : entries) {
        if (k.isString() && k.asString() == kSelection) {
            v = held;
            return;
        }
    }
    entries.emplace_back(Value::string(kSelection), held);
}

// The selection as it stands against the text now: text taken away leaves it at the end.
Selection currentSelection(Machine& m, const Value& self) {
    Selection s = storedSelection(self);
    const std::size_t length = textLength(m, self);
    s.begin = std::min(s.begin, length);
    s.end = std::min(s.end, length);
    s.caret = std::min(s.caret, length);
    return s;
}

// What the painter shows of `self`'s selection: all of it while the field has the focus.
void showSelection(Machine& m, const Value& self, bool focused) {
    DisplayHost* host = m.host().display();
    if (host == nullptr || !self.isObject() || nodeOf(self) == 0) {
        return;
    }
    const Selection s = focused ? currentSelection(m, self) : Selection{};
    host->showTextSelection(nodeOf(self), s.begin, s.end);
}

bool hasFocus(Machine& m, const Value& self) {
    return self.isObject() && focusedObject(m) == self.asObject();
}

// An index a script gives, within [0, length]: NaN and negatives are 0.
std::size_t clampedIndex(Machine& m, const Value& v, std::size_t length) {
    const double n = m.toNumber(v);
    if (!(n > 0)) {
        return 0;
    }
    return n >= static_cast<double>(length) ? length : static_cast<std::size_t>(n);
}

enum class Part : std::uint8_t { Begin, End, Caret };

template <Part P> Value selectionGet(Machine& m, const Value& self, Args&) {
    const Selection s = currentSelection(m, self);
    const std::size_t v = P == Part::Begin ? s.begin : P == Part::End ? s.end : s.caret;
    return Value::integer(static_cast<std::int32_t>(std::min<std::size_t>(v, INT32_MAX)));
}

// setSelection(begin, end): the two ends in order; the caret stands at the one given
// second, where the selection was drawn to.
Value setSelection(Machine& m, const Value& self, Args& a) {
    const std::size_t length = textLength(m, self);
    const std::size_t from = clampedIndex(m, arg(a, 0), length);
    const std::size_t to = clampedIndex(m, arg(a, 1), length);
    storeSelection(m, self, {std::min(from, to), std::max(from, to), to});
    showSelection(m, self, hasFocus(m, self));
    return Value();
}

// replaceSelectedText(text): the selection gives way to the text, in the field's format for
// new text.
Value replaceSelectedText(Machine& m, const Value& self, Args& a) {
    if (fieldStyleSheet(self).isObject()) {
        m.throwError("Error", 2009,
                     "This method cannot be used on a text field with a style sheet.");
    }
    const Value given = arg(a, 0);
    if (given.isNullish()) {
        m.throwError("TypeError", 2007, "Parameter value must be non-null.");
    }
    std::u16string text = unicode::toUtf16(m.toString(given));
    std::replace(text.begin(), text.end(), u'\n', u'\r');
    const Selection s = currentSelection(m, self);
    DisplayHost* host = m.host().display();
    const NodeId node = nodeOf(self);
    mc::TextDocument* doc = host != nullptr ? host->textDocument(node) : nullptr;
    const mc::TextFormat* format = host != nullptr ? host->textNewFormat(node) : nullptr;
    if (doc == nullptr || format == nullptr) {
        return Value();
    }
    doc->replace(s.begin, s.end, text, *format);
    host->textEdited(node);
    // The caret follows what was put in where a person would see it: in the focused field.
    // Another field keeps the indices it had.
    if (hasFocus(m, self)) {
        const std::size_t caret = s.begin + text.size();
        storeSelection(m, self, {caret, caret, caret});
        showSelection(m, self, true);
    }
    return Value();
}

} // namespace

void showFieldSelection(Machine& m, Object* field, bool focused) {
    if (field != nullptr) {
        showSelection(m, Value::object(field), focused);
    }
}

FieldSelection fieldSelection(Machine& m, Object* field) {
    const Selection s = currentSelection(m, Value::object(field));
    return {s.begin, s.end, s.caret};
}

void setFieldSelection(Machine& m, Object* field, const FieldSelection& s) {
    const Value self = Value::object(field);
    storeSelection(m, self, {s.begin, s.end, s.caret});
    showSelection(m, self, hasFocus(m, self));
}

void installTextFieldSelection(Machine& m) {
    Class* field = m.findClass("flash.text::TextField");
    if (field == nullptr) {
        return;
    }
    m.defineGetter(field, "selectionBeginIndex", selectionGet<Part::Begin>);
    m.defineGetter(field, "selectionEndIndex", selectionGet<Part::End>);
    m.defineGetter(field, "caretIndex", selectionGet<Part::Caret>);
    m.defineMethod(field, "setSelection", setSelection);
    m.defineMethod(field, "replaceSelectedText", replaceSelectedText);
}

} // namespace avm2
