// A person's typing into the focused input field of an ActionScript 3 movie: each character
// the field takes (an input field, not full, allowed by its restrict) is announced by a
// cancelable textInput carrying it, then goes in at the selection and the field hears change;
// Backspace and Delete erase and are heard as change alone.
#include "As3Scripts.h"
#include "TextEditing.h"
#include "TextFieldState.h"
#include "TextRestrict.h"

#include "avm2/EventState.h"
#include "avm2/StageFocus.h"
#include "avm2/TextFieldSelection.h"
#include "unicode/Utf16Text.h"

namespace mc {

namespace {

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Scripts count UTF-16 units, the caret's rules count characters: a pair is one of them.
std::size_t charactersBefore(std::u16string_view text, std::size_t units) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < units && i < text.size(); ++i) {
        n += i > 0 && isLowSurrogate(text[i]) && isHighSurrogate(text[i - 1]) ? 0 : 1;
    }
    return n;
}

std::size_t unitsBefore(std::u16string_view text, std::size_t characters) {
    std::size_t i = 0;
    for (std::size_t n = 0; n < characters && i < text.size(); ++n) {
        i += i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]) ? 2 : 1;
    }
    return i;
}

} // namespace

DisplayObject* As3Scripts::focusedInputField(avm2::Object*& field) {
    field = avm2::focusedObject(*vm_);
    DisplayObject* o =
        field != nullptr && field->displayNode != 0 ? tree_->find(field->displayNode) : nullptr;
    // A field of an older movie this one hosts takes its typing through that movie's input.
    return o != nullptr && o->text && !o->text->field.readOnly && !o->removed &&
                   hostedFor(*o) == nullptr
               ? o
               : nullptr;
}

void As3Scripts::sendFieldChange(avm2::Object* field) {
    avm2::dispatchEvent(*vm_, field, avm2::newEvent(*vm_, "change", true, false));
}

bool As3Scripts::typeCharacter(std::u16string_view character) {
    avm2::Object* field = nullptr;
    DisplayObject* o = focusedInputField(field);
    if (o == nullptr) {
        return false;
    }
    const TextFieldState& t = *o->text;
    std::u16string typed(character);
    if (typed.size() == 1 && (typed[0] == u'\r' || typed[0] == u'\n')) {
        // A new line goes only into a field of several lines.
        if (!t.field.multiline) {
            return false;
        }
        typed = u"\r";
    } else if (typed.size() == 1 && (typed[0] < 0x20 || typed[0] == 0x7F)) {
        return false;
    }
    const avm2::NodeId node = field->displayNode;
    const TextDocument* doc = tree_->textDocument(node);
    if (doc == nullptr) {
        return false;
    }
    const avm2::FieldSelection s = avm2::fieldSelection(*vm_, field);
    // A full field takes nothing, unless a selection gives way.
    if (const auto most = t.field.maxLength;
        most && doc->size() - (s.end - s.begin) + typed.size() > *most) {
        return false;
    }
    // A letter the restriction refuses goes in as its other case when that is allowed.
    if (t.restrict) {
        const TextRestrict restrict(unicode::toUtf16(*t.restrict));
        const std::optional<char16_t> admitted =
            typed.size() == 1 ? restrict.admit(typed[0]) : std::nullopt;
        if (!admitted) {
            return false;
        }
        typed[0] = *admitted;
    }
    avm2::Object* announce =
        avm2::newEvent(*vm_, "textInput", true, true, "flash.events::TextEvent");
    vm_->setProperty(avm2::Value::object(announce), avm2::Name::publicName("text"),
                     avm2::Value::string(unicode::fromUtf16(typed)));
    if (!avm2::dispatchEvent(*vm_, field, announce)) {
        return false; // a listener kept the text out
    }
    // Listeners may have changed the field, its focus or its selection.
    TextDocument* now = tree_->textDocument(node);
    const TextFormat* format = tree_->textNewFormat(node);
    if (now == nullptr || format == nullptr) {
        return false;
    }
    const avm2::FieldSelection at = avm2::fieldSelection(*vm_, field);
    now->replace(at.begin, at.end, typed, *format);
    tree_->textEdited(node);
    const std::size_t caret = at.begin + typed.size();
    avm2::setFieldSelection(*vm_, field, {caret, caret, caret});
    sendFieldChange(field);
    return true;
}

