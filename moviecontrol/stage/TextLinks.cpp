#include "TextLinks.h"

#include <algorithm>
#include <cctype>

#include "StageObject.h"
#include "StageScripts.h"
#include "avm1/Interpreter.h"
#include "avm1/Machine.h"

namespace mc {

namespace {

constexpr std::string_view kPrefix = "asfunction:";

} // namespace

bool isAsFunction(std::string_view url) {
    return url.size() >= kPrefix.size() &&
           std::equal(kPrefix.begin(), kPrefix.end(), url.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<AsFunctionCall> parseAsFunction(std::string_view url) {
    if (!isAsFunction(url)) {
        return std::nullopt;
    }
    const std::string_view address = url.substr(kPrefix.size());
    const std::size_t comma = address.find(',');
    AsFunctionCall call;
    call.function = std::string(address.substr(0, comma));
    if (comma != std::string_view::npos) {
        call.argument = std::string(address.substr(comma + 1));
    }
    return call;
}

bool callAsFunction(StageScripts& stage, DisplayObject& scope, std::string_view url) {
    const auto call = parseAsFunction(url);
    if (!call) {
        return false;
    }
    avm1::Machine& m = stage.machine();
    avm1::Object* timeline = stage.objectOf(scope);
    if (timeline == nullptr || call->function.empty()) {
        return true;
    }
    // "clip.inner.name" and "/clip/inner:name" name a function held by another timeline or
    // object, which it is called on, as a call by that name from the field's timeline is;
    // a bare name is called on the field's timeline.
    const std::string_view path = call->function;
    const std::size_t cut = path.find_last_of(".:/");
    avm1::Value function;
    avm1::Object* self = timeline;
    if (cut != std::string_view::npos) {
        const std::string_view holderPath = path.substr(0, cut);
        avm1::Object* holder = holderPath.empty()
                                   ? timeline
                                   : avm1::resolveTargetPath(m, nullptr, timeline, holderPath);
        if (holder != nullptr) {
            function = m.get(holder, path.substr(cut + 1));
            self = holder;
        }
    } else {
        function = m.get(timeline, path);
        if (function.isUndefined()) {
            function = m.get(m.global(), path);
        }
    }
    if (call->argument) {
        const avm1::Value argument(m.str(*call->argument));
        m.call(function, avm1::Value(self), std::span<const avm1::Value>(&argument, 1));
    } else {
        m.call(function, avm1::Value(self), {});
    }
    return true;
}

} // namespace mc
