#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mc {

struct DisplayObject;
class StageScripts;

// "asfunction:name,argument" addresses, which html text links and getURL take: instead of
// opening a page they call a function of the movie. The prefix is matched in any case.
bool isAsFunction(std::string_view url);

// What an asfunction address names: the function's path and, after the first comma, the one
// text argument (none without a comma).
struct AsFunctionCall {
    std::string function;
    std::optional<std::string> argument;
};
std::optional<AsFunctionCall> parseAsFunction(std::string_view url);

// Calls what `url` names as the timeline `scope` sees it (a path from it, else its
// variables, else the globals), with the timeline as `this`. A name that leads to no
// function does nothing. True when `url` was an asfunction address.
bool callAsFunction(StageScripts& stage, DisplayObject& scope, std::string_view url);

} // namespace mc
