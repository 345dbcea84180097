#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "DisplayObject.h"

namespace swf {
struct ActionBlock;
}

namespace mc {

class TimelinePlayer;

// Scripts that arrive between ticks: input on buttons and clips, variables a load brought,
// timers. What is queued here runs when the caller asks (runInputScripts,
// runQueuedScripts), in the order the tick's own queue keeps.
class EventQueue {
  public:
    // Shows a button's records of `state` (up 1, over 2, down 4) as its children.
    void setButtonState(DisplayObject& button, std::uint8_t state);
    // Runs what an input event queued, with the budgets of a tick of its own.
    void runInputScripts();
    // Runs what scripts queued outside a tick (timers, a widget's calls) now.
    void runQueuedScripts();
    // While held, a goto's scripts wait in the queue for runQueuedScripts instead of running
    // when the goto returns.
    void holdQueuedScripts(bool held);

    // A button's action block, run with `timeline` as its clip: buttons act on the timeline
    // that holds them.
    void queueActions(DisplayObject& timeline, const swf::ActionBlock& block);
    // The object's onClipEvent blocks for `event` and its handler method `handler` (none when
    // null).
    void queueClipEvent(DisplayObject& object, std::uint32_t event, const char* handler);
    // The onClipEvent(keyPress) blocks of the object whose key is `buttonKey`.
    void queueKeyPress(DisplayObject& object, std::uint8_t buttonKey);
    // Variables a load brought arrived for `clip`: its data event runs.
    void dataArrived(DisplayObject& clip);
    // Clips in the order a tick visits them: newest first, the root last.
    std::vector<std::shared_ptr<DisplayObject>> clipsNewestFirst() const;

  private:
    friend class TimelinePlayer;
    explicit EventQueue(TimelinePlayer& player) : player_(player) {}
    TimelinePlayer& player_;
};

} // namespace mc
