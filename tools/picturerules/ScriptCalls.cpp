#include "ScriptCalls.h"

#include <cstdint>

namespace picturerules {
namespace {

constexpr uint8_t kPop = 0x17;
constexpr uint8_t kGetVariable = 0x1C;
constexpr uint8_t kInitArray = 0x42;
constexpr uint8_t kInitObject = 0x43;
constexpr uint8_t kGetMember = 0x4E;
constexpr uint8_t kSetMember = 0x4F;
constexpr uint8_t kCallMethod = 0x52;
constexpr uint8_t kNewMethod = 0x53;
constexpr uint8_t kNewObject = 0x40;

// Pushes the object a dotted path names: the first part as a variable, the rest as members.
void pushPath(moviemaker::Actions& a, const std::string& path) {
    std::size_t at = 0;
    bool first = true;
    while (at <= path.size()) {
        const std::size_t dot = path.find('.', at);
        const std::string part = path.substr(at, dot == std::string::npos ? dot : dot - at);
        a.push(part);
        a.code(first ? kGetVariable : kGetMember);
        first = false;
        if (dot == std::string::npos) {
            break;
        }
        at = dot + 1;
    }
}

void pushArg(moviemaker::Actions& a, const Arg& arg);

void pushArgs(moviemaker::Actions& a, const ArgList& args) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        pushArg(a, *it);
    }
    a.pushInt(static_cast<int32_t>(args.size()));
}

void pushArg(moviemaker::Actions& a, const Arg& arg) {
    if (const auto* d = std::get_if<double>(&arg.value)) {
        a.push(*d);
    } else if (const auto* s = std::get_if<std::string>(&arg.value)) {
        a.push(*s);
    } else if (const auto* b = std::get_if<bool>(&arg.value)) {
        a.pushBool(*b);
    } else if (const auto* list = std::get_if<ArgList>(&arg.value)) {
        pushArgs(a, *list);
        a.code(kInitArray);
    } else if (const auto* fields = std::get_if<Fields>(&arg.value)) {
        for (const auto& [name, value] : fields->entries) {
            a.push(name);
            pushArg(a, value);
        }
        a.pushInt(static_cast<int32_t>(fields->entries.size()));
        a.code(kInitObject);
    } else if (const auto* path = std::get_if<Path>(&arg.value)) {
        pushPath(a, path->path);
    } else if (const auto* made = std::get_if<New>(&arg.value)) {
        pushArgs(a, *made->args);
        const std::size_t dot = made->path.rfind('.');
        if (dot == std::string::npos) {
            a.push(made->path); // a global constructor
            a.code(kNewObject);
            return;
        }
        pushPath(a, made->path.substr(0, dot));
        a.push(made->path.substr(dot + 1));
        a.code(kNewMethod);
    }
}

} // namespace

New make(std::string path, ArgList args) {
    return New{std::move(path), std::make_shared<ArgList>(std::move(args))};
}

void call(moviemaker::Actions& a, const std::string& target, const std::string& method,
          const ArgList& args) {
    pushArgs(a, args);
    pushPath(a, target);
    a.push(method);
    a.code(kCallMethod);
    a.code(kPop);
}

void setResult(moviemaker::Actions& a, const std::string& target, const std::string& member,
               const std::string& object, const std::string& method, const ArgList& args) {
    pushPath(a, target);
    a.push(member);
    pushArgs(a, args);
    pushPath(a, object);
    a.push(method);
    a.code(kCallMethod);
    a.code(kSetMember);
}

void set(moviemaker::Actions& a, const std::string& target, const std::string& member,
         const Arg& value) {
    pushPath(a, target);
    a.push(member);
    pushArg(a, value);
    a.code(kSetMember);
}

void show(moviemaker::Actions& a, const std::string& bd, double x, double y, int depth,
          double scale) {
    const std::string clip = "h" + std::to_string(depth);
    call(a, "_root", "createEmptyMovieClip", {clip, depth});
    call(a, clip, "attachBitmap", {Path{bd}, 1});
    set(a, clip, "_x", x);
    set(a, clip, "_y", y);
    set(a, clip, "_xscale", 100 * scale);
    set(a, clip, "_yscale", 100 * scale);
}

} // namespace picturerules
