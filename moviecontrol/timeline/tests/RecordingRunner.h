#pragma once

#include <string>
#include <vector>

#include "ScriptRunner.h"
#include "TimelinePlayer.h"

namespace mc::testing {

// A script runner that writes down what the timeline asks it to run, in order. Blocks are
// named by the label of their first action (see taggedBlock), objects by instance name.
class RecordingRunner : public ScriptRunner {
  public:
    std::vector<std::string> log;
    TimelinePlayer* player = nullptr;
    // Called for each block run, for tests that act from a script (gotos, removals).
    std::function<void(DisplayObject&, const std::string&)> onBlock;

    void attach(TimelinePlayer& p) override { player = &p; }
    void runActions(DisplayObject& object, const swf::ActionBlock& block) override {
        const std::string name = block.actions.empty() ? "?" : block.actions.front().text;
        log.push_back(nameOf(object) + ":" + name);
        if (onBlock) {
            onBlock(object, name);
        }
    }
    void callHandler(DisplayObject& object, std::string_view name) override {
        if (name != "onEnterFrame" || logEnterFrame) {
            log.push_back(nameOf(object) + "." + std::string(name));
        }
    }
    void prepareObject(DisplayObject& object) override {
        if (logPrepare) {
            log.push_back("prepare " + nameOf(object));
        }
    }
    void construct(DisplayObject& object) override {
        if (object.parent != nullptr) {
            log.push_back("construct " + nameOf(object));
            childrenAtConstruct.push_back(object.clip ? object.clip->displayList.size() : 0);
        }
    }
    void forget(DisplayObject& object) override { forgotten.push_back(nameOf(object)); }

    static std::string nameOf(const DisplayObject& o) {
        return o.parent == nullptr && o.name.empty() ? "root" : o.name;
    }

    // How many children each constructed clip held when its constructor ran.
    std::vector<std::size_t> childrenAtConstruct;
    bool logEnterFrame = false;
    bool logPrepare = false;
    std::vector<std::string> forgotten;
};

// A block the recording runner knows by `name`.
inline swf::ActionBlock taggedBlock(const std::string& name) {
    swf::ActionBlock block;
    swf::Action a;
    a.code = swf::op::GotoLabel;
    a.text = name;
    block.actions.push_back(a);
    return block;
}

inline swf::DoAction taggedActions(const std::string& name) {
    return swf::DoAction{taggedBlock(name)};
}

} // namespace mc::testing
