// The classes a movie names only to read their values, and the event classes of loaders,
// menus, shared data and sound: what their constructors take and default, what toString
// prints, which fields refuse a write or a value of the wrong class.

#include "PlayerClassTest.h"

namespace {

using avm2::Args;
using avm2::Value;

class EventKinds : public avm2test::PlayerClassTest {};

TEST_F(EventKinds, ValueClassesHoldTheirNamedValuesWithTheirTypes) {
    struct Row {
        const char* cls;
        const char* constant;
        const char* text;
        const char* type; // as typeof says
    };
    const Row rows[] = {
        {"flash.display::LineScaleMode", "VERTICAL", "vertical", "string"},
        {"flash.display::CapsStyle", "SQUARE", "square", "string"},
        {"flash.display::JointStyle", "MITER", "miter", "string"},
        {"flash.display::GradientType", "RADIAL", "radial", "string"},
        {"flash.display::SpreadMethod", "REFLECT", "reflect", "string"},
        {"flash.display::InterpolationMethod", "LINEAR_RGB", "linearRGB", "string"},
        {"flash.display::PixelSnapping", "AUTO", "auto", "string"},
        {"flash.display::TriangleCulling", "POSITIVE", "positive", "string"},
        {"flash.display::ColorCorrectionSupport", "DEFAULT_ON", "defaultOn", "string"},
        {"flash.display::ActionScriptVersion", "ACTIONSCRIPT3", "3", "number"},
        {"flash.display::SWFVersion", "FLASH11", "11", "number"},
        {"flash.display::BitmapDataChannel", "ALPHA", "8", "number"},
        {"flash.events::EventPhase", "BUBBLING_PHASE", "3", "number"},
        {"flash.events::GesturePhase", "UPDATE", "update", "string"},
        {"flash.ui::KeyLocation", "NUM_PAD", "3", "number"},
        {"flash.ui::MultitouchInputMode", "TOUCH_POINT", "touchPoint", "string"},
        {"flash.net::SharedObjectFlushStatus", "PENDING", "pending", "string"},
        {"flash.text::TextColorType", "DARK_COLOR", "dark", "string"},
        {"flash.utils::CompressionAlgorithm", "LZMA", "lzma", "string"},
        {"flash.media::SoundCodec", "NELLYMOSER", "NellyMoser", "string"},
        {"flash.geom::Orientation3D", "EULER_ANGLES", "eulerAngles", "string"},
    };
    for (const Row& r : rows) {
        const Value v = vm.getProperty(classNamed(r.cls), avm2::Name::publicName(r.constant));
        EXPECT_EQ(text(v), r.text) << r.cls << "." << r.constant;
        EXPECT_EQ(std::string(v.isString()    ? "string"
                              : v.isNumeric() ? "number"
                                              : "other"),
                  r.type)
            << r.cls << "." << r.constant;
        // Plain classes: a script may make one.
        EXPECT_EQ(thrown([&] { make(r.cls); }), "") << r.cls;
    }
    // The one the machine defines with the drawing keeps its own definition.
    EXPECT_EQ(get(classNamed("flash.display::GraphicsPathWinding"), "NON_ZERO"), "nonZero");
}

TEST_F(EventKinds, ConstructorsTakeTheirFieldsInOrderAndToStringPrintsTheDocumentedOnes) {
    struct Row {
        const char* cls;
        Args extra; // after type, bubbles and cancelable
        const char* printed;
    };
    const Value no = Value::boolean(false);
    const Row rows[] = {
        {"flash.events::HTTPStatusEvent",
         {Value::number(404.7), Value::boolean(true)},
         "[HTTPStatusEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 status=404 "
         "redirected=true responseURL=null]"},
        {"flash.events::DataEvent",
         {Value::string("payload")},
         "[DataEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 data=\"payload\"]"},
        {"flash.events::SampleDataEvent",
         {Value::number(12.5)},
         "[SampleDataEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 position=12.5 "
         "data=null]"},
        {"flash.events::ContextMenuEvent",
         {},
         "[ContextMenuEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 "
         "mouseTarget=null contextMenuOwner=null]"},
        {"flash.events::SyncEvent",
         {},
         "[SyncEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 changeList=null]"},
        {"flash.events::TouchEvent",
         {Value::number(7.5), Value::boolean(true), Value::number(3)},
         "[TouchEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 touchPointID=7 "
         "isPrimaryTouchPoint=true localX=3 localY=NaN stageX=3 stageY=NaN sizeX=NaN sizeY=NaN "
         "pressure=NaN relatedObject=null ctrlKey=false altKey=false shiftKey=false]"},
        {"flash.events::GestureEvent",
         {Value::string("begin"), Value::number(4.5)},
         "[GestureEvent type=\"t\" bubbles=false cancelable=false phase=\"begin\" localX=4.5 "
         "localY=0 stageX=4.5 stageY=0 ctrlKey=false altKey=false shiftKey=false]"},
        {"flash.events::TransformGestureEvent",
         {Value::null(), Value::number(2), Value::number(3), Value(), Value::number(0.5)},
         "[TransformGestureEvent type=\"t\" bubbles=false cancelable=false phase=null localX=2 "
         "localY=3 stageX=2 stageY=3 scaleX=NaN scaleY=0.5 rotation=0 offsetX=0 offsetY=0 "
         "ctrlKey=false altKey=false shiftKey=false]"},
        {"flash.events::UncaughtErrorEvent",
         {Value::string("boom")},
         "[UncaughtErrorEvent type=\"t\" bubbles=false cancelable=false eventPhase=2 "
         "error=\"boom\"]"},
    };
    for (const Row& r : rows) {
        Args args{Value::string("t"), no, no};
        args.insert(args.end(), r.extra.begin(), r.extra.end());
        const Value e = make(r.cls, args);
        EXPECT_EQ(text(call(e, "toString")), r.printed);
        // A copy prints the same.
        EXPECT_EQ(text(call(call(e, "clone"), "toString")), r.printed);
        // The type is required wherever the class names no default of its own.
        const bool typeRequired = std::string(r.cls) != "flash.events::UncaughtErrorEvent";
        EXPECT_EQ(thrown([&] { make(r.cls); }), typeRequired ? "ArgumentError #1063" : "") << r.cls;
    }
}

TEST_F(EventKinds, AnUncaughtErrorEventDefaultsToItsOwnTypeBubblingAndCancelable) {
    const Value e = make("flash.events::UncaughtErrorEvent");
    EXPECT_EQ(get(e, "type"), "uncaughtError");
    EXPECT_EQ(get(e, "bubbles"), "true");
    EXPECT_EQ(get(e, "cancelable"), "true");
    EXPECT_EQ(get(e, "error"), "null");
    EXPECT_EQ(get(e, "errorID"), "0");
    // An error given as undefined stays undefined: the field takes any value.
    const Value u = make("flash.events::UncaughtErrorEvent",
                         {Value::string("t"), Value::boolean(true), Value::boolean(true), Value()});
    EXPECT_TRUE(vm.getProperty(u, avm2::Name::publicName("error")).isUndefined());
}

TEST_F(EventKinds, ReadOnlyFieldsRefuseWritesAndTypedFieldsRefuseOtherClasses) {
    struct Row {
        const char* cls;
        const char* field;
        const char* error; // "" where the write is kept
        const char* after;
    };
    const Row rows[] = {
        {"flash.events::HTTPStatusEvent", "status", "ReferenceError #1074", "0"},
        {"flash.events::HTTPStatusEvent", "redirected", "", "true"},
        {"flash.events::HTTPStatusEvent", "responseURL", "", "3"},
        {"flash.events::HTTPStatusEvent", "responseHeaders", "TypeError #1034", "null"},
        {"flash.events::SampleDataEvent", "data", "TypeError #1034", "null"},
        {"flash.events::SampleDataEvent", "position", "", "3"},
        {"flash.events::ContextMenuEvent", "mouseTarget", "TypeError #1034", "null"},
        {"flash.events::ContextMenuEvent", "isMouseTargetInaccessible", "", "true"},
        {"flash.events::SyncEvent", "changeList", "TypeError #1034", "null"},
        {"flash.events::UncaughtErrorEvent", "error", "ReferenceError #1074", "null"},
        {"flash.events::UncaughtErrorEvent", "errorID", "ReferenceError #1074", "0"},
        {"flash.events::UncaughtErrorEvent", "text", "", "3"},
    };
    for (const Row& r : rows) {
        const Value e = make(r.cls, {Value::string("t")});
        EXPECT_EQ(thrown([&] { set(e, r.field, Value::integer(3)); }), r.error)
            << r.cls << "." << r.field;
        EXPECT_EQ(get(e, r.field), r.after) << r.cls << "." << r.field;
        // null is every class's value.
        if (std::string(r.error) == "TypeError #1034") {
            EXPECT_EQ(thrown([&] { set(e, r.field, Value::null()); }), "");
        }
    }
}

TEST_F(EventKinds, TouchesAreNotOfferedButTheInputModeAskedForIsKept) {
    const Value touch = classNamed("flash.ui::Multitouch");
    EXPECT_EQ(get(touch, "supportsTouchEvents"), "false");
    EXPECT_EQ(get(touch, "supportsGestureEvents"), "false");
    EXPECT_EQ(get(touch, "maxTouchPoints"), "0");
    EXPECT_EQ(get(touch, "supportedGestures"), "null");
    EXPECT_EQ(get(touch, "inputMode"), "gesture");
    for (const char* mode : {"touchPoint", "none", "gesture"}) {
        set(touch, "inputMode", Value::string(mode));
        EXPECT_EQ(get(touch, "inputMode"), mode);
    }
    // A scale left out starts at 1 (given as undefined it is a number made of undefined).
    EXPECT_EQ(
        get(make("flash.events::TransformGestureEvent", {Value::string("gestureZoom")}), "scaleX"),
        "1");
    // A touch event bubbles unless told otherwise.
    EXPECT_EQ(get(make("flash.events::TouchEvent", {Value::string("touchTap")}), "bubbles"),
              "true");
}

TEST_F(EventKinds, ADataEventsDataIsTheTextItCarries) {
    const Value e = make("flash.events::DataEvent", {Value::string("t"), Value::boolean(false),
                                                     Value::boolean(false), Value::string("one")});
    EXPECT_EQ(get(e, "text"), "one");
    set(e, "data", Value::string("two"));
    EXPECT_EQ(get(e, "text"), "two");
    set(e, "text", Value::string("three"));
    EXPECT_EQ(get(e, "data"), "three");
    EXPECT_EQ(get(make("flash.events::DataEvent", {Value::string("t")}), "data"), "");
}

} // namespace
