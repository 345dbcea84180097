#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "DisplayObject.h"

namespace mc {

class TimelinePlayer;

// Movies loaded by scripts: into a clip, or into a level of their own above the root.
class MovieLevels {
  public:
    static constexpr int kMaxLevel = 1 << 20;
    static constexpr std::size_t kMaxLevels = 64;

    // The clip shows the movie of `library` from its first frame on: its children and
    // drawing go (with their unload events), its name, depth and placement stay, its load
    // event runs and the first frame's actions are queued. False for a clip that cannot hold
    // a movie or an unknown library.
    bool replaceContent(DisplayObject& clip, std::uint16_t library);
    // _levelN: 0 is the root; the others exist once a movie was loaded into them.
    DisplayObject* level(int n) const;
    // An empty level (made when missing); null past the level limits.
    DisplayObject* makeLevel(int n);
    // unloadMovieNum: level 0 is emptied, the others go.
    void unloadLevel(int n);
    // swapDepths on a level: depth d is _level(d + 16384), which the level moves to; a level
    // there takes its old number. The root stays at 0 and nothing else moves to 0; a level
    // already at a depth of 0 or more moves no more.
    bool swapLevel(DisplayObject& level, std::int32_t depth);
    // The levels above the root, lowest first.
    std::vector<DisplayObject*> upperLevels() const;

  private:
    friend class TimelinePlayer;
    explicit MovieLevels(TimelinePlayer& player) : player_(player) {}
    TimelinePlayer& player_;
};

} // namespace mc
