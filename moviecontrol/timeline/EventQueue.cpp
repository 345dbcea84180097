#include "EventQueue.h"

#include "TimelinePlayer.h"

namespace mc {

void EventQueue::setButtonState(DisplayObject& button, std::uint8_t state) {
    player_.setButtonState(button, state);
}

void EventQueue::runInputScripts() {
    player_.runInputScripts();
}

void EventQueue::runQueuedScripts() {
    player_.runPendingActions();
}

void EventQueue::holdQueuedScripts(bool held) {
    player_.queueHeld_ = held;
}

void EventQueue::queueActions(DisplayObject& timeline, const swf::ActionBlock& block) {
    player_.queueActions(timeline, block);
}

void EventQueue::queueClipEvent(DisplayObject& object, std::uint32_t event, const char* handler) {
    player_.dispatchEvent(object, event, handler);
}

void EventQueue::queueKeyPress(DisplayObject& object, std::uint8_t buttonKey) {
    player_.queueKeyPress(object, buttonKey);
}

void EventQueue::dataArrived(DisplayObject& clip) {
    player_.dataArrived(clip);
}

std::vector<std::shared_ptr<DisplayObject>> EventQueue::clipsNewestFirst() const {
    return player_.clipsNewestFirst();
}

} // namespace mc
