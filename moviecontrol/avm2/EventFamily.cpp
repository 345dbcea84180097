// The event classes beyond Event: MouseEvent, KeyboardEvent, FocusEvent, TimerEvent,
// ProgressEvent and the text and error events. Each keeps the fields its constructor takes
// (in that order after type, bubbles and cancelable), copies them when cloned and prints
// them as Flash's toString does.
#include "avm2/EventState.h"
#include "avm2/HiddenFields.h"
#include "avm2/Machine.h"

#include <cmath>
#include <limits>

namespace avm2 {

namespace {

// Object keeps what it is given but undefined; Any keeps even that. String starts empty,
// NullString starts null. UnitNumber is a scale, which starts at 1.
enum class FieldType : std::uint8_t {
    Number,
    UnitNumber,
    NaNNumber,
    Int,
    Uint,
    Boolean,
    Object,
    Any,
    String,
    NullString
};

struct Field {
    const char* name;
    FieldType type;
    // Read-only fields are set by the constructor alone; a script's write is Flash's #1074.
    bool readOnly = false;
    // The class a value written must be (a wrong one is Flash's coercion error #1034).
    const char* typedAs = nullptr;
};

struct Family {
    const char* package;
    const char* name;
    const char* super; // qualified
    bool bubbles;      // the constructor's default
    std::vector<Field> fields;
    // What toString prints after type, bubbles, cancelable and eventPhase.
    std::vector<const char*> printed;
    std::vector<std::pair<const char*, const char*>> constants;
    // The name toString prints when it is not the class's own.
    const char* printedName = nullptr;
    // How many of the fields the constructor takes (the rest only start at their defaults).
    std::size_t constructed = ~std::size_t{0};
    // The constructor's defaults for type and cancelable where the class has them.
    const char* defaultType = nullptr;
    bool cancelable = false;
    // The gesture events' toString leaves the event phase out.
    bool printsPhase = true;
};

const std::vector<Family>& families() {
    static const std::vector<Family> all = {
        {"flash.events",
         "MouseEvent",
         "flash.events::Event",
         true,
         {{"localX", FieldType::NaNNumber},
          {"localY", FieldType::NaNNumber},
          {"relatedObject", FieldType::Object},
          {"ctrlKey", FieldType::Boolean},
          {"altKey", FieldType::Boolean},
          {"shiftKey", FieldType::Boolean},
          {"buttonDown", FieldType::Boolean},
          {"delta", FieldType::Int},
          {"commandKey", FieldType::Boolean},
          {"controlKey", FieldType::Boolean},
          {"clickCount", FieldType::Int}},
         {"relatedObject", "ctrlKey", "altKey", "shiftKey", "buttonDown", "delta"},
         {{"CLICK", "click"},
          {"DOUBLE_CLICK", "doubleClick"},
          {"MOUSE_DOWN", "mouseDown"},
          {"MOUSE_MOVE", "mouseMove"},
          {"MOUSE_OUT", "mouseOut"},
          {"MOUSE_OVER", "mouseOver"},
          {"MOUSE_UP", "mouseUp"},
          {"MOUSE_WHEEL", "mouseWheel"},
          {"ROLL_OUT", "rollOut"},
          {"ROLL_OVER", "rollOver"},
          {"RELEASE_OUTSIDE", "releaseOutside"},
          {"MIDDLE_CLICK", "middleClick"},
          {"MIDDLE_MOUSE_DOWN", "middleMouseDown"},
          {"MIDDLE_MOUSE_UP", "middleMouseUp"},
          {"RIGHT_CLICK", "rightClick"},
          {"RIGHT_MOUSE_DOWN", "rightMouseDown"},
          {"RIGHT_MOUSE_UP", "rightMouseUp"},
          {"CONTEXT_MENU", "contextMenu"}}},
        {"flash.events",
         "KeyboardEvent",
         "flash.events::Event",
         true,
         {{"charCode", FieldType::Uint},
          {"keyCode", FieldType::Uint},
          {"keyLocation", FieldType::Uint},
          {"ctrlKey", FieldType::Boolean},
          {"altKey", FieldType::Boolean},
          {"shiftKey", FieldType::Boolean}},
         {"charCode", "keyCode", "keyLocation", "ctrlKey", "altKey", "shiftKey"},
         {{"KEY_DOWN", "keyDown"}, {"KEY_UP", "keyUp"}}},
        {"flash.events",
         "FocusEvent",
         "flash.events::Event",
         true,
         {{"relatedObject", FieldType::Object},
          {"shiftKey", FieldType::Boolean},
          {"keyCode", FieldType::Uint}},
         {"relatedObject", "shiftKey", "keyCode"},
         {{"FOCUS_IN", "focusIn"},
          {"FOCUS_OUT", "focusOut"},
          {"KEY_FOCUS_CHANGE", "keyFocusChange"},
          {"MOUSE_FOCUS_CHANGE", "mouseFocusChange"}}},
        {"flash.events",
         "ActivityEvent",
         "flash.events::Event",
         false,
         {{"activating", FieldType::Boolean}},
         {"activating"},
         {{"ACTIVITY", "activity"}}},
        {"flash.events",
         "FullScreenEvent",
         "flash.events::ActivityEvent",
         false,
         {{"fullScreen", FieldType::Boolean}, {"interactive", FieldType::Boolean}},
         {"fullScreen", "interactive"},
         {{"FULL_SCREEN", "fullScreen"},
          {"FULL_SCREEN_INTERACTIVE_ACCEPTED", "fullScreenInteractiveAccepted"}}},
        {"flash.events",
         "TimerEvent",
         "flash.events::Event",
         false,
         {},
         {},
         {{"TIMER", "timer"}, {"TIMER_COMPLETE", "timerComplete"}}},
        {"flash.events",
         "ProgressEvent",
         "flash.events::Event",
         false,
         {{"bytesLoaded", FieldType::Number}, {"bytesTotal", FieldType::Number}},
         {"bytesLoaded", "bytesTotal"},
         {{"PROGRESS", "progress"}, {"SOCKET_DATA", "socketData"}}},
        {"flash.events",
         "ShaderEvent",
         "flash.events::Event",
         false,
         {{"bitmapData", FieldType::Object},
          {"byteArray", FieldType::Object},
          {"vector", FieldType::Object}},
         {"bitmapData", "byteArray", "vector"},
         {{"COMPLETE", "complete"}}},
        {"flash.events",
         "TextEvent",
         "flash.events::Event",
         false,
         {{"text", FieldType::String}},
         {"text"},
         {{"LINK", "link"}, {"TEXT_INPUT", "textInput"}}},
        {"flash.events",
         "ErrorEvent",
         "flash.events::TextEvent",
         false,
         {{"text", FieldType::String}, {"errorID", FieldType::Int}},
         {"text"},
         {{"ERROR", "error"}}},
        {"flash.events",
         "IOErrorEvent",
         "flash.events::ErrorEvent",
         false,
         {{"text", FieldType::String}, {"errorID", FieldType::Int}},
         {"text"},
         {{"IO_ERROR", "ioError"}}},
        {"flash.events",
         "SecurityErrorEvent",
         "flash.events::ErrorEvent",
         false,
         {{"text", FieldType::String}, {"errorID", FieldType::Int}},
         {"text"},
         {{"SECURITY_ERROR", "securityError"}}},
        {"flash.events",
         "AsyncErrorEvent",
         "flash.events::ErrorEvent",
         false,
         {{"text", FieldType::String}, {"error", FieldType::Object}},
         {"text", "error"},
         {{"ASYNC_ERROR", "asyncError"}}},
        {"flash.events",
         "StatusEvent",
         "flash.events::Event",
         false,
         {{"code", FieldType::String}, {"level", FieldType::String}},
         {"code", "level"},
         {{"STATUS", "status"}}},
        {"flash.events",
         "NetStatusEvent",
         "flash.events::Event",
         false,
         {{"info", FieldType::Object}},
         {"info"},
         {{"NET_STATUS", "netStatus"}}},
        // Flash prints the name the class had before it was renamed.
        {"flash.events",
         "NetFilterEvent",
         "flash.events::Event",
         false,
         {{"header", FieldType::Object}, {"data", FieldType::Object}},
         {"header", "data"},
         {},
         "NetTransformEvent"},
        {"flash.events",
         "HTTPStatusEvent",
         "flash.events::Event",
         false,
         {{"status", FieldType::Int, true},
          {"redirected", FieldType::Boolean},
          {"responseURL", FieldType::NullString},
          {"responseHeaders", FieldType::Object, false, "Array"}},
         {"status", "redirected", "responseURL"},
         {{"HTTP_STATUS", "httpStatus"}, {"HTTP_RESPONSE_STATUS", "httpResponseStatus"}},
         nullptr,
         2},
        {"flash.events",
         "DataEvent",
         "flash.events::TextEvent",
         false,
         // Its data is the text it carries, under a second name.
         {{"text", FieldType::String}},
         {"data"},
         {{"DATA", "data"}, {"UPLOAD_COMPLETE_DATA", "uploadCompleteData"}}},
        {"flash.events",
         "SampleDataEvent",
         "flash.events::Event",
         false,
         {{"position", FieldType::Number},
          {"data", FieldType::Object, false, "flash.utils::ByteArray"}},
         {"position", "data"},
         {{"SAMPLE_DATA", "sampleData"}}},
        {"flash.events",
         "ContextMenuEvent",
         "flash.events::Event",
         false,
         {{"mouseTarget", FieldType::Object, false, "flash.display::InteractiveObject"},
          {"contextMenuOwner", FieldType::Object, false, "flash.display::InteractiveObject"},
          {"isMouseTargetInaccessible", FieldType::Boolean}},
         {"mouseTarget", "contextMenuOwner"},
         {{"MENU_ITEM_SELECT", "menuItemSelect"}, {"MENU_SELECT", "menuSelect"}},
         nullptr,
         2},
        {"flash.events",
         "TouchEvent",
         "flash.events::Event",
         true,
         {{"touchPointID", FieldType::Int},
          {"isPrimaryTouchPoint", FieldType::Boolean},
          {"localX", FieldType::NaNNumber},
          {"localY", FieldType::NaNNumber},
          {"sizeX", FieldType::NaNNumber},
          {"sizeY", FieldType::NaNNumber},
          {"pressure", FieldType::NaNNumber},
          {"relatedObject", FieldType::Object, false, "flash.display::InteractiveObject"},
          {"ctrlKey", FieldType::Boolean},
          {"altKey", FieldType::Boolean},
          {"shiftKey", FieldType::Boolean}},
         {"touchPointID", "isPrimaryTouchPoint", "localX", "localY", "stageX", "stageY", "sizeX",
          "sizeY", "pressure", "relatedObject", "ctrlKey", "altKey", "shiftKey"},
         {{"TOUCH_BEGIN", "touchBegin"},
          {"TOUCH_END", "touchEnd"},
          {"TOUCH_MOVE", "touchMove"},
          {"TOUCH_OUT", "touchOut"},
          {"TOUCH_OVER", "touchOver"},
          {"TOUCH_ROLL_OUT", "touchRollOut"},
          {"TOUCH_ROLL_OVER", "touchRollOver"},
          {"TOUCH_TAP", "touchTap"}}},
        {"flash.events",
         "GestureEvent",
         "flash.events::Event",
         true,
         {{"phase", FieldType::NullString},
          {"localX", FieldType::Number},
          {"localY", FieldType::Number},
          {"ctrlKey", FieldType::Boolean},
          {"altKey", FieldType::Boolean},
          {"shiftKey", FieldType::Boolean}},
         {"phase", "localX", "localY", "stageX", "stageY", "ctrlKey", "altKey", "shiftKey"},
         {{"GESTURE_TWO_FINGER_TAP", "gestureTwoFingerTap"}},
         nullptr,
         ~std::size_t{0},
         nullptr,
         false,
         false},
        {"flash.events",
         "TransformGestureEvent",
         "flash.events::GestureEvent",
         true,
         {{"phase", FieldType::NullString},
          {"localX", FieldType::Number},
          {"localY", FieldType::Number},
          {"scaleX", FieldType::UnitNumber},
          {"scaleY", FieldType::UnitNumber},
          {"rotation", FieldType::Number},
          {"offsetX", FieldType::Number},
          {"offsetY", FieldType::Number},
          {"ctrlKey", FieldType::Boolean},
          {"altKey", FieldType::Boolean},
          {"shiftKey", FieldType::Boolean}},
         {"phase", "localX", "localY", "stageX", "stageY", "scaleX", "scaleY", "rotation",
          "offsetX", "offsetY", "ctrlKey", "altKey", "shiftKey"},
         {{"GESTURE_PAN", "gesturePan"},
          {"GESTURE_ROTATE", "gestureRotate"},
          {"GESTURE_SWIPE", "gestureSwipe"},
          {"GESTURE_ZOOM", "gestureZoom"}},
         nullptr,
         ~std::size_t{0},
         nullptr,
         false,
         false},
        {"flash.events",
         "SyncEvent",
         "flash.events::Event",
         false,
         {{"changeList", FieldType::Object, false, "Array"}},
         {"changeList"},
         {{"SYNC", "sync"}}},
        {"flash.events",
         "UncaughtErrorEvent",
         "flash.events::ErrorEvent",
         true,
         {{"error", FieldType::Any, true},
          {"text", FieldType::String},
          {"errorID", FieldType::Int, true}},
         {"error"},
         {{"UNCAUGHT_ERROR", "uncaughtError"}},
         nullptr,
         1,
         "uncaughtError",
         true},
    };
    return all;
}

// The built-in family an object's class belongs to (a script's subclass takes its base's).
const Family* familyOf(Machine& m, const Value& self) {
    if (!self.isObject()) {
        return nullptr;
    }
    for (Class* c = self.asObject()->cls; c != nullptr; c = c->super) {
        for (const Family& f : families()) {
            if (c->name == f.name && c->ns.uri == f.package) {
                return &f;
            }
        }
    }
    (void)m;
    return nullptr;
}

Value convert(Machine& m, const Field& field, const Value& v) {
    if (field.typedAs != nullptr && !v.isNullish()) {
        if (Class* cls = m.findClass(field.typedAs); cls != nullptr) {
            return m.coerce(v, cls);
        }
    }
    switch (field.type) {
    case FieldType::Number:
    case FieldType::UnitNumber:
    case FieldType::NaNNumber:
        return Value::number(m.toNumber(v));
    case FieldType::Int:
        return Value::integer(toInt32(m.toNumber(v)));
    case FieldType::Uint:
        return Value::unsignedInt(toUint32(m.toNumber(v)));
    case FieldType::Boolean:
        return Value::boolean(Machine::toBoolean(v));
    case FieldType::Object:
        return v.isUndefined() ? Value::null() : v;
    case FieldType::Any:
        return v;
    case FieldType::String:
    case FieldType::NullString:
        return v.isNullish() ? Value::null() : Value::string(m.toString(v));
    }
    return v;
}

Value fallback(FieldType type) {
    switch (type) {
    case FieldType::Number:
        return Value::number(0);
    case FieldType::UnitNumber:
        return Value::number(1);
    case FieldType::NaNNumber:
        return Value::number(std::numeric_limits<double>::quiet_NaN());
    case FieldType::Int:
    case FieldType::Uint:
        return Value::integer(0);
    case FieldType::Boolean:
        return Value::boolean(false);
    case FieldType::Object:
    case FieldType::Any:
    case FieldType::NullString:
        return Value::null();
    case FieldType::String:
        return Value::string("");
    }
    return Value();
}

Value familyInit(Machine& m, const Value& self, Args& a) {
    const Family* f = familyOf(m, self);
    if (f == nullptr) {
        return Value();
    }
    Object* o = self.asObject();
    // The type is the one argument every event requires, unless its class names a default.
    if (a.empty() && f->defaultType == nullptr) {
        m.throwError("ArgumentError", 1063,
                     std::string("Argument count mismatch on ") + f->package + "::" + f->name +
                         "(). Expected 1, got 0.");
    }
    Value type = a.empty() ? Value() : a[0];
    if (a.empty() && f->defaultType != nullptr) {
        type = Value::string(f->defaultType);
    }
    Args base{type, a.size() > 1 ? a[1] : Value::boolean(f->bubbles),
              a.size() > 2 ? a[2] : Value::boolean(f->cancelable)};
    Class* event = m.findClass("flash.events::Event");
    if (event != nullptr && event->init.native != nullptr) {
        event->init.native(m, self, base);
    }
    for (std::size_t i = 0; i < f->fields.size(); ++i) {
        const Field& field = f->fields[i];
        setHiddenField(o, field.name,
                       i < f->constructed && i + 3 < a.size() ? convert(m, field, a[i + 3])
                                                              : fallback(field.type));
    }
    return Value();
}

template <const char* Name> Value fieldGet(Machine& m, const Value& self, Args&) {
    const Family* f = familyOf(m, self);
    if (f == nullptr) {
        return Value();
    }
    if (std::optional<Value> v = findHiddenField(self.asObject(), Name)) {
        return *v;
    }
    for (const Field& field : f->fields) {
        if (std::string_view(field.name) == Name) {
            return fallback(field.type);
        }
    }
    return Value();
}

template <const char* Name> Value fieldSet(Machine& m, const Value& self, Args& a) {
    const Family* f = familyOf(m, self);
    if (f == nullptr) {
        return Value();
    }
    for (const Field& field : f->fields) {
        if (std::string_view(field.name) == Name && field.readOnly) {
            m.throwError("ReferenceError", 1074,
                         std::string("Illegal write to read-only property ") + Name + " on " +
                             f->package + "." + f->name + ".");
        }
        if (std::string_view(field.name) == Name) {
            setHiddenField(self.asObject(), Name, convert(m, field, a.empty() ? Value() : a[0]));
        }
    }
    return Value();
}

Value familyClone(Machine& m, const Value& self, Args&) {
    const Family* f = familyOf(m, self);
    Object* from = self.asObject();
    const EventState* s = from->event.get();
    Object* copy =
        newEvent(m, s != nullptr ? s->type : std::string("null"), s != nullptr && s->bubbles,
                 s != nullptr && s->cancelable, std::string(f->package) + "::" + f->name);
    for (const Field& field : f->fields) {
        if (std::optional<Value> v = findHiddenField(from, field.name)) {
            setHiddenField(copy, field.name, std::move(*v));
        }
    }
    return Value::object(copy);
}

Value familyToString(Machine& m, const Value& self, Args&) {
    const Family* f = familyOf(m, self);
    const char* printed = f == nullptr                ? nullptr
                          : f->printedName != nullptr ? f->printedName
                                                      : f->name;
    Args names{Value::string(printed != nullptr ? printed : m.className(self)),
               Value::string("type"), Value::string("bubbles"), Value::string("cancelable")};
    if (f == nullptr || f->printsPhase) {
        names.push_back(Value::string("eventPhase"));
    }
    if (f != nullptr) {
        for (const char* p : f->printed) {
            names.push_back(Value::string(p));
        }
    }
    return m.callProperty(self, Name::publicName("formatToString"), names);
}

constexpr char kLocalX[] = "localX";
constexpr char kLocalY[] = "localY";
constexpr char kRelatedObject[] = "relatedObject";
constexpr char kCtrlKey[] = "ctrlKey";
constexpr char kAltKey[] = "altKey";
constexpr char kShiftKey[] = "shiftKey";
constexpr char kButtonDown[] = "buttonDown";
constexpr char kDelta[] = "delta";
constexpr char kCommandKey[] = "commandKey";
constexpr char kControlKey[] = "controlKey";
constexpr char kClickCount[] = "clickCount";
constexpr char kCharCode[] = "charCode";
constexpr char kKeyCode[] = "keyCode";
constexpr char kKeyLocation[] = "keyLocation";
constexpr char kBytesLoaded[] = "bytesLoaded";
constexpr char kBytesTotal[] = "bytesTotal";
constexpr char kText[] = "text";
constexpr char kErrorId[] = "errorID";
constexpr char kError[] = "error";
constexpr char kCode[] = "code";
constexpr char kLevel[] = "level";
constexpr char kInfo[] = "info";
constexpr char kHeader[] = "header";
constexpr char kData[] = "data";
constexpr char kStatus[] = "status";
constexpr char kRedirected[] = "redirected";
constexpr char kResponseUrl[] = "responseURL";
constexpr char kResponseHeaders[] = "responseHeaders";
constexpr char kPosition[] = "position";
constexpr char kMouseTarget[] = "mouseTarget";
constexpr char kContextMenuOwner[] = "contextMenuOwner";
constexpr char kTargetInaccessible[] = "isMouseTargetInaccessible";
constexpr char kChangeList[] = "changeList";
constexpr char kTouchPointId[] = "touchPointID";
constexpr char kPrimaryTouch[] = "isPrimaryTouchPoint";
constexpr char kSizeX[] = "sizeX";
constexpr char kSizeY[] = "sizeY";
constexpr char kPressure[] = "pressure";
constexpr char kPhase[] = "phase";
constexpr char kScaleX[] = "scaleX";
constexpr char kScaleY[] = "scaleY";
constexpr char kRotation[] = "rotation";
constexpr char kOffsetX[] = "offsetX";
constexpr char kOffsetY[] = "offsetY";

// Where the player put the pointer; a script's event reads its local position.
template <bool Y> Value stagePosition(Machine& m, const Value& self, Args& a) {
    if (!self.isObject()) {
        return Value::number(0);
    }
    if (std::optional<Value> v = findHiddenField(self.asObject(), Y ? "stageY" : "stageX")) {
        return *v;
    }
    return Y ? fieldGet<kLocalY>(m, self, a) : fieldGet<kLocalX>(m, self, a);
}

struct Accessor {
    const char* name;
    NativeFn get;
    NativeFn set;
};

template <const char* Name> constexpr Accessor accessor() {
    return Accessor{Name, fieldGet<Name>, fieldSet<Name>};
}

constexpr Accessor kAccessors[] = {
    accessor<kLocalX>(),
    accessor<kLocalY>(),
    accessor<kRelatedObject>(),
    accessor<kCtrlKey>(),
    accessor<kAltKey>(),
    accessor<kShiftKey>(),
    accessor<kButtonDown>(),
    accessor<kDelta>(),
    accessor<kCommandKey>(),
    accessor<kControlKey>(),
    accessor<kClickCount>(),
    accessor<kCharCode>(),
    accessor<kKeyCode>(),
    accessor<kKeyLocation>(),
    accessor<kBytesLoaded>(),
    accessor<kBytesTotal>(),
    accessor<kText>(),
    accessor<kErrorId>(),
    accessor<kError>(),
    accessor<kCode>(),
    accessor<kLevel>(),
    accessor<kInfo>(),
    accessor<kHeader>(),
    accessor<kData>(),
    accessor<kStatus>(),
    accessor<kRedirected>(),
    accessor<kResponseUrl>(),
    accessor<kResponseHeaders>(),
    accessor<kPosition>(),
    accessor<kMouseTarget>(),
    accessor<kContextMenuOwner>(),
    accessor<kTargetInaccessible>(),
    accessor<kChangeList>(),
    accessor<kTouchPointId>(),
    accessor<kPrimaryTouch>(),
    accessor<kSizeX>(),
    accessor<kSizeY>(),
    accessor<kPressure>(),
    accessor<kPhase>(),
    accessor<kScaleX>(),
    accessor<kScaleY>(),
    accessor<kRotation>(),
    accessor<kOffsetX>(),
    accessor<kOffsetY>(),
};

} // namespace

void installEventFamily(Machine& m) {
    for (const Family& f : families()) {
        Class* super = m.findClass(f.super);
        Class* c = m.defineClass(f.package, f.name, super, familyInit);
        c->sealed = true;
        for (const Field& field : f.fields) {
            for (const Accessor& acc : kAccessors) {
                if (std::string_view(acc.name) == field.name) {
                    m.defineGetter(c, acc.name, acc.get);
                    m.defineSetter(c, acc.name, acc.set);
                }
            }
        }
        if (std::string_view(f.name) == "DataEvent") {
            m.defineGetter(c, "data", fieldGet<kText>);
            m.defineSetter(c, "data", fieldSet<kText>);
        }
        if (std::string_view(f.name) == "TouchEvent" ||
            std::string_view(f.name) == "GestureEvent" ||
            std::string_view(f.name) == "TransformGestureEvent") {
            m.defineGetter(c, "stageX", stagePosition<false>);
            m.defineGetter(c, "stageY", stagePosition<true>);
        }
        if (std::string_view(f.name) == "MouseEvent") {
            m.defineGetter(c, "stageX", stagePosition<false>);
            m.defineGetter(c, "stageY", stagePosition<true>);
            m.defineMethod(c, "updateAfterEvent",
                           [](Machine&, const Value&, Args&) { return Value(); });
        }
        m.defineMethod(c, "clone", familyClone);
        m.defineMethod(c, "toString", familyToString);
        for (const auto& [constant, value] : f.constants) {
            c->classObject->setProp(constant, Value::string(value));
        }
    }
}

} // namespace avm2
