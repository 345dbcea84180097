// The System object: what this player says it is and can do (System.capabilities), how it
// reads text files (useCodepage) and keeps saved data (exactSettings), and the settings a
// person owns (the clipboard and the settings panel), which a card never changes.
#include <memory>
#include <span>
#include <string>

#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Function.h"
#include "avm1/Packages.h"

namespace mc {

namespace {

using avm1::CallArgs;
using avm1::Value;

struct Capability {
    const char* name;
    enum class Type { Text, Flag, Number } type;
    const char* text;
    double number;
    // Its key in serverString, or null when the string leaves it out.
    const char* key;
};

// In the order serverString lists them. Flags a desktop player without recording devices,
// printing or screen sharing answers false; the player plays streams and embedded video.
constexpr Capability kCapabilities[] = {
    {"hasAudio", Capability::Type::Flag, nullptr, 1, "A"},
    {"hasStreamingAudio", Capability::Type::Flag, nullptr, 1, "SA"},
    {"hasStreamingVideo", Capability::Type::Flag, nullptr, 1, "SV"},
    {"hasEmbeddedVideo", Capability::Type::Flag, nullptr, 1, "EV"},
    {"hasMP3", Capability::Type::Flag, nullptr, 1, "MP3"},
    {"hasAudioEncoder", Capability::Type::Flag, nullptr, 0, "AE"},
    {"hasVideoEncoder", Capability::Type::Flag, nullptr, 0, "VE"},
    {"hasAccessibility", Capability::Type::Flag, nullptr, 0, "ACC"},
    {"hasPrinting", Capability::Type::Flag, nullptr, 0, "PR"},
    {"hasScreenPlayback", Capability::Type::Flag, nullptr, 0, "SP"},
    {"hasScreenBroadcast", Capability::Type::Flag, nullptr, 0, "SB"},
    {"isDebugger", Capability::Type::Flag, nullptr, 0, "DEB"},
    {"version", Capability::Type::Text, "LNX 8,0,0,0", 0, "V"},
    {"manufacturer", Capability::Type::Text, "Velmora", 0, "M"},
    {"screenResolutionX", Capability::Type::Number, nullptr, 1920, "R"},
    {"screenResolutionY", Capability::Type::Number, nullptr, 1080, nullptr},
    {"screenDPI", Capability::Type::Number, nullptr, 72, "DP"},
    {"screenColor", Capability::Type::Text, "color", 0, "COL"},
    {"pixelAspectRatio", Capability::Type::Number, nullptr, 1, "AR"},
    {"os", Capability::Type::Text, "Linux", 0, "OS"},
    {"language", Capability::Type::Text, "en", 0, "L"},
    {"hasIME", Capability::Type::Flag, nullptr, 0, "IME"},
    {"playerType", Capability::Type::Text, "StandAlone", 0, "PT"},
    {"avHardwareDisable", Capability::Type::Flag, nullptr, 0, "AVD"},
    {"localFileReadDisable", Capability::Type::Flag, nullptr, 0, "LFD"},
    {"windowlessDisable", Capability::Type::Flag, nullptr, 0, "WD"},
    {"hasTLS", Capability::Type::Flag, nullptr, 1, "TLS"},
};

// What escape() leaves alone in a query value: letters and digits.
std::string queryEscaped(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if ((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')) {
            out += ch;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 15];
        }
    }
    return out;
}

std::string numberText(double n) {
    std::string text = std::to_string(n);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

double numberOf(std::string_view name) {
    for (const Capability& c : kCapabilities) {
        if (name == c.name) {
            return c.number;
        }
    }
    return 0;
}

// The capabilities as one query string, flags as t and f, for a script to send to a server;
// the screen's size is one entry, width x height.
std::string serverString() {
    std::string out;
    for (const Capability& c : kCapabilities) {
        if (c.key == nullptr) {
            continue;
        }
        out += out.empty() ? "" : "&";
        out += c.key;
        out += '=';
        if (std::string_view(c.key) == "R") {
            out += numberText(c.number) + "x" + numberText(numberOf("screenResolutionY"));
            continue;
        }
        switch (c.type) {
        case Capability::Type::Text:
            out += queryEscaped(c.text);
            break;
        case Capability::Type::Flag:
            out += c.number != 0 ? "t" : "f";
            break;
        case Capability::Type::Number:
            out += numberText(c.number);
            break;
        }
    }
    return out;
}

void installCapabilities(avm1::Machine& m, avm1::Object* system) {
    avm1::Object* caps = m.newObject();
    m.define(system, "capabilities", Value(caps));
    for (const Capability& c : kCapabilities) {
        switch (c.type) {
        case Capability::Type::Text:
            m.set(caps, c.name, Value(m.str(c.text)));
            break;
        case Capability::Type::Flag:
            m.set(caps, c.name, Value(c.number != 0));
            break;
        case Capability::Type::Number:
            m.set(caps, c.name, Value(c.number));
            break;
        }
    }
    m.set(caps, "serverString", Value(m.str(serverString())));
}

// System.IME: the player has no input method editor, so it is never enabled, converts
// nothing and knows no mode; listeners may still be added.
void installIme(avm1::Machine& m, avm1::Object* system) {
    avm1::Object* ime = m.newObject();
    m.define(system, "IME", Value(ime));
    if (avm1::Object* broadcaster = m.get(m.global(), "AsBroadcaster").asObject()) {
        const Value arg(ime);
        m.callMethod(broadcaster, "initialize", std::span<const Value>(&arg, 1));
    }
    const auto fixed = avm1::attr::DontEnum | avm1::attr::DontDelete | avm1::attr::ReadOnly;
    for (const char* mode :
         {"ALPHANUMERIC_FULL", "ALPHANUMERIC_HALF", "CHINESE", "JAPANESE_HIRAGANA",
          "JAPANESE_KATAKANA_FULL", "JAPANESE_KATAKANA_HALF", "KOREAN", "UNKNOWN"}) {
        m.define(ime, mode, Value(m.str(mode)), fixed);
    }
    for (const char* refused : {"getEnabled", "setEnabled", "setConversionMode",
                                "setCompositionString", "doConversion"}) {
        m.defineMethod(
            ime, refused, [](CallArgs&) { return Value(false); }, fixed);
    }
    m.defineMethod(
        ime, "getConversionMode", [](CallArgs& c) { return Value(c.machine.str("UNKNOWN")); },
        fixed);
}

} // namespace

void installSystem(StageScripts& stage) {
    avm1::Machine& m = stage.machine();
    avm1::Object* system = m.get(m.global(), "System").asObject();
    if (system == nullptr) {
        system = m.newObject();
        m.define(m.global(), "System", Value(system));
    }
    installCapabilities(m, system);
    installIme(m, system);
    // Text files are read as Unicode unless a script asks for the system's code page. The
    // setting is a switch: whatever is assigned reads back as a boolean.
    auto useCodepage = std::make_shared<bool>(false);
    avm1::defineAccessor(
        m, system, "useCodepage", [useCodepage](CallArgs&) { return Value(*useCodepage); },
        [useCodepage](CallArgs& c) {
            *useCodepage = c.machine.toBoolean(c.arg(0));
            return Value();
        },
        0);
    // From version 6: saved data belongs to the exact domain, from version 7 on by default.
    m.define(system, "exactSettings", Value(stage.movie().header.version >= 7),
             avm1::attr::DontEnum | avm1::attr::Only6);
    // The clipboard and the settings panel belong to the person: nothing is written to the
    // clipboard (so it reports failure) and no panel opens.
    m.defineMethod(system, "setClipboard", [](CallArgs&) { return Value(false); });
    m.defineMethod(system, "showSettings", [](CallArgs&) { return Value(); });
}

} // namespace mc