bool As3Scripts::eraseInField(bool before) {
    avm2::Object* field = nullptr;
    if (focusedInputField(field) == nullptr) {
        return false;
    }
    const avm2::NodeId node = field->displayNode;
    TextDocument* doc = tree_->textDocument(node);
    const TextFormat* format = tree_->textNewFormat(node);
    if (doc == nullptr || format == nullptr) {
        return false;
    }
    avm2::FieldSelection s = avm2::fieldSelection(*vm_, field);
    const std::u16string& text = doc->text();
    if (s.begin == s.end) {
        // A character on the side the key erases, both halves of a pair together.
        if (before && s.begin > 0) {
            s.begin -= s.begin >= 2 && isLowSurrogate(text[s.begin - 1]) &&
                               isHighSurrogate(text[s.begin - 2])
                           ? 2
                           : 1;
        } else if (!before && s.end < text.size()) {
            s.end += s.end + 1 < text.size() && isHighSurrogate(text[s.end]) &&
                             isLowSurrogate(text[s.end + 1])
                         ? 2
                         : 1;
        } else {
            return false;
        }
    }
    doc->replace(s.begin, s.end, u"", *format);
    tree_->textEdited(node);
    avm2::setFieldSelection(*vm_, field, {s.begin, s.begin, s.begin});
    sendFieldChange(field);
    return true;
}

void As3Scripts::typeText(std::string_view utf8) {
    if (!vm_ || !rootMade_) {
        return;
    }
    vm_->beginFrame();
    const std::u16string text = unicode::toUtf16(utf8);
    try {
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t units =
                i + 1 < text.size() && isHighSurrogate(text[i]) && isLowSurrogate(text[i + 1]) ? 2
                                                                                               : 1;
            typeCharacter(std::u16string_view(text).substr(i, units));
            i += units;
        }
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: this event's scripts stop.
    }
}

void As3Scripts::moveInField(StageInput::TextCommand command, CaretMove move, bool extend) {
    // Any focused field moves its caret and selects, input or not.
    avm2::Object* field = avm2::focusedObject(*vm_);
    const avm2::NodeId node = field != nullptr ? field->displayNode : 0;
    const DisplayObject* o = node != 0 ? tree_->find(node) : nullptr;
    const TextDocument* doc =
        o != nullptr && hostedFor(*o) == nullptr ? tree_->textDocument(node) : nullptr;
    if (doc == nullptr) {
        return;
    }
    const std::u16string_view text = doc->text();
    if (command == StageInput::TextCommand::SelectAll) {
        avm2::setFieldSelection(*vm_, field, {0, text.size(), text.size()});
        return;
    }
    const avm2::FieldSelection s = avm2::fieldSelection(*vm_, field);
    InputState::Selection at{charactersBefore(text, s.begin), charactersBefore(text, s.end),
                             charactersBefore(text, s.caret)};
    moveCaret(unicode::fromUtf16(text), at, move, extend);
    avm2::setFieldSelection(
        *vm_, field,
        {unitsBefore(text, at.begin), unitsBefore(text, at.end), unitsBefore(text, at.caret)});
}

void As3Scripts::editText(StageInput::TextCommand command, CaretMove move, bool extend) {
    if (!vm_ || !rootMade_) {
        return;
    }
    vm_->beginFrame();
    using Command = StageInput::TextCommand;
    try {
        if (command == Command::Backspace || command == Command::Delete) {
            eraseInField(command == Command::Backspace);
        } else if (command == Command::Enter) {
            typeCharacter(u"\r");
        } else {
            moveInField(command, move, extend);
        }
    } catch (const avm2::ScriptThrow& t) {
        vm_->printUncaught(t.value);
    } catch (const avm2::ScriptAbort&) {
        // The budget ran out: this event's scripts stop.
    }
}

} // namespace mc
