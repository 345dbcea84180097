// Calls the script machine's built-ins with hostile arguments: NaN, the infinities, huge and
// negative numbers, huge lengths, long strings, arrays of holes, cyclic objects,
// contradictory comparators, bitmaps of the largest size; filters, rectangles and XML trees
// are made and used with the same arguments. Each input is a list of calls;
// every call must end within the frame's budget and the memory budget.
#include "FakeStage.h"

#include "avm1/Function.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace {

class Bytes {
  public:
    explicit Bytes(std::span<const std::uint8_t> data) : data_(data) {}
    bool empty() const { return at_ >= data_.size(); }
    std::uint8_t next() { return empty() ? 0 : data_[at_++]; }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

constexpr std::array<double, 22> HostileNumbers = {0,
                                                   1,
                                                   -1,
                                                   2,
                                                   7,
                                                   16,
                                                   2880,
                                                   2881,
                                                   20000,
                                                   16000000,
                                                   4294967295.0,
                                                   1e300,
                                                   std::numeric_limits<double>::quiet_NaN(),
                                                   std::numeric_limits<double>::infinity(),
                                                   -std::numeric_limits<double>::infinity(),
                                                   -1e300,
                                                   -0.5,
                                                   1.5,
                                                   -2147483649.0,
                                                   4294967297.0,
                                                   8.64e15 + 1,
                                                   -8.64e15 - 1};

constexpr std::array<std::size_t, 5> StringLengths = {0, 1, 1000, 1 << 16, 1 << 22};

constexpr std::array<const char*, 10> Receivers = {"Array",     "String",  "BitmapData", "Date",
                                                   "Number",    "_global", "Math",       "filters",
                                                   "Rectangle", "XML"};

constexpr std::array<std::array<const char*, 12>, 10> Methods = {{
    {"sort", "sortOn", "join", "concat", "slice", "splice", "reverse", "push", "unshift", "shift",
     "toString", "pop"},
    {"split", "concat", "substr", "substring", "slice", "indexOf", "lastIndexOf", "charAt",
     "charCodeAt", "toUpperCase", "toLowerCase", "split"},
    {"perlinNoise", "noise", "fillRect", "floodFill", "copyPixels", "clone", "threshold",
     "pixelDissolve", "scroll", "colorTransform", "getColorBoundsRect", "dispose"},
    {"toString", "setTime", "setFullYear", "setMonth", "setDate", "setHours", "setUTCMinutes",
     "setSeconds", "setMilliseconds", "setYear", "getDay", "getTimezoneOffset"},
    {"toString", "valueOf", "toString", "valueOf", "toString", "valueOf", "toString", "valueOf",
     "toString", "valueOf", "toString", "valueOf"},
    {"parseInt", "parseFloat", "escape", "unescape", "isNaN", "isFinite", "ASnative", "Number",
     "String", "ASSetNativeAccessor", "Array", "Object"},
    {"pow", "round", "floor", "ceil", "atan2", "min", "max", "random", "sqrt", "exp", "log", "abs"},
    // Filter classes: made with the arguments, then cloned.
    {"BlurFilter", "GlowFilter", "DropShadowFilter", "BevelFilter", "GradientGlowFilter",
     "GradientBevelFilter", "ColorMatrixFilter", "ConvolutionFilter", "DisplacementMapFilter",
     "BlurFilter", "ConvolutionFilter", "GradientBevelFilter"},
    {"contains", "containsPoint", "containsRectangle", "inflate", "inflatePoint", "offset",
     "offsetPoint", "intersection", "union", "equals", "isEmpty", "clone"},
    {"parseXML", "appendChild", "insertBefore", "cloneNode", "removeNode", "createElement",
     "createTextNode", "toString", "hasChildNodes", "getNamespaceForPrefix",
     "getPrefixForNamespace", "addRequestHeader"},
}};

// A member of one of the player's packages ("flash.geom"...), or undefined.
avm1::Value packaged(avm1::Machine& vm, const char* package, const char* name) {
    avm1::Object* flash = vm.get(vm.global(), "flash").asObject();
    avm1::Object* inner = flash ? vm.get(flash, package).asObject() : nullptr;
    return inner ? vm.get(inner, name) : avm1::Value();
}

avm1::Value bitmapOf(avm1test::FakeStage& stage, double width, double height) {
    avm1::Machine& vm = stage.vm;
    avm1::Object* flash = vm.get(vm.global(), "flash").asObject();
    avm1::Object* display = flash ? vm.get(flash, "display").asObject() : nullptr;
    if (!display) {
        return {};
    }
    const avm1::Value args[] = {avm1::Value(width), avm1::Value(height)};
    return avm1::Value(vm.construct(vm.get(display, "BitmapData"), args));
}

avm1::Value hostileValue(avm1test::FakeStage& stage, Bytes& in) {
    avm1::Machine& vm = stage.vm;
    const std::uint8_t kind = in.next();
    const std::uint8_t pick = in.next();
    switch (kind % 7) {
    case 0:
        return avm1::Value(HostileNumbers[pick % HostileNumbers.size()]);
    case 1: {
        const std::size_t length = StringLengths[pick % StringLengths.size()];
        return avm1::Value(vm.str(std::string(length, static_cast<char>('a' + pick % 3))));
    }
    case 2: {
        // An array with a hostile length and a few elements.
        const avm1::Value length(HostileNumbers[pick % HostileNumbers.size()]);
        avm1::Object* array = vm.construct(vm.get(vm.global(), "Array"), {&length, 1});
        for (int i = 0; array && i < in.next() % 8; ++i) {
            vm.set(array, std::to_string(in.next()), avm1::Value(static_cast<double>(pick)));
        }
        return avm1::Value(array);
    }
    case 3: {
        // A comparator that contradicts itself.
        auto* compare = vm.newFunction([turn = 0u](avm1::CallArgs&) mutable -> avm1::Value {
            ++turn;
            return avm1::Value(static_cast<double>(static_cast<int>(turn % 3) - 1));
        });
        return avm1::Value(static_cast<avm1::Object*>(compare));
    }
    case 4:
        return bitmapOf(stage, HostileNumbers[pick % 8], HostileNumbers[in.next() % 8]);
    case 5: {
        // An object that holds itself, directly and through an array.
        avm1::Object* object = vm.newObject();
        avm1::Object* array = vm.newArray();
        vm.set(object, "self", avm1::Value(object));
        vm.set(object, "list", avm1::Value(array));
        vm.set(array, "0", avm1::Value(object));
        vm.set(array, "1", avm1::Value(array));
        return avm1::Value(pick % 2 ? object : array);
    }
    default:
        return avm1::Value(vm.newObject());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    avm1::Limits limits;
    limits.msPerFrame = 500;
    limits.memoryBytes = std::size_t{256} << 20;
    limits.maxObjects = 100000;
    avm1test::FakeStage stage(8, limits);
    avm1::Machine& vm = stage.vm;
    Bytes in({data, size});
    for (int call = 0; call < 16 && !in.empty(); ++call) {
        stage.vm.beginFrame();
        const std::uint8_t receiverKind = in.next() % Receivers.size();
        const std::uint8_t method = in.next() % Methods[receiverKind].size();
        avm1::Value receiver;
        if (receiverKind == 2) {
            receiver = bitmapOf(stage, 2880, 2880);
        } else if (receiverKind == 3) {
            const avm1::Value time(HostileNumbers[in.next() % HostileNumbers.size()]);
            receiver = avm1::Value(vm.construct(vm.get(vm.global(), "Date"), {&time, 1}));
        } else if (receiverKind == 5) {
            receiver = avm1::Value(vm.global());
        } else if (receiverKind == 6) {
            receiver = vm.get(vm.global(), "Math");
        } else if (receiverKind == 8) {
            std::vector<avm1::Value> corners(4);
            for (avm1::Value& corner : corners) {
                corner = hostileValue(stage, in);
            }
            receiver = avm1::Value(vm.construct(packaged(vm, "geom", "Rectangle"), corners));
        } else if (receiverKind == 9) {
            const avm1::Value text = hostileValue(stage, in);
            receiver = avm1::Value(vm.construct(vm.get(vm.global(), "XML"), {&text, 1}));
        } else {
            receiver = hostileValue(stage, in);
            if (receiverKind == 0 && !receiver.isObject()) {
                receiver = avm1::Value(vm.newArray({&receiver, 1}));
            }
        }
        std::vector<avm1::Value> args;
        for (int i = in.next() % 5; i > 0; --i) {
            args.push_back(hostileValue(stage, in));
        }
        if (receiverKind == 7) {
            // A filter of every field given hostile values, set again one by one, then copied.
            avm1::Object* filter =
                vm.construct(packaged(vm, "filters", Methods[receiverKind][method]), args);
            for (const char* field : {"blurX", "alpha", "strength", "angle", "matrix", "matrixX",
                                      "colors", "ratios", "type", "mapPoint", "componentX"}) {
                if (filter && !args.empty()) {
                    vm.set(filter, field, args[in.next() % args.size()]);
                }
            }
            vm.callMethod(filter, "clone", {});
            vm.collectGarbage();
            continue;
        }
        avm1::Object* self = vm.toObject(receiver);
        vm.define(vm.global(), "self", receiver);
        vm.callMethod(self, Methods[receiverKind][method], args);
        vm.collectGarbage();
    }
    return 0;
}
