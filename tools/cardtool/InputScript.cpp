#include "InputScript.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace {

// Events a file may hold; past this it is refused rather than kept in memory.
constexpr qsizetype kMaxEvents = 1'000'000;
// Wheel turns and positions beyond these are clamped: nobody turns a wheel further.
constexpr double kMaxWheel = 1000.0;
constexpr double kMaxPosition = 1.0e6;

double clamped(double v, double limit) {
    return std::isfinite(v) ? std::clamp(v, -limit, limit) : 0.0;
}

bool readPosition(const QJsonObject& o, InputEvent& e) {
    const QJsonArray pos = o.value("pos").toArray();
    if (pos.size() != 2 || !pos[0].isDouble() || !pos[1].isDouble()) {
        return false;
    }
    e.x = clamped(pos[0].toDouble(), kMaxPosition);
    e.y = clamped(pos[1].toDouble(), kMaxPosition);
    return true;
}

std::optional<mc::KeyStroke> readKey(const QJsonValue& key) {
    if (key.isString()) {
        return mc::keyOfName(key.toString().toStdString());
    }
    const QJsonObject o = key.toObject();
    if (o.contains("Numpad")) {
        const auto codes = o.value("Numpad").toString().toUcs4();
        return codes.size() == 1 ? mc::keyOfNumPad(codes[0]) : std::nullopt;
    }
    const QString c = o.value("Char").toString();
    const auto codes = c.toUcs4();
    if (codes.size() != 1) {
        return std::nullopt;
    }
    if (auto k = mc::keyOfCharacter(codes[0])) {
        return k;
    }
    // A character no key of the keyboard types directly still types itself.
    return mc::KeyStroke{0, static_cast<std::uint16_t>(codes[0] > 0xFFFF ? 0 : codes[0])};
}

// An editing command by its name: Move or Select, then Left or Right, then nothing (a
// character), Line or Document; or SelectAll, Backspace, Delete, Enter.
std::optional<InputEvent> readTextControl(const QString& code, InputEvent& e) {
    using Command = mc::StageInput::TextCommand;
    e.kind = InputEvent::Kind::TextControl;
    if (code == "SelectAll") {
        e.command = Command::SelectAll;
        return e;
    }
    if (code == "Backspace" || code == "Delete" || code == "Enter") {
        e.command = code == "Backspace" ? Command::Backspace
                    : code == "Delete"  ? Command::Delete
                                        : Command::Enter;
        return e;
    }
    QString rest = code;
    if (rest.startsWith("Move")) {
        rest = rest.mid(4);
    } else if (rest.startsWith("Select")) {
        e.extend = true;
        rest = rest.mid(6);
    } else {
        return std::nullopt;
    }
    const bool left = rest.startsWith("Left");
    if (!left && !rest.startsWith("Right")) {
        return std::nullopt;
    }
    rest = rest.mid(left ? 4 : 5);
    e.command = Command::Move;
    if (rest.isEmpty()) {
        e.move = left ? mc::CaretMove::Back : mc::CaretMove::On;
    } else if (rest == "Line") {
        e.move = left ? mc::CaretMove::LineStart : mc::CaretMove::LineEnd;
    } else if (rest == "Document") {
        e.move = left ? mc::CaretMove::TextStart : mc::CaretMove::TextEnd;
    } else {
        return std::nullopt; // words are not told apart
    }
    return e;
}

std::optional<InputEvent> readEvent(const QJsonObject& o, const QString& type) {
    InputEvent e;
    if (type == "MouseMove" || type == "MouseDown" || type == "MouseUp") {
        e.kind = type == "MouseMove"   ? InputEvent::Kind::MouseMove
                 : type == "MouseDown" ? InputEvent::Kind::MouseDown
                                       : InputEvent::Kind::MouseUp;
        if (!readPosition(o, e)) {
            return std::nullopt;
        }
        const QString btn = o.value("btn").toString("Left");
        if (btn == "Left") {
            e.button = InputEvent::Button::Left;
        } else if (btn == "Middle") {
            e.button = InputEvent::Button::Middle;
        } else if (btn == "Right") {
            e.button = InputEvent::Button::Right;
        } else {
            return std::nullopt;
        }
        return e;
    }
    if (type == "MouseWheel") {
        e.kind = InputEvent::Kind::Wheel;
        const QJsonValue lines = o.value("lines");
        const QJsonValue pixels = o.value("pixels");
        // A line of a wheel is about forty pixels of a touchpad's scroll.
        const double turn = lines.isDouble()    ? lines.toDouble()
                            : pixels.isDouble() ? pixels.toDouble() / 40.0
                                                : std::nan("");
        if (!std::isfinite(turn)) {
            return std::nullopt;
        }
        e.wheel = static_cast<int>(std::lround(clamped(turn, kMaxWheel)));
        return e;
    }
    if (type == "TextInput") {
        const QString c = o.value("codepoint").toString();
        if (c.toUcs4().size() != 1) {
            return std::nullopt;
        }
        e.kind = InputEvent::Kind::Text;
        e.text = c.toStdString();
        return e;
    }
    if (type == "TextControl") {
        return readTextControl(o.value("code").toString(), e);
    }
    if (type == "KeyDown" || type == "KeyUp") {
        e.kind = type == "KeyDown" ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp;
        const auto key = readKey(o.value("key"));
        if (!key) {
            return std::nullopt;
        }
        e.key = *key;
        return e;
    }
    return std::nullopt;
}

} // namespace

std::optional<InputScript> readInputScript(std::string_view json, std::string& error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = "not JSON: " + parse.errorString().toStdString() + " at byte " +
                std::to_string(parse.offset);
        return std::nullopt;
    }
    if (!doc.isArray()) {
        error = "not a JSON array of events";
        return std::nullopt;
    }
    const QJsonArray events = doc.array();
    if (events.size() > kMaxEvents) {
        error = "more than " + std::to_string(kMaxEvents) + " events";
        return std::nullopt;
    }
    InputScript script;
    std::vector<InputEvent> pending;
    for (qsizetype i = 0; i < events.size(); ++i) {
        const QJsonObject o = events[i].toObject();
        const QString type = o.value("type").toString();
        if (type == "Wait") {
            script.frames.push_back(std::move(pending));
            pending.clear();
            continue;
        }
        if (auto e = readEvent(o, type)) {
            pending.push_back(*e);
        } else {
            script.skipped.push_back("event " + std::to_string(i) + " (" + type.toStdString() +
                                     ") left out: not understood");
        }
    }
    if (!pending.empty()) {
        script.frames.push_back(std::move(pending));
    }
    return script;
}
