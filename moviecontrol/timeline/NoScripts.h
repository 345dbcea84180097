#pragma once

#include "ScriptRunner.h"

namespace mc {

// The runner of a movie without ActionScript 1/2 (none at all, or ActionScript 3 only): its
// frames play, and the action blocks a player of its kind ignores are not run.
class NoScripts final : public ScriptRunner {
  public:
    void attach(TimelinePlayer&) override {}
    void runActions(DisplayObject&, const swf::ActionBlock&) override {}
    void callHandler(DisplayObject&, std::string_view) override {}
    void prepareObject(DisplayObject&) override {}
    void construct(DisplayObject&) override {}
    void forget(DisplayObject&) override {}
};

} // namespace mc
