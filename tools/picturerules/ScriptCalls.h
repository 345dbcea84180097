#pragma once

// Method calls and member assignments of the second script version, written as actions, for
// the scripted picture movies (drawing API, clip properties, filters).

#include "moviemaker/ActionWriter.h"

#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace picturerules {

struct Arg;
using ArgList = std::vector<Arg>;
struct Fields {
    std::vector<std::pair<std::string, Arg>> entries;
};
// `path` names a value by a dotted path from the timeline ("flash.filters.BlurFilter").
struct Path {
    std::string path;
};
// new <Path>(args)
struct New {
    std::string path;
    std::shared_ptr<ArgList> args;
};

struct Arg {
    std::variant<double, std::string, bool, ArgList, Fields, Path, New> value;
    Arg(double v) : value(v) {}
    Arg(int v) : value(static_cast<double>(v)) {}
    Arg(const char* v) : value(std::string(v)) {}
    Arg(std::string v) : value(std::move(v)) {}
    Arg(bool v) : value(v) {}
    Arg(ArgList v) : value(std::move(v)) {}
    Arg(Fields v) : value(std::move(v)) {}
    Arg(Path v) : value(std::move(v)) {}
    Arg(New v) : value(std::move(v)) {}
};

New make(std::string path, ArgList args);

// target.method(args), result dropped.
void call(moviemaker::Actions& a, const std::string& target, const std::string& method,
          const ArgList& args);
// target.member = object.method(args)
void setResult(moviemaker::Actions& a, const std::string& target, const std::string& member,
               const std::string& object, const std::string& method, const ArgList& args);
// target.member = value
void set(moviemaker::Actions& a, const std::string& target, const std::string& member,
         const Arg& value);
// Draws the bitmap `bd` on the stage at (x, y) through a fresh clip at `depth`, `scale` times
// enlarged.
void show(moviemaker::Actions& a, const std::string& bd, double x, double y, int depth,
          double scale = 1);

} // namespace picturerules
