#pragma once
// The runner of an ActionScript 3 movie: its DoABC blocks run as the root timeline reaches
// their frames, and the document class (SymbolClass id 0) is made once its frame's blocks
// have run. Display objects have no AS3 side yet: the machine's display classes are
// stand-ins, enough for movies whose scripts only compute and trace.

#include "ScriptRunner.h"
#include "StageScripts.h"
#include "avm2/Host.h"
#include "avm2/Machine.h"
#include "swf/AbcTags.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace mc {

class As3Scripts final : public ScriptRunner, private avm2::Host {
  public:
    As3Scripts(const swf::Movie& movie, StageCallbacks callbacks);
    ~As3Scripts() override;

    void attach(TimelinePlayer& player) override;
    void beginTick() override;
    void endTick() override;
    void runActions(DisplayObject&, const swf::ActionBlock&) override {}
    void callHandler(DisplayObject&, std::string_view) override {}
    void prepareObject(DisplayObject&) override {}
    void construct(DisplayObject&) override {}
    void forget(DisplayObject&) override {}

  private:
    void trace(std::string_view line) override;
    double clockMs() override;
    void limitHit(std::string_view what) override;
    std::uint32_t rootFrame() override;
    std::uint32_t rootFrameCount() override;
    void rootGoto(std::uint32_t frame, bool play) override;
    void rootSetPlaying(bool playing) override;
    void runTagsUpTo(std::uint32_t frame);

    const swf::Movie& movie_;
    StageCallbacks callbacks_;
    std::vector<swf::AbcTag> tags_;
    std::size_t nextTag_ = 0;
    TimelinePlayer* player_ = nullptr;
    std::unique_ptr<avm2::Machine> vm_;
    bool limitReported_ = false;
    // The root frame whose frame script ran last (none yet: past any frame).
    std::uint32_t scriptedFrame_ = UINT32_MAX;
};

} // namespace mc
