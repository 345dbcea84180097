#pragma once

#include <cstdint>
#include <string>

#include "DisplayObject.h"

namespace mc {

class TimelinePlayer;

// Timeline control of any clip, as the script methods do; the root's own clock is the
// timeline's. Frames are 0-based; a frame past the end goes to the last one.
class ClipControl {
  public:
    void gotoClipFrame(DisplayObject& clip, std::uint32_t frame, bool play);
    bool gotoClipLabel(DisplayObject& clip, const std::string& label, bool play);
    void setClipPlaying(DisplayObject& clip, bool playing);
    void nextClipFrame(DisplayObject& clip);
    void previousClipFrame(DisplayObject& clip);
    // -1 when the clip has no such label (labels compare without case).
    std::int64_t frameOfLabel(const Clip& clip, const std::string& label) const;

  private:
    friend class TimelinePlayer;
    explicit ClipControl(TimelinePlayer& player) : player_(player) {}
    TimelinePlayer& player_;
};

} // namespace mc
