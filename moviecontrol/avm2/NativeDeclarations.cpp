// The declarations of the player's native accessors, constructors and methods (their class
// sources: `function get length():uint`, `function Date(year = void 0, ... ms = void 0)`,
// `function addChild(child:DisplayObject):DisplayObject`...). Only what a description shows is
// kept: types, and which parameters have defaults.
#include "avm2/NativeDeclarations.h"

#include <algorithm>
#include <iterator>

namespace avm2 {

namespace {

struct AccessorType {
    std::string_view owner;
    std::string_view accessor; // "" for every accessor of the owner
    std::string_view type;
};

constexpr AccessorType kAccessors[] = {
    {"String", "length", "int"},
    {"Array", "length", "uint"},
    {"Function", "length", "int"},
    {"Error", "errorID", "int"},
    {"Date", "", "Number"},
    {"Namespace", "uri", "String"},
    {"QName", "localName", "String"},
    {"RegExp", "source", "String"},
    {"RegExp", "global", "Boolean"},
    {"RegExp", "ignoreCase", "Boolean"},
    {"RegExp", "multiline", "Boolean"},
    {"RegExp", "dotall", "Boolean"},
    {"RegExp", "extended", "Boolean"},
    {"RegExp", "lastIndex", "int"},
    {"flash.utils::ByteArray", "length", "uint"},
    {"flash.utils::ByteArray", "position", "uint"},
    {"flash.utils::ByteArray", "bytesAvailable", "uint"},
    {"flash.utils::ByteArray", "objectEncoding", "uint"},
    {"flash.utils::ByteArray", "endian", "String"},
    {"flash.geom::Point", "length", "Number"},
    {"flash.display::DisplayObject", "accessibilityProperties",
     "flash.accessibility::AccessibilityProperties"},
    {"flash.display::DisplayObject", "alpha", "Number"},
    {"flash.display::DisplayObject", "blendMode", "String"},
    {"flash.display::DisplayObject", "blendShader", "flash.display::Shader"},
    {"flash.display::DisplayObject", "cacheAsBitmap", "Boolean"},
    {"flash.display::DisplayObject", "filters", "Array"},
    {"flash.display::DisplayObject", "height", "Number"},
    {"flash.display::DisplayObject", "loaderInfo", "flash.display::LoaderInfo"},
    {"flash.display::DisplayObject", "mask", "flash.display::DisplayObject"},
    {"flash.display::DisplayObject", "metaData", "Object"},
    {"flash.display::DisplayObject", "mouseX", "Number"},
    {"flash.display::DisplayObject", "mouseY", "Number"},
    {"flash.display::DisplayObject", "name", "String"},
    {"flash.display::DisplayObject", "opaqueBackground", "Object"},
    {"flash.display::DisplayObject", "parent", "flash.display::DisplayObjectContainer"},
    {"flash.display::DisplayObject", "root", "flash.display::DisplayObject"},
    {"flash.display::DisplayObject", "rotation", "Number"},
    {"flash.display::DisplayObject", "rotationX", "Number"},
    {"flash.display::DisplayObject", "rotationY", "Number"},
    {"flash.display::DisplayObject", "rotationZ", "Number"},
    {"flash.display::DisplayObject", "scale9Grid", "flash.geom::Rectangle"},
    {"flash.display::DisplayObject", "scaleX", "Number"},
    {"flash.display::DisplayObject", "scaleY", "Number"},
    {"flash.display::DisplayObject", "scaleZ", "Number"},
    {"flash.display::DisplayObject", "scrollRect", "flash.geom::Rectangle"},
    {"flash.display::DisplayObject", "stage", "flash.display::Stage"},
    {"flash.display::DisplayObject", "transform", "flash.geom::Transform"},
    {"flash.display::DisplayObject", "visible", "Boolean"},
    {"flash.display::DisplayObject", "width", "Number"},
    {"flash.display::DisplayObject", "x", "Number"},
    {"flash.display::DisplayObject", "y", "Number"},
    {"flash.display::DisplayObject", "z", "Number"},
    {"flash.display::InteractiveObject", "accessibilityImplementation",
     "flash.accessibility::AccessibilityImplementation"},
    {"flash.display::InteractiveObject", "doubleClickEnabled", "Boolean"},
    {"flash.display::InteractiveObject", "focusRect", "Object"},
    {"flash.display::InteractiveObject", "mouseEnabled", "Boolean"},
    {"flash.display::InteractiveObject", "needsSoftKeyboard", "Boolean"},
    {"flash.display::InteractiveObject", "softKeyboardInputAreaOfInterest",
     "flash.geom::Rectangle"},
    {"flash.display::InteractiveObject", "tabEnabled", "Boolean"},
    {"flash.display::InteractiveObject", "tabIndex", "int"},
    {"flash.display::DisplayObjectContainer", "mouseChildren", "Boolean"},
    {"flash.display::DisplayObjectContainer", "numChildren", "int"},
    {"flash.display::DisplayObjectContainer", "tabChildren", "Boolean"},
    {"flash.display::DisplayObjectContainer", "textSnapshot", "flash.text::TextSnapshot"},
    {"flash.display::Sprite", "buttonMode", "Boolean"},
    {"flash.display::Sprite", "dropTarget", "flash.display::DisplayObject"},
    {"flash.display::Sprite", "graphics", "flash.display::Graphics"},
    {"flash.display::Sprite", "hitArea", "flash.display::Sprite"},
    {"flash.display::Sprite", "soundTransform", "flash.media::SoundTransform"},
    {"flash.display::Sprite", "useHandCursor", "Boolean"},
    {"flash.display::MovieClip", "currentFrame", "int"},
    {"flash.display::MovieClip", "currentFrameLabel", "String"},
    {"flash.display::MovieClip", "currentLabel", "String"},
    {"flash.display::MovieClip", "currentLabels", "Array"},
    {"flash.display::MovieClip", "currentScene", "flash.display::Scene"},
    {"flash.display::MovieClip", "enabled", "Boolean"},
    {"flash.display::MovieClip", "framesLoaded", "int"},
    {"flash.display::MovieClip", "isPlaying", "Boolean"},
    {"flash.display::MovieClip", "scenes", "Array"},
    {"flash.display::MovieClip", "totalFrames", "int"},
    {"flash.display::MovieClip", "trackAsMenu", "Boolean"},
    {"flash.events::Event", "bubbles", "Boolean"},
    {"flash.events::Event", "cancelable", "Boolean"},
    {"flash.events::Event", "currentTarget", "Object"},
    {"flash.events::Event", "eventPhase", "uint"},
    {"flash.events::Event", "target", "Object"},
    {"flash.events::Event", "type", "String"},
};

struct ConstructorDeclaration {
    std::string_view owner;
    NativeConstructor declared;
};

constexpr ConstructorDeclaration kConstructors[] = {
    {"int", {1, "*"}},
    {"uint", {1, "*"}},
    {"Number", {1, "*"}},
    {"String", {1, "*"}},
    {"Boolean", {1, "*"}},
    {"Date", {7, "*"}},
    {"Error", {2, "*"}},
    {"Namespace", {2, "*"}},
    {"QName", {2, "*"}},
    {"RegExp", {2, "*"}},
    {"XML", {1, "*"}},
    {"XMLList", {1, "*"}},
    {"flash.utils::Dictionary", {1, "Boolean"}},
    {"flash.geom::Point", {2, "Number"}},
    {"flash.geom::Rectangle", {4, "Number"}},
    {"flash.geom::Matrix", {6, "Number"}},
    {"flash.geom::ColorTransform", {8, "Number"}},
};

struct MethodDeclaration {
    std::string_view owner;
    std::string_view method;
    NativeMethod declared;
};

// As the language reference declares them; a rest parameter ("...args") is no parameter.
constexpr MethodDeclaration kMethods[] = {
    {"flash.events::EventDispatcher",
     "addEventListener",
     {"void", "String,Function,Boolean=,int=,Boolean="}},
    {"flash.events::EventDispatcher", "dispatchEvent", {"Boolean", "flash.events::Event"}},
    {"flash.events::EventDispatcher", "hasEventListener", {"Boolean", "String"}},
    {"flash.events::EventDispatcher", "removeEventListener", {"void", "String,Function,Boolean="}},
    {"flash.events::EventDispatcher", "willTrigger", {"Boolean", "String"}},
    {"flash.events::Event", "clone", {"flash.events::Event", ""}},
    {"flash.events::Event", "formatToString", {"String", "String"}},
    {"flash.events::Event", "isDefaultPrevented", {"Boolean", ""}},
    {"flash.events::Event", "preventDefault", {"void", ""}},
    {"flash.events::Event", "stopImmediatePropagation", {"void", ""}},
    {"flash.events::Event", "stopPropagation", {"void", ""}},
    {"flash.events::Event", "toString", {"String", ""}},
    {"flash.display::DisplayObject",
     "getBounds",
     {"flash.geom::Rectangle", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObject",
     "getRect",
     {"flash.geom::Rectangle", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObject", "globalToLocal", {"flash.geom::Point", "flash.geom::Point"}},
    {"flash.display::DisplayObject",
     "globalToLocal3D",
     {"flash.geom::Vector3D", "flash.geom::Point"}},
    {"flash.display::DisplayObject", "hitTestObject", {"Boolean", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObject", "hitTestPoint", {"Boolean", "Number,Number,Boolean="}},
    {"flash.display::DisplayObject",
     "local3DToGlobal",
     {"flash.geom::Point", "flash.geom::Vector3D"}},
    {"flash.display::DisplayObject", "localToGlobal", {"flash.geom::Point", "flash.geom::Point"}},
    {"flash.display::InteractiveObject", "requestSoftKeyboard", {"Boolean", ""}},
    {"flash.display::DisplayObjectContainer",
     "addChild",
     {"flash.display::DisplayObject", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObjectContainer",
     "addChildAt",
     {"flash.display::DisplayObject", "flash.display::DisplayObject,int"}},
    {"flash.display::DisplayObjectContainer",
     "areInaccessibleObjectsUnderPoint",
     {"Boolean", "flash.geom::Point"}},
    {"flash.display::DisplayObjectContainer",
     "contains",
     {"Boolean", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObjectContainer",
     "getChildAt",
     {"flash.display::DisplayObject", "int"}},
    {"flash.display::DisplayObjectContainer",
     "getChildByName",
     {"flash.display::DisplayObject", "String"}},
    {"flash.display::DisplayObjectContainer",
     "getChildIndex",
     {"int", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObjectContainer",
     "getObjectsUnderPoint",
     {"Array", "flash.geom::Point"}},
    {"flash.display::DisplayObjectContainer",
     "removeChild",
     {"flash.display::DisplayObject", "flash.display::DisplayObject"}},
    {"flash.display::DisplayObjectContainer",
     "removeChildAt",
     {"flash.display::DisplayObject", "int"}},
    {"flash.display::DisplayObjectContainer", "removeChildren", {"void", "int=,int="}},
    {"flash.display::DisplayObjectContainer",
     "setChildIndex",
     {"void", "flash.display::DisplayObject,int"}},
    {"flash.display::DisplayObjectContainer", "stopAllMovieClips", {"void", ""}},
    {"flash.display::DisplayObjectContainer",
     "swapChildren",
     {"void", "flash.display::DisplayObject,flash.display::DisplayObject"}},
    {"flash.display::DisplayObjectContainer", "swapChildrenAt", {"void", "int,int"}},
    {"flash.display::Sprite", "startDrag", {"void", "Boolean=,flash.geom::Rectangle="}},
    {"flash.display::Sprite", "startTouchDrag", {"void", "int,Boolean=,flash.geom::Rectangle="}},
    {"flash.display::Sprite", "stopDrag", {"void", ""}},
    {"flash.display::Sprite", "stopTouchDrag", {"void", "int"}},
    {"flash.display::MovieClip", "gotoAndPlay", {"void", "Object,String="}},
    {"flash.display::MovieClip", "gotoAndStop", {"void", "Object,String="}},
    {"flash.display::MovieClip", "nextFrame", {"void", ""}},
    {"flash.display::MovieClip", "nextScene", {"void", ""}},
    {"flash.display::MovieClip", "play", {"void", ""}},
    {"flash.display::MovieClip", "prevFrame", {"void", ""}},
    {"flash.display::MovieClip", "prevScene", {"void", ""}},
    {"flash.display::MovieClip", "stop", {"void", ""}},
};

} // namespace

std::string_view nativeAccessorType(std::string_view owner, std::string_view accessor) {
    const auto* found =
        std::find_if(std::begin(kAccessors), std::end(kAccessors), [&](const AccessorType& a) {
            return a.owner == owner && (a.accessor.empty() || a.accessor == accessor);
        });
    return found != std::end(kAccessors) ? found->type : std::string_view();
}

bool nativeConstructor(std::string_view owner, NativeConstructor& out) {
    const auto* found =
        std::find_if(std::begin(kConstructors), std::end(kConstructors),
                     [&](const ConstructorDeclaration& c) { return c.owner == owner; });
    if (found == std::end(kConstructors)) {
        return false;
    }
    out = found->declared;
    return true;
}

bool nativeMethod(std::string_view owner, std::string_view method, NativeMethod& out) {
    const auto* found =
        std::find_if(std::begin(kMethods), std::end(kMethods), [&](const MethodDeclaration& d) {
            return d.owner == owner && d.method == method;
        });
    if (found == std::end(kMethods)) {
        return false;
    }
    out = found->declared;
    return true;
}

} // namespace avm2
