#pragma once
// Script steps the stage's tests write often: calls whose results are kept in variables.

#include <string>
#include <string_view>
#include <vector>

#include "moviemaker/ActionWriter.h"

namespace mc {

// The value at a dotted path: a variable, then members.
inline moviemaker::Actions& pushPath(moviemaker::Actions& a, std::string_view path) {
    bool first = true;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t dot = path.find('.', start);
        dot = dot == std::string_view::npos ? path.size() : dot;
        a.push(path.substr(start, dot - start));
        a.code(first ? 0x1C : 0x4E);
        first = false;
        start = dot + 1;
    }
    return a;
}

// `variable = object.method(args...)`, the arguments as texts.
inline moviemaker::Actions& callInto(moviemaker::Actions& a, std::string_view variable,
                                     std::string_view object, std::string_view method,
                                     const std::vector<std::string>& args = {}) {
    a.push(variable);
    for (auto it = args.rbegin(); it != args.rend(); ++it) {
        a.push(*it);
    }
    a.push(static_cast<double>(args.size()));
    pushPath(a, object);
    a.push(method);
    a.code(0x52); // call method
    return a.code(0x1D);
}

// `variable = new constructor()`, the constructor found by its path.
inline moviemaker::Actions& newInto(moviemaker::Actions& a, std::string_view variable,
                                    std::string_view constructor) {
    a.push(variable);
    a.push(0.0);
    const std::size_t dot = constructor.rfind('.');
    if (dot == std::string_view::npos) {
        a.push(constructor);
        a.code(0x40); // new object
    } else {
        pushPath(a, constructor.substr(0, dot));
        a.push(constructor.substr(dot + 1));
        a.code(0x53); // new method
    }
    return a.code(0x1D);
}

} // namespace mc
