// What the Stage does differently from the display objects it extends: settings read back in
// their canonical spelling, the inherited properties it refuses to take, and invalidate's
// request for a render event.
#include "avm2/DisplayClasses.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace avm2 {

void installStageClass(Machine& m);

namespace {

constexpr char kScaleMode[] = "scaleMode";
constexpr char kAlign[] = "align";
constexpr char kQuality[] = "quality";
constexpr char kRenderRequested[] = "stage.renderRequested";

// The inherited properties that mean nothing for the stage: read, never set.
constexpr std::string_view kRefused =
    "accessibilityProperties alpha blendMode cacheAsBitmap contextMenu filters focusRect "
    "loaderInfo mask mouseEnabled name opaqueBackground rotation rotationX rotationY rotationZ "
    "scale9Grid scaleX scaleY scaleZ scrollRect tabEnabled tabIndex transform visible x y z "
    "width height";

Value argOf(const Args& a) {
    return a.empty() ? Value() : a[0];
}

bool sameLetters(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// One of the four modes, matched without regard to case and kept as the constant spells it.
Value setScaleMode(Machine& m, const Value& self, Args& a) {
    const std::string given = m.toString(argOf(a));
    for (const char* mode : {"showAll", "exactFit", "noBorder", "noScale"}) {
        if (sameLetters(given, mode)) {
            setHiddenField(self, kScaleMode, Value::string(mode));
            return Value();
        }
    }
    m.throwError("ArgumentError", 2008, "Parameter scaleMode must be one of the accepted values.");
}

// The alignment is read letter by letter (T, B, L, R in any case, anything else ignored) and
// read back in that order.
Value setAlign(Machine& m, const Value& self, Args& a) {
    const std::string given = m.toString(argOf(a));
    std::array<bool, 4> sides{};
    constexpr std::array<char, 4> kSides{'T', 'B', 'L', 'R'};
    for (const char c : given) {
        for (std::size_t i = 0; i < kSides.size(); ++i) {
            if (std::toupper(static_cast<unsigned char>(c)) == kSides[i]) {
                sides[i] = true;
            }
        }
    }
    std::string out;
    for (std::size_t i = 0; i < kSides.size(); ++i) {
        if (sides[i]) {
            out += kSides[i];
        }
    }
    setHiddenField(self, kAlign, Value::string(out));
    return Value();
}

// One of the player's qualities, in any case, read back in capitals; another name is ignored.
Value setQuality(Machine& m, const Value& self, Args& a) {
    const std::string given = m.toString(argOf(a));
    for (const char* quality :
         {"LOW", "MEDIUM", "HIGH", "BEST", "8X8", "8X8LINEAR", "16X16", "16X16LINEAR"}) {
        if (sameLetters(given, quality)) {
            setHiddenField(self, kQuality, Value::string(quality));
            break;
        }
    }
    return Value();
}

Value refuse(Machine& m, const Value&, Args&) {
    m.throwError("flash.errors::IllegalOperationError", 2071,
                 "The Stage class does not implement this property or method.");
}

Value invalidate(Machine&, const Value& self, Args&) {
    setHiddenField(self, kRenderRequested, Value::boolean(true));
    return Value();
}

} // namespace

bool takeRenderRequest(Object* stage) {
    if (stage == nullptr || !Machine::toBoolean(hiddenField(stage, kRenderRequested))) {
        return false;
    }
    setHiddenField(stage, kRenderRequested, Value::boolean(false));
    return true;
}

void installStageClass(Machine& m) {
    Class* stage = m.findClass("flash.display::Stage");
    if (stage == nullptr) {
        return;
    }
    m.defineSetter(stage, kScaleMode, setScaleMode);
    m.defineSetter(stage, kAlign, setAlign);
    m.defineSetter(stage, kQuality, setQuality);
    m.defineMethod(stage, "invalidate", invalidate);
    for (std::size_t at = 0; at < kRefused.size();) {
        const std::size_t space = std::min(kRefused.find(' ', at), kRefused.size());
        m.defineSetter(stage, std::string(kRefused.substr(at, space - at)), refuse);
        at = space + 1;
    }
}

} // namespace avm2
