// flash.system (System, Capabilities, Security, ApplicationDomain), flash.ui (Keyboard,
// Mouse) and flash.external.ExternalInterface: what this player says it is and allows. It
// plays cards on the desktop: no browser page around it, no debugger, no network sandbox.
#include "avm2/DomainObjects.h"
#include "avm2/Machine.h"
#include "avm2/NativeArgs.h"
#include "avm2/PublicSlots.h"
#include "unicode/Utf16Text.h"

#include <initializer_list>
#include <string>
#include <utility>

namespace avm2 {

namespace {

Value nothing(Machine&, const Value&, Args&) {
    return Value();
}

// A class that only holds statics: making one is Flash's error #2012.
Value notMadeInit(Machine& m, const Value& self, Args&) {
    const std::string name = self.isObject() && self.asObject()->cls != nullptr
                                 ? self.asObject()->cls->name
                                 : std::string("Object");
    m.throwError("ArgumentError", 2012, name + "$ class cannot be instantiated.");
}

// A read-only static whose value is made once, when first read, and kept on the class.
template <typename Make> void staticValue(Machine& m, Class* cls, const char* name, Make) {
    static_assert(std::is_empty_v<Make>, "the maker must not capture");
    m.defineGetter(
        cls, name, [](Machine& mm, const Value&, Args&) { return Make{}(mm); }, true);
}

void constant(Class* cls, const std::string& name, Value v) {
    // Kept as the class object's own property: read like any static, listed by no one.
    cls->classObject->setProp(name, std::move(v));
    cls->classObject->dontEnum.back() = true;
}

// --- System --------------------------------------------------------------------------------

// The memory figures are the script heap the player grants, which scripts use to decide
// whether to free caches; they stay constant so that a movie plays the same every time.
constexpr double kReportedMemory = 64.0 * 1024 * 1024;

void installSystem(Machine& m) {
    Class* system = m.defineClass("flash.system", "System", m.objectClass, notMadeInit);
    for (const char* name : {"totalMemory", "privateMemory"}) {
        m.defineGetter(
            system, name,
            [](Machine&, const Value&, Args&) {
                return Value::unsignedInt(static_cast<std::uint32_t>(kReportedMemory));
            },
            true);
    }
    m.defineGetter(
        system, "totalMemoryNumber",
        [](Machine&, const Value&, Args&) { return Value::number(kReportedMemory); }, true);
    m.defineGetter(
        system, "freeMemory",
        [](Machine&, const Value&, Args&) { return Value::number(kReportedMemory / 4); }, true);
    // Objects live as long as the machine; a collection frees nothing a script could see.
    m.defineMethod(system, "gc", nothing, true);
    m.defineMethod(system, "pauseForGCIfCollectionImminent", nothing, true);
    // The clipboard belongs to the person: a card does not write to it.
    // The clipboard is the person's own: a card writes nothing there, but checks the text.
    m.defineMethod(
        system, "setClipboard",
        [](Machine& mm, const Value&, Args& a) {
            if (arg(a, 0).isNullish()) {
                mm.throwError("TypeError", 2007, "Parameter text must be non-null.");
            }
            return Value();
        },
        true);
    constant(system, "useCodePage", Value::boolean(false));
    constant(system, "ime", Value::null());
}

// --- Capabilities --------------------------------------------------------------------------

struct Capability {
    const char* name;
    enum class Type { Text, Flag, Number } type;
    const char* text;
    double number;
};

// The same player the ActionScript 1/2 side describes, at the version that plays
// ActionScript 3 movies.
constexpr Capability kCapabilities[] = {
    {"os", Capability::Type::Text, "Linux", 0},
    {"language", Capability::Type::Text, "en", 0},
    {"manufacturer", Capability::Type::Text, "Velmora", 0},
    {"playerType", Capability::Type::Text, "StandAlone", 0},
    {"version", Capability::Type::Text, "LNX 11,1,0,0", 0},
    {"screenColor", Capability::Type::Text, "color", 0},
    {"cpuArchitecture", Capability::Type::Text, "x86", 0},
    {"touchscreenType", Capability::Type::Text, "none", 0},
    {"maxLevelIDC", Capability::Type::Text, "5.1", 0},
    {"serverString", Capability::Type::Text,
     "A=t&SA=t&SV=t&EV=t&MP3=t&AE=f&VE=f&ACC=f&PR=f&SP=f&SB=f&DEB=f&V=LNX%2011%2C1%2C0%2C0&"
     "M=Velmora&R=1920x1080&COL=color&AR=1.0&OS=Linux&L=en&PT=StandAlone&AVD=f&LFD=f&WD=f&"
     "TLS=t&ML=5.1&DP=72",
     0},
    {"screenResolutionX", Capability::Type::Number, nullptr, 1920},
    {"screenResolutionY", Capability::Type::Number, nullptr, 1080},
    {"screenDPI", Capability::Type::Number, nullptr, 72},
    {"pixelAspectRatio", Capability::Type::Number, nullptr, 1},
    {"hasAudio", Capability::Type::Flag, nullptr, 1},
    {"hasMP3", Capability::Type::Flag, nullptr, 1},
    {"hasStreamingAudio", Capability::Type::Flag, nullptr, 1},
    {"hasStreamingVideo", Capability::Type::Flag, nullptr, 1},
    {"hasEmbeddedVideo", Capability::Type::Flag, nullptr, 1},
    {"hasTLS", Capability::Type::Flag, nullptr, 1},
    {"supports32BitProcesses", Capability::Type::Flag, nullptr, 1},
    {"supports64BitProcesses", Capability::Type::Flag, nullptr, 1},
    {"hasAudioEncoder", Capability::Type::Flag, nullptr, 0},
    {"hasVideoEncoder", Capability::Type::Flag, nullptr, 0},
    {"hasAccessibility", Capability::Type::Flag, nullptr, 0},
    {"hasPrinting", Capability::Type::Flag, nullptr, 0},
    {"hasScreenBroadcast", Capability::Type::Flag, nullptr, 0},
    {"hasScreenPlayback", Capability::Type::Flag, nullptr, 0},
    {"hasIME", Capability::Type::Flag, nullptr, 0},
    {"isDebugger", Capability::Type::Flag, nullptr, 0},
    {"isEmbeddedInAcrobat", Capability::Type::Flag, nullptr, 0},
    {"avHardwareDisable", Capability::Type::Flag, nullptr, 0},
    {"localFileReadDisable", Capability::Type::Flag, nullptr, 0},
};

void installCapabilities(Machine& m) {
    Class* caps = m.defineClass("flash.system", "Capabilities", m.objectClass, notMadeInit);
    for (const Capability& c : kCapabilities) {
        switch (c.type) {
        case Capability::Type::Text:
            constant(caps, c.name, Value::string(c.text));
            break;
        case Capability::Type::Flag:
            constant(caps, c.name, Value::boolean(c.number != 0));
            break;
        case Capability::Type::Number:
            constant(caps, c.name, Value::number(c.number));
            break;
        }
    }
    m.defineMethod(
        caps, "hasMultiChannelAudio",
        [](Machine&, const Value&, Args&) { return Value::boolean(false); }, true);
}

// --- Security ------------------------------------------------------------------------------

void installSecurity(Machine& m) {
    Class* security = m.defineClass("flash.system", "Security", m.objectClass, notMadeInit);
    // A card is a local file playing with its own files beside it.
    constant(security, "sandboxType", Value::string("localTrusted"));
    for (const auto& [name, value] :
         {std::pair{"REMOTE", "remote"}, std::pair{"LOCAL_WITH_FILE", "localWithFile"},
          std::pair{"LOCAL_WITH_NETWORK", "localWithNetwork"},
          std::pair{"LOCAL_TRUSTED", "localTrusted"}, std::pair{"APPLICATION", "application"}}) {
        constant(security, name, Value::string(value));
    }
    constant(security, "exactSettings", Value::boolean(true));
    constant(security, "disableAVM1Loading", Value::boolean(false));
    // Trust between domains only matters to movies from the network, which cards never load.
    m.defineMethod(security, "allowDomain", nothing, true);
    m.defineMethod(security, "allowInsecureDomain", nothing, true);
    m.defineMethod(security, "loadPolicyFile", nothing, true);
    m.defineMethod(security, "showSettings", nothing, true);
}

// --- SecurityDomain and the loading contexts -----------------------------------------------

// One security domain holds every script of the movie: reading it twice gives the same object.
Value securityDomain(Machine& m) {
    Object* holder = m.findClass("flash.system::SecurityDomain")->classObject;
    if (const Value* kept = holder->findProp(" current")) {
        return *kept;
    }
    Value made = Value::object(m.instantiate(m.findClass("flash.system::SecurityDomain")));
    holder->setProp(" current", made);
    holder->dontEnum.back() = true;
    return made;
}

void setArgs(Machine& m, const Value& self, Args& a, std::initializer_list<const char*> names) {
    std::size_t i = 0;
    for (const char* name : names) {
        if (i < a.size()) {
            m.setProperty(self, Name::publicName(name), a[i]);
        }
        ++i;
    }
}

Value loaderContextInit(Machine& m, const Value& self, Args& a) {
    setArgs(m, self, a, {"checkPolicyFile", "applicationDomain", "securityDomain"});
    return Value();
}

Value jpegContextInit(Machine& m, const Value& self, Args& a) {
    setArgs(m, self, a,
            {"deblockingFilter", "checkPolicyFile", "applicationDomain", "securityDomain"});
    return Value();
}

void installLoaderContexts(Machine& m) {
    Class* security = m.defineClass("flash.system", "SecurityDomain", m.objectClass, notMadeInit);
    security->sealed = true;
    staticValue(m, security, "currentDomain", [](Machine& mm) { return securityDomain(mm); });

    Class* context =
        m.defineClass("flash.system", "LoaderContext", m.objectClass, loaderContextInit);
    Class* domain = m.findClass("flash.system::ApplicationDomain");
    addPublicSlot(context, "checkPolicyFile", m.booleanClass, Value::boolean(false));
    addPublicSlot(context, "applicationDomain", domain, Value::null());
    addPublicSlot(context, "securityDomain", security, Value::null());
    addPublicSlot(context, "allowCodeImport", m.booleanClass, Value::boolean(true));
    addPublicSlot(context, "allowLoadBytesCodeExecution", m.booleanClass, Value::boolean(true));
    addPublicSlot(context, "parameters", m.objectClass, Value::null());
    addPublicSlot(context, "requestedContentParent", nullptr, Value::null());
    addPublicSlot(context, "imageDecodingPolicy", m.stringClass, Value::string("onDemand"));
    Class* jpeg = m.defineClass("flash.system", "JPEGLoaderContext", context, jpegContextInit);
    addPublicSlot(jpeg, "deblockingFilter", m.numberClass, Value::number(0));
}

// --- Keyboard and Mouse --------------------------------------------------------------------

void installKeyboard(Machine& m) {
    Class* keyboard = m.defineClass("flash.ui", "Keyboard", m.objectClass, notMadeInit);
    for (char c = 'A'; c <= 'Z'; ++c) {
        constant(keyboard, std::string(1, c), Value::unsignedInt(static_cast<std::uint32_t>(c)));
    }
    for (std::uint32_t d = 0; d <= 9; ++d) {
        constant(keyboard, "NUMBER_" + std::to_string(d), Value::unsignedInt(48 + d));
        constant(keyboard, "NUMPAD_" + std::to_string(d), Value::unsignedInt(96 + d));
    }
    for (std::uint32_t f = 1; f <= 15; ++f) {
        constant(keyboard, "F" + std::to_string(f), Value::unsignedInt(111 + f));
    }
    constexpr std::pair<const char*, std::uint32_t> kKeys[] = {
        {"BACKSPACE", 8},
        {"TAB", 9},
        {"ENTER", 13},
        {"COMMAND", 15},
        {"SHIFT", 16},
        {"CONTROL", 17},
        {"ALTERNATE", 18},
        {"CAPS_LOCK", 20},
        {"NUMPAD", 21},
        {"ESCAPE", 27},
        {"SPACE", 32},
        {"PAGE_UP", 33},
        {"PAGE_DOWN", 34},
        {"END", 35},
        {"HOME", 36},
        {"LEFT", 37},
        {"UP", 38},
        {"RIGHT", 39},
        {"DOWN", 40},
        {"INSERT", 45},
        {"DELETE", 46},
        {"NUMPAD_MULTIPLY", 106},
        {"NUMPAD_ADD", 107},
        {"NUMPAD_ENTER", 108},
        {"NUMPAD_SUBTRACT", 109},
        {"NUMPAD_DECIMAL", 110},
        {"NUMPAD_DIVIDE", 111},
        {"SEMICOLON", 186},
        {"EQUAL", 187},
        {"COMMA", 188},
        {"MINUS", 189},
        {"PERIOD", 190},
        {"SLASH", 191},
        {"BACKQUOTE", 192},
        {"LEFTBRACKET", 219},
        {"BACKSLASH", 220},
        {"RIGHTBRACKET", 221},
        {"QUOTE", 222},
    };
    for (const auto& [name, code] : kKeys) {
        constant(keyboard, name, Value::unsignedInt(code));
    }
    // The function keys as the Macintosh names them: KEYNAME_ their names, STRING_ the
    // private-use characters they type (U+F700 on), in that character order. F1 to F35 sit
    // between the arrows and Insert.
    const auto functionKey = [&](const std::string& name, const char* shown, std::uint32_t unit) {
        constant(keyboard, "KEYNAME_" + name, Value::string(shown));
        constant(keyboard, "STRING_" + name, Value::string(unicode::codePointToUtf8(unit)));
    };
    std::uint32_t unit = 0xF700;
    for (const auto& [name, shown] :
         {std::pair{"UPARROW", "Up"}, std::pair{"DOWNARROW", "Down"},
          std::pair{"LEFTARROW", "Left"}, std::pair{"RIGHTARROW", "Right"}}) {
        functionKey(name, shown, unit++);
    }
    for (int f = 1; f <= 35; ++f) {
        const std::string name = "F" + std::to_string(f);
        functionKey(name, name.c_str(), unit++);
    }
    constexpr std::pair<const char*, const char*> kNamedKeys[] = {{"INSERT", "Insert"},
                                                                  {"DELETE", "Delete"},
                                                                  {"HOME", "Home"},
                                                                  {"BEGIN", "Begin"},
                                                                  {"END", "End"},
                                                                  {"PAGEUP", "PgUp"},
                                                                  {"PAGEDOWN", "PgDn"},
                                                                  {"PRINTSCREEN", "PrntScrn"},
                                                                  {"SCROLLLOCK", "ScrlLck"},
                                                                  {"PAUSE", "Pause"},
                                                                  {"SYSREQ", "SysReq"},
                                                                  {"BREAK", "Break"},
                                                                  {"RESET", "Reset"},
                                                                  {"STOP", "Stop"},
                                                                  {"MENU", "Menu"},
                                                                  {"USER", "User"},
                                                                  {"SYSTEM", "Sys"},
                                                                  {"PRINT", "Print"},
                                                                  {"CLEARLINE", "ClrLn"},
                                                                  {"CLEARDISPLAY", "ClrDsp"},
                                                                  {"INSERTLINE", "InsLn"},
                                                                  {"DELETELINE", "DelLn"},
                                                                  {"INSERTCHAR", "InsChr"},
                                                                  {"DELETECHAR", "DelChr"},
                                                                  {"PREV", "Prev"},
                                                                  {"NEXT", "Next"},
                                                                  {"SELECT", "Select"},
                                                                  {"EXECUTE", "Exec"},
                                                                  {"UNDO", "Undo"},
                                                                  {"REDO", "Redo"},
                                                                  {"FIND", "Find"},
                                                                  {"HELP", "Help"},
                                                                  {"MODESWITCH", "ModeSw"}};
    for (const auto& [name, shown] : kNamedKeys) {
        functionKey(name, shown, unit++);
    }
    // The lock keys' state is not passed on to movies.
    for (const char* name : {"capsLock", "numLock", "hasVirtualKeyboard"}) {
        m.defineGetter(
            keyboard, name, [](Machine&, const Value&, Args&) { return Value::boolean(false); },
            true);
    }
    m.defineMethod(
        keyboard, "isAccessible",
        [](Machine&, const Value&, Args&) { return Value::boolean(false); }, true);
}

// MouseCursor's names; any other is refused as Flash refuses it.
bool knownCursor(const std::string& name) {
    for (const char* known : {"auto", "arrow", "button", "hand", "ibeam"}) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

void installMouse(Machine& m) {
    Class* mouse = m.defineClass("flash.ui", "Mouse", m.objectClass, notMadeInit);
    constant(mouse, "supportsCursor", Value::boolean(true));
    constant(mouse, "supportsNativeCursor", Value::boolean(false));
    m.defineGetter(
        mouse, "cursor",
        [](Machine& mm, const Value&, Args&) {
            const Value* kept = mm.findClass("flash.ui::Mouse")->classObject->findProp(" cursor");
            return kept != nullptr ? *kept : Value::string("auto");
        },
        true);
    m.defineSetter(
        mouse, "cursor",
        [](Machine& mm, const Value&, Args& a) {
            const std::string name = mm.toString(arg(a, 0));
            if (!knownCursor(name)) {
                mm.throwError("ArgumentError", 2008,
                              "Parameter cursor must be one of the accepted values.");
            }
            Object* co = mm.findClass("flash.ui::Mouse")->classObject;
            co->setProp(" cursor", Value::string(name));
            co->dontEnum.back() = true;
            return Value();
        },
        true);
    // The card's window keeps the person's pointer: movies may not take it away.
    m.defineMethod(mouse, "hide", nothing, true);
    m.defineMethod(mouse, "show", nothing, true);

    Class* cursor = m.defineClass("flash.ui", "MouseCursor", m.objectClass, notMadeInit);
    for (const auto& [name, value] :
         {std::pair{"AUTO", "auto"}, std::pair{"ARROW", "arrow"}, std::pair{"BUTTON", "button"},
          std::pair{"HAND", "hand"}, std::pair{"IBEAM", "ibeam"}}) {
        constant(cursor, name, Value::string(value));
    }
}

// --- The stage's settings --------------------------------------------------------------------

// The names stage.align, scaleMode, quality and displayState take, and the blend modes of
// display objects, as constants.
void installStageConstants(Machine& m) {
    using Names = std::initializer_list<std::pair<const char*, const char*>>;
    const auto names = [&m](const char* cls, Names list) {
        Class* c = m.defineClass("flash.display", cls, m.objectClass);
        for (const auto& [name, value] : list) {
            constant(c, name, Value::string(value));
        }
    };
    names("StageAlign", {{"TOP", "T"},
                         {"BOTTOM", "B"},
                         {"LEFT", "L"},
                         {"RIGHT", "R"},
                         {"TOP_LEFT", "TL"},
                         {"TOP_RIGHT", "TR"},
                         {"BOTTOM_LEFT", "BL"},
                         {"BOTTOM_RIGHT", "BR"}});
    names("StageScaleMode", {{"EXACT_FIT", "exactFit"},
                             {"NO_BORDER", "noBorder"},
                             {"NO_SCALE", "noScale"},
                             {"SHOW_ALL", "showAll"}});
    names("StageQuality", {{"LOW", "low"},
                           {"MEDIUM", "medium"},
                           {"HIGH", "high"},
                           {"BEST", "best"},
                           {"HIGH_8X8", "8x8"},
                           {"HIGH_8X8_LINEAR", "8x8linear"},
                           {"HIGH_16X16", "16x16"},
                           {"HIGH_16X16_LINEAR", "16x16linear"}});
    names("BlendMode", {{"NORMAL", "normal"},
                        {"LAYER", "layer"},
                        {"MULTIPLY", "multiply"},
                        {"SCREEN", "screen"},
                        {"LIGHTEN", "lighten"},
                        {"DARKEN", "darken"},
                        {"DIFFERENCE", "difference"},
                        {"ADD", "add"},
                        {"SUBTRACT", "subtract"},
                        {"INVERT", "invert"},
                        {"ALPHA", "alpha"},
                        {"ERASE", "erase"},
                        {"OVERLAY", "overlay"},
                        {"HARDLIGHT", "hardlight"},
                        {"SHADER", "shader"}});
    names("StageDisplayState", {{"NORMAL", "normal"},
                                {"FULL_SCREEN", "fullScreen"},
                                {"FULL_SCREEN_INTERACTIVE", "fullScreenInteractive"}});
}

// --- GameInput and printing ---------------------------------------------------------------

// No game controllers are offered to movies: there is no device to hand out.
void installGameInput(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    Class* input = m.defineClass("flash.ui", "GameInput", dispatcher);
    input->sealed = true;
    constant(input, "isSupported", Value::boolean(false));
    m.defineGetter(
        input, "numDevices", [](Machine&, const Value&, Args&) { return Value::integer(0); }, true);
    m.defineMethod(
        input, "getDeviceAt",
        [](Machine& mm, const Value&, Args&) -> Value {
            mm.throwError("RangeError", 1506, "The specified range is invalid.");
        },
        true);
    m.defineClass("flash.ui", "GameInputDevice", dispatcher, notMadeInit)->sealed = true;
    m.defineClass("flash.ui", "GameInputControl", dispatcher, notMadeInit)->sealed = true;
}

// Nor is a camera or a microphone: a card never films or listens to the person, so each
// look-up finds none and the lists of names are empty.
void installCaptureDevices(Machine& m) {
    Class* dispatcher = m.findClass("flash.events::EventDispatcher");
    for (const auto& [cls, getter] :
         {std::pair{"Camera", "getCamera"}, std::pair{"Microphone", "getMicrophone"}}) {
        Class* device = m.defineClass("flash.media", cls, dispatcher, notMadeInit);
        device->sealed = true;
        constant(device, "isSupported", Value::boolean(false));
        m.defineMethod(
            device, getter, [](Machine&, const Value&, Args&) { return Value::null(); }, true);
        m.defineGetter(
            device, "names",
            [](Machine& mm, const Value&, Args&) { return Value::object(mm.newArray()); }, true);
    }
}

void installPrintJobOptions(Machine& m) {
    Class* options = m.defineClass("flash.printing", "PrintJobOptions", m.objectClass,
                                   [](Machine& mm, const Value& self, Args& a) {
                                       setArgs(mm, self, a, {"printAsBitmap"});
                                       return Value();
                                   });
    options->sealed = true;
    addPublicSlot(options, "printAsBitmap", m.booleanClass, Value::boolean(false));
    addPublicSlot(options, "printMethod", m.stringClass, Value::string("auto"));
}

// --- ExternalInterface ---------------------------------------------------------------------

void installExternalInterface(Machine& m) {
    Class* external =
        m.defineClass("flash.external", "ExternalInterface", m.objectClass, notMadeInit);
    // No page holds the movie: there is no container to call, and calls fail as Flash's do
    // when none is available.
    constant(external, "available", Value::boolean(false));
    constant(external, "objectID", Value::null());
    constant(external, "marshallExceptions", Value::boolean(false));
    auto unavailable = [](Machine& mm, const Value&, Args&) -> Value {
        mm.throwError("Error", 2067,
                      "The ExternalInterface is not available in this container. "
                      "ExternalInterface requires Internet Explorer ActiveX, Firefox, Mozilla "
                      "1.7.5 and greater, or other browsers that support NPRuntime.");
    };
    m.defineMethod(external, "call", unavailable, true);
    m.defineMethod(external, "addCallback", unavailable, true);
}

} // namespace

void installSystemClasses(Machine& m) {
    installSystem(m);
    installCapabilities(m);
    installSecurity(m);
    installApplicationDomain(m);
    installLoaderContexts(m);
    installKeyboard(m);
    installMouse(m);
    installStageConstants(m);
    installExternalInterface(m);
    installGameInput(m);
    installCaptureDevices(m);
    installPrintJobOptions(m);
}

} // namespace avm2
