#include "ClipControl.h"

#include "TimelinePlayer.h"

namespace mc {

void ClipControl::gotoClipFrame(DisplayObject& clip, std::uint32_t frame, bool play) {
    player_.gotoClipFrame(clip, frame, play);
}

bool ClipControl::gotoClipLabel(DisplayObject& clip, const std::string& label, bool play) {
    return player_.gotoClipLabel(clip, label, play);
}

void ClipControl::setClipPlaying(DisplayObject& clip, bool playing) {
    player_.setClipPlaying(clip, playing);
}

void ClipControl::nextClipFrame(DisplayObject& clip) {
    player_.nextClipFrame(clip);
}

void ClipControl::previousClipFrame(DisplayObject& clip) {
    player_.previousClipFrame(clip);
}

std::int64_t ClipControl::frameOfLabel(const Clip& clip, const std::string& label) const {
    return player_.frameOfLabel(clip, label);
}

} // namespace mc
