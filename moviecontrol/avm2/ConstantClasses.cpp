// The classes that only name values (the line styles, gradient kinds, event phases, key
// locations…). A script names them to read their values even where the feature behind them
// does nothing here, so each must exist: a missing one stops the script that reads it.
#include "avm2/Machine.h"

#include <initializer_list>
#include <variant>

namespace avm2 {

namespace {

using Named = std::pair<const char*, std::variant<const char*, std::uint32_t>>;

struct ValueClass {
    const char* package = nullptr;
    const char* name = nullptr;
    std::initializer_list<Named> values;
};

// Numbers are uint constants in the language reference.
const ValueClass kClasses[] = {
    // flash.text.engine's names of styles, settings and outcomes.
    {"flash.text.engine", "FontWeight", {{"BOLD", "bold"}, {"NORMAL", "normal"}}},
    {"flash.text.engine", "FontPosture", {{"ITALIC", "italic"}, {"NORMAL", "normal"}}},
    {"flash.text.engine", "FontLookup", {{"DEVICE", "device"}, {"EMBEDDED_CFF", "embeddedCFF"}}},
    {"flash.text.engine", "Kerning", {{"AUTO", "auto"}, {"OFF", "off"}, {"ON", "on"}}},
    {"flash.text.engine", "RenderingMode", {{"CFF", "cff"}, {"NORMAL", "normal"}}},
    {"flash.text.engine", "CFFHinting", {{"HORIZONTAL_STEM", "horizontalStem"}, {"NONE", "none"}}},
    {"flash.text.engine",
     "TextBaseline",
     {{"ASCENT", "ascent"},
      {"DESCENT", "descent"},
      {"IDEOGRAPHIC_BOTTOM", "ideographicBottom"},
      {"IDEOGRAPHIC_CENTER", "ideographicCenter"},
      {"IDEOGRAPHIC_TOP", "ideographicTop"},
      {"ROMAN", "roman"},
      {"USE_DOMINANT_BASELINE", "useDominantBaseline"}}},
    {"flash.text.engine",
     "TextRotation",
     {{"AUTO", "auto"},
      {"ROTATE_0", "rotate0"},
      {"ROTATE_180", "rotate180"},
      {"ROTATE_270", "rotate270"},
      {"ROTATE_90", "rotate90"}}},
    {"flash.text.engine",
     "TypographicCase",
     {{"CAPS", "caps"},
      {"CAPS_AND_SMALL_CAPS", "capsAndSmallCaps"},
      {"DEFAULT", "default"},
      {"LOWERCASE", "lowercase"},
      {"SMALL_CAPS", "smallCaps"},
      {"TITLE", "title"},
      {"UPPERCASE", "uppercase"}}},
    {"flash.text.engine",
     "DigitCase",
     {{"DEFAULT", "default"}, {"LINING", "lining"}, {"OLD_STYLE", "oldStyle"}}},
    {"flash.text.engine",
     "DigitWidth",
     {{"DEFAULT", "default"}, {"PROPORTIONAL", "proportional"}, {"TABULAR", "tabular"}}},
    {"flash.text.engine",
     "BreakOpportunity",
     {{"ALL", "all"}, {"ANY", "any"}, {"AUTO", "auto"}, {"NONE", "none"}}},
    {"flash.text.engine",
     "JustificationStyle",
     {{"PRIORITIZE_LEAST_ADJUSTMENT", "prioritizeLeastAdjustment"},
      {"PUSH_IN_KINSOKU", "pushInKinsoku"},
      {"PUSH_OUT_ONLY", "pushOutOnly"}}},
    {"flash.text.engine",
     "LigatureLevel",
     {{"COMMON", "common"},
      {"EXOTIC", "exotic"},
      {"MINIMUM", "minimum"},
      {"NONE", "none"},
      {"UNCOMMON", "uncommon"}}},
    {"flash.text.engine",
     "LineJustification",
     {{"ALL_BUT_LAST", "allButLast"},
      {"ALL_BUT_MANDATORY_BREAK", "allButMandatoryBreak"},
      {"ALL_INCLUDING_LAST", "allIncludingLast"},
      {"UNJUSTIFIED", "unjustified"}}},
    {"flash.text.engine",
     "TabAlignment",
     {{"CENTER", "center"}, {"DECIMAL", "decimal"}, {"END", "end"}, {"START", "start"}}},
    {"flash.text.engine",
     "TextLineCreationResult",
     {{"COMPLETE", "complete"},
      {"EMERGENCY", "emergency"},
      {"INSUFFICIENT_WIDTH", "insufficientWidth"},
      {"SUCCESS", "success"}}},
    {"flash.text.engine",
     "TextLineValidity",
     {{"INVALID", "invalid"},
      {"POSSIBLY_INVALID", "possiblyInvalid"},
      {"STATIC", "static"},
      {"VALID", "valid"}}},
    {"flash.text", "TextInteractionMode", {{"NORMAL", "normal"}, {"SELECTION", "selection"}}},
    {"flash.ui",
     "KeyboardType",
     {{"ALPHANUMERIC", "alphanumeric"}, {"KEYPAD", "keypad"}, {"NONE", "none"}}},
    {"flash.system",
     "IMEConversionMode",
     {{"ALPHANUMERIC_FULL", "ALPHANUMERIC_FULL"},
      {"ALPHANUMERIC_HALF", "ALPHANUMERIC_HALF"},
      {"CHINESE", "CHINESE"},
      {"JAPANESE_HIRAGANA", "JAPANESE_HIRAGANA"},
      {"JAPANESE_KATAKANA_FULL", "JAPANESE_KATAKANA_FULL"},
      {"JAPANESE_KATAKANA_HALF", "JAPANESE_KATAKANA_HALF"},
      {"KOREAN", "KOREAN"},
      {"UNKNOWN", "UNKNOWN"}}},
    {"flash.system",
     "TouchscreenType",
     {{"FINGER", "finger"}, {"NONE", "none"}, {"STYLUS", "stylus"}}},
    {"flash.system",
     "SecurityPanel",
     {{"CAMERA", "camera"},
      {"DEFAULT", "default"},
      {"DISPLAY", "display"},
      {"LOCAL_STORAGE", "localStorage"},
      {"MICROPHONE", "microphone"},
      {"PRIVACY", "privacy"},
      {"SETTINGS_MANAGER", "settingsManager"}}},
    {"flash.net",
     "NetStreamAppendBytesAction",
     {{"END_SEQUENCE", "endSequence"}, {"RESET_BEGIN", "resetBegin"}, {"RESET_SEEK", "resetSeek"}}},
    {"flash.net",
     "NetStreamPlayTransitions",
     {{"APPEND", "append"},
      {"APPEND_AND_WAIT", "appendAndWait"},
      {"RESET", "reset"},
      {"RESUME", "resume"},
      {"STOP", "stop"},
      {"SWAP", "swap"},
      {"SWITCH", "switch"}}},
    {"flash.media",
     "AudioOutputChangeReason",
     {{"DEVICE_CHANGE", "deviceChange"}, {"USER_SELECTION", "userSelection"}}},
    {"flash.printing",
     "PrintJobOrientation",
     {{"LANDSCAPE", "landscape"}, {"PORTRAIT", "portrait"}}},
    {"flash.globalization", "CollatorMode", {{"MATCHING", "matching"}, {"SORTING", "sorting"}}},
    {"flash.globalization",
     "DateTimeStyle",
     {{"CUSTOM", "custom"},
      {"LONG", "long"},
      {"MEDIUM", "medium"},
      {"NONE", "none"},
      {"SHORT", "short"}}},
    {"flash.globalization",
     "DateTimeNameStyle",
     {{"FULL", "full"},
      {"LONG_ABBREVIATION", "longAbbreviation"},
      {"SHORT_ABBREVIATION", "shortAbbreviation"}}},
    {"flash.globalization",
     "DateTimeNameContext",
     {{"FORMAT", "format"}, {"STANDALONE", "standalone"}}},
    {"flash.display",
     "LineScaleMode",
     {{"HORIZONTAL", "horizontal"},
      {"NONE", "none"},
      {"NORMAL", "normal"},
      {"VERTICAL", "vertical"}}},
    {"flash.display", "CapsStyle", {{"NONE", "none"}, {"ROUND", "round"}, {"SQUARE", "square"}}},
    {"flash.display", "JointStyle", {{"BEVEL", "bevel"}, {"MITER", "miter"}, {"ROUND", "round"}}},
    {"flash.display", "GradientType", {{"LINEAR", "linear"}, {"RADIAL", "radial"}}},
    {"flash.display",
     "SpreadMethod",
     {{"PAD", "pad"}, {"REFLECT", "reflect"}, {"REPEAT", "repeat"}}},
    {"flash.display", "InterpolationMethod", {{"LINEAR_RGB", "linearRGB"}, {"RGB", "rgb"}}},
    {"flash.display",
     "PixelSnapping",
     {{"ALWAYS", "always"}, {"AUTO", "auto"}, {"NEVER", "never"}}},
    {"flash.display",
     "TriangleCulling",
     {{"NEGATIVE", "negative"}, {"NONE", "none"}, {"POSITIVE", "positive"}}},
    {"flash.display", "ColorCorrection", {{"DEFAULT", "default"}, {"OFF", "off"}, {"ON", "on"}}},
    {"flash.display",
     "ColorCorrectionSupport",
     {{"DEFAULT_OFF", "defaultOff"}, {"DEFAULT_ON", "defaultOn"}, {"UNSUPPORTED", "unsupported"}}},
    {"flash.display", "ActionScriptVersion", {{"ACTIONSCRIPT2", 2u}, {"ACTIONSCRIPT3", 3u}}},
    {"flash.display",
     "SWFVersion",
     {{"FLASH1", 1u},
      {"FLASH2", 2u},
      {"FLASH3", 3u},
      {"FLASH4", 4u},
      {"FLASH5", 5u},
      {"FLASH6", 6u},
      {"FLASH7", 7u},
      {"FLASH8", 8u},
      {"FLASH9", 9u},
      {"FLASH10", 10u},
      {"FLASH11", 11u}}},
    {"flash.display",
     "BitmapDataChannel",
     {{"ALPHA", 8u}, {"BLUE", 4u}, {"GREEN", 2u}, {"RED", 1u}}},
    {"flash.events",
     "EventPhase",
     {{"AT_TARGET", 2u}, {"BUBBLING_PHASE", 3u}, {"CAPTURING_PHASE", 1u}}},
    {"flash.events",
     "GesturePhase",
     {{"ALL", "all"}, {"BEGIN", "begin"}, {"END", "end"}, {"UPDATE", "update"}}},
    {"flash.events",
     "ThrottleType",
     {{"PAUSE", "pause"}, {"RESUME", "resume"}, {"THROTTLE", "throttle"}}},
    {"flash.ui",
     "KeyLocation",
     {{"LEFT", 1u}, {"NUM_PAD", 3u}, {"RIGHT", 2u}, {"STANDARD", 0u}, {"D_PAD", 4u}}},
    {"flash.ui",
     "MultitouchInputMode",
     {{"GESTURE", "gesture"}, {"NONE", "none"}, {"TOUCH_POINT", "touchPoint"}}},
    {"flash.net", "SharedObjectFlushStatus", {{"FLUSHED", "flushed"}, {"PENDING", "pending"}}},
    {"flash.text", "TextDisplayMode", {{"CRT", "crt"}, {"DEFAULT", "default"}, {"LCD", "lcd"}}},
    {"flash.text", "TextColorType", {{"DARK_COLOR", "dark"}, {"LIGHT_COLOR", "light"}}},
    {"flash.utils",
     "CompressionAlgorithm",
     {{"DEFLATE", "deflate"}, {"LZMA", "lzma"}, {"ZLIB", "zlib"}}},
    {"flash.media",
     "SoundCodec",
     {{"NELLYMOSER", "NellyMoser"}, {"PCMA", "pcma"}, {"PCMU", "pcmu"}, {"SPEEX", "Speex"}}},
    {"flash.media",
     "StageVideoAvailability",
     {{"AVAILABLE", "available"}, {"UNAVAILABLE", "unavailable"}}},
    {"flash.media",
     "VideoStatus",
     {{"ACCELERATED", "accelerated"}, {"SOFTWARE", "software"}, {"UNAVAILABLE", "unavailable"}}},
    {"flash.geom",
     "Orientation3D",
     {{"AXIS_ANGLE", "axisAngle"}, {"EULER_ANGLES", "eulerAngles"}, {"QUATERNION", "quaternion"}}},
};

// The card's window takes no touches or gestures: Multitouch says so, and keeps the input
// mode a script asks for.
void installMultitouch(Machine& m) {
    Class* touch = m.defineClass("flash.ui", "Multitouch", m.objectClass);
    const std::pair<const char*, Value> facts[] = {
        {"supportsTouchEvents", Value::boolean(false)},
        {"supportsGestureEvents", Value::boolean(false)},
        {"maxTouchPoints", Value::integer(0)},
        {"supportedGestures", Value::null()},
    };
    for (const auto& [name, value] : facts) {
        touch->classObject->setProp(name, value);
        touch->classObject->dontEnum.back() = true;
    }
    m.defineGetter(
        touch, "inputMode",
        [](Machine& mm, const Value&, Args&) {
            const Value* kept =
                mm.findClass("flash.ui::Multitouch")->classObject->findProp(" inputMode");
            return kept != nullptr ? *kept : Value::string("gesture");
        },
        true);
    m.defineSetter(
        touch, "inputMode",
        [](Machine& mm, const Value&, Args& a) {
            const std::string mode = a.empty() ? std::string("null") : mm.toString(a[0]);
            Object* co = mm.findClass("flash.ui::Multitouch")->classObject;
            co->setProp(" inputMode", Value::string(mode));
            co->dontEnum.back() = true;
            return Value();
        },
        true);
}

} // namespace

void installConstantClasses(Machine& m) {
    if (m.findClass("flash.ui::Multitouch") == nullptr) {
        installMultitouch(m);
    }
    for (const ValueClass& c : kClasses) {
        // A class another part of the machine defines fully is left as it is.
        if (m.findClass(std::string(c.package) + "::" + c.name) != nullptr) {
            continue;
        }
        Class* cls = m.defineClass(c.package, c.name, m.objectClass);
        for (const auto& [name, value] : c.values) {
            // Kept on the class object, read like any static and listed by no one.
            cls->classObject->setProp(name,
                                      std::holds_alternative<const char*>(value)
                                          ? Value::string(std::get<const char*>(value))
                                          : Value::unsignedInt(std::get<std::uint32_t>(value)));
            cls->classObject->dontEnum.back() = true;
        }
    }
}

} // namespace avm2
